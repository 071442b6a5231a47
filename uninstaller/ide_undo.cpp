// The IDE undo over the whole catalogue, and how its leftovers are named.
#include "uninstaller/ide_undo.h"

#include <algorithm>

#include "platform/path.h"
#include "platform/platform.h"
#include "platform/text.h"
#include "setup/detection.h"
#include "setup/ide/ide_family.h"
#include "uninstaller/product_keys.h"
#include "uninstaller/uninstall_texts.h"

namespace vl4 {

namespace {

bool HasPackage(const EnvRow& row) {
  const IdeFamily family = FamilyOf(row);
  return family == IdeFamily::kDelphi || family == IdeFamily::kCppBuilder ||
         family == IdeFamily::kBorlandNet;
}

// The library directories of a package row's IDE: the one vl.ini names, the setup tool's own
// detection and the Lib folder beside the Bin folder of the executable it detects, and the
// folders outside the installation where the log lists the row's package (an earlier run that
// could not finish left it there, after vl.ini had gone). Without duplicates; none for the rows
// without a package.
std::vector<std::string> LibraryDirCandidates(platform::Platform& platform, IdeDetector& detector,
                                              const EnvRow& row, const std::string& install_dir,
                                              const std::vector<std::string>& log_entries) {
  std::vector<std::string> dirs;
  if (!HasPackage(row)) return dirs;
  auto add = [&dirs](const std::string& dir) {
    if (dir.empty()) return;
    if (std::none_of(dirs.begin(), dirs.end(),
                     [&](const std::string& known) { return SameText(known, dir); })) {
      dirs.push_back(dir);
    }
  };
  platform::Profile& profile = platform.profile();
  const std::string vl_ini = install_dir + "VL.INI";
  add(profile.ReadString(vl_ini, "Libraries", row.Code(), ""));
  add(detector.DetectLibraryDir(row));
  std::string exe = profile.ReadString(vl_ini, "EXE files", row.Code(), "");
  if (exe.empty() || !platform.files().FileExists(exe)) exe = detector.DetectExecutable(row);
  add(detector.LibraryDirFromExe(row, exe));
  const std::string package = ToolsPackageName(row);
  for (const std::string& entry : log_entries) {
    if (SameText(ExtractFileName(entry), package) && !StartsText(install_dir, entry)) {
      add(ExtractFileDir(entry));
    }
  }
  return dirs;
}

}  // namespace

IdeRemoval UndoIdeIntegration(platform::Platform& platform, const std::string& install_dir,
                              const std::vector<std::string>& log_entries) {
  Catalogue catalogue;
  IdeDetector detector(catalogue, platform.registry(), platform.files(), install_dir);
  IdeModules ide(platform, install_dir);
  IdeRemoval removal;
  for (EnvRow& row : catalogue.Rows()) {
    if (row.Empty() || FamilyOf(row) == IdeFamily::kOther) continue;
    std::vector<std::string> dirs =
        LibraryDirCandidates(platform, detector, row, install_dir, log_entries);
    // Without a library directory the rest of the row is undone all the same: the C++Builder
    // value, which names no directory, and the Visual Basic add-in.
    if (dirs.empty()) dirs.push_back("");
    for (const std::string& dir : dirs) {
      row.library_dir = dir;
      removal.Append(ide.Uninstall(row));
    }
  }
  return removal;
}

bool IsFileItem(const IdeItem& item) {
  return item.kind == IdeItem::Kind::kPackageCopy || item.kind == IdeItem::Kind::kAddInLibrary ||
         item.kind == IdeItem::Kind::kAddInRegistration;
}

std::string DescribeIdeItem(const IdeItem& item) {
  namespace texts = uninstall_texts;
  switch (item.kind) {
    case IdeItem::Kind::kKnownPackage:
      return Format(texts::kRegistryValue,
                    RegistryPath(platform::RootKey::kCurrentUser, item.place).c_str(),
                    item.name.c_str());
    case IdeItem::Kind::kAddInListEntry:
      return Format(texts::kAddInListEntry, item.place.c_str(), item.name.c_str());
    case IdeItem::Kind::kAddInListSection:
      return Format(texts::kAddInListSection, item.place.c_str(), item.name.c_str());
    case IdeItem::Kind::kAddInRegistration:
      return Format(texts::kAddInRegistration, item.place.c_str());
    case IdeItem::Kind::kPackageCopy:
    case IdeItem::Kind::kAddInLibrary:
      break;
  }
  return item.place;
}

}  // namespace vl4
