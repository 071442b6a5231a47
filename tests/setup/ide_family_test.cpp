// The installation families and the names built from a row: the tools package and the IDE's
// Known Packages key.
#include <gtest/gtest.h>

#include "setup/ide/ide_family.h"

namespace vl4 {
namespace {

TEST(IdeFamily, RowsGiveTheirFamilyPackageAndKnownPackagesKey) {
  struct Case {
    int row;
    IdeFamily family;
    const char* package;
    const char* key;  // for the families that register a known package
  };
  const Case cases[] = {
      {3, IdeFamily::kDelphi, "vl4d3tls.dpl", "\\Software\\Borland\\Delphi\\3.0\\Known Packages"},
      {7, IdeFamily::kDelphi, "vl4d7tls.bpl", "\\Software\\Borland\\Delphi\\7.0\\Known Packages"},
      {8, IdeFamily::kDelphi, "vl4d9tls.bpl", "\\Software\\Borland\\BDS\\3.0\\Known Packages"},
      {9, IdeFamily::kDelphi, "vl4d10tls.bpl", "\\Software\\Borland\\BDS\\4.0\\Known Packages"},
      {19, IdeFamily::kCppBuilder, "vl4b4tls.bpl",
       "\\Software\\Borland\\C++Builder\\4.0\\Known Packages"},
      {20, IdeFamily::kCppBuilder, "vl4b5tls.bpl",
       "\\Software\\Borland\\C++Builder\\5.0\\Known Packages"},
      {28, IdeFamily::kBorlandNet, "vl4d9tls.bpl", nullptr},
      {31, IdeFamily::kBorlandNet, "vl4d10tls.bpl", nullptr},
      {10, IdeFamily::kVisualBasic, nullptr, nullptr},
      {11, IdeFamily::kVisualBasic, nullptr, nullptr},
      {12, IdeFamily::kOther, nullptr, nullptr},
      {21, IdeFamily::kOther, nullptr, nullptr},
      {32, IdeFamily::kOther, nullptr, nullptr},
  };
  Catalogue catalogue;
  for (const Case& c : cases) {
    const EnvRow& row = catalogue.Row(c.row);
    EXPECT_EQ(FamilyOf(row), c.family) << c.row;
    if (c.package) {
      EXPECT_EQ(ToolsPackageName(row), c.package) << c.row;
    }
    if (c.key) {
      EXPECT_EQ(KnownPackagesKey(row), c.key) << c.row;
    }
  }
}

}  // namespace
}  // namespace vl4
