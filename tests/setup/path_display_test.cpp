// Shortening paths for a field of fixed width, measured with a fixed-pitch stand-in font.
#include <gtest/gtest.h>

#include "setup/path_display.h"

namespace vl4 {
namespace {

int Width(std::string_view text) {
  return static_cast<int>(text.size()) * 6;
}

// A field wide enough for exactly `chars` characters.
int FieldFor(size_t chars) {
  return static_cast<int>(chars) * 6 + 3;
}

TEST(PathDisplay, DirectoryLevelsGiveWayFromTheLeftThenTheDrive) {
  const std::string path = "C:\\Program Files\\Microsoft Visual Studio\\VB98\\VB6.EXE";
  const char* steps[] = {
      "C:\\Program Files\\Microsoft Visual Studio\\VB98\\VB6.EXE",
      "C:\\...\\Microsoft Visual Studio\\VB98\\VB6.EXE",
      "C:\\...\\VB98\\VB6.EXE",
      "C:\\...\\VB6.EXE",
      "...\\VB6.EXE",
  };
  for (const char* expected : steps) {
    const std::string e = expected;
    EXPECT_EQ(ShortenPathForDisplay(path, FieldFor(e.size()), Width), e);
  }
}

TEST(PathDisplay, ANameThatStillDoesNotFitIsCutAtItsFirstBlank) {
  EXPECT_EQ(ShortenPathForDisplay("C:\\Tools\\My Long Program.exe", FieldFor(5), Width),
            "...\\My...");
  EXPECT_EQ(ShortenPathForDisplay("C:\\Tools\\LongProgramName.exe", FieldFor(5), Width),
            "...\\LongProgramName.exe");
  EXPECT_EQ(ShortenPathForDisplay("", FieldFor(5), Width), "");
}

TEST(PathDisplay, OddDirectoryPartsStillEnd) {
  for (const char* path : {"\\\\server\\share\\dir\\file.exe", "C:file.exe", "C:\\.\\..\\x.exe",
                           "rel\\dir\\file.exe", "\\...\\...\\f", "C:\\\\\\\\f"}) {
    const std::string shown = ShortenPathForDisplay(path, 0, Width);
    EXPECT_LE(shown.size(), std::string(path).size() + 3) << path;
  }
}

}  // namespace
}  // namespace vl4
