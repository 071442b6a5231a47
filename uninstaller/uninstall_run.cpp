// The uninstall run: what goes, in which order, and what is kept for a later run.
#include "uninstaller/uninstall_run.h"

#include <algorithm>

#include "installer/macros.h"
#include "platform/path.h"
#include "platform/platform.h"
#include "platform/text.h"
#include "platform/text_file.h"
#include "setup/catalogue.h"
#include "setup/config.h"
#include "setup/ide/ide_family.h"
#include "uninstaller/ide_undo.h"
#include "uninstaller/product_keys.h"
#include "uninstaller/shared_dlls.h"

namespace vl4 {

namespace {

// What the setup tool writes in the installation besides the module folders: its configuration
// (written beside itself and renamed into place, so a break may leave the other two names) and
// the folder it makes at every start.
constexpr const char* kSetupFiles[] = {"VL.INI", "VL.INI.NEW", "VL.INI.OLD"};
constexpr char kLibFolder[] = "LIB";
// The Visual Basic build writes the add-in library, its import files and the build log.
constexpr char kAddInBase[] = "vl4addin";
constexpr const char* kAddInFiles[] = {".dll", ".lib", ".exp", ".inf"};
// The command-line compiler writes its unit and symbol files beside the package project.
constexpr const char* kCompilerOutputs[] = {"*.dcu", "*.dcp"};

// The student's working directory, as vl.ini names it (the setup tool's default without one).
std::string WorkDirOf(platform::Profile& profile, const std::string& installation) {
  const std::string dir =
      profile.ReadString(installation + "\\VL.INI", "Work Directory", "Path", "");
  return ExcludeTrailingBackslash(dir.empty() ? kDefaultWorkDir : dir);
}

// Where the installer put the installation the log was written for: the log's first lines are the
// script's extra entries ("%InstallDir%\SAMPLES\a"), so the text before their fixed ends names it.
std::string RecordedInstallation(const InstallScript& script,
                                 const std::vector<std::string>& entries) {
  for (const std::string& extra : script.extra_uninstall_entries) {
    if (!StartsText("%InstallDir%", extra)) continue;
    const std::string tail = ExpandInstallDir(extra, "");
    for (const std::string& entry : entries) {
      if (entry.size() > tail.size() && SameText(entry.substr(entry.size() - tail.size()), tail)) {
        return entry.substr(0, entry.size() - tail.size());
      }
    }
  }
  return "";
}

bool Inside(const std::string& path, const std::string& dir) {
  return StartsText(IncludeTrailingBackslash(dir), path);
}

void AddOnce(std::vector<std::string>& list, const std::string& path) {
  if (std::none_of(list.begin(), list.end(),
                   [&](const std::string& known) { return SameText(known, path); })) {
    list.push_back(path);
  }
}

}  // namespace

std::string SystemListPath(const std::string& log_path) {
  return ExtractFilePath(log_path) + kSystemListName;
}

std::string QuietReportPath(const std::string& log_path) {
  return ExtractFilePath(log_path) + "uninvl32.txt";
}

std::string ResultsFilePath(const std::string& log_path) {
  return InstallationOf(log_path) + "\\RESULTS.DAT";
}

UninstallRun::UninstallRun(platform::Platform& platform, const InstallScript& script,
                           const UninstallLog& log, bool delete_results, FileInUseQuestion ask)
    : platform_(platform),
      script_(script),
      log_(log),
      delete_results_(delete_results),
      installation_(InstallationOf(log.path)),
      recorded_installation_(RecordedInstallation(script, log.entries)),
      work_dir_(WorkDirOf(platform.profile(), installation_)),
      removal_(platform.files(), std::move(ask), work_dir_) {
  // An installation moved by hand keeps its log: the entries inside it follow it.
  const bool moved =
      !recorded_installation_.empty() && !SameText(recorded_installation_, installation_);
  if (!moved) recorded_installation_.clear();
  for (const std::string& entry : log.entries) {
    entries_.push_back(moved && Inside(entry, recorded_installation_)
                           ? installation_ + entry.substr(recorded_installation_.size())
                           : entry);
  }
}

std::vector<std::string> UninstallRun::Run() {
  UndoIdes();
  RemoveListed();
  RemoveSetupMade();
  ReleaseSystemFiles();
  RemoveRegistryEntries();
  Conclude();
  removal_.RemoveEmptyFolders(installation_, ProgramGroups());
  return stayed_;
}

// The program group of the user running the uninstaller, and the folders of that name the log's
// shortcuts lie in (an installation made by another user has its group in that user's menu).
std::vector<std::string> UninstallRun::ProgramGroups() {
  std::vector<std::string> groups;
  if (script_.program_group.empty()) return groups;
  groups.push_back(platform_.shell().GetSpecialFolder(platform::SpecialFolder::kPrograms) +
                   script_.program_group);
  for (const std::string& entry : entries_) {
    const std::string folder = ExtractFileDir(entry);
    if (!Inside(folder, installation_) && SameText(ExtractFileName(folder), script_.GroupName())) {
      AddOnce(groups, folder);
    }
  }
  return groups;
}

void UninstallRun::Stayed(const std::string& path) {
  stayed_.push_back(path);
  AddOnce(relisted_, platform_.files().DirectoryExists(path) ? path + "\\a" : path);
}

void UninstallRun::RemoveFile(const std::string& path) {
  if (removal_.Remove(path) == FileRemoval::Result::kStayed) Stayed(path);
}

void UninstallRun::RemoveWholeFolder(const std::string& dir) {
  if (!work_dir_.empty() && (SameText(work_dir_, dir) || Inside(work_dir_, dir))) return;
  for (const std::string& path : removal_.RemoveTree(dir)) Stayed(path);
}

// The IDEs never point at anything missing: what the undo had to leave keeps its file, and the
// later run the rewritten log allows undoes it again.
void UninstallRun::UndoIdes() {
  const IdeRemoval ide = UndoIdeIntegration(platform_, installation_ + "\\", entries_);
  for (const IdeRemoval::Left& left : ide.left) {
    AddOnce(stayed_, DescribeIdeItem(left.item));
    if (IsFileItem(left.item)) {
      removal_.Spare(left.item.place);
      AddOnce(relisted_, left.item.place);
    }
  }
}

std::optional<std::string> UninstallRun::TreeOf(const std::string& entry) {
  if (!SameText(ExtractFileName(entry), "a") || platform_.files().FileExists(entry)) {
    return std::nullopt;
  }
  const std::string dir = ExtractFileDir(entry);
  if (!Inside(dir, installation_)) return std::nullopt;
  return dir;
}

bool UninstallRun::IsUninstallerShortcut(const std::string& entry) {
  if (!SameText(ExtractFileExt(entry), ".lnk")) return false;
  const std::optional<platform::ShellLinkInfo> link = platform_.shell().ReadShellLink(entry);
  return link && SameText(ExtractFileName(link->target), kUninstallerName);
}

void UninstallRun::RemoveListed() {
  const std::string results = ResultsFilePath(log_.path);
  for (const std::string& entry : entries_) {
    if (IsUninstallerShortcut(entry)) {
      shortcuts_.push_back(entry);
    } else if (SameText(entry, results)) {
      continue;  // the user's choice, below
    } else if (SameText(entry, log_.path) || SameText(entry, SystemListPath(log_.path))) {
      continue;  // the uninstall directory's own files go at the end
    } else if (const std::optional<std::string> tree = TreeOf(entry)) {
      RemoveWholeFolder(*tree);
    } else {
      RemoveFile(entry);
    }
  }
}

// The log cannot list what the setup tool made after the installation: it is named by the rules
// that made it.
void UninstallRun::RemoveSetupMade() {
  platform::Files& files = platform_.files();
  const std::string install_dir = installation_ + "\\";
  const Catalogue catalogue;
  for (const EnvRow& row : catalogue.Rows()) {
    const IdeFamily family = FamilyOf(row);
    const std::string folder = row.ModuleFolder(install_dir) + "\\";
    if (family == IdeFamily::kDelphi || family == IdeFamily::kCppBuilder) {
      RemoveFile(folder + ToolsPackageName(row));
      for (const char* pattern : kCompilerOutputs) {
        for (const platform::FindEntry& found : files.FindFiles(folder + pattern)) {
          if (!(found.attributes & platform::kAttrDirectory)) RemoveFile(folder + found.name);
        }
      }
    } else if (family == IdeFamily::kVisualBasic) {
      for (const char* extension : kAddInFiles) RemoveFile(folder + kAddInBase + extension);
    }
  }
  for (const char* name : kSetupFiles) RemoveFile(install_dir + name);
  RemoveWholeFolder(install_dir + kLibFolder);
  if (delete_results_) RemoveFile(ResultsFilePath(log_.path));
}

// A count given back twice would take another owner's count: the list goes before the counts it
// names, and only what stayed is written back. A list that cannot go gives back nothing; one that
// cannot be written back leaves counts that no list names, so their files stay for good.
void UninstallRun::ReleaseSystemFiles() {
  const std::string list = SystemListPath(log_.path);
  const std::vector<std::string> paths = ReadPathList(platform_.files(), list);
  if (removal_.Remove(list) != FileRemoval::Result::kGone) {
    stayed_.push_back(list);
    return;
  }
  // Only files of the system directory are taken from the list: it cannot lead anywhere else.
  const std::string system_dir = platform_.system().SystemDirectory();
  const std::string self = platform_.system().ExePath();
  for (const std::string& path : paths) {
    if (!Inside(path, system_dir)) continue;
    const bool keep = SameText(ExtractFileName(path), kUninstallerName) || SameText(path, self);
    const SharedDllRelease release =
        ReleaseSharedDll(platform_.registry(), path, keep, [this](const std::string& file) {
          return removal_.Remove(file) == FileRemoval::Result::kGone;
        });
    if (release == SharedDllRelease::kStayed) {
      stayed_.push_back(path);
      AddOnce(system_left_, path);
    }
  }
  if (!system_left_.empty()) platform::WriteTextFile(platform_.files(), list, system_left_);
}

void UninstallRun::RemoveRegistryEntries() {
  std::vector<std::string> installation = {installation_};
  if (!recorded_installation_.empty()) installation.push_back(recorded_installation_);
  for (const std::string& key : RemoveProductEntries(platform_.registry(), script_, installation)) {
    stayed_.push_back(key);
  }
}

void UninstallRun::Conclude() {
  if (stayed_.empty()) {
    for (const std::string& shortcut : shortcuts_) RemoveFile(shortcut);
  }
  if (!stayed_.empty()) {
    // A later run finishes the job: the log lists what stayed and the shortcuts that start it.
    // A shortcut that could not go is among what stayed already; one that went is listed no more.
    std::vector<std::string> lines = {log_.HeaderLine()};
    lines.insert(lines.end(), relisted_.begin(), relisted_.end());
    for (const std::string& shortcut : shortcuts_) {
      if (platform_.files().FileExists(shortcut)) AddOnce(lines, shortcut);
    }
    ReplaceTextFile(platform_.files(), log_.path, lines);
    return;
  }
  // Everything went: the uninstall directory's own files go, the log last of all.
  std::vector<std::string> own = ReplacementNames(log_.path);
  own.push_back(QuietReportPath(log_.path));
  own.push_back(log_.path);
  for (const std::string& path : own) RemoveFile(path);
}

}  // namespace vl4
