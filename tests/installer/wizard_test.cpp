// The wizard on a sandbox PC: start-up from the script and the settings file, the text viewer,
// the checks of Install, the environment window, the automatic start and the exit question.
#include <gtest/gtest.h>

#include "installer/install_texts.h"
#include "platform/file_tree.h"
#include "tests/installer/installer_pc.h"

namespace vl4::test {
namespace {

using ui::ModalResult;
using ui::MsgButtons;
using ui::MsgKind;

const std::vector<DataMember> kSmallProduct = {{"readme.txt", "Read me"}, {"VB6/vl4.bas", "bas"}};

TEST(Wizard, StartUpTakesTheScriptAndTheSettingsFile) {
  InstallerPc pc;
  pc.PutData(kSmallProduct);
  pc.pc().files().SetFileTime("C:\\dist\\Inst.dat", 0x5A260000);  // 6 Jan 2025
  pc.Put("C:\\dist\\readme.txt");
  pc.Put("C:\\dist\\license.txt");
  pc.PutSettings(
      "[Main]\r\nInstallDir=%ProgramFilesDir%\\Work\\%PROGRAMFILESDIR%\r\n"
      "[ExcludeDir]\r\n1=vb6\r\n2=SAMPLES\r\n");
  InstallWizard& w = pc.Start();
  EXPECT_FALSE(pc.app().Terminated());
  EXPECT_EQ(pc.app().Title(), "RA4Zuva-250 Install");
  EXPECT_EQ(w.Caption(), "RA4Zuva-250 Install");
  EXPECT_EQ(w.TitleShadow.Caption(), "Veltoria 4");
  EXPECT_EQ(w.Title.GetFont().color, ui::kDarkBlue);
  EXPECT_EQ(w.VersionLine.Caption(), "Version 4.7 (Build 06.01.2025)");
  // The settings file's destination, its first "%PROGRAMFILESDIR%" expanded.
  EXPECT_EQ(w.DestinationEdit.Text(), "C:\\Program Files\\Work\\%PROGRAMFILESDIR%");
  // The destination field starts 20 pixels after its prompt and keeps its right edge.
  EXPECT_EQ(w.DestinationEdit.Left(),
            w.DestinationPrompt.Left() + w.DestinationPrompt.Width() + 20);
  EXPECT_EQ(w.DestinationEdit.Left() + w.DestinationEdit.Width(), w.BrowseButton.Left() - 8);
  EXPECT_TRUE(w.AboutButton.Visible());
  EXPECT_TRUE(w.LicenseButton.Visible());
  EXPECT_EQ(w.ActiveControl(), &w.InstallButton);

  // Every environment is offered; the one the settings file excludes starts unticked.
  EnvironmentChoice& envs = w.Environments();
  ASSERT_EQ(envs.EnvironmentList.Count(), 24);
  for (int i = 0; i < envs.EnvironmentList.Count(); ++i) {
    EXPECT_EQ(envs.EnvironmentList.Checked(i),
              envs.EnvironmentList.Items()[i] != "Microsoft Visual Basic 6")
        << envs.EnvironmentList.Items()[i];
  }
  EXPECT_EQ(envs.Caption(), "Environments");
  EXPECT_EQ(envs.ClientHeight(), envs.ButtonPanel.Height() + envs.Header.Height() + 200);
}

TEST(Wizard, AMissingDataPartEndsTheProgram) {
  InstallerPc pc;
  pc.PutData(kSmallProduct);  // part 2 is missing
  pc.ui().ExpectMessage("The Inst.dat2 file is not found. Installation will be terminated.",
                        MsgKind::kError, MsgButtons::kOK, ModalResult::kOK);
  InstallWizard& w = pc.Start([](const Locations& where) {
    InstallScript s = InstallScript::ThisBuild(where);
    s.data_parts = 2;
    return s;
  });
  EXPECT_TRUE(pc.app().Terminated());
  EXPECT_EQ(w.GetWindowState(), ui::WindowState::kMinimized);
}

TEST(Wizard, TheTextButtonsFollowTheFilesBesideTheInstaller) {
  struct Case {
    bool readme, license;
    bool about_visible, license_visible;
    const char* f1_caption;  // what F1 opens, or nothing
  };
  const Case cases[] = {
      {true, true, true, true, "About Veltoria 4 [readme.txt]"},
      {false, true, false, true, "License agreement [license.txt]"},
      {true, false, true, false, "About Veltoria 4 [readme.txt]"},
      {false, false, false, false, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string("readme ") + (c.readme ? "yes" : "no") + ", license " +
                 (c.license ? "yes" : "no"));
    InstallerPc pc;
    pc.PutData(kSmallProduct);
    if (c.readme) pc.Put("C:\\dist\\readme.txt", "Read me");
    if (c.license) pc.Put("C:\\dist\\license.txt", "Licence");
    InstallWizard& w = pc.Start();
    const int about_left = w.AboutButton.Left();
    EXPECT_EQ(w.AboutButton.Visible(), c.about_visible);
    EXPECT_EQ(w.LicenseButton.Visible(), c.license_visible);
    if (!c.readme) {
      EXPECT_EQ(w.LicenseButton.Left(), about_left);  // takes the About button's place
    }
    // What the viewer shows after `open`; nothing when it stays closed.
    auto shown = [&pc](const std::function<void()>& open, bool expected) {
      std::string caption;
      if (expected) {
        pc.ui().ExpectForm("TInstF2", [&caption](ui::Form& viewer) {
          caption = viewer.Caption();
          viewer.PressKey(ui::kKeyEscape);
        });
      }
      open();
      return caption;
    };
    EXPECT_EQ(shown([&w] { w.PressKey(ui::kKeyF1); }, c.f1_caption != nullptr),
              c.f1_caption ? c.f1_caption : "");
    // Each button that is there opens its own text.
    if (c.about_visible) {
      EXPECT_EQ(shown([&w] { w.AboutButton.Click(); }, true), install_texts::kReadmeCaption);
    }
    if (c.license_visible) {
      EXPECT_EQ(shown([&w] { w.LicenseButton.Click(); }, true), install_texts::kLicenseCaption);
    }
  }
}

TEST(Wizard, TheTextViewerJoinsTheParagraphsOfTheFile) {
  InstallerPc pc;
  pc.PutData(kSmallProduct);
  pc.Put(
      "C:\\dist\\readme.txt",
      "Veltoria 4 is an exercise book\r\nfor students.\r\n\r\n- a list item\r\n  that goes on\r\n"
      "Copyright 2025\r\n");
  InstallWizard& w = pc.Start();
  pc.ui().ExpectForm("TInstF2", [](ui::Form& form) {
    auto& viewer = static_cast<TextViewer&>(form);
    EXPECT_EQ(viewer.Text.Lines(),
              (std::vector<std::string>{"Veltoria 4 is an exercise book for students.", "",
                                        "- a list item that goes on", "Copyright 2025"}));
    EXPECT_TRUE(viewer.Text.Focused());
    viewer.OkButton.Click();
  });
  w.AboutButton.Click();
}

// Each failed check of Install says why and leaves the wizard as it was.
TEST(Wizard, InstallChecksTheDestination) {
  struct Case {
    const char* name;
    const char* destination;
    std::function<void(InstallerPc&)> prepare;
    MsgKind kind;
    std::string message;
  };
  const Case cases[] = {
      {"previous version", "C:\\Apps\\VL4",
       [](InstallerPc& pc) {
         platform::ForceDirectories(pc.files(), "C:\\Program Files\\VL4\\UNINST.VL4");
       },
       MsgKind::kWarning,
       "Before installing Veltoria 4 you have to uninstall its previous version (\"Start | "
       "Programs | Uninstall Veltoria 4\")."},
      {"required file", "C:\\Apps\\VL4\\", [](InstallerPc&) {}, MsgKind::kError,
       "Install the basic version into C:\\Apps\\VL4 first."},
      {"cannot create", "C:\\dist\\Inst.dat\\VL4", [](InstallerPc&) {}, MsgKind::kError,
       "Could not create the \"C:\\dist\\Inst.dat\\VL4\" directory. Choose other directory for "
       "VL4."},
      {"read-only", "C:\\Apps\\RO",
       [](InstallerPc& pc) {
         pc.Put("C:\\Apps\\RO\\$$tfile$.tmp");
         pc.files().SetAttributes("C:\\Apps\\RO\\$$tfile$.tmp", platform::kAttrReadOnly);
       },
       MsgKind::kError,
       "The \"C:\\Apps\\RO\" directory is read-only. Choose other directory for VL4."},
      {"empty", "", [](InstallerPc&) {}, MsgKind::kError, install_texts::kNoDestination},
      // Only a full path: a relative one would put the files under the current directory.
      {"relative", "VL4", [](InstallerPc&) {}, MsgKind::kError,
       "Could not create the \"VL4\" directory. Choose other directory for VL4."},
      {"blank first", " C:\\Apps\\VL4", [](InstallerPc&) {}, MsgKind::kError,
       "Could not create the \" C:\\Apps\\VL4\" directory. Choose other directory for VL4."},
      {"drive-relative", "C:VL4", [](InstallerPc&) {}, MsgKind::kError,
       "Could not create the \"C:VL4\" directory. Choose other directory for VL4."},
      {"no drive", "\\Apps\\VL4", [](InstallerPc&) {}, MsgKind::kError,
       "Could not create the \"\\Apps\\VL4\" directory. Choose other directory for VL4."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    InstallerPc pc;
    pc.PutData(kSmallProduct);
    c.prepare(pc);
    // Nothing is made, also where a relative path would lead.
    ASSERT_TRUE(pc.files().SetCurrentDirectory(InstallerPc::kDist));
    const auto before = pc.Snapshot("C:");
    InstallWizard& w = pc.Start([&c](const Locations& where) {
      InstallScript s = InstallScript::ThisBuild(where);
      if (std::string(c.name) == "required file") {
        s.required_files.Add("vl4.ini");
        s.required_files_message = "Install the basic version into %InstallDir% first.";
      }
      return s;
    });
    pc.ui().ExpectMessage(c.message, c.kind, MsgButtons::kOK, ModalResult::kOK);
    w.DestinationEdit.UserSetText(c.destination);
    w.InstallButton.Click();
    EXPECT_FALSE(w.Progress().Visible());
    EXPECT_FALSE(pc.app().Terminated());
    EXPECT_TRUE(pc.ui().AllExpectationsMet()) << pc.Transcript();
    EXPECT_EQ(pc.Snapshot("C:"), before);
  }
}

TEST(Wizard, OldSystemComponentsAreReplacedOnlyWhenTheUserAgrees) {
  for (uint32_t year : {2005u, 2006u}) {
    SCOPED_TRACE(year);
    InstallerPc pc;
    pc.PutData(kSmallProduct);
    pc.Put("C:\\Windows\\System32\\vl4.dll", "old");
    pc.files().SetFileTime("C:\\Windows\\System32\\vl4.dll", ((year - 1980) << 25) | 0x210000);
    InstallWizard& w = pc.Start();
    if (year == 2005) {
      pc.ui().ExpectMessage("The old versions of some Veltoria components were found",
                            MsgKind::kWarning, MsgButtons::kYesNo, ModalResult::kNo);
    } else {
      pc.ui().ExpectForm("TInstF4", ModalResult::kCancel);
    }
    w.DestinationEdit.UserSetText("C:\\Apps\\VL4");
    w.InstallButton.Click();
    EXPECT_FALSE(pc.app().Terminated());
    EXPECT_TRUE(pc.ui().AllExpectationsMet()) << pc.Transcript();
  }
}

TEST(Wizard, TheEnvironmentWindowNeedsOneTick) {
  InstallerPc pc;
  pc.PutData(kSmallProduct);
  InstallWizard& w = pc.Start();
  pc.ui().ExpectForm("TInstF4", [](ui::Form& form) {
    auto& envs = static_cast<EnvironmentChoice&>(form);
    ui::CheckListBox& list = envs.EnvironmentList;
    EXPECT_TRUE(list.Focused());
    for (int i = 0; i < list.Count(); ++i) list.UserClickCheck(i);
    EXPECT_FALSE(envs.OkButton.Enabled());
    list.UserClickCheck(4);
    EXPECT_TRUE(envs.OkButton.Enabled());
    envs.CancelButton.Click();  // Cancel: back to the wizard
  });
  w.DestinationEdit.UserSetText("C:\\Apps\\VL4");
  w.InstallButton.Click();
  EXPECT_FALSE(pc.app().Terminated());
  EXPECT_TRUE(pc.files().DirectoryExists("C:\\Apps\\VL4"));  // the one change that stays
}

TEST(Wizard, TheExclusionListTakesUntickedRowsAndOtherExcludedDirectories) {
  InstallerPc pc;
  pc.PutData(kSmallProduct);
  pc.PutSettings("[ExcludeDir]\r\n1=vb6\r\n2=samples\r\n4=VC6\r\n");
  InstallWizard& w = pc.Start();
  pc.QueueInstall();
  pc.ui().ExpectForm("TInstF4", [](ui::Form& form) {
    auto& envs = static_cast<EnvironmentChoice&>(form);
    ui::CheckListBox& list = envs.EnvironmentList;
    list.UserClickCheck(list.IndexOf("Microsoft Visual Basic 6"));  // ticked again
    list.UserClickCheck(list.IndexOf("Borland Delphi 3"));
    envs.OkButton.Click();
  });
  pc.ui().ExpectMessage("installed successfully", ModalResult::kOK);
  pc.Run();
  // Key 4 is not read: reading stops at the missing key 3.
  EXPECT_EQ(w.ExclusionList(), (std::vector<std::string>{"DELPHI3", "SAMPLES"}));
  EXPECT_TRUE(pc.files().FileExists("C:\\Apps\\VL4\\VB6\\vl4.bas"));
}

TEST(Wizard, EveryWayOutAsksFirst) {
  for (bool esc : {false, true}) {
    SCOPED_TRACE(esc ? "Esc" : "Exit");
    InstallerPc pc;
    pc.PutData(kSmallProduct);
    InstallWizard& w = pc.Start();
    const char* question = "If you exit now, VL4 will not be installed.";
    pc.ui().ExpectMessage(question, MsgKind::kConfirmation, MsgButtons::kYesNo, ModalResult::kNo);
    pc.ui().ExpectMessage(question, MsgKind::kConfirmation, MsgButtons::kYesNo, ModalResult::kYes);
    w.Show();
    pc.app().SetMainForm(&w);
    for (int i = 0; i < 2; ++i) {
      if (esc) {
        w.PressKey(ui::kKeyEscape);
      } else {
        w.ExitButton.Click();
      }
      EXPECT_EQ(pc.app().Terminated(), i == 1);
    }
  }
}

TEST(Wizard, BrowseStartsAtTheDestinationOrProgramFiles) {
  InstallerPc pc;
  pc.PutData(kSmallProduct);
  InstallWizard& w = pc.Start();
  std::vector<std::string> starts;
  auto answer = [&starts](std::optional<std::string> path) {
    return [&starts, path](const ui::DirectoryRequest& request) {
      starts.push_back(request.start);
      EXPECT_TRUE(request.allow_create);
      return path;
    };
  };
  pc.ui().ExpectDirectory(answer("C:\\Apps\\New"));
  // A typed directory that does not exist yet is made only after the user agrees.
  pc.ui().ExpectMessage("C:\\Apps\\New", ModalResult::kYes);
  pc.ui().ExpectDirectory(answer(std::nullopt));
  w.BrowseButton.Click();  // the field's directory does not exist yet: Program Files
  EXPECT_EQ(w.DestinationEdit.Text(), "C:\\Apps\\New");
  EXPECT_TRUE(pc.files().DirectoryExists("C:\\Apps\\New"));
  w.BrowseButton.Click();  // now it does; Cancel keeps the text
  EXPECT_EQ(w.DestinationEdit.Text(), "C:\\Apps\\New");
  EXPECT_EQ(starts, (std::vector<std::string>{"C:\\Program Files", "C:\\Apps\\New"}));
}

TEST(Wizard, AutoRunInstallsWithoutAClick) {
  InstallerPc pc;
  pc.PutData(kSmallProduct);
  pc.PutSettings("[Main]\r\nAutoRun=0x1\r\nSelectDialog=0\r\nInstallDir=C:\\Auto\r\n");
  InstallWizard& w = pc.Start();
  pc.ui().ExpectMessage("installed successfully", ModalResult::kOK);
  pc.Run();
  EXPECT_TRUE(pc.files().FileExists("C:\\Auto\\readme.txt"));
  EXPECT_FALSE(w.AutoStartTimer.Enabled());
  EXPECT_EQ(pc.Transcript().find("modal TInstF4"), std::string::npos) << pc.Transcript();
}

}  // namespace
}  // namespace vl4::test
