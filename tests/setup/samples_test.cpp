// The samples button of the working directory page: copying the current environment's sample
// files into the working directory, deleting them again, and the reports of both.
#include <gtest/gtest.h>

#include "tests/setup/setup_pc.h"

#include "platform/file_tree.h"
namespace vl4::test {
namespace {

using ui::ModalResult;
using ui::MsgButtons;
using ui::MsgKind;

constexpr char kCopy[] = "Copy sample files to the working directory [F7]";
constexpr char kDelete[] = "Delete sample files at the working directory [F7]";

// Lazarus (installed) with three samples, one of which already lies in the working directory
// beside a file of the student's own.
SetupWindow& StartWithSamples(SetupPc& pc) {
  pc.AddModules("LAZARUS1");
  pc.Put("c:\\lazarus\\lazarus.exe");
  for (const char* name : {"one.lpr", "two.lpr", "three.lpr"}) {
    pc.Put(std::string("C:\\VL4\\SAMPLES\\LAZARUS1\\") + name, name);
  }
  pc.Put("C:\\VL4Work\\two.lpr", "old");
  pc.Put("C:\\VL4Work\\mine.lpr", "mine");
  SetupWindow& form = pc.Start();
  form.ButtonNext.Click();
  return form;
}

std::string Names(const std::vector<std::string>& names) {
  std::string text;
  for (const std::string& name : names) text += (text.empty() ? "" : ", ") + name;
  return text + ".";
}

void ExpectReport(SetupPc& pc, const std::string& text) {
  pc.ui().ExpectMessage(text, MsgKind::kInformation, MsgButtons::kOK, ModalResult::kOK);
}

TEST(Samples, CopyingThenDeletingTouchesOnlyTheSampleFiles) {
  SetupPc pc;
  SetupWindow& form = StartWithSamples(pc);
  ASSERT_EQ(form.ButtonSamples.Caption(), kCopy);
  const std::vector<std::string> samples = form.SampleList();  // in the listing's order
  ASSERT_EQ(samples.size(), 3u);

  ExpectReport(
      pc, "The following sample files are added to the working directory:\r\n" + Names(samples));
  form.ButtonSamples.Click();
  EXPECT_EQ(form.ButtonSamples.Caption(), kDelete);
  EXPECT_EQ(pc.Read("C:\\VL4Work\\two.lpr"), "two.lpr");
  EXPECT_EQ(pc.Read("C:\\VL4Work\\three.lpr"), "three.lpr");

  ExpectReport(pc, "The following sample files are deleted from the working directory:\r\n" +
                       Names(samples));
  form.ButtonSamples.Click();
  EXPECT_EQ(form.ButtonSamples.Caption(), kCopy);
  for (const std::string& name : samples) {
    EXPECT_FALSE(pc.files().FileExists("C:\\VL4Work\\" + name)) << name;
  }
  EXPECT_EQ(pc.Read("C:\\VL4Work\\mine.lpr"), "mine");

  // The copies went meanwhile: nothing left to delete is said so, and the button offers copying
  // again.
  ExpectReport(
      pc, "The following sample files are added to the working directory:\r\n" + Names(samples));
  form.ButtonSamples.Click();
  for (const std::string& name : samples) pc.files().DeleteFile("C:\\VL4Work\\" + name);
  ExpectReport(pc, "The sample files are not found at the working directory.");
  form.ButtonSamples.Click();
  EXPECT_EQ(form.ButtonSamples.Caption(), kCopy);
}

// The reports name what was done. A sample that left the sample folder after the list was built,
// or one the working directory refuses, is named as not copied (or not deleted).
TEST(Samples, FilesThatCouldNotBeCopiedOrDeletedAreNamedAsSuch) {
  SetupPc pc;
  SetupWindow& form = StartWithSamples(pc);
  // The listing's order, without the one given.
  auto others = [&](const std::string& left_out) {
    std::vector<std::string> names;
    for (const std::string& name : form.SampleList()) {
      if (name != left_out) names.push_back(name);
    }
    return names;
  };

  pc.files().DeleteFile("C:\\VL4\\SAMPLES\\LAZARUS1\\one.lpr");
  ExpectReport(pc, "The following sample files are added to the working directory:\r\n" +
                       Names(others("one.lpr")) +
                       "\r\nThe following sample files could not be copied to the working "
                       "directory:\r\none.lpr.");
  form.ButtonSamples.Click();

  pc.files().SetAttributes("C:\\VL4Work\\two.lpr", platform::kAttrReadOnly);
  std::vector<std::string> deleted = others("two.lpr");
  std::erase(deleted, "one.lpr");  // never copied
  ExpectReport(pc, "The following sample files are deleted from the working directory:\r\n" +
                       Names(deleted) +
                       "\r\nThe following sample files could not be deleted from the working "
                       "directory:\r\ntwo.lpr.");
  form.ButtonSamples.Click();
  EXPECT_TRUE(pc.files().FileExists("C:\\VL4Work\\two.lpr"));
}

TEST(Samples, AnEnvironmentWithoutSamplesSaysSo) {
  SetupPc pc;
  pc.AddModules("LAZARUS1");
  pc.Put("c:\\lazarus\\lazarus.exe");
  platform::ForceDirectories(pc.files(), "C:\\VL4\\SAMPLES\\DELPHI7");
  SetupWindow& form = pc.Start();
  form.ButtonNext.Click();
  ASSERT_TRUE(form.ButtonSamples.Visible());
  EXPECT_FALSE(form.ButtonSamples.Enabled());
  ExpectReport(pc, "This version of Veltoria does not include sample files.");
  form.ButtonSamplesClick();
  EXPECT_EQ(form.ButtonSamples.Caption(), kDelete);
}

}  // namespace
}  // namespace vl4::test
