// Conformance of what the system tells about the program and the machine, and its code pages.
#include <gtest/gtest.h>

#include "platform/embedded_resource.h"
#include "platform/path.h"
#include "platform/text.h"
#include "tests/support/test_world.h"

namespace vl4::platform {
namespace {

using test::TestWorld;

#ifndef _WIN32
// On Windows the same bytes come from the test's resource script.
const bool kProbeRegistered = RegisterEmbeddedResource("VL4TEST", "PROBE", "probe data");
#endif

TEST(System, TheProgramAndTheMachine) {
  TestWorld w;
  std::string exe = w.system().ExePath();
  EXPECT_TRUE(w.files().FileExists(exe)) << exe;
  EXPECT_TRUE(StartsText("platform_conformance_test", ExtractFileName(exe))) << exe;
  EXPECT_TRUE(w.files().DirectoryExists(w.system().WindowsDirectory()));
  EXPECT_TRUE(w.files().DirectoryExists(w.system().SystemDirectory()));
  EXPECT_TRUE(StartsText(w.system().WindowsDirectory() + "\\", w.system().SystemDirectory()));
  EXPECT_FALSE(w.system().UserName().value_or("").empty());
  EXPECT_TRUE(w.system().Arguments().empty());
}

TEST(System, ResourcesOfTheProgram) {
  TestWorld w;
  auto probe = w.system().Resource("vl4test", "probe");
  ASSERT_TRUE(probe.has_value());
  EXPECT_EQ(probe->substr(0, 10), "probe data");
  EXPECT_FALSE(w.system().Resource("VL4TEST", "MISSING").has_value());
}

TEST(System, CodePageConversions) {
  TestWorld w;
  unsigned acp = w.system().AnsiCodePage();
  unsigned oem = w.system().OemCodePage();
  if (acp == 1251) {
    EXPECT_EQ(oem, 866u);
    EXPECT_EQ(w.system().AnsiToUtf8("\xCF\xF0\xE8\xE2\xE5\xF2 \xA8"), "Привет Ё");
    EXPECT_EQ(w.system().Utf8ToAnsi("Привет Ё €"), "\xCF\xF0\xE8\xE2\xE5\xF2 \xA8 \x88");
    EXPECT_EQ(w.system().AnsiToOem("\xC0\xFF\xB8"), "\x80\xEF\xF1");
    EXPECT_EQ(w.system().OemToAnsi("\x80\xEF\xF1"), "\xC0\xFF\xB8");
  } else if (acp == 1252) {
    EXPECT_EQ(oem, 437u);
    EXPECT_EQ(w.system().AnsiToUtf8("caf\xE9 \x80"), "café €");
    EXPECT_EQ(w.system().Utf8ToAnsi("café €"), "caf\xE9 \x80");
    EXPECT_EQ(w.system().AnsiToOem("\xE9\xC4"), "\x82\x8E");
    EXPECT_EQ(w.system().OemToAnsi("\x82\x8E"), "\xE9\xC4");
  } else {
    GTEST_SKIP() << "code page " << acp;
  }
  EXPECT_EQ(w.system().Utf8ToAnsi("a漢b"), "a_b");  // missing characters become "_"
  EXPECT_EQ(w.system().AnsiToUtf8("plain ASCII"), "plain ASCII");
}

}  // namespace
}  // namespace vl4::platform
