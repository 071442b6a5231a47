// Giving an environment up, from its page and from the environments page: the module folder
// emptied (leftovers reported), the page list, the page menu and the check list updated, and the
// page shown next.
#include <gtest/gtest.h>

#include "tests/setup/setup_pc.h"

namespace vl4::test {
namespace {

using ui::ModalResult;
using ui::MsgButtons;
using ui::MsgKind;

// Delphi 7, Visual Basic 6 and Lazarus shipped: pages 2 to 4, the working directory page 5.
void ThreeEnvironments(SetupPc& pc) {
  for (const char* code : {"DELPHI7", "VB6", "LAZARUS1"}) pc.AddModules(code);
}

void ExpectConfirmation(SetupPc& pc, const std::string& name, ModalResult answer) {
  pc.ui().ExpectMessage("The Veltoria components for " + name +
                            " will be completely removed from your computer. Do you want to "
                            "delete these components?",
                        MsgKind::kWarning, MsgButtons::kYesNo, answer);
}

// The page menu names the pages of the list in order, tagged with their positions, and marks the
// shown one.
void ExpectMenuFollowsPages(SetupWindow& form) {
  ASSERT_EQ(form.PageMenu.Count(), form.PageCount());
  for (int i = 0; i < form.PageMenu.Count(); ++i) {
    EXPECT_EQ(form.PageMenu.Item(i).Tag(), i + 1);
    EXPECT_EQ(form.PageMenu.Item(i).Caption(), form.Page(i + 1).Caption());
    EXPECT_EQ(form.PageMenu.Item(i).Checked(), i + 1 == form.CurrentPage());
  }
}

TEST(Removal, AnEnvironmentPageGoesAndLeftoversAreReported) {
  SetupPc pc;
  ThreeEnvironments(pc);
  pc.Put("C:\\VL4\\DELPHI7\\vl4d7tls.bpl");
  pc.Put("C:\\VL4\\DELPHI7\\readonly.txt");
  pc.files().SetAttributes("C:\\VL4\\DELPHI7\\readonly.txt", platform::kAttrReadOnly);
  pc.Put("C:\\VL4\\DELPHI7\\Sub\\kept.txt");
  SetupWindow& form = pc.Start();
  form.PageMenu.Item(1).Click();
  ui::TabSheet& delphi_page = form.Page(2);

  // No keeps everything.
  ExpectConfirmation(pc, "Borland Delphi 7", ModalResult::kNo);
  form.Envs().Row(7).page->DeleteButton.Click();
  EXPECT_EQ(form.PageCount(), 5);
  EXPECT_TRUE(pc.files().FileExists("C:\\VL4\\DELPHI7\\vl4.pas"));

  ExpectConfirmation(pc, "Borland Delphi 7", ModalResult::kYes);
  pc.ui().ExpectMessage(
      "The Veltoria components for Borland Delphi 7 are deleted, with the exception of the "
      "following files:\r\n\"C:\\VL4\\DELPHI7\\readonly.txt\"",
      MsgKind::kInformation, MsgButtons::kOK, ModalResult::kOK);
  form.Envs().Row(7).page->DeleteButton.Click();

  EXPECT_FALSE(pc.files().FileExists("C:\\VL4\\DELPHI7\\vl4.pas"));
  EXPECT_FALSE(pc.files().FileExists("C:\\VL4\\DELPHI7\\vl4d7tls.bpl"));
  EXPECT_TRUE(pc.files().FileExists("C:\\VL4\\DELPHI7\\readonly.txt"));
  EXPECT_TRUE(pc.files().FileExists("C:\\VL4\\DELPHI7\\Sub\\kept.txt"));
  EXPECT_FALSE(form.Envs().Row(7).available);
  EXPECT_EQ(form.PageCount(), 4);
  EXPECT_EQ(form.PageNumber(delphi_page), 0);
  // The page that followed takes its place.
  EXPECT_EQ(form.CurrentPage(), 2);
  EXPECT_EQ(form.HeaderLabel.Caption(), "Veltoria setup for Microsoft Visual Basic 6");
  ExpectMenuFollowsPages(form);
  EXPECT_EQ(form.EnvironmentList.Items(),
            (std::vector<std::string>{"Microsoft Visual Basic 6", "Free Pascal Lazarus 0.9"}));

  form.ButtonNext.Click();
  EXPECT_EQ(form.ComboEnvironment.IndexOf("Borland Delphi 7"), -1);
}

TEST(Removal, TheLastEnvironmentPageGivesWayToTheWorkingDirectoryPage) {
  SetupPc pc;
  ThreeEnvironments(pc);
  pc.Put("C:\\VL4\\LAZARUS1\\Sub\\kept.txt");
  SetupWindow& form = pc.Start();
  form.PageMenu.Item(3).Click();
  ExpectConfirmation(pc, "Free Pascal Lazarus 0.9", ModalResult::kYes);
  form.Envs().Row(32).page->DeleteButton.Click();  // every file goes: no message

  EXPECT_TRUE(pc.files().DirectoryExists("C:\\VL4\\LAZARUS1\\Sub"));
  EXPECT_FALSE(pc.files().FileExists("C:\\VL4\\LAZARUS1\\vl4.pas"));
  EXPECT_EQ(form.PageCount(), 4);
  EXPECT_EQ(form.CurrentPage(), 4);
  EXPECT_EQ(form.HeaderLabel.Caption(), "Working directory setup");
  EXPECT_FALSE(form.ButtonNext.Enabled());
  ExpectMenuFollowsPages(form);

  // A module folder that is already gone: nothing to delete, no message, the page still goes.
  ASSERT_TRUE(pc.files().DeleteFile("C:\\VL4\\VB6\\vl4.bas"));
  ASSERT_TRUE(pc.files().DeleteFile("C:\\VL4\\VB6\\loadvb.dat"));
  ASSERT_TRUE(pc.files().RemoveDirectory("C:\\VL4\\VB6"));
  form.PageMenu.Item(2).Click();
  ExpectConfirmation(pc, "Microsoft Visual Basic 6", ModalResult::kYes);
  form.Envs().Row(11).page->DeleteButton.Click();
  EXPECT_EQ(form.PageCount(), 3);
  EXPECT_EQ(form.HeaderLabel.Caption(), "Working directory setup");
  ExpectMenuFollowsPages(form);
}

TEST(Removal, TheEnvironmentsPageRemovesTheSelectedEntry) {
  SetupPc pc;
  ThreeEnvironments(pc);
  pc.Put("c:\\lazarus\\lazarus.exe");
  SetupWindow& form = pc.Start();
  ASSERT_TRUE(form.ButtonEnvsDelete.Enabled());

  // The last entry goes: the new last one is selected and shown.
  form.EnvironmentList.UserSelect(2);
  ExpectConfirmation(pc, "Free Pascal Lazarus 0.9", ModalResult::kYes);
  form.PressKey(ui::kKeyF7);
  EXPECT_EQ(form.EnvironmentList.Items(),
            (std::vector<std::string>{"Borland Delphi 7", "Microsoft Visual Basic 6"}));
  EXPECT_EQ(form.EnvironmentList.ItemIndex(), 1);
  EXPECT_EQ(form.LabelEnvsStatus.Caption(), form.Envs().Row(11).page->Status.Caption());
  EXPECT_EQ(form.CurrentPage(), 1);
  EXPECT_EQ(form.PageCount(), 4);
  ExpectMenuFollowsPages(form);
  EXPECT_TRUE(form.ButtonEnvsDelete.Enabled());

  // With two entries left, removing one leaves the other, which cannot be given up here.
  form.EnvironmentList.UserSelect(0);
  ExpectConfirmation(pc, "Borland Delphi 7", ModalResult::kYes);
  form.ButtonEnvsDelete.Click();
  EXPECT_EQ(form.EnvironmentList.Items(), std::vector<std::string>{"Microsoft Visual Basic 6"});
  EXPECT_EQ(form.EnvironmentList.ItemIndex(), 0);
  EXPECT_FALSE(form.ButtonEnvsDelete.Enabled());
  EXPECT_EQ(form.PageCount(), 3);
  form.PressKey(ui::kKeyF7);  // disabled: nothing is asked

  // A Delete button of no environment row.
  form.EnvironmentList.SetItemIndex(-1);
  form.ButtonEnvsDelete.SetEnabled(true);
  pc.ui().ExpectMessage("Error: ButtonDelete", MsgKind::kPlain, MsgButtons::kOK, ModalResult::kOK);
  form.ButtonEnvsDelete.Click();
}

// Giving an environment up touches the installation only: the IDE keeps the package copied into
// it and its Known Packages value. Taking those out is the uninstaller's business.
TEST(Removal, TheIdeKeepsWhatWasInstalledIntoIt) {
  SetupPc pc;
  pc.AddDelphi7();
  SetupWindow& form = pc.Start();
  ASSERT_TRUE(pc.files().FileExists(ides::kDelphiValue));
  form.PageMenu.Item(1).Click();
  ExpectConfirmation(pc, "Borland Delphi 7", ModalResult::kYes);
  form.Envs().Row(7).page->DeleteButton.Click();

  EXPECT_FALSE(pc.files().FileExists(ides::kPackage));
  EXPECT_TRUE(pc.files().FileExists(ides::kDelphiValue));
  EXPECT_EQ(pc.registry().ReadString(platform::RootKey::kCurrentUser, ides::kDelphiKnown,
                                     ides::kDelphiValue),
            "VL4 Tools for Delphi 7");
}

}  // namespace
}  // namespace vl4::test
