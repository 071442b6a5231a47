// Stored names from archives made on Unix: their bytes are the maker's text, nowadays UTF-8, also
// without the UTF-8 flag; other names without the flag are OEM text.
#include <gtest/gtest.h>

#include "tests/zip/fake_platform.h"
#include "zip/stored_name.h"

namespace vl4::zip {
namespace {

TEST(StoredNames, UnixNamesAreTakenAsUtf8WhenTheyAreUtf8) {
  const std::string test_utf8 = "\xD1\x82\xD0\xB5\xD1\x81\xD1\x82";  // "тест"
  const std::string test_oem = "\xE2\xA5\xE1\xE2";                   // "тест" in code page 866
  const std::string test_ansi = "\xF2\xE5\xF1\xF2";                  // "тест" in code page 1251
  constexpr uint16_t kUnix = 0x031E, kDos = 0x0014, kNone = 0;
  struct Case {
    std::string stored;
    uint16_t flag;
    uint16_t made_by;
    std::string ansi;
  } cases[] = {
      {"d/" + test_utf8 + ".txt", 0, kUnix, "d\\" + test_ansi + ".txt"},
      {test_utf8, kFlagUtf8, kDos, test_ansi},
      {test_oem + ".txt", 0, kUnix, test_ansi + ".txt"},  // not UTF-8: OEM after all
      {test_oem, 0, kDos, test_ansi},
      {test_oem, 0, kNone, test_ansi},  // local headers say nothing of their maker
      {"\xE2", 0, kUnix, "\xF2"},       // a lead byte cut short: not UTF-8
  };
  test::FakeSystem system;
  for (const Case& c : cases) {
    EXPECT_EQ(ConvertStoredName(c.stored, c.flag, system, c.made_by), c.ansi) << c.stored;
  }
  EXPECT_NE(ConvertStoredName(test_utf8, 0, system, kDos), test_ansi);
}

}  // namespace
}  // namespace vl4::zip
