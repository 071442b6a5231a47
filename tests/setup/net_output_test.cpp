// The .NET output directory: the dialog NetOutputDialog with its checks, and the project templates
// whose output path follows the choice (from the dialog and at start-up).
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/setup/setup_pc.h"

#include "platform/file_tree.h"
namespace vl4::test {
namespace {

using platform::DriveType;
using ui::ModalResult;
using ui::MsgButtons;
using ui::MsgKind;

constexpr char kVbTemplate[] = "C:\\VL4\\VB7\\vlprj.vbproj";
constexpr char kCsTemplate[] = "C:\\VL4\\VCSNET1\\vlprj.csproj";

// Both line forms of an output path, with other lines around them that must survive.
constexpr char kTemplate[] =
    "<Project>\n"
    "  <PropertyGroup>\n"
    "\t\t<OutputPath>bin\\Debug\\</OutputPath>\n"
    "    <outputpath>lower case is another element</outputpath>\n"
    "  </PropertyGroup>\r\n"
    "                Config Name = \"Debug\"\r"
    "          OutputPath = \"old\\\"\n"
    "</Project>";

std::string Rewritten(const std::string& dir) {
  return "<Project>\r\n"
         "  <PropertyGroup>\r\n"
         "    <OutputPath>" +
         dir +
         "</OutputPath>\r\n"
         "    <outputpath>lower case is another element</outputpath>\r\n"
         "  </PropertyGroup>\r\n"
         "                Config Name = \"Debug\"\r\n"
         "                    OutputPath = \"" +
         dir +
         "\"\r\n"
         "</Project>\r\n";
}

// The Visual Basic 2003 and Visual C# 2003 templates are shipped; Visual Basic .NET 2005 is not
// (no module folder), nor is any other .NET environment.
SetupWindow& StartWithTemplates(SetupPc& pc, const std::string& vl_ini = "") {
  pc.AddModules("VB7");
  pc.AddModules("VCSNET1");
  pc.Put(kVbTemplate, kTemplate);
  pc.Put(kCsTemplate, kTemplate);
  if (!vl_ini.empty()) pc.WriteVlIni(vl_ini);
  SetupWindow& form = pc.Start();
  form.ButtonNext.Click();
  return form;
}

// One user action on the dialog; the dialog checks OK when the action is done, so each press of
// OK is an action of its own, and the messages it brings follow it in the script.
void OnDialog(SetupPc& pc, std::function<void(NetOutputDialog&)> act) {
  pc.ui().ExpectForm("Form7", [act](ui::Form& f) { act(static_cast<NetOutputDialog&>(f)); });
}

// Opens the dialog with F7 on the working directory page and acts on it.
void InDialog(SetupPc& pc, SetupWindow& form, std::function<void(NetOutputDialog&)> act) {
  OnDialog(pc, std::move(act));
  form.PressKey(ui::kKeyF7);
}

TEST(NetOutput, TheDialogShowsTheStoredChoiceAndEnablesItsControls) {
  SetupPc pc;
  SetupWindow& form = StartWithTemplates(pc);
  InDialog(pc, form, [](NetOutputDialog& d) {
    EXPECT_EQ(d.Caption(), "Change the output path for .NET environments");
    EXPECT_EQ(d.ExplanationLabel.Caption(),
              "The default output directory is the working directory. But if the working "
              "directory is located in a remote (network) drive then in the case of .NET "
              "environments it is necessary to use some local hard disk directory as an output "
              "directory.");
    EXPECT_EQ(d.UseLocalDirCheck.Caption(), "Use an output directory located in a local hard disk");
    EXPECT_TRUE(d.UseLocalDirCheck.Focused());
    EXPECT_FALSE(d.UseLocalDirCheck.Checked());
    EXPECT_EQ(d.LocalDirEdit.Text(), "C:\\VL4Work\\Output");
    EXPECT_EQ(d.ButtonBrowse.Caption(), "Browse [F8]");
    EXPECT_EQ(d.ButtonCancel.Caption(), "Cancel");
    EXPECT_FALSE(d.LocalDirEdit.Enabled());
    EXPECT_FALSE(d.ButtonBrowse.Enabled());
    EXPECT_TRUE(d.ButtonOK.Enabled());

    d.UseLocalDirCheck.UserToggle();
    EXPECT_TRUE(d.LocalDirEdit.Enabled());
    EXPECT_TRUE(d.ButtonBrowse.Enabled());
    d.LocalDirEdit.UserSetText("   ");
    EXPECT_FALSE(d.ButtonOK.Enabled());
    d.LocalDirEdit.UserSetText("C:\\Out");
    EXPECT_TRUE(d.ButtonOK.Enabled());
    d.ButtonCancel.Click();
  });
  EXPECT_FALSE(form.Config().use_local_dir);
  EXPECT_EQ(pc.Read(kVbTemplate), kTemplate);
}

TEST(NetOutput, OnlyADirectoryOnAFixedDiskIsAccepted) {
  SetupPc pc;
  const std::string host = pc.HostPath("C:\\");
  for (auto [letter, type] : {std::pair{'N', DriveType::kRemote}, {'A', DriveType::kRemovable}}) {
    std::filesystem::create_directories(host + "drive" + letter);
    pc.pc().MapDrive(letter, host + "drive" + letter, type);
  }
  SetupWindow& form = StartWithTemplates(pc);
  OnDialog(pc, [](NetOutputDialog& d) { d.UseLocalDirCheck.UserToggle(); });
  for (const char* dir : {"C:\\", "C:Out\\x", "N:\\Out", "A:\\Out", "Q:\\Out"}) {
    OnDialog(pc, [dir](NetOutputDialog& d) {
      d.LocalDirEdit.UserSetText(dir);
      d.ButtonOK.Click();
    });
    pc.ui().ExpectMessage("The directory name must contain the name of a local hard disk.",
                          MsgKind::kError, MsgButtons::kOK, ModalResult::kOK);
  }
  // A directory to be made: No keeps the dialog open; a creation that fails is reported.
  OnDialog(pc, [](NetOutputDialog& d) {
    EXPECT_EQ(d.LocalDirEdit.Text(), "Q:\\Out");  // the refused input stays
    d.LocalDirEdit.UserSetText("  C:\\Net\\Out  ");
    d.ButtonOK.Click();
  });
  pc.ui().ExpectMessage("The directory \"C:\\Net\\Out\" does not exist. Do you want to create it?",
                        MsgKind::kConfirmation, MsgButtons::kYesNo, ModalResult::kNo);
  OnDialog(pc, [](NetOutputDialog& d) { d.ButtonOK.Click(); });
  pc.ui()
      .ExpectMessage("does not exist", ModalResult::kYes)
      .ExpectMessage("Cannot create the directory \"C:\\Net\\Out\".", MsgKind::kError,
                     MsgButtons::kOK, ModalResult::kOK);
  OnDialog(pc, [](NetOutputDialog& d) { d.ButtonOK.Click(); });
  pc.ui().ExpectMessage("does not exist", ModalResult::kYes);
  pc.pc().FailNth(platform::SandboxPlatform::Fault::kCreateDirectory, 1);
  form.PressKey(ui::kKeyF7);

  EXPECT_TRUE(pc.files().DirectoryExists("C:\\Net\\Out"));
  EXPECT_TRUE(form.Config().use_local_dir);
  EXPECT_EQ(form.Config().local_dir_name, "C:\\Net\\Out");
  EXPECT_EQ(pc.Read(kVbTemplate), Rewritten("C:\\Net\\Out\\"));
  EXPECT_EQ(pc.Read(kCsTemplate), Rewritten("C:\\Net\\Out\\"));
  EXPECT_FALSE(pc.files().FileExists(std::string(kVbTemplate) + "1"));
  EXPECT_FALSE(pc.files().DirectoryExists("C:\\VL4\\VBNET2"));
}

TEST(NetOutput, TemplatesAreRewrittenOnlyWhenTheChoiceChanges) {
  SetupPc pc;
  platform::ForceDirectories(pc.files(), "C:\\Net\\Out");
  SetupWindow& form = StartWithTemplates(
      pc, "[Output .NET Directory]\r\nUseLocalDir=1\r\nLocalDirName=C:\\Net\\Out\r\n");

  // The same directory in other letters: nothing rewritten, but the letters are kept.
  InDialog(pc, form, [](NetOutputDialog& d) {
    EXPECT_TRUE(d.UseLocalDirCheck.Checked());
    d.LocalDirEdit.UserSetText("c:\\net\\OUT");
    d.ButtonOK.Click();
  });
  EXPECT_EQ(pc.Read(kVbTemplate), kTemplate);
  EXPECT_EQ(form.Config().local_dir_name, "c:\\net\\OUT");

  // Back to the working directory: every template's output path becomes ".\".
  InDialog(pc, form, [](NetOutputDialog& d) {
    d.UseLocalDirCheck.UserToggle();
    d.ButtonOK.Click();
  });
  EXPECT_FALSE(form.Config().use_local_dir);
  EXPECT_EQ(pc.Read(kVbTemplate), Rewritten(".\\"));
  EXPECT_EQ(pc.Read(kCsTemplate), Rewritten(".\\"));
  pc.Close();
  EXPECT_NE(pc.Read("C:\\VL4\\VL.INI")->find("UseLocalDir=0\r\nLocalDirName=c:\\net\\OUT"),
            std::string::npos);
}

TEST(NetOutput, BrowseStartsAtTheTypedDirectoryOrTheWorkingDirectory) {
  SetupPc pc;
  SetupWindow& form = StartWithTemplates(pc);
  OnDialog(pc, [](NetOutputDialog& d) {
    d.UseLocalDirCheck.UserToggle();
    d.PressKey(ui::kKeyF8);
  });
  pc.ui().ExpectDirectory([](const ui::DirectoryRequest& r) -> std::optional<std::string> {
    EXPECT_EQ(r.start, "C:\\VL4Work\\Output");
    EXPECT_FALSE(r.allow_create);
    return "C:\\VL4Work";
  });
  OnDialog(pc, [](NetOutputDialog& d) {
    EXPECT_EQ(d.LocalDirEdit.Text(), "C:\\VL4Work");
    d.LocalDirEdit.UserSetText("C:\\Nowhere");
    d.ButtonBrowse.Click();
  });
  pc.ui().ExpectDirectory([](const ui::DirectoryRequest& r) -> std::optional<std::string> {
    EXPECT_EQ(r.start, "C:\\VL4Work");
    return std::nullopt;
  });
  OnDialog(pc, [](NetOutputDialog& d) {
    EXPECT_EQ(d.LocalDirEdit.Text(), "C:\\Nowhere");
    d.ButtonCancel.Click();
  });
  form.PressKey(ui::kKeyF7);
  EXPECT_FALSE(form.Config().use_local_dir);
}

// Start-up applies the setting when it had to turn the flag off: a local directory that cannot
// be made sends the output back to the working directory.
TEST(NetOutput, StartUpRewritesTheTemplatesWhenTheStoredDirectoryIsGone) {
  SetupPc pc;
  StartWithTemplates(pc, "[Output .NET Directory]\r\nUseLocalDir=1\r\nLocalDirName=Q:\\Out\r\n");
  EXPECT_FALSE(pc.form().Config().use_local_dir);
  EXPECT_EQ(pc.Read(kVbTemplate), Rewritten(".\\"));
}

// The old template stays until the new one has its name: whichever step fails, each template is
// whole (the first one as it was, the next one rewritten) and nothing is left beside it.
TEST(NetOutput, ARewriteThatFailsLeavesTheTemplateWhole) {
  using Fault = platform::SandboxPlatform::Fault;
  const std::pair<Fault, int> faults[] = {
      {Fault::kWrite, 1},  // writing the new copy
      {Fault::kMove, 1},   // putting the old template aside
      {Fault::kMove, 2},   // giving the new copy the template's name
  };
  for (auto [fault, nth] : faults) {
    SCOPED_TRACE(testing::Message() << static_cast<int>(fault) << " " << nth);
    SetupPc pc;
    SetupWindow& form = StartWithTemplates(pc);
    pc.pc().FailNth(fault, nth);
    InDialog(pc, form, [](NetOutputDialog& d) {
      d.UseLocalDirCheck.UserToggle();
      d.ButtonOK.Click();
    });
    EXPECT_EQ(pc.Read(kVbTemplate), kTemplate);
    EXPECT_EQ(pc.Read(kCsTemplate), Rewritten("C:\\VL4Work\\Output\\"));
    for (const char* stray : {"1", ".OLD"}) {
      EXPECT_FALSE(pc.files().FileExists(kVbTemplate + std::string(stray))) << stray;
    }
  }
}

// A rewrite interrupted after the old template went aside leaves the complete new copy, which
// takes the template's place at the next start.
TEST(NetOutput, AnInterruptedRewriteIsCompletedAtTheNextStart) {
  for (bool old_aside : {false, true}) {
    SCOPED_TRACE(old_aside);
    SetupPc pc;
    pc.AddModules("VB7");
    pc.Put(std::string(kVbTemplate) + "1", Rewritten(".\\"));
    if (old_aside) pc.Put(std::string(kVbTemplate) + ".OLD", kTemplate);
    pc.Start();
    EXPECT_EQ(pc.Read(kVbTemplate), Rewritten(".\\"));
    EXPECT_FALSE(pc.files().FileExists(std::string(kVbTemplate) + "1"));
    EXPECT_FALSE(pc.files().FileExists(std::string(kVbTemplate) + ".OLD"));
  }
}

}  // namespace
}  // namespace vl4::test
