// Output paths: stored directories and file names made safe to put under the destination.
#include <gtest/gtest.h>

#include "zip/output_path.h"

namespace vl4::zip {
namespace {

TEST(OutputPath, StoredDirectoriesStayBelowTheDestination) {
  struct Case {
    const char* stored;
    const char* relative;
  } cases[] = {
      {"", ""},
      {"a\\b\\", "a\\b\\"},
      {"\\a\\", "a\\"},
      {"C:\\", ""},
      {"C:\\a\\", "a\\"},
      {"c:a\\", "a\\"},
      {"\\\\server\\share\\a\\", "server\\share\\a\\"},
      {"..\\..\\", ""},
      {"a\\..\\..\\b\\", "a\\b\\"},
      {".\\a\\.\\", "a\\"},
      {"a\\. .\\.. \\...\\b\\", "a\\b\\"},
      {"a..\\..b\\", "a..\\..b\\"},  // dots inside names are names
      {"a\\b:c\\", "a\\b_c\\"},
      {"1:\\x\\", "1_\\x\\"},  // no drive letter
      {"a\\\\b\\", "a\\b\\"},
      {"what?\\<x>|\"y\"*\\", "what_\\_x___y__\\"},
      {"tab\there\\", "tab_here\\"},
      {"con\\COM1.d\\lpt9 \\", "_con\\_COM1.d\\_lpt9 \\"},  // devices, not folders
      {"console\\com10\\lpt0\\", "console\\com10\\lpt0\\"},
  };
  for (const Case& c : cases) EXPECT_EQ(RelativeOutputDir(c.stored), c.relative) << c.stored;
}

TEST(OutputPath, FileNamesAndJoining) {
  EXPECT_EQ(SafeFileName("a.txt"), "a.txt");
  EXPECT_EQ(SafeFileName(".."), "_");
  EXPECT_EQ(SafeFileName(". "), "_");
  EXPECT_EQ(SafeFileName(".profile"), ".profile");
  EXPECT_EQ(SafeFileName("na?ve*.txt"), "na_ve_.txt");
  EXPECT_EQ(SafeFileName("NUL.txt"), "_NUL.txt");
  EXPECT_EQ(SafeFileName("aux"), "_aux");
  EXPECT_EQ(SafeFileName("auxiliary.txt"), "auxiliary.txt");
  EXPECT_EQ(JoinOutputDir("C:\\out", "a\\"), "C:\\out\\a\\");
  EXPECT_EQ(JoinOutputDir("C:\\out", ""), "C:\\out\\");
  EXPECT_EQ(JoinOutputDir("C:", "a\\"), "C:\\a\\");  // a drive's root is held as "C:"
  EXPECT_EQ(JoinOutputDir("", "a\\"), "a\\");        // the current directory
  EXPECT_EQ(JoinOutputDir("", ""), "");
}

}  // namespace
}  // namespace vl4::zip
