// The setup window on the headless UI: navigation, the page menu, the key map, the state
// refresh of the working directory page and its actions (working directory, results file,
// environment list).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/file_tree.h"
#include "platform/path.h"
#include "setup/results/results_file.h"
#include "tests/setup/setup_pc.h"

namespace vl4::test {
namespace {

using platform::RootKey;
using ui::Key;
using ui::ModalResult;
using ui::MsgButtons;
using ui::MsgKind;

constexpr char kDelphi7Exe[] = "C:\\Program Files\\Borland\\Delphi7\\Bin\\delphi32.exe";
constexpr char kResults[] = "C:\\VL4Work\\results.dat";

// Delphi 7 and Lazarus shipped and installed, Visual Basic 6 shipped but not installed.
void ThreeEnvironments(SetupPc& pc) {
  pc.AddModules("DELPHI7");
  pc.AddModules("VB6");
  pc.AddModules("LAZARUS1");
  pc.AddIde(RootKey::kLocalMachine, "\\SOFTWARE\\Borland\\Delphi\\7.0", "App", kDelphi7Exe);
  pc.Put("c:\\lazarus\\lazarus.exe");
}

std::string Status(const SetupWindow& form) {
  return form.LabelWorkStatus.Caption();
}
bool Red(const ui::Control& control) {
  return control.GetFont().color == ui::kRed;
}

// The radio mark sits on the shown page's item, and only there.
void ExpectMenuMarks(SetupWindow& form) {
  for (int i = 0; i < form.PageMenu.Count(); ++i) {
    EXPECT_EQ(form.PageMenu.Item(i).Checked(), form.PageMenu.Item(i).Tag() == form.CurrentPage())
        << "item " << i << " on page " << form.CurrentPage();
  }
}

TEST(SetupWindow, BackNextMenuAndKeysMoveBetweenPages) {
  SetupPc pc;
  ThreeEnvironments(pc);
  SetupWindow& form = pc.Start();
  ASSERT_EQ(form.PageCount(), 5);

  struct Step {
    std::function<void()> act;
    int page;
  };
  const Step steps[] = {
      {[&] { form.ButtonNext.Click(); }, 5},  // straight to the working directory page
      {[&] { form.ButtonBack.Click(); }, 1},
      {[&] { form.PageMenu.Item(2).Click(); }, 3},
      {[&] { form.PressKey(ui::kKeyF4); }, 5},
      {[&] { form.PressKey(ui::kKeyF4); }, 5},  // Next is disabled on the last page
      {[&] { form.PageMenu.Item(1).Click(); }, 2},
      {[&] { form.PressKey(ui::kKeyF3); }, 1},
      {[&] { form.PressKey(ui::kKeyF3); }, 1},  // Back is disabled on page 1
  };
  for (const Step& step : steps) {
    step.act();
    EXPECT_EQ(form.CurrentPage(), step.page);
    EXPECT_EQ(form.HeaderLabel.Caption(), form.Page(step.page).Caption());
    EXPECT_EQ(form.PageArea.ActivePage(), &form.Page(step.page));
    EXPECT_EQ(form.ButtonBack.Enabled(), step.page != 1);
    EXPECT_EQ(form.ButtonNext.Enabled(), step.page != 5);
    ExpectMenuMarks(form);
  }
}

TEST(SetupWindow, FunctionKeysActOnlyWhereTheyAreBound) {
  SetupPc pc;
  ThreeEnvironments(pc);
  SetupWindow& form = pc.Start();

  form.PressKey(ui::kKeyF2);
  std::ifstream log(pc.pc().Root() + "/shell.log");
  std::string opened((std::istreambuf_iterator<char>(log)), {});
  EXPECT_NE(opened.find("http://www.veltoria.example/"), std::string::npos) << opened;

  pc.ui().ExpectForm("Form3", ModalResult::kOK);
  form.PressKey(ui::kKeyF1);

  form.PageMenu.Item(1).Click();  // the Delphi 7 page: F7 and F5 are not bound there
  form.PressKey(ui::kKeyF7);
  form.PressKey(ui::kKeyF5);
  form.PressKey(ui::kKeyF6);
  EXPECT_EQ(form.CurrentPage(), 2);

  form.ButtonNext.Click();  // the working directory page: F8 is not bound, F5 and F6 are
  form.PressKey(ui::kKeyF8);
  pc.ui().ExpectDirectory(std::nullopt);
  form.PressKey(ui::kKeyF5);
  pc.ui().ExpectMessage("Are you sure you want to delete the file results.dat",
                        MsgKind::kConfirmation, MsgButtons::kYesNo, ModalResult::kNo);
  form.PressKey(ui::kKeyF6);
  EXPECT_TRUE(pc.files().FileExists(kResults));
}

TEST(SetupWindow, EscAndAltF4CloseTheWindowAndShutdownRuns) {
  for (auto [key, shift] :
       {std::pair{ui::kKeyEscape, ui::kShiftNone}, std::pair{ui::kKeyF4, ui::kShiftAlt}}) {
    SetupPc pc;
    ThreeEnvironments(pc);
    SetupWindow& form = pc.Start();
    form.Show();
    form.PressKey(key, shift);
    EXPECT_FALSE(form.Visible());
    EXPECT_TRUE(pc.files().FileExists("C:\\VL4\\VL.INI"));
  }
}

TEST(SetupWindow, AValidResultsFileOffersTheWorkingEnvironments) {
  SetupPc pc;
  ThreeEnvironments(pc);
  SetupWindow& form = pc.Start();
  form.ButtonNext.Click();

  EXPECT_EQ(form.EditWorkDir.Text(), "C:\\VL4Work");
  EXPECT_EQ(form.ButtonChangeDir.Caption(), "Change [F5]");
  EXPECT_EQ(form.EditUserName.Text(), "Tester");
  EXPECT_FALSE(Red(form.EditUserName));
  EXPECT_EQ(form.ButtonResults.Caption(), "Delete [F6]");
  // Visual Basic 6 is not installed: not offered, and unticked on the environments page.
  EXPECT_EQ(form.ComboEnvironment.Items(),
            (std::vector<std::string>{"Borland Delphi 7", "Free Pascal Lazarus 0.9"}));
  EXPECT_EQ(form.ComboEnvironment.Text(), "Borland Delphi 7");
  EXPECT_TRUE(form.EnvironmentList.Checked(0));
  EXPECT_FALSE(form.EnvironmentList.Checked(1));
  EXPECT_TRUE(form.EnvironmentList.Checked(2));
  EXPECT_EQ(Status(form),
            "\r\nThe working directory is defined. It contains all necessary components.");
  EXPECT_FALSE(Red(form.LabelWorkStatus));
  EXPECT_EQ(form.ButtonExit.Caption(), "Finish");
  EXPECT_TRUE(form.ButtonChangeDir.Focused());
  // Leaving the page: Exit again.
  form.ButtonBack.Click();
  EXPECT_EQ(form.ButtonExit.Caption(), "Exit");

  // Choosing another environment goes into the results header at once.
  form.ButtonNext.Click();
  form.ComboEnvironment.UserSelect(1);
  EXPECT_EQ(form.CurrentEnv(), (EnvChoice{"LAZARUS", 1}));
  ResultsHeader header;
  ASSERT_EQ(ReadResultsHeader(pc.files(), "C:\\VL4Work", header), kResultsOk);
  EXPECT_EQ(header.env_code, "LAZARUS1");
  EXPECT_EQ(form.ComboEnvironment.Text(), "Free Pascal Lazarus 0.9");
  pc.Close();
  EXPECT_NE(pc.Read("C:\\VL4\\VL.INI")->find("DefaultEnvir=LAZARUS1"), std::string::npos);
}

TEST(SetupWindow, TheHeaderChoosesTheEnvironmentAndEveryRefreshRewritesIt) {
  SetupPc pc;
  ThreeEnvironments(pc);
  pc.WriteVlIni("[Work Directory]\r\nDefaultEnvir=VB6\r\n");
  std::minstd_rand random(9);
  platform::ForceDirectories(pc.files(), "C:\\VL4Work");
  ASSERT_TRUE(CreateResultsFile(pc.files(), "C:\\VL4Work", "C:\\Elsewhere\\", "Ivan", "|12lazarus1",
                                random));
  pc.Put("C:\\VL4Work\\vl4net.dll", "old");
  pc.Put("C:\\VL4\\vl4net.dll", "new");
  SetupWindow& form = pc.Start();
  EXPECT_EQ(form.ComboEnvironment.Text(), "Free Pascal Lazarus 0.9");
  EXPECT_EQ(pc.Read("C:\\VL4Work\\vl4net.dll"), "new");

  // Someone else changes the header and the support library; entering the page puts them back.
  ASSERT_EQ(RewriteResultsHeader(pc.files(), "C:\\VL4Work", 0, "DELPHI7", "C:\\Elsewhere\\"),
            kResultsOk);
  pc.Put("C:\\VL4Work\\vl4net.dll", "old");
  form.ButtonNext.Click();
  auto file = pc.Read(kResults);
  ASSERT_TRUE(file);
  // DELPHI7 from the header is offered, so it stays chosen; the installation record is ours.
  EXPECT_EQ(RecordText(*file, 0), "Ivan|12DELPHI7" + std::string(64, ' '));
  EXPECT_EQ(RecordText(*file, 1), "C:\\VL4" + std::string(72, ' '));
  EXPECT_EQ(pc.Read("C:\\VL4Work\\vl4net.dll"), "new");
}

TEST(SetupWindow, WithoutAHeaderCodeTheDefaultEnvironmentThenTheFirstIsChosen) {
  struct Case {
    const char* default_env;
    const char* chosen;
  };
  const Case cases[] = {{"lazarus1", "Free Pascal Lazarus 0.9"},
                        {"VB6", "Borland Delphi 7"},  // not offered
                        {"", "Borland Delphi 7"}};
  for (const Case& c : cases) {
    SetupPc pc;
    ThreeEnvironments(pc);
    pc.WriteVlIni(std::string("[Work Directory]\r\nDefaultEnvir=") + c.default_env + "\r\n");
    SetupWindow& form = pc.Start();
    EXPECT_EQ(form.ComboEnvironment.Text(), c.chosen) << c.default_env;
  }
}

TEST(SetupWindow, TheWorkingDirectoryPageShowsTheResultsFilesState) {
  struct Case {
    const char* what;
    std::function<void(SetupPc&)> change;
    const char* status;
    bool red;
    const char* button;
    bool name_red;
  };
  const std::vector<Case> cases = {
      {"missing", [](SetupPc& pc) { pc.files().DeleteFile(kResults); },
       "A file of results is not found at the working directory.", true, "Create [F6]", false},
      {"corrupted",
       [](SetupPc& pc) {
         std::string file = *pc.Read(kResults);
         file[2 * kResultsRecordSize + 10] ^= 1;
         pc.Put(kResults, file);
       },
       "A file of results is corrupted and needs to be deleted and then recreated.", true,
       "Delete [F6]", true},
      {"two records",
       [](SetupPc& pc) { pc.Put(kResults, pc.Read(kResults)->substr(0, 2 * kResultsRecordSize)); },
       "A file of results is corrupted and needs to be deleted and then recreated.", true,
       "Delete [F6]", true},
  };
  for (const Case& c : cases) {
    SetupPc pc;
    ThreeEnvironments(pc);
    SetupWindow& form = pc.Start();
    c.change(pc);
    form.ButtonNext.Click();
    EXPECT_EQ(Status(form), std::string("\r\n") + c.status) << c.what;
    EXPECT_EQ(Red(form.LabelWorkStatus), c.red) << c.what;
    EXPECT_EQ(form.ButtonResults.Caption(), c.button) << c.what;
    EXPECT_EQ(Red(form.EditUserName), c.name_red) << c.what;
    EXPECT_EQ(form.EditUserName.Text(), "") << c.what;
    EXPECT_EQ(form.ButtonExit.Caption(), "Exit") << c.what;
    EXPECT_TRUE(form.ButtonResults.Focused()) << c.what;
  }
}

TEST(SetupWindow, NothingToOfferAsksForAWorkEnvironment) {
  SetupPc pc;
  pc.AddModules("VB6");
  SetupWindow& form = pc.Start({"VB6"});
  form.ButtonNext.Click();
  EXPECT_EQ(form.ComboEnvironment.Items(), std::vector<std::string>{"Not defined"});
  EXPECT_EQ(Status(form), "\r\nSelect a work environment.");
  EXPECT_TRUE(Red(form.LabelWorkStatus));
  EXPECT_EQ(form.ButtonExit.Caption(), "Exit");
  EXPECT_FALSE(form.EnvironmentList.Checked(0));
  EXPECT_EQ(form.CurrentEnv(), (EnvChoice{"", 0}));
}

TEST(SetupWindow, ADriveRootIsHeldAsTheDriveAndShownWithItsBackslash) {
  SetupPc pc;
  ThreeEnvironments(pc);
  const std::string host = pc.HostPath("C:\\") + "driveD";
  std::filesystem::create_directories(host);
  pc.pc().MapDrive('D', host);
  pc.WriteVlIni("[Work Directory]\r\nPath=D:\\\r\n");
  SetupWindow& form = pc.Start();
  EXPECT_EQ(form.Config().work_dir, "D:");
  form.ButtonNext.Click();
  EXPECT_EQ(form.EditWorkDir.Text(), "D:\\");
  EXPECT_TRUE(pc.files().FileExists("D:\\results.dat"));
  EXPECT_TRUE(pc.files().FileExists("D:\\Demo.lnk"));
  EXPECT_FALSE(Red(form.LabelWorkStatus));
}

TEST(SetupWindow, TheResultsFileIsCreatedWithTheNameTheUserEnters) {
  struct Case {
    const char* typed;
    const char* field;  // the user-name field afterwards
    const char* label;  // the user name kept for vl.ini
  };
  const Case cases[] = {{"  Ivan Petrov  ", "Ivan Petrov", "Ivan Petrov"},
                        {"   ", "", ""}};  // blanks pass the dialog and make a valid file
  for (const Case& c : cases) {
    SetupPc pc;
    ThreeEnvironments(pc);
    SetupWindow& form = pc.Start();
    pc.files().DeleteFile(kResults);
    form.ButtonNext.Click();
    pc.ui().ExpectForm("Form4", [&](ui::Form& dialog) {
      auto& user_name = static_cast<UserNameDialog&>(dialog);
      EXPECT_EQ(user_name.Caption(), "Creation of the results file");
      EXPECT_EQ(user_name.PromptLabel.Caption(),
                "Enter user data (name, surname), which will be saved in the results file:");
      EXPECT_EQ(user_name.ButtonCancel.Caption(), "Cancel");
      EXPECT_EQ(user_name.NameEdit.Text(), "Tester");
      EXPECT_TRUE(user_name.NameEdit.Focused());
      user_name.NameEdit.UserSetText("");
      EXPECT_FALSE(user_name.ButtonOK.Enabled());
      user_name.NameEdit.UserSetText(c.typed);
      user_name.ButtonOK.Click();
    });
    form.PressKey(ui::kKeyF6);
    EXPECT_EQ(form.Config().user_name, c.label);
    EXPECT_EQ(form.EditUserName.Text(), c.field);
    EXPECT_FALSE(Red(form.LabelWorkStatus)) << Status(form);
    EXPECT_EQ(form.ButtonResults.Caption(), "Delete [F6]");
    EXPECT_EQ(RecordText(*pc.Read(kResults), 0),
              std::string(c.label) + "|10DELPHI7" +
                  std::string(78 - std::string(c.label).size() - 10, ' '));
  }
}

TEST(SetupWindow, CancellingTheNameDialogCreatesNothing) {
  SetupPc pc;
  ThreeEnvironments(pc);
  pc.WriteVlIni("[Work Directory]\r\nLabel=Maria\r\n");
  SetupWindow& form = pc.Start();
  pc.files().DeleteFile(kResults);
  form.ButtonNext.Click();
  pc.ui().ExpectForm("Form4", [](ui::Form& dialog) {
    EXPECT_EQ(static_cast<UserNameDialog&>(dialog).NameEdit.Text(), "Maria");
    static_cast<UserNameDialog&>(dialog).ButtonCancel.Click();
  });
  form.ButtonResults.Click();
  EXPECT_FALSE(pc.files().FileExists(kResults));
  EXPECT_EQ(form.ButtonResults.Caption(), "Create [F6]");
}

TEST(SetupWindow, DeletingTheResultsFileAsksFirstAndReportsAFileInUse) {
  SetupPc pc;
  ThreeEnvironments(pc);
  SetupWindow& form = pc.Start();
  form.ButtonNext.Click();
  pc.files().SetAttributes(kResults, platform::kAttrReadOnly);

  pc.pc().LockFile(kResults);
  pc.ui()
      .ExpectMessage(
          "Are you sure you want to delete the file results.dat from the working "
          "directory?",
          MsgKind::kConfirmation, MsgButtons::kYesNo, ModalResult::kYes)
      .ExpectMessage(
          "Could not delete the file results.dat from the working directory. It seems "
          "likely that this file is opened by one of the running applications.",
          MsgKind::kError, MsgButtons::kOK, ModalResult::kOK);
  form.ButtonResults.Click();
  EXPECT_TRUE(pc.files().FileExists(kResults));

  pc.pc().UnlockFile(kResults);
  pc.ui().ExpectMessage("Are you sure", ModalResult::kYes);
  form.ButtonResults.Click();
  EXPECT_FALSE(pc.files().FileExists(kResults));
  EXPECT_EQ(form.ButtonResults.Caption(), "Create [F6]");
  EXPECT_EQ(Status(form), "\r\nA file of results is not found at the working directory.");
}

TEST(SetupWindow, ChoosingTheWorkingDirectory) {
  SetupPc pc;
  ThreeEnvironments(pc);
  pc.WriteVlIni("[Work Directory]\r\nPath=Q:\\Gone\r\n");
  SetupWindow& form = pc.Start();
  form.ButtonNext.Click();
  EXPECT_EQ(form.ButtonChangeDir.Caption(), "Def [F5]");
  EXPECT_EQ(Status(form), "\r\nThe working directory must be specified.");
  EXPECT_FALSE(form.ButtonResults.Enabled());
  form.PressKey(ui::kKeyF6);  // no results file is made anywhere
  EXPECT_FALSE(pc.files().FileExists("C:\\results.dat"));

  // Without a working directory the chooser starts at the first drive root.
  pc.ui().ExpectDirectory([](const ui::DirectoryRequest& request) -> std::optional<std::string> {
    EXPECT_EQ(request.start, "C:\\");
    EXPECT_TRUE(request.allow_create);
    return "C:\\Students\\Ivan";
  });
  pc.ui().ExpectMessage("does not exist", ModalResult::kYes);
  form.PressKey(ui::kKeyF5);
  EXPECT_EQ(form.Config().work_dir, "C:\\Students\\Ivan");
  EXPECT_EQ(form.ButtonChangeDir.Caption(), "Change [F5]");
  EXPECT_EQ(Status(form), "\r\nA file of results is not found at the working directory.");

  // A directory that cannot be made leaves the working directory as it was.
  pc.ui().ExpectDirectory([](const ui::DirectoryRequest& request) -> std::optional<std::string> {
    EXPECT_EQ(request.start, "C:\\Students\\Ivan\\");
    return "Q:\\Work";
  });
  pc.ui().ExpectMessage("does not exist", ModalResult::kYes);
  pc.ui().ExpectMessage("Cannot create the directory \"Q:\\Work\".", MsgKind::kError,
                        MsgButtons::kOK, ModalResult::kOK);
  form.PressKey(ui::kKeyF5);
  EXPECT_EQ(form.Config().work_dir, "C:\\Students\\Ivan");

  pc.ui().ExpectDirectory(std::nullopt);
  form.ButtonChangeDir.Click();
  EXPECT_EQ(form.Config().work_dir, "C:\\Students\\Ivan");
  pc.Close();
  EXPECT_NE(pc.Read("C:\\VL4\\VL.INI")->find("Path=C:\\Students\\Ivan\r\n"), std::string::npos);
}

TEST(SetupWindow, TheSampleButtonFollowsTheSamplesOfTheEnvironment) {
  SetupPc pc;
  ThreeEnvironments(pc);
  for (const char* name : {"a.pas", "b.pas", "c.pas"}) {
    pc.Put(std::string("C:\\VL4\\SAMPLES\\DELPHI7\\") + name);
  }
  pc.Put("C:\\VL4\\SAMPLES\\DELPHI7\\hidden.pas");
  pc.files().SetAttributes("C:\\VL4\\SAMPLES\\DELPHI7\\hidden.pas", platform::kAttrHidden);
  platform::ForceDirectories(pc.files(), "C:\\VL4\\SAMPLES\\DELPHI7\\Sub");
  pc.Put("C:\\VL4\\SAMPLES\\LAZARUS\\demo.lpr");
  pc.WriteVlIni("[Work Directory]\r\nDefaultEnvir=DELPHI7\r\n");
  platform::ForceDirectories(pc.files(), "C:\\VL4Work");
  pc.Put("C:\\VL4Work\\a.pas");
  SetupWindow& form = pc.Start();
  ASSERT_TRUE(form.ButtonSamples.Visible());
  form.ButtonNext.Click();
  std::vector<std::string> samples = form.SampleList();
  std::sort(samples.begin(), samples.end());
  EXPECT_EQ(samples, (std::vector<std::string>{"a.pas", "b.pas", "c.pas"}));
  EXPECT_EQ(form.SampleFolder(), "DELPHI7");
  EXPECT_TRUE(form.ButtonSamples.Enabled());
  EXPECT_EQ(form.ButtonSamples.Caption(), "Copy sample files to the working directory [F7]");

  pc.Put("C:\\VL4Work\\b.pas");
  pc.Put("C:\\VL4Work\\c.pas");
  form.ButtonBack.Click();
  form.ButtonNext.Click();
  EXPECT_EQ(form.ButtonSamples.Caption(), "Delete sample files at the working directory [F7]");

  // Lazarus has a folder of its family only.
  form.ComboEnvironment.UserSelect(1);
  EXPECT_EQ(form.SampleFolder(), "LAZARUS");
  EXPECT_EQ(form.SampleList(), std::vector<std::string>{"demo.lpr"});
  EXPECT_EQ(form.ButtonSamples.Caption(), "Copy sample files to the working directory [F7]");

  // Without a working directory there is nowhere to copy to.
  EXPECT_TRUE(platform::RemoveTree(pc.files(), "C:\\VL4Work").empty());
  form.ButtonBack.Click();
  form.ButtonNext.Click();
  EXPECT_FALSE(form.ButtonSamples.Enabled());
}

TEST(SetupWindow, WithoutSamplesTheButtonIsHidden) {
  SetupPc pc;
  ThreeEnvironments(pc);
  SetupWindow& form = pc.Start();
  form.ButtonNext.Click();
  EXPECT_FALSE(form.ButtonSamples.Visible());
  EXPECT_TRUE(form.SampleList().empty());
}

TEST(SetupWindow, TheEnvironmentsPageShowsALongPathShortened) {
  SetupPc pc;
  pc.AddModules("VB6");
  const std::string exe =
      "C:\\Program Files\\Microsoft Visual Studio Professional Edition\\Visual Basic 6.0\\VB98\\"
      "VB6.exe";
  pc.AddIde(RootKey::kLocalMachine,
            "\\SOFTWARE\\Microsoft\\Visual Studio\\6.0\\Setup\\Microsoft Visual Basic",
            "ProductDir", exe, ExtractFileDir(exe));
  SetupWindow& form = pc.Start();
  const std::string shown = form.EditEnvsExe.Text();
  EXPECT_NE(shown, exe);
  EXPECT_EQ(shown.substr(0, 6), "C:\\...");
  EXPECT_EQ(shown.substr(shown.size() - 8), "\\VB6.exe");
  EXPECT_EQ(form.EditEnvsExe.Hint(), exe);
  EXPECT_LE(pc.ui().TextWidth(form.EditEnvsExe.GetFont(), shown), form.EditEnvsExe.Width() - 3);
}

}  // namespace
}  // namespace vl4::test
