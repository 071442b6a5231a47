// IDE detection: registry layouts and fixed places to detected paths, for every row group.
#include <gtest/gtest.h>

#include <filesystem>
#include <variant>

#include "platform/file_tree.h"
#include "platform/registry.h"
#include "setup/detection.h"
#include "tests/setup/setup_pc.h"

namespace vl4::test {
namespace {

using platform::RootKey;
constexpr RootKey HKLM = RootKey::kLocalMachine;
constexpr RootKey HKCU = RootKey::kCurrentUser;
constexpr RootKey HKCR = RootKey::kClassesRoot;

struct Value {
  RootKey root;
  const char* key;
  const char* name;
  std::variant<const char*, uint32_t> data;  // a DWORD where a string belongs is the wrong type
};

struct Layout {
  const char* what;
  int row;
  std::vector<Value> values;
  std::vector<const char*> files;
  const char* expected;
};

// A PC with the drives the fixed places name (C:, D:, G:).
struct DetectionPc {
  DetectionPc() {
    for (char drive : {'D', 'G'}) {
      const std::string host = pc.HostPath("C:\\") + "drive" + drive;
      std::filesystem::create_directories(host);
      pc.pc().MapDrive(drive, host);
    }
  }
  void Apply(const Layout& layout) {
    for (const Value& v : layout.values) {
      if (auto* text = std::get_if<const char*>(&v.data)) {
        pc.registry().WriteString(v.root, v.key, v.name, *text);
      } else {
        pc.registry().WriteDword(v.root, v.key, v.name, std::get<uint32_t>(v.data));
      }
    }
    for (const char* file : layout.files) pc.Put(file, "MZ");
  }
  IdeDetector Detector() {
    return IdeDetector(catalogue, pc.registry(), pc.files(), SetupPc::kInstallDir);
  }
  SetupPc pc;
  Catalogue catalogue;
};

TEST(Detection, RegistryLayoutsAndFixedPlacesGiveTheExecutable) {
  const char* kD3 = "C:\\D3\\Bin\\delphi32.exe";
  const char* kBds = "C:\\BDS\\Bin\\bds.exe";
  const char* kVs71 = "\\SOFTWARE\\Microsoft\\VisualStudio\\7.1\\Setup\\VS";
  const char* kVs80 = "\\SOFTWARE\\Microsoft\\VisualStudio\\8.0\\Setup\\VS";
  const char* kDevenv = "C:\\VS\\Common7\\IDE\\devenv.exe";
  const std::vector<Layout> layouts = {
      {"Delphi 3 reads the value named after it",
       3,
       {{HKLM, "\\SOFTWARE\\Borland\\Delphi\\3.0", "Delphi 3", kD3}},
       {kD3},
       kD3},
      {"Delphi 3 has no App value",
       3,
       {{HKLM, "\\SOFTWARE\\Borland\\Delphi\\3.0", "App", kD3}},
       {kD3},
       ""},
      {"Delphi 5 reads App",
       5,
       {{HKLM, "\\SOFTWARE\\Borland\\Delphi\\5.0", "App", kD3}},
       {kD3},
       kD3},
      {"Delphi 2005 is BDS 3.0",
       8,
       {{HKLM, "\\SOFTWARE\\Borland\\BDS\\3.0", "App", kBds}},
       {kBds},
       kBds},
      {"Delphi 2006 is BDS 4.0",
       9,
       {{HKLM, "\\SOFTWARE\\Borland\\BDS\\4.0", "App", kBds}},
       {kBds},
       kBds},
      {"C#Builder 2006 is BDS 4.0",
       29,
       {{HKLM, "\\SOFTWARE\\Borland\\BDS\\4.0", "App", kBds}},
       {kBds},
       kBds},
      {"Delphi .NET 2005 is BDS 3.0",
       30,
       {{HKLM, "\\SOFTWARE\\Borland\\BDS\\3.0", "App", kBds}},
       {kBds},
       kBds},
      {"a registered file that is gone",
       7,
       {{HKLM, "\\SOFTWARE\\Borland\\Delphi\\7.0", "App", "C:\\Gone\\delphi32.exe"}},
       {},
       ""},
      {"a value of the wrong type",
       7,
       {{HKLM, "\\SOFTWARE\\Borland\\Delphi\\7.0", "App", 7u}},
       {},
       ""},
      {"C++Builder 5",
       20,
       {{HKLM, "\\SOFTWARE\\Borland\\C++Builder\\5.0", "App", "C:\\CB5\\Bin\\bcb.exe"}},
       {"C:\\CB5\\Bin\\bcb.exe"},
       "C:\\CB5\\Bin\\bcb.exe"},
      {"Visual Basic 5",
       10,
       {{HKLM, "\\SOFTWARE\\Microsoft\\Visual Basic\\5.0", "InstallDir", "C:\\VB5"}},
       {"C:\\VB5\\VB5.exe"},
       "C:\\VB5\\VB5.exe"},
      {"Visual Basic 6",
       11,
       {{HKLM, "\\SOFTWARE\\Microsoft\\Visual Studio\\6.0\\Setup\\Microsoft Visual Basic",
         "ProductDir", "C:\\VS\\VB98"}},
       {"C:\\VS\\VB98\\VB6.exe"},
       "C:\\VS\\VB98\\VB6.exe"},
      {"Visual Basic 6 at its fourth fixed place",
       11,
       {},
       {"C:\\Program files\\vb6cce\\vb6cce.exe", "D:\\vb6\\vb6.exe"},
       "C:\\Program files\\vb6cce\\vb6cce.exe"},
      {"Visual Basic 5 on D:",
       10,
       {},
       {"D:\\Program files\\vb5\\vb5.exe"},
       "D:\\Program files\\vb5\\vb5.exe"},
      {"Visual Basic 6 with a broken key still tries the fixed places",
       11,
       {{HKLM, "\\SOFTWARE\\Microsoft\\Visual Studio\\6.0\\Setup\\Microsoft Visual Basic",
         "ProductDir", 1u}},
       {"C:\\vb6\\vb6.exe"},
       "C:\\vb6\\vb6.exe"},
      {"Visual C++ 6 from the user's environment",
       21,
       {{HKCU, "Environment", "MSDevDir", "C:\\VS\\Common\\MSDev98"},
        {HKLM, "Environment", "MSDevDir", "C:\\Other"}},
       {"C:\\VS\\Common\\MSDev98\\Bin\\MSDev.exe", "C:\\Other\\Bin\\MSDev.exe"},
       "C:\\VS\\Common\\MSDev98\\Bin\\MSDev.exe"},
      {"Visual C++ 6 from the machine's environment",
       21,
       {{HKCU, "Environment", "MSDevDir", "C:\\Gone"},
        {HKLM, "Environment", "MSDevDir", "C:\\Other"}},
       {"C:\\Other\\Bin\\MSDev.exe"},
       "C:\\Other\\Bin\\MSDev.exe"},
      {"Visual C++ 6 at its fixed place",
       21,
       {},
       {"D:\\Program Files\\Microsoft Visual Studio\\Common\\MSDev98\\Bin\\MSDev.exe"},
       "D:\\Program Files\\Microsoft Visual Studio\\Common\\MSDev98\\Bin\\MSDev.exe"},
      {"Visual Basic 2003 is Visual Studio 7.1",
       12,
       {{HKLM, kVs71, "EnvironmentPath", kDevenv}},
       {kDevenv},
       kDevenv},
      {"Visual Basic .NET 2003 too",
       15,
       {{HKLM, kVs71, "EnvironmentPath", kDevenv}},
       {kDevenv},
       kDevenv},
      {"Visual C# 2008 is Visual Studio 9.0",
       27,
       {{HKLM, "\\SOFTWARE\\Microsoft\\VisualStudio\\9.0\\Setup\\VS", "EnvironmentPath", kDevenv}},
       {kDevenv},
       kDevenv},
      {"Visual Basic .NET 2005 falls back to its Express edition",
       16,
       {{HKLM, kVs80, "EnvironmentPath", "C:\\Gone\\devenv.exe"},
        {HKLM, "\\SOFTWARE\\Microsoft\\VBExpress\\8.0", "InstallDir", "C:\\VBX\\"},
        {HKLM, "\\SOFTWARE\\Microsoft\\VBExpress\\8.0", "ApplicationID", "VBExpress"}},
       {"C:\\VBX\\VBExpress.exe"},
       "C:\\VBX\\VBExpress.exe"},
      {"Visual C# 2005 Express",
       26,
       {{HKLM, "\\SOFTWARE\\Microsoft\\VCSExpress\\8.0", "InstallDir", "C:\\VCSX\\"},
        {HKLM, "\\SOFTWARE\\Microsoft\\VCSExpress\\8.0", "ApplicationID", "VCSExpress"}},
       {"C:\\VCSX\\VCSExpress.exe"},
       "C:\\VCSX\\VCSExpress.exe"},
      {"Visual C++ 2005 looks again in the first look-up's key",
       23,
       {{HKLM, kVs80, "InstallDir", "C:\\VCX\\"}, {HKLM, kVs80, "ApplicationID", "VCExpress"}},
       {"C:\\VCX\\VCExpress.exe"},
       "C:\\VCX\\VCExpress.exe"},
      {"Visual C++ 2005 does not look in the Visual Studio key above it",
       23,
       {{HKLM, "\\SOFTWARE\\Microsoft\\VisualStudio\\8.0", "InstallDir", "C:\\VCX\\"},
        {HKLM, "\\SOFTWARE\\Microsoft\\VisualStudio\\8.0", "ApplicationID", "VCExpress"}},
       {"C:\\VCX\\VCExpress.exe"},
       ""},
      {"Lazarus from a document class",
       32,
       {{HKCR, "\\LazarusForm\\shell\\open\\command", "", "\"C:\\Laz\\lazarus.exe\" \"%1\""},
        {HKCR, "\\LazarusUnit\\shell\\open\\command", "", "C:\\Laz\\lazarus.exe \"%1\""}},
       {"C:\\Laz\\lazarus.exe"},
       "C:\\Laz\\lazarus.exe"},
      {"Lazarus at the tenth fixed place",
       32,
       {},
       {"g:\\Program files\\lazarus\\lazarus.exe"},
       "g:\\Program files\\lazarus\\lazarus.exe"},
      {"Lazarus with a broken class still tries the fixed places",
       32,
       {{HKCR, "\\LazarusForm\\shell\\open\\command", "", 5u},
        {HKCR, "\\LazarusUnit\\shell\\open\\command", "", "C:\\Laz\\lazarus.exe \"%1\""}},
       {"C:\\Laz\\lazarus.exe", "c:\\lazarus\\lazarus.exe"},
       "c:\\lazarus\\lazarus.exe"},
      {"the empty slot", 18, {}, {}, ""},
  };
  for (const Layout& layout : layouts) {
    DetectionPc pc;
    pc.Apply(layout);
    EXPECT_EQ(pc.Detector().DetectExecutable(pc.catalogue.Row(layout.row)), layout.expected)
        << layout.what;
  }
}

TEST(Detection, LibraryDirectoriesComeFromRootDirAndMustHoldUnits) {
  struct Case {
    const char* what;
    int row;
    std::vector<Value> values;
    std::vector<const char*> files;
    const char* expected;
  };
  const std::vector<Case> cases = {
      {"Delphi 7 with its units",
       7,
       {{HKLM, "\\SOFTWARE\\Borland\\Delphi\\7.0", "RootDir", "C:\\D7\\"}},
       {"C:\\D7\\Lib\\System.dcu"},
       "C:\\D7\\Lib"},
      {"Delphi 2006",
       9,
       {{HKLM, "\\SOFTWARE\\Borland\\BDS\\4.0", "RootDir", "C:\\BDS4"}},
       {"C:\\BDS4\\Lib\\System.dcu"},
       "C:\\BDS4\\Lib"},
      {"a Delphi library without units",
       7,
       {{HKLM, "\\SOFTWARE\\Borland\\Delphi\\7.0", "RootDir", "C:\\D7\\"}},
       {"C:\\D7\\Lib\\readme.txt"},
       ""},
      {"C++Builder keeps the trailing backslash",
       20,
       {{HKLM, "\\SOFTWARE\\Borland\\C++Builder\\5.0", "RootDir", "C:\\CB5\\"}},
       {},
       "C:\\CB5\\\\Lib"},
      {"no library directory for Visual Basic", 11, {}, {}, ""},
      {"a value of the wrong type",
       7,
       {{HKLM, "\\SOFTWARE\\Borland\\Delphi\\7.0", "RootDir", 1u}},
       {},
       ""},
  };
  for (const Case& c : cases) {
    DetectionPc pc;
    pc.Apply(Layout{c.what, c.row, c.values, c.files, ""});
    EXPECT_EQ(pc.Detector().DetectLibraryDir(pc.catalogue.Row(c.row)), c.expected) << c.what;
  }
}

TEST(Detection, TheProductsModuleFoldersNeverPassForALibraryDirectory) {
  DetectionPc pc;
  pc.pc.Put("C:\\VL4\\DELPHI9\\vl4.dcu");
  pc.pc.Put("C:\\D7\\Lib\\System.dcu");
  IdeDetector detector = pc.Detector();
  const EnvRow& delphi7 = pc.catalogue.Row(7);
  EXPECT_FALSE(detector.LibraryDirCheck(delphi7, "c:\\vl4\\delphi9"));
  EXPECT_FALSE(detector.LibraryDirCheck(pc.catalogue.Row(20), "C:\\VL4\\DELPHI3"));
  EXPECT_TRUE(detector.LibraryDirCheck(delphi7, "C:\\D7\\Lib"));
  EXPECT_TRUE(detector.LibraryDirCheck(pc.catalogue.Row(20), "C:\\Anything"));
}

TEST(Detection, TheLibraryDirectoryOfAnExecutableIsBesideItsBin) {
  DetectionPc pc;
  pc.pc.Put("C:\\Borland\\D7\\Bin\\delphi32.exe");
  pc.pc.Put("C:\\Borland\\D7\\Lib\\System.dcu");
  pc.pc.Put("C:\\Tools\\delphi32.exe");
  pc.pc.Put("C:\\VS\\Bin\\MSDev.exe");
  platform::ForceDirectories(pc.pc.files(), "C:\\VS\\Lib");
  IdeDetector detector = pc.Detector();
  EXPECT_EQ(detector.LibraryDirFromExe(pc.catalogue.Row(7), "C:\\Borland\\D7\\Bin\\delphi32.exe"),
            "C:\\Borland\\D7\\Lib");
  EXPECT_EQ(detector.LibraryDirFromExe(pc.catalogue.Row(7), "C:\\Tools\\delphi32.exe"), "");
  EXPECT_EQ(detector.LibraryDirFromExe(pc.catalogue.Row(7), "C:\\Borland\\D6\\Bin\\delphi32.exe"),
            "");  // no such file
  EXPECT_EQ(detector.LibraryDirFromExe(pc.catalogue.Row(21), "C:\\VS\\Bin\\MSDev.exe"), "");
}

TEST(Detection, StartUpLooksAgainForALibraryDirectoryWithoutUnits) {
  SetupPc pc;
  pc.AddModules("DELPHI7");
  pc.Put("C:\\D7\\Lib\\System.dcu");
  platform::ForceDirectories(pc.files(), "C:\\Empty\\Lib");
  pc.registry().WriteString(HKLM, "\\SOFTWARE\\Borland\\Delphi\\7.0", "RootDir", "C:\\D7");
  pc.WriteVlIni(
      "[Libraries]\r\nDELPHI7=C:\\Empty\\Lib\r\n[EXE "
      "files]\r\nDELPHI7=C:\\D7\\Bin\\delphi32.exe\r\n");
  pc.Put("C:\\D7\\Bin\\delphi32.exe");
  EXPECT_EQ(pc.Start().Envs().Row(7).library_dir, "C:\\D7\\Lib");
}

}  // namespace
}  // namespace vl4::test
