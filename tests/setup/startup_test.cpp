// Start-up of the setup window against sandbox PCs: the tools check, availability, the command
// line, the first run on a fresh PC and the ways start-up ends the program early.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/file_tree.h"
#include "platform/text.h"
#include "setup/results/results_file.h"
#include "tests/setup/setup_pc.h"

namespace vl4::test {
namespace {

using platform::RootKey;
using ui::ModalResult;
using ui::MsgButtons;
using ui::MsgKind;

constexpr char kDelphi7Key[] = "\\SOFTWARE\\Borland\\Delphi\\7.0";
constexpr char kDelphi7Exe[] = "C:\\Program Files\\Borland\\Delphi7\\Bin\\delphi32.exe";

std::vector<std::string> PageTitles(SetupWindow& form) {
  std::vector<std::string> titles;
  for (int k = 1; k <= form.PageCount(); ++k) titles.push_back(form.Page(k).Caption());
  return titles;
}

// What an early end leaves: a minimised window, a terminated application, no vl.ini.
void ExpectEndedEarly(SetupPc& pc) {
  EXPECT_TRUE(pc.form().EndedEarly());
  EXPECT_EQ(pc.form().GetWindowState(), ui::WindowState::kMinimized);
  EXPECT_TRUE(pc.ui().Terminated());
  EXPECT_FALSE(pc.files().FileExists("C:\\VL4\\VL.INI"));
}

TEST(StartUp, FirstRunOnAFreshPcPreparesEverything) {
  SetupPc pc;
  pc.AddModules("DELPHI7");
  pc.AddModules("VB6");
  pc.AddIde(RootKey::kLocalMachine, kDelphi7Key, "App", kDelphi7Exe);
  pc.Put("C:\\VL4\\vl4net.dll", "library");
  SetupWindow& form = pc.Start();

  EXPECT_FALSE(form.EndedEarly());
  EXPECT_EQ(form.InstallDir(), "C:\\VL4\\");
  EXPECT_EQ(PageTitles(form),
            (std::vector<std::string>{
                "Veltoria setup for available IDEs", "Veltoria setup for Borland Delphi 7",
                "Veltoria setup for Microsoft Visual Basic 6", "Working directory setup"}));
  EXPECT_EQ(form.CurrentPage(), 1);
  EXPECT_EQ(form.HeaderLabel.Caption(), "Veltoria setup for available IDEs");
  EXPECT_EQ(form.Envs().Row(7).exe_path, kDelphi7Exe);
  EXPECT_EQ(form.Envs().Row(7).page->PathEdit.Text(), kDelphi7Exe);

  // vl.ini was absent: the default working and .NET output directories were created.
  EXPECT_EQ(form.Config().work_dir, "C:\\VL4Work");
  EXPECT_EQ(form.Config().local_dir_name, "C:\\VL4Work\\Output");
  EXPECT_FALSE(form.Config().use_local_dir);
  EXPECT_TRUE(pc.files().DirectoryExists("C:\\VL4Work\\Output"));
  EXPECT_TRUE(pc.files().DirectoryExists("C:\\VL4\\LIB"));

  // The results file holds the login name, the installation and the environment found.
  auto results = pc.Read("C:\\VL4Work\\results.dat");
  ASSERT_TRUE(results);
  EXPECT_EQ(results->size(), 3 * kResultsRecordSize);
  EXPECT_EQ(RecordText(*results, 0), "Tester|10DELPHI7" + std::string(62, ' '));
  EXPECT_EQ(RecordText(*results, 1), "C:\\VL4" + std::string(72, ' '));
  EXPECT_EQ(ReadUserName(pc.files(), "C:\\VL4Work"), "Tester" + std::string(19, ' '));
  EXPECT_EQ(form.CurrentEnv(), (EnvChoice{"DELPHI", 7}));

  // ... and the working directory was completed.
  EXPECT_EQ(pc.Read("C:\\VL4Work\\vl4net.dll"), "library");
  const std::pair<const char*, const char*> links[] = {{"Demo.lnk", "C:\\VL4\\VL4Demo.exe"},
                                                       {"Load.lnk", "C:\\VL4\\VL4Load.exe"},
                                                       {"Results.lnk", "C:\\VL4\\VL4Res.exe"}};
  for (const auto& [link, target] : links) {
    auto info = pc.pc().shell().ReadShellLink(std::string("C:\\VL4Work\\") + link);
    ASSERT_TRUE(info) << link;
    EXPECT_EQ(info->target, target);
    EXPECT_EQ(info->arguments, "");
    EXPECT_EQ(info->working_directory, "");
  }

  EXPECT_EQ(pc.registry().ReadString(RootKey::kLocalMachine, "\\SOFTWARE\\Veltoria 4",
                                     "Install Directory"),
            "C:\\VL4");
  // The configuration is written at shutdown only.
  EXPECT_FALSE(pc.files().FileExists("C:\\VL4\\VL.INI"));
  pc.Close();
  EXPECT_TRUE(pc.files().FileExists("C:\\VL4\\VL.INI"));
}

TEST(StartUp, MissingToolsAreListedAndEndTheProgram) {
  struct Case {
    std::vector<const char*> missing;
    const char* listed;
  };
  const Case cases[] = {
      {{"VL4Load.exe"}, "VL4Load.exe"},
      {{"VL4Demo.exe", "VL4Res.exe"}, "VL4Demo.exe, VL4Res.exe"},
      {{"VL4Res.exe", "VL4Load.exe", "VL4Demo.exe"}, "VL4Demo.exe, VL4Load.exe, VL4Res.exe"},
  };
  for (const Case& c : cases) {
    SetupPc pc;
    pc.AddModules("DELPHI7");
    for (const char* tool : c.missing) pc.files().DeleteFile(std::string("C:\\VL4\\") + tool);
    pc.ui().ExpectMessage(std::string("The following tools of Veltoria 4 are not found:\r\n") +
                              c.listed + ".\r\nYou should reinstall Veltoria 4.",
                          MsgKind::kError, MsgButtons::kOK, ModalResult::kOK);
    pc.Start();
    ExpectEndedEarly(pc);
    EXPECT_FALSE(pc.files().DirectoryExists("C:\\VL4Work"));
    EXPECT_FALSE(pc.files().DirectoryExists("C:\\VL4\\LIB"));
  }
}

TEST(StartUp, AvailabilityNeedsTheUnitFileAndTheLoaderTemplate) {
  SetupPc pc;
  pc.AddModules("DELPHI7");
  pc.Put("C:\\VL4\\VB6\\vl4.bas");          // no loader template
  pc.Put("C:\\VL4\\CB5\\loadcb.dat");       // no unit file
  pc.Put("C:\\VL4\\VBNET2\\loadnetb.dat");  // the installation's vl4net.dll serves
  pc.Put("C:\\VL4\\vl4net.dll");
  pc.Put("C:\\VL4\\VB7\\vl4net.dll");  // a .NET row's own library ...
  pc.Put("C:\\VL4\\VB7\\loadvb.dat");
  pc.AddModules("LAZARUS1");
  SetupWindow& form = pc.Start();

  const std::vector<std::string> available = {"Borland Delphi 7", "Microsoft Visual Basic 2003",
                                              "Microsoft Visual Basic .NET 2005",
                                              "Free Pascal Lazarus 0.9"};
  EXPECT_EQ(form.EnvironmentList.Items(), available);
  ASSERT_EQ(form.PageCount(), 6);
  for (int k = 2; k <= 5; ++k) {
    EXPECT_EQ(form.Page(k).Caption(), "Veltoria setup for " + available[k - 2]);
  }
  EXPECT_FALSE(form.Envs().Row(11).available);
  EXPECT_FALSE(form.Envs().Row(20).available);
  EXPECT_EQ(form.PageNumber(form.Envs().Row(11).page->Sheet), 0);

  // The page menu: one radio item per page, captioned with its title, tagged with its number.
  ASSERT_EQ(form.PageMenu.Count(), 6);
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(form.PageMenu.Item(i).Caption(), form.Page(i + 1).Caption());
    EXPECT_EQ(form.PageMenu.Item(i).Tag(), i + 1);
    EXPECT_TRUE(form.PageMenu.Item(i).RadioItem());
    EXPECT_EQ(form.PageMenu.Item(i).Checked(), i == 0);
  }
  EXPECT_TRUE(form.ButtonEnvsDelete.Enabled());
}

TEST(StartUp, OneEnvironmentCannotBeGivenUpOnTheEnvironmentsPage) {
  SetupPc pc;
  pc.AddModules("VB6");
  SetupWindow& form = pc.Start();
  EXPECT_EQ(form.EnvironmentList.Count(), 1);
  EXPECT_FALSE(form.ButtonEnvsDelete.Enabled());
}

TEST(StartUp, NoEnvironmentEndsTheProgram) {
  SetupPc pc;
  pc.Put("C:\\VL4\\DELPHI7\\vl4.pas");
  pc.ui().ExpectMessage("Environments for Veltoria are not found. You should reinstall Veltoria 4.",
                        MsgKind::kError, MsgButtons::kOK, ModalResult::kOK);
  pc.Start();
  ExpectEndedEarly(pc);
  EXPECT_FALSE(pc.files().DirectoryExists("C:\\VL4\\LIB"));
}

TEST(StartUp, FastModeRunsTheWholeStartUpAndWritesNoConfiguration) {
  SetupPc pc;
  pc.AddModules("DELPHI7");
  pc.WriteVlIni("[Work Directory]\r\nLabel=Ivan\r\n");
  SetupWindow& form = pc.Start({"-fast"});
  EXPECT_TRUE(form.FastMode());
  EXPECT_TRUE(form.EndedEarly());
  EXPECT_TRUE(pc.ui().Terminated());
  // What start-up did stays ...
  EXPECT_TRUE(pc.files().FileExists("C:\\VL4Work\\results.dat"));
  EXPECT_TRUE(pc.files().DirectoryExists("C:\\VL4\\LIB"));
  EXPECT_TRUE(pc.registry().KeyExists(RootKey::kLocalMachine, "\\SOFTWARE\\Veltoria 4"));
  // ... but the configuration is not written back, and the window was never shown.
  EXPECT_EQ(pc.Read("C:\\VL4\\VL.INI"), "[Work Directory]\r\nLabel=Ivan\r\n");
  for (const std::string& entry : pc.ui().Transcript()) {
    EXPECT_EQ(entry.find("show Form1"), std::string::npos) << entry;
  }
}

TEST(StartUp, TheFirstArgumentMayNameTheStartPage) {
  struct Case {
    std::vector<std::string> arguments;
    const char* start_title;
  };
  const Case cases[] = {
      {{"delphi7"}, "Veltoria setup for Borland Delphi 7"},
      {{"VBNET2"}, "Veltoria setup for available IDEs"},              // not available
      {{"C:\\VL4", "delphi7"}, "Veltoria setup for available IDEs"},  // not the first
      {{"DELPHI8"}, "Veltoria setup for available IDEs"},
      {{""}, "Veltoria setup for available IDEs"},
  };
  for (const Case& c : cases) {
    SetupPc pc;
    pc.AddModules("DELPHI7");
    pc.AddModules("VB6");
    SetupWindow& form = pc.Start(c.arguments);
    EXPECT_EQ(form.HeaderLabel.Caption(), c.start_title) << c.arguments.front();
    EXPECT_EQ(form.PageMenu.Item(form.CurrentPage() - 1).Checked(), true);
  }
}

TEST(StartUp, TheSourceDirectoryLendsItsVlIniAndGetsItBack) {
  SetupPc pc;
  pc.AddModules("DELPHI7");
  platform::ForceDirectories(pc.files(), "C:\\Class");
  pc.Put("C:\\Class\\vl.ini", "[Work Directory]\r\nPath=C:\\Class\\Work\r\nLabel=Petrov\r\n");
  pc.WriteVlIni("[Work Directory]\r\nLabel=Local\r\n");
  SetupWindow& form = pc.Start({"C:\\Class\\", "C:\\NoSuchDir", "-FASTER"});
  EXPECT_EQ(form.SourceDir(), "C:\\Class");
  EXPECT_FALSE(form.FastMode());
  EXPECT_EQ(form.Config().work_dir, "C:\\Class\\Work");
  EXPECT_EQ(form.Config().user_name, "Petrov");
  pc.Close();
  auto local = pc.Read("C:\\VL4\\VL.INI");
  ASSERT_TRUE(local);
  EXPECT_NE(local->find("Path=C:\\Class\\Work"), std::string::npos);
  EXPECT_EQ(pc.Read("C:\\Class\\vl.ini"), local);
}

TEST(StartUp, ASourceDirectoryWithoutVlIniOnlyReceivesOne) {
  SetupPc pc;
  pc.AddModules("DELPHI7");
  platform::ForceDirectories(pc.files(), "C:\\Class");
  pc.WriteVlIni("[Work Directory]\r\nLabel=Local\r\n");
  SetupWindow& form = pc.Start({"C:\\Class"});
  EXPECT_EQ(form.Config().user_name, "Local");
  pc.Close();
  EXPECT_EQ(pc.Read("C:\\Class\\vl.ini"), pc.Read("C:\\VL4\\VL.INI"));
}

// Start-up moves into the installation directory, so a relative source directory must be held
// as the folder it named when the program started.
TEST(StartUp, ARelativeSourceDirectoryIsTheFolderItNamedAtTheStart) {
  SetupPc pc;
  pc.AddModules("DELPHI7");
  platform::ForceDirectories(pc.files(), "C:\\Class\\Group");
  pc.Put("C:\\Class\\vl.ini", "[Work Directory]\r\nLabel=Petrov\r\n");
  const std::filesystem::path host_cwd = std::filesystem::current_path();
  std::filesystem::current_path(pc.HostPath("C:\\Class\\Group"));  // the program starts there
  SetupWindow& form = pc.Start({".."});
  std::filesystem::current_path(host_cwd);
  EXPECT_EQ(form.SourceDir(), "C:\\Class");
  EXPECT_EQ(form.Config().user_name, "Petrov");
  pc.Close();
  EXPECT_EQ(pc.Read("C:\\Class\\vl.ini"), pc.Read("C:\\VL4\\VL.INI"));
  EXPECT_FALSE(pc.files().FileExists("C:\\vl.ini"));
}

TEST(StartUp, AWorkingDirectoryThatCannotBeCreatedIsLeftEmpty) {
  SetupPc pc;
  pc.AddModules("DELPHI7");
  pc.WriteVlIni("[Work Directory]\r\nPath=Q:\\Nowhere\r\n");  // no drive Q:
  SetupWindow& form = pc.Start();
  EXPECT_FALSE(form.EndedEarly());
  EXPECT_EQ(form.Config().work_dir, "");
  EXPECT_EQ(form.LabelWorkStatus.Caption(), "\r\nThe working directory must be specified.");
  EXPECT_FALSE(form.ComboEnvironment.Enabled());
  EXPECT_FALSE(pc.files().FileExists("C:\\VL4Work\\results.dat"));
  EXPECT_FALSE(pc.files().FileExists("C:\\VL4\\results.dat"));
}

TEST(StartUp, AnInstallationWhereLibCannotBeCreatedEndsWithTheSystemErrorBox) {
  SetupPc pc;
  pc.AddModules("DELPHI7");
  pc.Put("C:\\VL4\\LIB", "a file where the directory should go");
  pc.ui().ExpectMessage(
      "The program VL4Setup caused a system error EInOutError with diagnostics \"Cannot create "
      "the directory \"C:\\VL4\\LIB\"\". It is likely that the program was run in the read-only "
      "directory (for example, in the directory on CD)",
      MsgKind::kError, MsgButtons::kOK, ModalResult::kOK);
  pc.Start();
  ExpectEndedEarly(pc);
}

TEST(StartUp, TheCurrentEnvironmentComesFromTheInstallationsResultsHeader) {
  SetupPc pc;
  pc.AddModules("DELPHI7");
  pc.AddModules("VB6");
  pc.WriteVlIni("[Work Directory]\r\nPath=Q:\\Nowhere\r\nDefaultEnvir=DELPHI7\r\n");
  std::minstd_rand random(3);
  ASSERT_TRUE(CreateResultsFile(pc.files(), "C:\\VL4", "C:\\VL4\\", "Teacher", "|12vb6", random));
  EXPECT_EQ(pc.Start().CurrentEnv(), (EnvChoice{"VB", 6}));
}

TEST(StartUp, WithoutAHeaderTheDefaultEnvironmentOfVlIniIsCurrent) {
  SetupPc pc;
  pc.AddModules("DELPHI7");
  pc.WriteVlIni("[Work Directory]\r\nPath=Q:\\Nowhere\r\nDefaultEnvir=VBNET2\r\n");
  EXPECT_EQ(pc.Start().CurrentEnv(), (EnvChoice{"VBNET", 2}));
}

}  // namespace
}  // namespace vl4::test
