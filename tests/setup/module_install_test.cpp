// Module installation on sandbox PCs with the stand-in IDE tools: each family's installation
// with the real command lines, the known packages, the Visual Basic add-in, the status lines and
// check marks that follow, and the Browse action.
#include <gtest/gtest.h>

#include "platform/file_tree.h"
#include "platform/profile.h"
#include "tests/setup/setup_pc.h"

namespace vl4::test {
namespace {

using namespace ides;
using platform::RootKey;
using ui::ModalResult;
using ui::MsgButtons;
using ui::MsgKind;

constexpr int kMinNoActive = platform::kSwShowMinNoActive;

constexpr char kDelphiInstalled[] =
    "Veltoria can be used with Borland Delphi 7.\r\nThe Veltoria tools are installed\r\ninto the "
    "menu \"Tools\" of the Borland Delphi 7 IDE.";
constexpr char kDelphiAuxMissing[] =
    "Veltoria can be used with Borland Delphi 7, but copying of an auxiliary file vl4d7tls.bpl "
    "to subdirectory Lib of Borland Delphi 7 directory is impossible (maybe the subdirectory is "
    "read-only).";
constexpr char kVbUsable[] = "\r\nVeltoria can be used with Microsoft Visual Basic 6.";
constexpr char kVbInstalled[] =
    "Veltoria can be used with Microsoft Visual Basic 6.\r\nThe Veltoria tools are installed\r\n"
    "into the menu \"Add-Ins\" of the Microsoft Visual Basic 6 IDE.";

std::optional<std::string> KnownPackage(SetupPc& pc, const std::string& key,
                                        const std::string& name) {
  return pc.registry().ReadString(RootKey::kCurrentUser, key, name);
}

const EnvPage& PageOf(SetupWindow& form, int row) {
  return *form.Envs().Row(row).page;
}

TEST(ModuleInstall, Delphi7CompilesCopiesAndRegistersItsPackage) {
  SetupPc pc;
  pc.AddDelphi7();
  SetupWindow& form = pc.Start();

  // The IDE's own compiler, in the module folder, minimised without taking the focus.
  const auto started = pc.StartedProcesses();
  ASSERT_EQ(started.size(), 1u);
  EXPECT_EQ(started[0].command,
            "C:\\Borland\\Delphi7\\Bin\\dcc32.exe \"C:\\VL4\\DELPHI7\\vl4d7tls.dpk\"");
  EXPECT_EQ(started[0].show, kMinNoActive);
  EXPECT_EQ(pc.StandInLog(), std::vector<std::string>{
                                 "DCC32.EXE\tC:\\VL4\\DELPHI7\tC:\\VL4\\DELPHI7\\vl4d7tls.dpk"});
  ASSERT_TRUE(pc.files().FileExists(kPackage));
  EXPECT_FALSE(pc.files().FileExists("C:\\VL4\\DELPHI7\\vl4d7tls.dcp"));
  EXPECT_FALSE(pc.files().FileExists("C:\\VL4\\DELPHI7\\vl4d7tls.dcu"));
  EXPECT_EQ(pc.Read(kDelphiValue), pc.Read(kPackage));
  EXPECT_EQ(KnownPackage(pc, kDelphiKnown, kDelphiValue), "VL4 Tools for Delphi 7");

  const EnvPage& page = PageOf(form, 7);
  EXPECT_EQ(page.Status.Caption(), kDelphiInstalled);
  EXPECT_FALSE(page.StatusRed());
  EXPECT_EQ(page.InstallButton->Caption(), "Delete the Veltoria modules from Borland Delphi 7");
  EXPECT_TRUE(form.EnvironmentList.Checked(0));
  EXPECT_EQ(form.LabelEnvsStatus.Caption(), kDelphiInstalled);

  // The next start finds everything in place: nothing is compiled, and a description the user
  // gave the package stays.
  pc.registry().WriteString(RootKey::kCurrentUser, kDelphiKnown, kDelphiValue, "My tools");
  pc.Start();
  EXPECT_EQ(pc.StartedProcesses().size(), 1u);
  EXPECT_EQ(KnownPackage(pc, kDelphiKnown, kDelphiValue), "My tools");
  EXPECT_EQ(PageOf(pc.form(), 7).Status.Caption(), kDelphiInstalled);

  // A package deleted from the module folder is compiled again.
  pc.files().DeleteFile(kPackage);
  pc.Start();
  EXPECT_EQ(pc.StartedProcesses().size(), 2u);
  EXPECT_TRUE(pc.files().FileExists(kPackage));
}

TEST(ModuleInstall, ACompilerStillRunningAfterTheWaitLeavesThePackageForALaterStart) {
  SetupPc pc;
  pc.AddDelphi7("package vl4d7tls; { vl4standin-delay=3000 }\r\nend.\r\n");
  SetupWindow& form = pc.Start();
  EXPECT_FALSE(pc.files().FileExists(kPackage));
  EXPECT_EQ(PageOf(form, 7).Status.Caption(), kDelphiAuxMissing);
  EXPECT_FALSE(PageOf(form, 7).StatusRed());
  EXPECT_FALSE(KnownPackage(pc, kDelphiKnown, kDelphiValue));

  // The compiler finishes later; its unit and symbol files were deleted before it wrote them.
  ASSERT_TRUE(pc.pc().WaitForStartedProcesses());
  EXPECT_TRUE(pc.files().FileExists(kPackage));
  EXPECT_TRUE(pc.files().FileExists("C:\\VL4\\DELPHI7\\vl4d7tls.dcu"));

  pc.Start();
  EXPECT_EQ(pc.StartedProcesses().size(), 1u);
  EXPECT_EQ(KnownPackage(pc, kDelphiKnown, kDelphiValue), "VL4 Tools for Delphi 7");
  EXPECT_EQ(PageOf(pc.form(), 7).Status.Caption(), kDelphiInstalled);
}

TEST(ModuleInstall, CppBuilder5RegistersItsPackageUnderBcb) {
  SetupPc pc;
  pc.AddModules("CB5");
  pc.Put("C:\\VL4\\CB5\\vl4b5tls.dpk", "package vl4b5tls;\r\nend.\r\n");
  pc.AddIde(RootKey::kLocalMachine, "\\SOFTWARE\\Borland\\C++Builder\\5.0", "App",
            "C:\\CBuilder5\\Bin\\bcb.exe");
  pc.registry().WriteString(RootKey::kLocalMachine, "\\SOFTWARE\\Borland\\C++Builder\\5.0",
                            "RootDir", "C:\\CBuilder5");
  platform::ForceDirectories(pc.files(), "C:\\CBuilder5\\Lib");
  pc.InstallStandIn("C:\\CBuilder5\\Bin\\dcc32.exe");
  const std::string known = "\\Software\\Borland\\C++Builder\\5.0\\Known Packages";
  pc.registry().CreateKey(RootKey::kCurrentUser, known);
  SetupWindow& form = pc.Start();

  ASSERT_EQ(pc.StartedProcesses().size(), 1u);
  EXPECT_EQ(pc.StartedProcesses()[0].command,
            "C:\\CBuilder5\\Bin\\dcc32.exe \"C:\\VL4\\CB5\\vl4b5tls.dpk\"");
  EXPECT_TRUE(pc.files().FileExists("C:\\CBuilder5\\Lib\\vl4b5tls.bpl"));
  EXPECT_EQ(KnownPackage(pc, known, "$(BCB)\\Lib\\vl4b5tls.bpl"), "VL4 Tools for C++Builder 5");
  EXPECT_EQ(PageOf(form, 20).Status.Caption(),
            "Veltoria can be used with Borland C++Builder 5.\r\nThe Veltoria tools are "
            "installed\r\ninto the menu \"Tools\" of the Borland C++Builder 5 IDE.");
}

TEST(ModuleInstall, TheKnownPackageValueIsWrittenOnlyIntoAnExistingKey) {
  constexpr char kUsable[] = "\r\nVeltoria can be used with Borland Delphi 7.";
  struct Case {
    const char* what;
    std::function<void(SetupPc&)> prepare;
    std::function<void(SetupPc&)> check;
    const char* status;
  };
  const std::vector<Case> cases = {
      {"the IDE never ran: no key is made",
       [](SetupPc& pc) { pc.registry().DeleteKey(RootKey::kCurrentUser, kDelphiKnown); },
       [](SetupPc& pc) {
         EXPECT_FALSE(pc.registry().KeyExists(RootKey::kCurrentUser, kDelphiKnown));
       },
       kUsable},
      {"an empty value is filled in",
       [](SetupPc& pc) {
         pc.registry().WriteString(RootKey::kCurrentUser, kDelphiKnown, kDelphiValue, "");
       },
       [](SetupPc& pc) {
         EXPECT_EQ(KnownPackage(pc, kDelphiKnown, kDelphiValue), "VL4 Tools for Delphi 7");
       },
       kDelphiInstalled},
      {"a value of another type is reported and kept",
       [](SetupPc& pc) {
         pc.registry().WriteDword(RootKey::kCurrentUser, kDelphiKnown, kDelphiValue, 1);
         // Once for the page, once for the environments page's details.
         for (int i = 0; i < 2; ++i) {
           pc.ui().ExpectMessage("Could not write data to the system registry.", MsgKind::kError,
                                 MsgButtons::kOK, ModalResult::kOK);
         }
       },
       [](SetupPc& pc) {
         EXPECT_EQ(pc.registry().ReadDword(RootKey::kCurrentUser, kDelphiKnown, kDelphiValue), 1u);
       },
       kUsable},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SetupPc pc;
    pc.AddDelphi7();
    pc.Put(kPackage, "built");  // nothing to compile
    c.prepare(pc);
    SetupWindow& form = pc.Start();
    EXPECT_TRUE(pc.StartedProcesses().empty());
    c.check(pc);
    EXPECT_EQ(PageOf(form, 7).Status.Caption(), c.status);
  }
}

TEST(ModuleInstall, ABorlandNetRowOnlyCopiesItsPackage) {
  SetupPc pc;
  pc.AddModules("DELNET9");
  pc.Put("C:\\VL4\\DELNET9\\vl4d9tls.bpl", "package");
  pc.Put("C:\\VL4\\DELNET9\\vl4d9tls.dpk");
  pc.AddIde(RootKey::kLocalMachine, "\\SOFTWARE\\Borland\\BDS\\3.0", "App",
            "C:\\BDS\\3.0\\Bin\\bds.exe");
  platform::ForceDirectories(pc.files(), "C:\\BDS\\3.0\\Lib");
  pc.InstallStandIn("C:\\BDS\\3.0\\Bin\\dcc32.exe");
  const std::string known = "\\Software\\Borland\\BDS\\3.0\\Known Packages";
  pc.registry().CreateKey(RootKey::kCurrentUser, known);
  SetupWindow& form = pc.Start();
  EnvRow& row = form.Envs().Row(30);
  EXPECT_EQ(row.exe_path, "C:\\BDS\\3.0\\Bin\\bds.exe");
  // Start-up knows no library directory for the row: nothing goes into the IDE yet.
  EXPECT_FALSE(pc.files().FileExists("C:\\BDS\\3.0\\Lib\\vl4d9tls.bpl"));

  form.PageMenu.Item(1).Click();
  pc.ui().ExpectOpenFile(std::string("C:\\BDS\\3.0\\Bin\\bds.exe"));
  form.PressKey(ui::kKeyF8);
  EXPECT_EQ(row.library_dir, "C:\\BDS\\3.0\\Lib");
  EXPECT_EQ(pc.Read("C:\\BDS\\3.0\\Lib\\vl4d9tls.bpl"), "package");
  EXPECT_FALSE(
      pc.registry().ValueExists(RootKey::kCurrentUser, known, "C:\\BDS\\3.0\\Lib\\vl4d9tls.bpl"));
  EXPECT_EQ(row.page->Status.Caption(), "\r\nVeltoria can be used with Borland Delphi .NET 2005.");

  // Its package is never compiled, not even when the module folder lacks it.
  pc.files().DeleteFile("C:\\VL4\\DELNET9\\vl4d9tls.bpl");
  pc.ui().ExpectOpenFile(std::string("C:\\BDS\\3.0\\Bin\\bds.exe"));
  form.PressKey(ui::kKeyF8);
  EXPECT_TRUE(pc.StartedProcesses().empty());
}

TEST(ModuleInstall, VisualBasic6BuildsItsAddInAndRegistersItOnce) {
  SetupPc pc;
  pc.AddVb6();
  SetupWindow& form = pc.Start();

  // Start-up builds the library with the IDE, then its status refresh registers it; the
  // environments page's refresh of the same row does not start regsvr32 again.
  const auto started = pc.StartedProcesses();
  ASSERT_EQ(started.size(), 2u);
  EXPECT_EQ(started[0].command,
            "C:\\VB98\\VB6.exe /makedll \"C:\\VL4\\VB6\\vl4addin.vbp\" /out "
            "\"C:\\VL4\\VB6\\vl4addin.inf\"       ");
  EXPECT_EQ(started[0].show, kMinNoActive);
  EXPECT_EQ(started[1].command,
            "C:\\Windows\\System32\\regsvr32.exe /s \"C:\\VL4\\VB6\\vl4addin.dll\"");
  EXPECT_EQ(started[1].show, kMinNoActive);
  EXPECT_TRUE(pc.files().FileExists("C:\\VL4\\VB6\\vl4addin.dll"));
  EXPECT_EQ(pc.Read("C:\\VL4\\VB6\\vl4addin.inf"), "Build of 'vl4addin.dll' succeeded.\r\n");
  EXPECT_EQ(pc.pc().profile().ReadString(kAddInList, "Add-Ins32", "vl4addin.VL4ToolsForVB", ""),
            "1");
  // The page's status was written before the registration; the details panel's after it.
  EXPECT_EQ(PageOf(form, 11).Status.Caption(), kVbUsable);
  EXPECT_EQ(form.LabelEnvsStatus.Caption(), kVbInstalled);

  form.PageMenu.Item(1).Click();
  EXPECT_EQ(PageOf(form, 11).Status.Caption(), kVbInstalled);
  EXPECT_FALSE(PageOf(form, 11).StatusRed());
  EXPECT_EQ(pc.StartedProcesses().size(), 2u);

  ASSERT_TRUE(pc.pc().WaitForStartedProcesses());
  EXPECT_EQ(pc.StandInLog(),
            (std::vector<std::string>{"VB6.EXE\tC:\\VL4\\VB6\t/makedll\tC:\\VL4\\VB6\\vl4addin.vbp"
                                      "\t/out\tC:\\VL4\\VB6\\vl4addin.inf",
                                      "REGSVR32.EXE\tC:\\Windows\\System32\t/s\t"
                                      "C:\\VL4\\VB6\\vl4addin.dll"}));
  EXPECT_EQ(pc.AddInServer(), kAddInLibrary);
}

// Visual Basic loads the add-in its list names through the registration of its program
// identifier, so both must name this installation's library: an entry alone (left by an
// installation in another folder, or by an older build) is registered, and a registration in place
// is not started again. An entry without a library behind it does not count.
TEST(ModuleInstall, TheAddInIsRegisteredUnlessWindowsAlreadyLoadsThisLibrary) {
  constexpr char kListed[] = "[Add-Ins32]\r\nvl4addin.VL4ToolsForVB=1\r\n";
  constexpr char kOther[] = "C:\\Old\\VL4\\VB6\\vl4addin.dll";
  struct Case {
    const char* what;
    const char* list;
    bool library;            // built at start-up from the shipped project
    const char* registered;  // the library the registration names before the start
    const char* list_after;
    size_t regsvr32_starts;
    const char* details_status;  // the second refresh
    const char* registered_after;
  };
  const Case cases[] = {
      {"listed and registered", kListed, true, kAddInLibrary, "1", 0, kVbInstalled, kAddInLibrary},
      {"listed, never registered", kListed, true, "", "1", 1, kVbInstalled, kAddInLibrary},
      {"listed, registered in another folder", kListed, true, kOther, "1", 1, kVbInstalled,
       kAddInLibrary},
      {"listed as off", "[Add-Ins32]\r\nvl4addin.VL4ToolsForVB=0\r\n", true, "", "1", 1,
       kVbInstalled, kAddInLibrary},
      {"registered, not listed", "", true, kAddInLibrary, "1", 0, kVbInstalled, kAddInLibrary},
      {"no library", "", false, "", "", 0, kVbUsable, ""},
      {"listed without a library", kListed, false, kOther, "1", 0, kVbUsable, kOther},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SetupPc pc;
    pc.AddVb6();
    if (!c.library) pc.files().DeleteFile("C:\\VL4\\VB6\\vl4addin.vbp");
    if (*c.list) pc.Put(kAddInList, c.list);
    if (*c.registered) pc.RegisterAddIn(c.registered);
    SetupWindow& form = pc.Start();
    size_t regsvr32_starts = 0;
    for (const SetupPc::Started& started : pc.StartedProcesses()) {
      if (started.command.find("regsvr32.exe") != std::string::npos) ++regsvr32_starts;
    }
    EXPECT_EQ(regsvr32_starts, c.regsvr32_starts);
    EXPECT_EQ(form.LabelEnvsStatus.Caption(), c.details_status);
    EXPECT_EQ(pc.pc().profile().ReadString(kAddInList, "Add-Ins32", "vl4addin.VL4ToolsForVB", ""),
              c.list_after);
    ASSERT_TRUE(pc.pc().WaitForStartedProcesses());
    EXPECT_EQ(pc.AddInServer(), c.registered_after);
  }
}

TEST(ModuleInstall, StatusLinesTellWhatTheSetupToolFound) {
  SetupPc pc;
  pc.AddModules("DELPHI7");
  pc.AddModules("CB5");
  pc.AddModules("LAZARUS1");
  // Delphi 7 without its compiler: the package cannot reach the library directory.
  pc.AddIde(RootKey::kLocalMachine, kDelphiKey, "App", kDelphiExe);
  pc.registry().WriteString(RootKey::kLocalMachine, kDelphiKey, "RootDir", "C:\\Borland\\Delphi7");
  pc.Put(std::string(kDelphiLib) + "\\System.dcu");
  pc.Put("c:\\lazarus\\lazarus.exe");
  pc.WriteVlIni("[Libraries]\r\nCB5=C:\\CBuilder5\\Lib\r\n");
  platform::ForceDirectories(pc.files(), "C:\\CBuilder5\\Lib");
  SetupWindow& form = pc.Start();

  EXPECT_EQ(PageOf(form, 7).Status.Caption(), kDelphiAuxMissing);
  EXPECT_FALSE(PageOf(form, 7).StatusRed());
  EXPECT_TRUE(PageOf(form, 7).ModulesInstalled());

  // C++Builder 5 is not installed: red, its library directory forgotten, nothing marked.
  const EnvPage& cb = PageOf(form, 20);
  EXPECT_EQ(cb.Status.Caption(),
            "The executable file for Borland C++Builder 5 is not found.\r\nTry to find it by "
            "pressing the \"Browse\" button,\r\nbut it seems likely that Borland C++Builder 5 is "
            "not installed on your computer.");
  EXPECT_TRUE(cb.StatusRed());
  EXPECT_FALSE(cb.InstallButton->Enabled());
  EXPECT_FALSE(cb.ModulesInstalled());
  EXPECT_EQ(form.Envs().Row(20).library_dir, "");

  EXPECT_EQ(PageOf(form, 32).Status.Caption(),
            "\r\nVeltoria can be used with Free Pascal Lazarus 0.9.");
  EXPECT_FALSE(PageOf(form, 32).StatusRed());
}

TEST(EnvironmentsPage, TheDetailsShowTheSelectedEntryAndItsCheckMarkFollowsTheRule) {
  SetupPc pc;
  pc.AddDelphi7();
  pc.Put(kPackage, "built");
  pc.AddModules("VB6");
  pc.AddModules("LAZARUS1");
  pc.Put("c:\\lazarus\\lazarus.exe");
  SetupWindow& form = pc.Start();
  ASSERT_EQ(form.EnvironmentList.Items(),
            (std::vector<std::string>{"Borland Delphi 7", "Microsoft Visual Basic 6",
                                      "Free Pascal Lazarus 0.9"}));
  EXPECT_EQ(form.EnvironmentList.ItemIndex(), 0);
  EXPECT_EQ(form.EditEnvsExe.Text(), kDelphiExe);
  EXPECT_EQ(form.LabelEnvsStatus.Caption(), kDelphiInstalled);

  form.EnvironmentList.UserSelect(1);
  EXPECT_EQ(form.EditEnvsExe.Text(), "");
  EXPECT_EQ(form.LabelEnvsStatus.Caption(), PageOf(form, 11).Status.Caption());
  EXPECT_TRUE(form.LabelEnvsStatus.GetFont().color == ui::kRed);

  // Clicking a check box does not toggle it: the rule puts the mark back.
  for (int entry : {0, 1, 2}) {
    const bool before = form.EnvironmentList.Checked(entry);
    form.EnvironmentList.UserClickCheck(entry);
    EXPECT_EQ(form.EnvironmentList.Checked(entry), before) << entry;
    EXPECT_EQ(form.EnvironmentList.ItemIndex(), entry);
  }
  EXPECT_TRUE(form.EnvironmentList.Checked(0));
  EXPECT_FALSE(form.EnvironmentList.Checked(1));
  EXPECT_TRUE(form.EnvironmentList.Checked(2));
}

TEST(Browse, TheChosenExecutableIsCheckedAndItsModulesInstalled) {
  SetupPc pc;
  pc.AddDelphi7("package vl4d7tls;\r\nend.\r\n", /*in_registry=*/false);
  pc.Put("C:\\Other\\MyDelphi32Copy.exe", "MZ");
  SetupWindow& form = pc.Start();
  EnvRow& row = form.Envs().Row(7);
  ASSERT_EQ(row.exe_path, "");
  form.PageMenu.Item(1).Click();

  // Nothing known: the dialog opens at the first drive root; a file of the wrong name is refused.
  pc.ui().ExpectOpenFile([](const ui::OpenFileRequest& r) -> std::optional<std::string> {
    EXPECT_EQ(r.title, "Select the executable file for Borland Delphi 7 IDE");
    EXPECT_EQ(r.filter, "Executable files (*.exe)|*.exe");
    EXPECT_EQ(r.initial_dir, "C:\\");
    EXPECT_EQ(r.file_name, "");
    return "C:\\Tools\\delphi.exe";
  });
  form.PressKey(ui::kKeyF8);
  EXPECT_EQ(row.exe_path, "");
  EXPECT_TRUE(row.page->StatusRed());

  // Outside a Bin directory there is no library directory and nothing is installed. Once the
  // registry names Delphi 7, the dialog offers what detection finds.
  pc.registry().WriteString(RootKey::kLocalMachine, kDelphiKey, "App", kDelphiExe);
  pc.ui().ExpectOpenFile([](const ui::OpenFileRequest& r) -> std::optional<std::string> {
    EXPECT_EQ(r.file_name, kDelphiExe);
    return "C:\\Other\\MyDelphi32Copy.exe";
  });
  form.PressKey(ui::kKeyF8);
  EXPECT_EQ(row.exe_path, "C:\\Other\\MyDelphi32Copy.exe");
  EXPECT_EQ(row.page->PathEdit.Text(), "C:\\Other\\MyDelphi32Copy.exe");
  EXPECT_EQ(row.library_dir, "");
  EXPECT_TRUE(pc.StartedProcesses().empty());
  EXPECT_EQ(row.page->Status.Caption(), kDelphiAuxMissing);

  // The IDE's own executable: its Lib directory, the package compiled and registered.
  pc.ui().ExpectOpenFile([](const ui::OpenFileRequest& r) -> std::optional<std::string> {
    EXPECT_EQ(r.file_name, "C:\\Other\\MyDelphi32Copy.exe");
    return kDelphiExe;
  });
  row.page->BrowseButton.Click();
  EXPECT_EQ(row.library_dir, kDelphiLib);
  EXPECT_EQ(pc.StartedProcesses().size(), 1u);
  EXPECT_EQ(row.page->Status.Caption(), kDelphiInstalled);
  EXPECT_EQ(row.page->BrowseButton.Caption(), "Browse [F8]");

  // Cancelling changes nothing.
  pc.ui().ExpectOpenFile(std::nullopt);
  form.PressKey(ui::kKeyF8);
  EXPECT_EQ(row.exe_path, kDelphiExe);
  EXPECT_EQ(row.page->Status.Caption(), kDelphiInstalled);
}

TEST(Browse, TheEnvironmentsPageBrowsesForTheSelectedEntry) {
  SetupPc pc;
  pc.AddVb6();
  pc.registry().DeleteKey(RootKey::kLocalMachine, kVbKey);  // not found at start-up
  pc.AddModules("LAZARUS1");
  pc.Put("C:\\Programs\\Lazarus\\lazarus.exe");
  SetupWindow& form = pc.Start();
  ASSERT_FALSE(form.EnvironmentList.Checked(1));

  form.EnvironmentList.UserSelect(1);
  pc.ui().ExpectOpenFile(std::string("C:\\Programs\\Lazarus\\lazarus.exe"));
  form.PressKey(ui::kKeyF8);
  EXPECT_EQ(form.Envs().Row(32).exe_path, "C:\\Programs\\Lazarus\\lazarus.exe");
  EXPECT_EQ(form.EditEnvsExe.Text(), "C:\\Programs\\Lazarus\\lazarus.exe");
  EXPECT_EQ(form.LabelEnvsStatus.Caption(),
            "\r\nVeltoria can be used with Free Pascal Lazarus 0.9.");
  EXPECT_TRUE(form.EnvironmentList.Checked(1));

  // Visual Basic has no library directory, but its add-in is built and registered at once.
  form.EnvironmentList.UserSelect(0);
  pc.ui().ExpectOpenFile(std::string("C:\\VB98\\VB6.EXE"));
  form.ButtonEnvsBrowse.Click();
  EXPECT_TRUE(pc.files().FileExists("C:\\VL4\\VB6\\vl4addin.dll"));
  EXPECT_EQ(pc.StartedProcesses().size(), 2u);
  EXPECT_EQ(form.LabelEnvsStatus.Caption(), kVbInstalled);
  EXPECT_TRUE(form.EnvironmentList.Checked(0));

  form.EnvironmentList.SetItemIndex(-1);
  pc.ui().ExpectMessage("Error: ButtonBrowse", ModalResult::kOK);
  form.ButtonEnvsBrowse.Click();
}

}  // namespace
}  // namespace vl4::test
