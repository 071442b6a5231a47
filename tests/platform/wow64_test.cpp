// Conformance of what a 32-bit program meets on 64-bit Windows (WoW64): natively the sandbox's
// 64-bit PC, under Wine the 32-bit build in a 64-bit prefix. The program names the system
// directory and HKLM\SOFTWARE as always; 64-bit Windows stores them elsewhere, where 64-bit
// programs see them.
#include <gtest/gtest.h>

#include "platform/text.h"
#include "tests/support/test_world.h"

namespace vl4::platform {
namespace {

using test::TestWorld;
constexpr RootKey kLm = RootKey::kLocalMachine;
constexpr RootKey kCr = RootKey::kClassesRoot;
constexpr RootKey kCu = RootKey::kCurrentUser;

class Wow64 : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!w.Windows64()) GTEST_SKIP() << "a 32-bit Windows: nothing is redirected";
  }
  TestWorld w{TestWorld::Windows::k64};
};

TEST_F(Wow64, TheSystemDirectoryIsSysWow64AndSysnativeTheRealOne) {
  const std::string windows = w.system().WindowsDirectory();
  const std::string system = w.system().SystemDirectory();
  EXPECT_TRUE(SameText(system, windows + "\\system32")) << system;  // the name stays
  EXPECT_TRUE(SameText(w.system().Wow64SystemDirectory(), windows + "\\SysWOW64"))
      << w.system().Wow64SystemDirectory();
  const std::string name = "\\vl4-wow64-probe.txt";
  ASSERT_TRUE(w.WriteFile(system + name, "from a 32-bit program"));
  EXPECT_EQ(w.ReadFile(windows + "\\SysWOW64" + name), "from a 32-bit program");
  EXPECT_FALSE(w.files().FileExists(windows + "\\Sysnative" + name));
  ASSERT_TRUE(w.WriteFile(windows + "\\Sysnative" + name, "64"));
  EXPECT_EQ(w.ReadFile(system + name), "from a 32-bit program");
  EXPECT_TRUE(w.files().DeleteFile(windows + "\\Sysnative" + name));
  EXPECT_TRUE(w.files().DeleteFile(system + name));
  EXPECT_FALSE(w.files().FileExists(windows + "\\SysWOW64" + name));
}

// The uninstaller's shortcut starts it in the system directory: there it is, by that name.
TEST_F(Wow64, AProgramStartedInTheSystemDirectoryIsThereByItsName) {
  const std::string report = w.Path("report.txt");
  // Minimised and not activated: under Wine it runs beside the GUI tests, whose windows keep the
  // focus.
  auto child = w.shell().Execute("", test::SiblingProgram(w.system(), "vl4_platform_child"),
                                 "\"" + report + "\" 0 0 none", w.system().SystemDirectory(),
                                 kSwShowMinNoActive);
  ASSERT_NE(child, nullptr);
  child->Wait();
  const std::string text = w.ReadFile(report).value_or("");
  EXPECT_TRUE(StartsText("cwd=" + w.system().SystemDirectory() + "\r\n", text)) << text;
}

TEST_F(Wow64, ProgramFilesIsTheX86OneInTheProgramsView) {
  const char kKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
  const auto ours = w.registry().ReadString(kLm, kKey, "ProgramFilesDir");
  const auto native = w.NativeRegistry().ReadString(kLm, kKey, "ProgramFilesDir");
  EXPECT_TRUE(ours && SameText(*ours, "C:\\Program Files (x86)")) << ours.value_or("none");
  EXPECT_TRUE(native && SameText(*native, "C:\\Program Files")) << native.value_or("none");
  EXPECT_TRUE(w.files().DirectoryExists(*ours));
}

TEST_F(Wow64, HklmSoftwareIsRedirectedButClassesAndTheUserAreShared) {
  struct Case {
    RootKey root;
    const char* key;      // as the program names it
    RootKey stored_root;  // where a 64-bit program finds it
    const char* stored_key;
    bool shared;  // both kinds of program name it alike
  };
  const Case cases[] = {
      {kLm, "SOFTWARE\\VL4 WoW64 Probe\\7.0", kLm, "SOFTWARE\\Wow6432Node\\VL4 WoW64 Probe\\7.0",
       false},
      {kLm, "\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\VL4 WoW64 Probe", kLm,
       "Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\VL4 WoW64 Probe",
       false},
      {kLm, "SOFTWARE\\Classes\\VL4WoW64Probe.Document", kLm,
       "SOFTWARE\\Classes\\VL4WoW64Probe.Document", true},
      {kCr, "VL4WoW64Probe.Class\\shell\\open\\command", kLm,
       "SOFTWARE\\Classes\\VL4WoW64Probe.Class\\shell\\open\\command", true},
      {kCr, "CLSID\\{0E5F3C2A-7A41-4C1B-9B7E-5D0C4F1A2B3C}\\InprocServer32", kLm,
       "SOFTWARE\\Classes\\Wow6432Node\\CLSID\\{0E5F3C2A-7A41-4C1B-9B7E-5D0C4F1A2B3C}\\"
       "InprocServer32",
       false},
      {kCu, "Software\\VL4 WoW64 Probe\\Known Packages", kCu,
       "Software\\VL4 WoW64 Probe\\Known Packages", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.key);
    w.registry().WriteString(c.root, c.key, "Probe", "32-bit");
    EXPECT_EQ(w.registry().ReadString(c.root, c.key, "Probe"), "32-bit");
    EXPECT_EQ(w.NativeRegistry().ReadString(c.stored_root, c.stored_key, "Probe"), "32-bit");
    if (!c.shared) {
      EXPECT_FALSE(w.NativeRegistry().ValueExists(c.root, c.key, "Probe"));
    }
    w.registry().DeleteKey(c.root, c.key);
    EXPECT_FALSE(w.NativeRegistry().KeyExists(c.stored_root, c.stored_key));
  }
  for (const char* key : {"SOFTWARE\\VL4 WoW64 Probe", "SOFTWARE\\Classes\\VL4WoW64Probe.Class",
                          "SOFTWARE\\Classes\\CLSID\\{0E5F3C2A-7A41-4C1B-9B7E-5D0C4F1A2B3C}"}) {
    w.registry().DeleteKey(kLm, key);
  }
  w.registry().DeleteKey(kCu, "Software\\VL4 WoW64 Probe");
}

}  // namespace
}  // namespace vl4::platform
