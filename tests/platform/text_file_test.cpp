// Text files as lines over the platform: any line ending is read, CR LF is written.
#include <gtest/gtest.h>

#include "platform/text_file.h"
#include "tests/support/test_world.h"

namespace vl4::platform {
namespace {

using test::TestWorld;
using Lines = std::vector<std::string>;

TEST(TextFile, ReadsEveryLineEndingAndWritesCrLf) {
  TestWorld w;
  const std::string f = w.Path("lines.txt");
  ASSERT_TRUE(w.WriteFile(f, "dos\r\nunix\nmac\rlast"));
  EXPECT_EQ(ReadTextFile(w.files(), f), (Lines{"dos", "unix", "mac", "last"}));
  ASSERT_TRUE(w.WriteFile(f, "a\r\n\r\nb\r\n"));
  EXPECT_EQ(ReadTextFile(w.files(), f), (Lines{"a", "", "b"}));
  ASSERT_TRUE(w.WriteFile(f, ""));
  EXPECT_EQ(ReadTextFile(w.files(), f), Lines{});
  EXPECT_EQ(ReadTextFile(w.files(), w.Path("missing.txt")), std::nullopt);

  ASSERT_TRUE(WriteTextFile(w.files(), f, {"one", "", "\xC0\xFF"}));
  EXPECT_EQ(w.ReadFile(f), "one\r\n\r\n\xC0\xFF\r\n");
  EXPECT_FALSE(WriteTextFile(w.files(), w.Path("no\\dir\\f.txt"), {"x"}));
}

}  // namespace
}  // namespace vl4::platform
