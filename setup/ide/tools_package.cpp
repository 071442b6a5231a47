// The tools package of the Delphi, C++Builder and Borland .NET rows: compiled with the IDE's own
// command-line compiler when missing, copied into the IDE's library directory, listed among the
// IDE's Known Packages (Delphi and C++Builder); and the same taken out again.
#include "platform/exception.h"
#include "platform/path.h"
#include "platform/platform.h"
#include "platform/text.h"
#include "setup/ide/ide_family.h"
#include "setup/ide/ide_modules.h"
#include "setup/setup_texts.h"

namespace vl4 {

namespace {

constexpr platform::RootKey kKnownPackagesRoot = platform::RootKey::kCurrentUser;

// The value under which the IDE lists the package among its Known Packages: the package in the
// library directory; for C++Builder, relative to the IDE's root. Empty when the library
// directory it needs is unknown. The Borland .NET rows list nothing themselves, but their
// Delphi row lists the same copy under this name.
std::string KnownPackageValueName(const EnvRow& row) {
  if (FamilyOf(row) == IdeFamily::kCppBuilder) return "$(BCB)\\Lib\\" + ToolsPackageName(row);
  if (row.library_dir.empty()) return "";
  return row.library_dir + "\\" + ToolsPackageName(row);
}

}  // namespace

// The compiler's success is not examined here: whether the package now lies in the module folder
// shows in the next status refresh. A compiler that is still running when the wait ends leaves
// the package for a later start.
void IdeModules::InstallPackage(const EnvRow& row) {
  platform::Files& files = platform_.files();
  const IdeFamily family = FamilyOf(row);
  const std::string folder = row.ModuleFolder(install_dir_);
  const std::string package = ToolsPackageName(row);
  const std::string path = folder + "\\" + package;
  if (family != IdeFamily::kBorlandNet) {
    const std::string base = ChangeFileExt(path, "");
    const std::string compiler = ExtractFilePath(row.exe_path) + "dcc32.exe";
    if (!files.FileExists(path) && files.FileExists(base + ".dpk") && files.FileExists(compiler)) {
      RunProgram(compiler, "\"" + base + ".dpk\"", folder, DisplayMode::kMinimizedNoActivate);
      WaitForProgram(kBuildPolls);
      files.DeleteFile(base + ".dcp");
      files.DeleteFile(base + ".dcu");
    }
  }
  if (row.library_dir.empty()) return;
  const std::string lib = row.library_dir + "\\";
  if (family == IdeFamily::kDelphi) {
    for (const std::string& name : row.aux_files) {
      files.CopyFile(folder + "\\" + name, lib + name, false);
    }
  } else {
    files.CopyFile(path, lib + package, false);
  }
}

// The IDE loads the packages listed under its Known Packages key, which exists once the IDE has
// run; the key is never created here. A value the user or the IDE set is kept.
KnownPackageResult IdeModules::RegisterKnownPackage(const EnvRow& row) {
  platform::Registry& registry = platform_.registry();
  const std::string key = KnownPackagesKey(row);
  try {
    if (!registry.KeyExists(kKnownPackagesRoot, key)) return KnownPackageResult::kNoKey;
    if (!platform_.files().FileExists(row.ModuleFolder(install_dir_) + "\\" +
                                      ToolsPackageName(row))) {
      return KnownPackageResult::kNotBuilt;
    }
    // Without a library directory there is no copy to list; the status refresh registers only
    // after it found the copy there.
    const std::string name = KnownPackageValueName(row);
    if (name.empty()) return KnownPackageResult::kNotBuilt;
    const std::optional<std::string> value = registry.ReadString(kKnownPackagesRoot, key, name);
    if (!value || value->empty()) {
      const bool delphi = FamilyOf(row) == IdeFamily::kDelphi;
      registry.WriteString(
          kKnownPackagesRoot, key, name,
          Format(delphi ? texts::kKnownPackageDelphi : texts::kKnownPackageCppBuilder,
                 row.version_text.c_str()));
    }
    return KnownPackageResult::kRegistered;
  } catch (const ERegistryException&) {
    return KnownPackageResult::kRegistryFailed;
  }
}

// The Known Packages value goes before the file it names, so that a value that cannot be removed
// keeps its file and the IDE never looks for a package that is not there. A value the user gave
// another description still names the product's package, so it goes too.
IdeRemoval IdeModules::UninstallPackage(const EnvRow& row) {
  platform::Registry& registry = platform_.registry();
  const std::string key = KnownPackagesKey(row);
  const std::string name = KnownPackageValueName(row);
  IdeRemoval removal;
  if (FamilyOf(row) != IdeFamily::kBorlandNet && !name.empty()) {
    const IdeItem value{IdeItem::Kind::kKnownPackage, key, name};
    try {
      if (registry.ValueExists(kKnownPackagesRoot, key, name)) {
        registry.DeleteValue(kKnownPackagesRoot, key, name);
        removal.removed.push_back(value);
      }
    } catch (const ERegistryException&) {
      removal.left.push_back({value, IdeRemoval::Reason::kRefused});
    }
  }

  if (row.library_dir.empty()) return removal;
  const std::string copy = row.library_dir + "\\" + ToolsPackageName(row);
  if (!platform_.files().FileExists(copy)) return removal;
  // Still named: a value that could not be removed, or for a Borland .NET row the value of the
  // Delphi row of the same IDE, which lists the same copy. A registry that cannot tell keeps it.
  bool still_listed;
  try {
    still_listed = !name.empty() && registry.ValueExists(kKnownPackagesRoot, key, name);
  } catch (const ERegistryException&) {
    still_listed = true;
  }
  const IdeItem copy_item{IdeItem::Kind::kPackageCopy, copy, ""};
  if (still_listed) {
    removal.left.push_back({copy_item, IdeRemoval::Reason::kStillUsed});
  } else if (DeletePlacedFile(copy)) {
    removal.removed.push_back(copy_item);
  } else {
    removal.left.push_back({copy_item, IdeRemoval::Reason::kRefused});
  }
  return removal;
}

}  // namespace vl4
