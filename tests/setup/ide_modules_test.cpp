// The IDE operations without a window, on sandbox PCs with the stand-in IDE tools: what an
// installation puts into an IDE and how undoing it takes exactly that out again, in an order that
// never leaves an IDE pointing at something missing, and reports what it had to leave.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <fstream>

#include "platform/exception.h"
#include "platform/file_tree.h"
#include "platform/path.h"
#include "setup/ide/ide_modules.h"
#include "tests/setup/setup_pc.h"

namespace vl4::test {
namespace {

using namespace ides;
using platform::RootKey;
using Kind = IdeItem::Kind;
using Reason = IdeRemoval::Reason;

constexpr char kRegsvr32[] = "C:\\Windows\\System32\\regsvr32.exe";

// A catalogue row with what a caller found of its IDE.
EnvRow FoundRow(int number, const std::string& exe_path, const std::string& library_dir) {
  EnvRow row = Catalogue().Row(number);
  row.exe_path = exe_path;
  row.library_dir = library_dir;
  return row;
}

bool Listed(SetupPc& pc, const std::string& key, const std::string& name) {
  return pc.registry().ValueExists(RootKey::kCurrentUser, key, name);
}

// Visual Basic 6 with the add-in built, listed and registered by the stand-in tools.
EnvRow InstalledVb6AddIn(SetupPc& pc) {
  pc.AddVb6();
  IdeModules ide(pc.pc(), SetupPc::kInstallDir);
  const EnvRow row = FoundRow(11, "C:\\VB98\\VB6.EXE", "");
  ide.Install(row);
  EXPECT_TRUE(ide.RegisterVbAddin(row));
  EXPECT_TRUE(pc.pc().WaitForStartedProcesses());
  EXPECT_EQ(pc.AddInServer(), kAddInLibrary);
  return row;
}

// The PC, except that its registry refuses to delete values, as for a user who may read an IDE's
// keys but not change them.
class ValuesUndeletable final : public platform::Platform, platform::Registry {
 public:
  explicit ValuesUndeletable(platform::Platform& pc) : pc_(pc) {}
  platform::Registry& registry() override { return *this; }
  platform::Profile& profile() override { return pc_.profile(); }
  platform::Files& files() override { return pc_.files(); }
  platform::Shell& shell() override { return pc_.shell(); }
  platform::System& system() override { return pc_.system(); }

  bool KeyExists(RootKey root, const std::string& key) override {
    return pc_.registry().KeyExists(root, key);
  }
  void CreateKey(RootKey root, const std::string& key) override {
    pc_.registry().CreateKey(root, key);
  }
  bool ValueExists(RootKey root, const std::string& key, const std::string& name) override {
    return pc_.registry().ValueExists(root, key, name);
  }
  std::optional<std::string> ReadString(RootKey root, const std::string& key,
                                        const std::string& name) override {
    return pc_.registry().ReadString(root, key, name);
  }
  std::optional<uint32_t> ReadDword(RootKey root, const std::string& key,
                                    const std::string& name) override {
    return pc_.registry().ReadDword(root, key, name);
  }
  void WriteString(RootKey root, const std::string& key, const std::string& name,
                   const std::string& value) override {
    pc_.registry().WriteString(root, key, name, value);
  }
  void WriteDword(RootKey root, const std::string& key, const std::string& name,
                  uint32_t value) override {
    pc_.registry().WriteDword(root, key, name, value);
  }
  void DeleteValue(RootKey, const std::string&, const std::string&) override {
    throw ERegistryException("Access is denied.");
  }
  void DeleteKey(RootKey root, const std::string& key) override {
    pc_.registry().DeleteKey(root, key);
  }

