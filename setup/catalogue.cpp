// The environment catalogue's fixed table and its look-ups.
#include "setup/catalogue.h"

#include "setup/env_page.h"

namespace vl4 {

namespace {

struct FixedRow {
  int number;
  const char* display_name;
  const char* family_key;
  const char* version_text;
  const char* loader_template;
  const char* menu_name;
  const char* package_ext;
  EnvKind kind;
  bool has_install;
};

constexpr EnvKind P = EnvKind::kPascal, B = EnvKind::kBasic, N = EnvKind::kDotNet,
                  C = EnvKind::kCpp;

constexpr FixedRow kTable[] = {
    {3, "Borland Delphi 3", "DELPHI", "3", "loaddpr.dat", "Tools", ".dpl", P, true},
    {4, "Borland Delphi 4", "DELPHI", "4", "loaddpr.dat", "Tools", ".bpl", P, true},
    {5, "Borland Delphi 5", "DELPHI", "5", "loaddpr.dat", "Tools", ".bpl", P, true},
    {6, "Borland Delphi 6", "DELPHI", "6", "loaddpr.dat", "Tools", ".bpl", P, true},
    {7, "Borland Delphi 7", "DELPHI", "7", "loaddpr.dat", "Tools", ".bpl", P, true},
    {8, "Borland Delphi 2005", "DELPHI", "9", "loaddpr.dat", "Tools", ".bpl", P, true},
    {9, "Borland Delphi 2006", "DELPHI", "10", "loaddpr.dat", "Tools", ".bpl", P, true},
    {10, "Microsoft Visual Basic 5", "VB", "5", "loadvb.dat", "Add-Ins", "", B, true},
    {11, "Microsoft Visual Basic 6", "VB", "6", "loadvb.dat", "Add-Ins", "", B, true},
    {12, "Microsoft Visual Basic 2003", "VB", "7", "loadvb.dat", "Tools", "", N, false},
    {13, "Microsoft Visual Basic 2005", "VB", "8", "loadvb.dat", "Tools", "", N, false},
    {14, "Microsoft Visual Basic 2008", "VB", "9", "loadvb.dat", "Tools", "", N, false},
    {15, "Microsoft Visual Basic .NET 2003", "VBNET", "1", "loadnetb.dat", "Tools", "", N, false},
    {16, "Microsoft Visual Basic .NET 2005", "VBNET", "2", "loadnetb.dat", "Tools", "", N, false},
    {17, "Microsoft Visual Basic .NET 2008", "VBNET", "3", "loadnetb.dat", "Tools", "", N, false},
    {18, "", "", "", "", "", "", EnvKind::kNone, false},
    {19, "Borland C++Builder 4", "CB", "4", "loadcb.dat", "Tools", ".bpl", C, true},
    {20, "Borland C++Builder 5", "CB", "5", "loadcb.dat", "Tools", ".bpl", C, true},
    {21, "Microsoft Visual C++ 6", "VC", "6", "loadmvc.dat", "Tools", "", C, false},
    {22, "Microsoft Visual C++ 2003", "VCNET", "1", "loadmvc.dat", "Tools", "", C, false},
    {23, "Microsoft Visual C++ 2005", "VCNET", "2", "loadmvc.dat", "Tools", "", C, false},
    {24, "Microsoft Visual C++ 2008", "VCNET", "3", "loadmvc.dat", "Tools", "", C, false},
    {25, "Microsoft Visual C# .NET 2003", "VCSNET", "1", "loadnets.dat", "Tools", "", N, false},
    {26, "Microsoft Visual C# .NET 2005", "VCSNET", "2", "loadnets.dat", "Tools", "", N, false},
    {27, "Microsoft Visual C# .NET 2008", "VCSNET", "3", "loadnets.dat", "Tools", "", N, false},
    {28, "Borland C#Builder .NET 2005", "CSB", "9", "loadcsb.dat", "Tools", ".bpl", N, false},
    {29, "Borland C#Builder .NET 2006", "CSB", "10", "loadcsb.dat", "Tools", ".bpl", N, false},
    {30, "Borland Delphi .NET 2005", "DELNET", "9", "loadnetd.dat", "Tools", ".bpl", N, false},
    {31, "Borland Delphi .NET 2006", "DELNET", "10", "loadnetd.dat", "Tools", ".bpl", N, false},
    {32, "Free Pascal Lazarus 0.9", "LAZARUS", "1", "loadlpr.dat", "Tools", "", P, false},
};

static_assert(std::size(kTable) == Catalogue::kLastRow - Catalogue::kFirstRow + 1);

}  // namespace

EnvChoice SplitEnvironmentCode(std::string_view code) {
  size_t digits = code.size();
  while (digits > 0 && code[digits - 1] >= '0' && code[digits - 1] <= '9') --digits;
  EnvChoice choice{std::string(code.substr(0, digits)), 0};
  // A long run of digits is no version any row has; it reads as missing.
  std::string_view number = code.substr(digits);
  if (!number.empty() && number.size() <= 9) {
    for (char c : number) choice.version = choice.version * 10 + (c - '0');
  }
  if (choice.version < 1) choice.version = 1;
  return choice;
}

Catalogue::Catalogue() {
  for (const FixedRow& f : kTable) {
    EnvRow& row = Row(f.number);
    row.number = f.number;
    row.display_name = f.display_name;
    row.family_key = f.family_key;
    row.version_text = f.version_text;
    row.version = SplitEnvironmentCode(f.version_text).version;
    if (f.kind == EnvKind::kNone) row.version = 0;
    row.loader_template = f.loader_template;
    row.menu_name = f.menu_name;
    row.package_ext = f.package_ext;
    row.kind = f.kind;
    row.has_install = f.has_install;
  }
}

EnvRow* Catalogue::ByDisplayName(std::string_view name) {
  for (EnvRow& row : rows_) {
    if (!row.Empty() && row.display_name == name) return &row;
  }
  return nullptr;
}

EnvRow* Catalogue::ByCode(std::string_view upper_code) {
  for (EnvRow& row : rows_) {
    if (!row.Empty() && row.Code() == upper_code) return &row;
  }
  return nullptr;
}

EnvRow* Catalogue::ByControl(const ui::Control* control) {
  if (control == nullptr) return nullptr;
  for (EnvRow& row : rows_) {
    if (row.page != nullptr && row.page->Owns(control)) return &row;
  }
  return nullptr;
}

const char* UnitFileName(EnvKind kind) {
  switch (kind) {
    case EnvKind::kPascal:
      return "vl4.pas";
    case EnvKind::kBasic:
      return "vl4.bas";
    case EnvKind::kDotNet:
      return "vl4net.dll";
    case EnvKind::kCpp:
      return "vl4.cpp";
    case EnvKind::kNone:
      break;
  }
  return "";
}

}  // namespace vl4
