// Installation families and the names built from a row.
#include "setup/ide/ide_family.h"

namespace vl4 {

IdeFamily FamilyOf(const EnvRow& row) {
  const int n = row.number;
  if (n >= 3 && n <= 9) return IdeFamily::kDelphi;
  if (n == 19 || n == 20) return IdeFamily::kCppBuilder;
  if (n >= 28 && n <= 31) return IdeFamily::kBorlandNet;
  if (n == 10 || n == 11) return IdeFamily::kVisualBasic;
  return IdeFamily::kOther;
}

std::string ToolsPackageName(const EnvRow& row) {
  const char* prefix = FamilyOf(row) == IdeFamily::kCppBuilder ? "vl4b" : "vl4d";
  return prefix + row.version_text + "tls" + row.package_ext;
}

std::string KnownPackagesKey(const EnvRow& row) {
  if (FamilyOf(row) == IdeFamily::kCppBuilder) {
    return "\\Software\\Borland\\C++Builder\\" + row.version_text + ".0\\Known Packages";
  }
  if (row.version > 7) {
    return "\\Software\\Borland\\BDS\\" + std::to_string(row.version - 6) + ".0\\Known Packages";
  }
  return "\\Software\\Borland\\Delphi\\" + row.version_text + ".0\\Known Packages";
}

}  // namespace vl4
