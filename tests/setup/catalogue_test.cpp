// The environment catalogue: its fixed table, environment codes and look-ups.
#include <gtest/gtest.h>

#include "setup/catalogue.h"
#include "setup/detection.h"

namespace vl4 {
namespace {

TEST(Catalogue, RowsCarryTheirCodesFoldersAndKinds) {
  Catalogue catalogue;
  struct Case {
    int row;
    const char* code;
    int version;
    EnvKind kind;
    bool install;
  };
  const Case cases[] = {
      {3, "DELPHI3", 3, EnvKind::kPascal, true},    {8, "DELPHI9", 9, EnvKind::kPascal, true},
      {9, "DELPHI10", 10, EnvKind::kPascal, true},  {11, "VB6", 6, EnvKind::kBasic, true},
      {12, "VB7", 7, EnvKind::kDotNet, false},      {15, "VBNET1", 1, EnvKind::kDotNet, false},
      {19, "CB4", 4, EnvKind::kCpp, true},          {21, "VC6", 6, EnvKind::kCpp, false},
      {24, "VCNET3", 3, EnvKind::kCpp, false},      {27, "VCSNET3", 3, EnvKind::kDotNet, false},
      {29, "CSB10", 10, EnvKind::kDotNet, false},   {31, "DELNET10", 10, EnvKind::kDotNet, false},
      {32, "LAZARUS1", 1, EnvKind::kPascal, false},
  };
  for (const Case& c : cases) {
    const EnvRow& row = catalogue.Row(c.row);
    EXPECT_EQ(row.number, c.row);
    EXPECT_EQ(row.Code(), c.code) << c.row;
    EXPECT_EQ(row.version, c.version) << c.row;
    EXPECT_EQ(row.kind, c.kind) << c.row;
    EXPECT_EQ(row.has_install, c.install) << c.row;
    EXPECT_EQ(row.ModuleFolder("C:\\VL4\\"), std::string("C:\\VL4\\") + c.code);
  }
  // Delphi 2005 and 2006 follow Delphi 7 directly: there is no DELPHI8.
  EXPECT_EQ(catalogue.ByCode("DELPHI8"), nullptr);
  EXPECT_EQ(catalogue.Row(3).package_ext, ".dpl");
  EXPECT_EQ(catalogue.Row(10).menu_name, "Add-Ins");
  EXPECT_EQ(catalogue.Row(32).loader_template, "loadlpr.dat");
}

TEST(Catalogue, EveryVersionNumberIsItsVersionText) {
  Catalogue catalogue;
  int codes = 0;
  for (const EnvRow& row : catalogue.Rows()) {
    if (row.Empty()) continue;
    ++codes;
    EXPECT_EQ(std::to_string(row.version), row.version_text) << row.number;
    EXPECT_EQ(catalogue.ByCode(row.Code()), &row) << row.Code();
    EXPECT_EQ(catalogue.ByDisplayName(row.display_name), &row) << row.display_name;
  }
  EXPECT_EQ(codes, 29);
}

TEST(Catalogue, TheEmptySlotIsNeverFound) {
  Catalogue catalogue;
  EXPECT_TRUE(catalogue.Row(18).Empty());
  EXPECT_EQ(catalogue.ByDisplayName(""), nullptr);
  EXPECT_EQ(catalogue.ByCode(""), nullptr);
  EXPECT_EQ(catalogue.ByControl(nullptr), nullptr);
  // Look-ups are exact: display names by case, codes in upper case.
  EXPECT_EQ(catalogue.ByDisplayName("borland delphi 7"), nullptr);
  EXPECT_EQ(catalogue.ByCode("delphi7"), nullptr);
  EXPECT_NE(catalogue.ByCode("VB7"), catalogue.ByCode("VBNET1"));
}

TEST(Catalogue, EnvironmentCodesSplitAtTheTrailingDigits) {
  struct Case {
    const char* code;
    const char* family;
    int version;
  };
  const Case cases[] = {
      {"DELPHI7", "DELPHI", 7},
      {"VBNET2", "VBNET", 2},
      {"DELNET10", "DELNET", 10},
      {"CB", "CB", 1},
      {"VB0", "VB", 1},
      {"0", "", 1},
      {"", "", 1},
      {"X99999999999", "X", 1},
      {"7UP3", "7UP", 3},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SplitEnvironmentCode(c.code), (EnvChoice{c.family, c.version})) << c.code;
  }
}

TEST(BrowseRule, TheFileNameMustContainTheWordOfTheRowsGroup) {
  Catalogue catalogue;
  struct Case {
    int row;
    const char* file;
    bool accepted;
  };
  const Case cases[] = {
      {5, "C:\\D5\\Bin\\MyDelphi32Copy.exe", true},
      {5, "C:\\Delphi32\\Bin\\delphi.exe", false},  // the directory does not count
      {8, "C:\\BDS\\3.0\\Bin\\bds.exe", true},
      {30, "bds.exe", true},
      {7, "bds.exe", false},
      {11, "C:\\VB98\\VB6.EXE", true},
      {19, "bcb.exe", true},
      {21, "MSDEV.EXE", true},
      {12, "devenv.exe", true},
      {13, "VBExpress.exe", true},
      {12, "VBExpress.exe", false},
      {23, "VCExpress.exe", true},
      {26, "VCSExpress.exe", true},
      {27, "VCExpress.exe", false},
      {32, "lazarus.exe", true},
      {32, "startlazarus.exe", true},
      {32, "lazarus.com", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(BrowseRule(catalogue.Row(c.row), c.file), c.accepted) << c.row << " " << c.file;
  }
}

}  // namespace
}  // namespace vl4
