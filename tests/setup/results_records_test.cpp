// The results file's text: the 1251/866 mapping and the header record's syntax.
#include <gtest/gtest.h>

#include "setup/results/code_page.h"
#include "setup/results/results_file.h"

namespace vl4 {
namespace {

TEST(CodePage, CyrillicLettersMoveAndEverythingElseStays) {
  // А, п, р, я, Ё, ё in 1251 and their 866 places.
  EXPECT_EQ(Win1251ToDos866("\xC0\xEF\xF0\xFF\xA8\xB8"), "\x80\xAF\xE0\xEF\xF0\xF1");
  std::string all;
  for (int c = 0; c < 256; ++c) all += static_cast<char>(c);
  const std::string dos = Win1251ToDos866(all);
  for (int c = 0; c < 256; ++c) {
    const bool cyrillic = c >= 0xC0 || c == 0xA8 || c == 0xB8;
    if (cyrillic) {
      // Every Cyrillic letter comes back.
      EXPECT_EQ(Dos866ToWin1251(dos.substr(c, 1)), all.substr(c, 1)) << c;
    } else {
      EXPECT_EQ(static_cast<unsigned char>(dos[c]), c) << c;
    }
  }
}

TEST(ResultsHeader, ParsesNameOptionAndCode) {
  struct Case {
    const char* text;
    const char* name;
    int option;
    const char* code;
  };
  const Case cases[] = {
      {"Ivan Petrov", "Ivan Petrov", 10, ""},
      {"  Ivan Petrov     ", "Ivan Petrov", 10, ""},
      {"Ivan|12DELPHI7", "Ivan", 12, "DELPHI7"},
      {"Ivan|12delphi7   ", "Ivan", 12, "DELPHI7"},
      {"Ivan|13DELPHI7", "Ivan", 10, "DELPHI7"},  // odd
      {"Ivan|42VB6", "Ivan", 10, "VB6"},          // above 40
      {"Ivan|2VB6", "Ivan", 10, "VB6"},           // below 4
      {"Ivan|4VB6", "Ivan", 4, "VB6"},
      {"Ivan|40", "Ivan", 40, ""},
      {"Ivan|VB6", "Ivan", 10, "VB6"},             // no number
      {"Ivan|99999999999VB6", "Ivan", 10, "VB6"},  // no number that fits
      {"A|B|10CB5", "A|B", 10, "CB5"},             // the last bar counts
      {"|10", "", 10, ""},
      {"", "", 10, ""},
  };
  for (const Case& c : cases) {
    ResultsHeader header = ParseHeaderText(c.text);
    EXPECT_EQ(header.name, c.name) << c.text;
    EXPECT_EQ(header.option, c.option) << c.text;
    EXPECT_EQ(header.env_code, c.code) << c.text;
  }
}

TEST(ResultsHeader, FilePathIgnoresATrailingBackslash) {
  EXPECT_EQ(ResultsFilePath("C:\\VL4Work"), "C:\\VL4Work\\results.dat");
  EXPECT_EQ(ResultsFilePath("C:\\VL4Work\\"), "C:\\VL4Work\\results.dat");
  EXPECT_EQ(ResultsFilePath("D:"), "D:\\results.dat");
  EXPECT_EQ(ResultsFilePath("D:\\"), "D:\\results.dat");
}

}  // namespace
}  // namespace vl4