 private:
  platform::Platform& pc_;
};

TEST(IdeModules, UndoingAPackageInstallationLeavesTheIdeAsItWas) {
  struct Case {
    const char* what;
    int row;
    std::function<void(SetupPc&)> add_ide;
    const char* exe;
    const char* lib;
    const char* known;
    const char* value;
    const char* copy;
  };
  const Case cases[] = {
      {"Delphi 7", 7, [](SetupPc& pc) { pc.AddDelphi7(); }, kDelphiExe, kDelphiLib, kDelphiKnown,
       kDelphiValue, kDelphiValue},
      {"C++Builder 5", 20,
       [](SetupPc& pc) {
         pc.AddModules("CB5");
         pc.Put("C:\\VL4\\CB5\\vl4b5tls.dpk", "package vl4b5tls;\r\nend.\r\n");
         pc.Put("C:\\CBuilder5\\Bin\\bcb.exe", "MZ");
         platform::ForceDirectories(pc.files(), "C:\\CBuilder5\\Lib");
         pc.InstallStandIn("C:\\CBuilder5\\Bin\\dcc32.exe");
         pc.registry().CreateKey(RootKey::kCurrentUser,
                                 "\\Software\\Borland\\C++Builder\\5.0\\Known Packages");
       },
       "C:\\CBuilder5\\Bin\\bcb.exe", "C:\\CBuilder5\\Lib",
       "\\Software\\Borland\\C++Builder\\5.0\\Known Packages", "$(BCB)\\Lib\\vl4b5tls.bpl",
       "C:\\CBuilder5\\Lib\\vl4b5tls.bpl"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SetupPc pc;
    c.add_ide(pc);
    IdeModules ide(pc.pc(), SetupPc::kInstallDir);
    EnvRow row = FoundRow(c.row, c.exe, c.lib);
    row.aux_files = {ExtractFileName(c.copy)};  // what start-up gives these rows
    ide.Install(row);
    ASSERT_EQ(ide.RegisterKnownPackage(row), KnownPackageResult::kRegistered);
    ASSERT_TRUE(pc.files().FileExists(c.copy));
    // A description the user gave the value does not make it less the product's.
    pc.registry().WriteString(RootKey::kCurrentUser, c.known, c.value, "My tools");

    const IdeRemoval removal = ide.Uninstall(row);
    EXPECT_EQ(removal.removed, (std::vector<IdeItem>{{Kind::kKnownPackage, c.known, c.value},
                                                     {Kind::kPackageCopy, c.copy, ""}}));
    EXPECT_TRUE(removal.left.empty());
    EXPECT_FALSE(Listed(pc, c.known, c.value));
    EXPECT_TRUE(pc.registry().KeyExists(RootKey::kCurrentUser, c.known));  // the IDE's own
    EXPECT_FALSE(pc.files().FileExists(c.copy));
    EXPECT_TRUE(pc.files().DirectoryExists(c.lib));

    // Judged from what is there: nothing is left to undo.
    const IdeRemoval again = ide.Uninstall(row);
    EXPECT_TRUE(again.removed.empty());
    EXPECT_TRUE(again.left.empty());
  }
}

// The value goes first; a value that stays keeps its file, so that the IDE never lists a package
// that is not there.
TEST(IdeModules, WhatCannotBeUndoneIsReportedAndKeepsWhatItNames) {
  const IdeItem value{Kind::kKnownPackage, kDelphiKnown, kDelphiValue};
  const IdeItem copy{Kind::kPackageCopy, kDelphiValue, ""};
  struct Case {
    const char* what;
    std::function<void(SetupPc&)> prepare;
    bool registry_refuses;
    std::vector<IdeItem> removed;
    std::vector<IdeRemoval::Left> left;
  };
  const Case cases[] = {
      {"the registry refuses",
       [](SetupPc&) {},
       true,
       {},
       {{value, Reason::kRefused}, {copy, Reason::kStillUsed}}},
      {"another program holds the copy",
       [](SetupPc& pc) { pc.pc().LockFile(kDelphiValue); },
       false,
       {value},
       {{copy, Reason::kRefused}}},
      {"a read-only copy goes all the same",
       [](SetupPc& pc) { pc.files().SetAttributes(kDelphiValue, platform::kAttrReadOnly); },
       false,
       {value, copy},
       {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SetupPc pc;
    pc.AddDelphi7();
    pc.Put(kDelphiValue, "package");
    pc.registry().WriteString(RootKey::kCurrentUser, kDelphiKnown, kDelphiValue,
                              "VL4 Tools for Delphi 7");
    c.prepare(pc);
    ValuesUndeletable refusing(pc.pc());
    IdeModules ide(c.registry_refuses ? static_cast<platform::Platform&>(refusing) : pc.pc(),
                   SetupPc::kInstallDir);

    const IdeRemoval removal = ide.Uninstall(FoundRow(7, kDelphiExe, kDelphiLib));
    EXPECT_EQ(removal.removed, c.removed);
    EXPECT_EQ(removal.left, c.left);
    EXPECT_EQ(Listed(pc, kDelphiKnown, kDelphiValue), c.registry_refuses);
    EXPECT_EQ(pc.files().FileExists(kDelphiValue), !c.left.empty());
  }
}

// Delphi 2005, C#Builder 2005 and Delphi .NET 2005 are one IDE (BDS 3.0): their packages have one
// name and one place, and only the Delphi row lists it.
TEST(IdeModules, ABorlandNetRowLeavesTheCopyItsDelphiRowLists) {
  constexpr char kBds3Known[] = "\\Software\\Borland\\BDS\\3.0\\Known Packages";
  constexpr char kBds3Copy[] = "C:\\BDS\\3.0\\Lib\\vl4d9tls.bpl";
  constexpr char kBds4Copy[] = "C:\\BDS\\4.0\\Lib\\vl4d10tls.bpl";
  SetupPc pc;
  pc.Put(kBds3Copy, "package");
  pc.registry().WriteString(RootKey::kCurrentUser, kBds3Known, kBds3Copy, "VL4 Tools for Delphi 9");
  pc.Put(kBds4Copy, "package");  // copied for Delphi .NET 2006 only: listed by nobody
  Catalogue catalogue;
  for (int row : {8, 28, 30}) catalogue.Row(row).library_dir = "C:\\BDS\\3.0\\Lib";
  for (int row : {9, 31}) catalogue.Row(row).library_dir = "C:\\BDS\\4.0\\Lib";
  IdeModules ide(pc.pc(), SetupPc::kInstallDir);

  const IdeRemoval net_first = ide.Uninstall(catalogue.Row(30));
  EXPECT_TRUE(net_first.removed.empty());
  EXPECT_EQ(
      net_first.left,
      (std::vector<IdeRemoval::Left>{{{Kind::kPackageCopy, kBds3Copy, ""}, Reason::kStillUsed}}));
  EXPECT_TRUE(pc.files().FileExists(kBds3Copy));

  const IdeRemoval all = ide.Uninstall(catalogue);
  EXPECT_EQ(all.removed, (std::vector<IdeItem>{{Kind::kKnownPackage, kBds3Known, kBds3Copy},
                                               {Kind::kPackageCopy, kBds3Copy, ""},
                                               {Kind::kPackageCopy, kBds4Copy, ""}}));
  EXPECT_TRUE(all.left.empty());
  EXPECT_FALSE(pc.files().FileExists(kBds3Copy));
  EXPECT_FALSE(pc.files().FileExists(kBds4Copy));
}

TEST(IdeModules, UndoingTheVisualBasicAddInUnregistersItBeforeItsLibraryGoes) {
  SetupPc pc;
  const EnvRow row = InstalledVb6AddIn(pc);
  const auto clsid =
      pc.registry().ReadString(RootKey::kClassesRoot, "\\vl4addin.VL4ToolsForVB\\CLSID", "");
  ASSERT_TRUE(clsid);

  IdeModules ide(pc.pc(), SetupPc::kInstallDir);
  const IdeRemoval removal = ide.Uninstall(row);
  EXPECT_EQ(removal.removed,
            (std::vector<IdeItem>{
                {Kind::kAddInListEntry, kAddInList, "Add-Ins32\\vl4addin.VL4ToolsForVB"},
                {Kind::kAddInListSection, kAddInList, "Add-Ins32"},
                {Kind::kAddInRegistration, kAddInLibrary, ""},
                {Kind::kAddInLibrary, kAddInLibrary, ""}}));
  EXPECT_TRUE(removal.left.empty());
  // regsvr32 /u found the library (it fails without it) and had ended when the library went.
  EXPECT_EQ(pc.StandInLog().back(),
            "REGSVR32.EXE\tC:\\Windows\\System32\t/u\t/s\tC:\\VL4\\VB6\\vl4addin.dll");
  EXPECT_EQ(pc.StartedProcesses().back().show, platform::kSwShowMinNoActive);
  EXPECT_EQ(pc.AddInServer(), "");
  EXPECT_FALSE(pc.registry().KeyExists(RootKey::kClassesRoot, "\\CLSID\\" + *clsid));
  EXPECT_FALSE(pc.files().FileExists(kAddInLibrary));
  EXPECT_EQ(pc.Read(kAddInList), "");

  const IdeRemoval again = ide.Uninstall(row);
  EXPECT_TRUE(again.removed.empty());
  EXPECT_TRUE(again.left.empty());
}

// regsvr32 /u takes the program identifier away whatever library it names: a registration that
// names another installation's library is left to it, and this library goes unregistered. (One
// whose library is gone serves nobody and is undone: the uninstaller's tests move an
// installation by hand.)
TEST(IdeModules, UndoingKeepsARegistrationOfAnotherLibrary) {
  constexpr char kOther[] = "C:\\Old\\VL4\\VB6\\vl4addin.dll";
  SetupPc pc;
  const EnvRow row = InstalledVb6AddIn(pc);
  pc.Put(kOther, "MZ");
  pc.RegisterAddIn(kOther);
  const size_t started = pc.StartedProcesses().size();

  const IdeRemoval removal = IdeModules(pc.pc(), SetupPc::kInstallDir).Uninstall(row);
  EXPECT_EQ(removal.removed,
            (std::vector<IdeItem>{
                {Kind::kAddInListEntry, kAddInList, "Add-Ins32\\vl4addin.VL4ToolsForVB"},
                {Kind::kAddInListSection, kAddInList, "Add-Ins32"},
                {Kind::kAddInLibrary, kAddInLibrary, ""}}));
  EXPECT_TRUE(removal.left.empty());
  EXPECT_EQ(pc.StartedProcesses().size(), started);
  EXPECT_EQ(pc.AddInServer(), kOther);
  EXPECT_FALSE(pc.files().FileExists(kAddInLibrary));
}

// The section goes only when the product's entry was all it held.
TEST(IdeModules, TheAddInListKeepsWhatOthersPutThere) {
  const IdeItem entry{Kind::kAddInListEntry, kAddInList, "Add-Ins32\\vl4addin.VL4ToolsForVB"};
  const IdeItem section{Kind::kAddInListSection, kAddInList, "Add-Ins32"};
  struct Case {
    const char* list;
    const char* after;
    std::vector<IdeItem> removed;
  };
  const Case cases[] = {
      {"[Add-Ins32]\r\nvl4addin.VL4ToolsForVB=1\r\n", "", {entry, section}},
      {"[Add-Ins32]\r\nvl4addin.VL4ToolsForVB=0\r\n[Other]\r\nx=1\r\n",
       "[Other]\r\nx=1\r\n",
       {entry, section}},
      {"[Add-Ins32]\r\nAppWizard.Wizard=0\r\nvl4addin.VL4ToolsForVB=1\r\n",
       "[Add-Ins32]\r\nAppWizard.Wizard=0\r\n",
       {entry}},
      {"[Add-Ins32]\r\n; kept by hand\r\nvl4addin.VL4ToolsForVB=1\r\n",
       "[Add-Ins32]\r\n; kept by hand\r\n",
       {entry}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.list);
    SetupPc pc;
    pc.AddModules("VB6");
    pc.InstallStandIn(kRegsvr32);
    pc.Put(kAddInList, c.list);
    IdeModules ide(pc.pc(), SetupPc::kInstallDir);
    const IdeRemoval removal = ide.Uninstall(FoundRow(11, "", ""));
    EXPECT_EQ(pc.Read(kAddInList), c.after);
    EXPECT_EQ(removal.removed, c.removed);
    EXPECT_TRUE(removal.left.empty());
  }
}

// Visual Basic must never list an add-in that is not registered, nor keep a registration whose
// library is gone: what cannot be undone keeps what comes after it.
TEST(IdeModules, AnAddInThatCannotBeUndoneKeepsItsRegistrationAndLibrary) {
  const IdeItem entry{Kind::kAddInListEntry, kAddInList, "Add-Ins32\\vl4addin.VL4ToolsForVB"};
  const IdeItem section{Kind::kAddInListSection, kAddInList, "Add-Ins32"};
  const IdeItem registration{Kind::kAddInRegistration, kAddInLibrary, ""};
  const IdeItem library{Kind::kAddInLibrary, kAddInLibrary, ""};
  struct Case {
    const char* what;
    std::function<void(SetupPc&)> prepare;
    std::vector<IdeItem> removed;
    std::vector<IdeRemoval::Left> left;
    size_t regsvr32_starts;
  };
  const Case cases[] = {
      {"the list cannot be written",
       [](SetupPc& pc) { pc.files().SetAttributes(kAddInList, platform::kAttrReadOnly); },
       {},
       {{entry, Reason::kRefused},
        {registration, Reason::kStillUsed},
        {library, Reason::kStillUsed}},
       0},
      {"no regsvr32",
       [](SetupPc& pc) { pc.files().DeleteFile(kRegsvr32); },
       {entry, section},
       {{registration, Reason::kRefused}, {library, Reason::kStillUsed}},
       0},
      {"regsvr32 fails",
       [](SetupPc& pc) {
         const std::string host = pc.HostPath(kRegsvr32);
         pc.files().DeleteFile(kRegsvr32);  // the link to the stand-in
         std::ofstream(host) << "#!/bin/sh\nexit 5\n";
         ::chmod(host.c_str(), 0755);
       },
       {entry, section},
       {{registration, Reason::kRefused}, {library, Reason::kStillUsed}},
       1},
      {"another program holds the library",
       [](SetupPc& pc) { pc.pc().LockFile(kAddInLibrary); },
       {entry, section, registration},
       {{library, Reason::kRefused}},
       1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SetupPc pc;
    const EnvRow row = InstalledVb6AddIn(pc);
    const size_t started = pc.StartedProcesses().size();
    c.prepare(pc);
    const IdeRemoval removal = IdeModules(pc.pc(), SetupPc::kInstallDir).Uninstall(row);
    EXPECT_EQ(removal.removed, c.removed);
    EXPECT_EQ(removal.left, c.left);
    EXPECT_EQ(pc.StartedProcesses().size() - started, c.regsvr32_starts);
    // What the removal reports is what the PC shows.
    EXPECT_EQ(pc.AddInServer() == kAddInLibrary,
              std::find(c.removed.begin(), c.removed.end(), registration) == c.removed.end());
    EXPECT_EQ(pc.files().FileExists(kAddInLibrary), !c.left.empty());
  }
}

}  // namespace
}  // namespace vl4::test
