// The install transaction: the staging directory, placing the members by their rules, the copies
// of replaced files, the shared-DLL counts of the system files, and the commit or rollback at the
// end of the run.
#include "installer/install_transaction.h"

#include <algorithm>
#include <array>
#include <limits>
#include <string_view>

#include "installer/uninstall_record.h"
#include "platform/exception.h"
#include "platform/file_tree.h"
#include "platform/files.h"
#include "platform/path.h"
#include "platform/registry.h"
#include "platform/text.h"
#include "platform/text_file.h"

namespace vl4 {
namespace {

// Members stored under this directory go to the system directory.
constexpr std::string_view kSystemPrefix = "SYSTEM\\";
// The part of a system member's path after the prefix is cut at this many characters, as the
// program always did.
constexpr size_t kSystemPathCut = 200;
// The exercise book's own system libraries must match the version installed, so they replace the
// system directory's copies whatever the dates. A target is one of them when its upper-cased path
// contains the name.
constexpr std::array<std::string_view, 2> kAlwaysReplaced = {"VL4.DLL", "VL4TOOLS.DLL"};

// The staging directory inside the destination; when that exists already, a new one inside it
// named kFreshStaging, or kFreshStaging followed by 2, 3, ...
constexpr char kStaging[] = "\\TEMP";
constexpr char kFreshStaging[] = "\\VL4INST";
// The copies of replaced files, inside the staging directory.
constexpr char kBackups[] = "\\$VL4BAK";
// An old file that could not be put back is kept beside its place under its name with this
// added (and 2, 3, ... when that is taken).
constexpr char kKeptSuffix[] = ".bak";

}  // namespace

bool RepeatWhileInUse(const std::string& path, const FileInUseQuestion& ask,
                      const std::function<bool()>& attempt) {
  while (!attempt()) {
    if (ask(path) != InUseAnswer::kRepeat) return false;
  }
  return true;
}

std::string FreeName(platform::Files& files, const std::string& base) {
  std::string name = base;
  for (int n = 2; files.FileExists(name) || files.DirectoryExists(name); ++n) {
    name = base + std::to_string(n);
  }
  return name;
}

std::vector<std::string> MakeDirectories(platform::Files& files, const std::string& dir) {
  std::vector<std::string> missing;
  for (std::string d = ExcludeTrailingBackslash(files.FullPath(dir));
       !d.empty() && !files.DirectoryExists(d);) {
    missing.push_back(d);
    const std::string parent = ExcludeTrailingBackslash(ExtractFilePath(d));
    if (parent.size() >= d.size()) break;
    d = parent;
  }
  std::vector<std::string> made;
  for (auto it = missing.rbegin(); it != missing.rend() && files.CreateDirectory(*it); ++it) {
    made.push_back(*it);
  }
  return made;
}

InstallTransaction::InstallTransaction(platform::Files& files, platform::Registry& registry,
                                       InstallTargets targets, FileInUseQuestion ask)
    : files_(files), registry_(registry), targets_(std::move(targets)), ask_(std::move(ask)) {
  staging_ = targets_.destination + kStaging;
  if (files_.FileExists(staging_) || files_.DirectoryExists(staging_)) {
    staging_ = FreeName(files_, staging_ + kFreshStaging);
  }
  backup_dir_ = staging_ + kBackups;
}

std::optional<std::string> InstallTransaction::Begin(const std::vector<std::string>& dirs,
                                                     const std::string& uninstall_dir) {
  system_list_ = uninstall_dir + "\\" + kSystemListName;
  for (const std::string& dir : dirs) {
    created_dirs_.push_back(dir);
    created_set_.insert(UpperCase(dir));
  }
  for (const std::string& dir : dirs) {
    for (const std::string& made : MakeDirectories(files_, dir)) NoteCreated(made);
  }
  // The uninstall directory goes with a rollback only when the run made it; the staging
  // directory goes in any case.
  for (const std::string& dir : {uninstall_dir, staging_}) {
    if (files_.DirectoryExists(dir)) continue;
    if (!files_.CreateDirectory(dir)) return dir;
    if (dir == uninstall_dir) NoteCreated(dir);
  }
  return std::nullopt;
}

bool InstallTransaction::IsExcluded(const std::string& path) const {
  const std::string dir = ExcludeTrailingBackslash(ExtractFilePath(path));
  const std::string first = Trim(UpperCase(dir.substr(0, dir.find('\\'))));
  const std::vector<std::string>& excluded = targets_.exclusions;
  return std::find(excluded.begin(), excluded.end(), first) != excluded.end();
}

bool InstallTransaction::IsPreserved(const std::string& path) const {
  return std::any_of(targets_.preserved.begin(), targets_.preserved.end(),
                     [&path](const std::string& name) { return SameText(name, path); });
}

bool InstallTransaction::SystemFileStays(const std::string& target, const std::string& source) {
  const std::string upper = UpperCase(target);
  const bool always = std::any_of(
      kAlwaysReplaced.begin(), kAlwaysReplaced.end(),
      [&upper](std::string_view name) { return upper.find(name) != std::string::npos; });
  if (always || !files_.FileExists(target)) return false;
  // Any other system file is replaced only by a later one.
  const auto source_time = files_.GetFileTime(source);
  const auto target_time = files_.GetFileTime(target);
  return !source_time || !target_time || *source_time <= *target_time;
}

std::string InstallTransaction::TargetOf(const std::string& path) const {
  if (IsExcluded(path)) return "";
  if (!StartsText(kSystemPrefix, path)) return targets_.destination + "\\" + path;
  return targets_.system_dir + "\\" + path.substr(kSystemPrefix.size(), kSystemPathCut);
}

PlaceResult InstallTransaction::Place(const std::string& path) {
  const bool system = !IsExcluded(path) && StartsText(kSystemPrefix, path);
  const std::string system_target =
      system ? targets_.system_dir + "\\" + path.substr(kSystemPrefix.size(), kSystemPathCut) : "";
  const bool was_there = system && files_.FileExists(system_target);
  PlaceResult result = PlaceMember(path);
  if (system && files_.FileExists(result.target)) CountSharedFile(result.target, was_there);
  return result;
}

PlaceResult InstallTransaction::PlaceMember(const std::string& path) {
  PlaceResult result;
  if (IsExcluded(path)) return result;
  const std::string source = staging_ + "\\" + path;
  result.in_system_dir = StartsText(kSystemPrefix, path);
  result.target = TargetOf(path);
  if (result.in_system_dir) {
    if (SystemFileStays(result.target, source)) {
      result.outcome = PlaceOutcome::kKept;
      return result;
    }
  }
  const std::string& target = result.target;
  EnsureDirectory(ExcludeTrailingBackslash(ExtractFilePath(target)));

  Placement placement;
  placement.target = target;
  if (!IsPreserved(path)) {
    const Clearing clearing =
        files_.FileExists(target) ? ClearTarget(target, placement) : Clearing::kDone;
    if (clearing == Clearing::kNotCopied) {
      files_.DeleteFile(source);
      result.outcome = PlaceOutcome::kNotCopiedAside;
      return result;
    }
    if (clearing == Clearing::kInUse || files_.FileExists(target) ||
        !files_.MoveFile(source, target)) {
      // The file it was to replace goes back; failing that, it is kept elsewhere and said where,
      // and a rollback tries again.
      if (!PutBack(placement)) {
        placement.placed = false;
        placements_.push_back(placement);
        result.old_file = placement.backup;
      }
      files_.DeleteFile(source);
      result.outcome = PlaceOutcome::kNotUpdated;
      return result;
    }
    placements_.push_back(placement);
    result.outcome = PlaceOutcome::kPlaced;
  } else if (files_.FileExists(target)) {
    files_.DeleteFile(source);  // the user's own file stays
    result.outcome = PlaceOutcome::kKept;
  } else if (files_.MoveFile(source, target)) {
    placements_.push_back(placement);
    result.outcome = PlaceOutcome::kPlaced;
  } else {
    files_.DeleteFile(source);
    result.outcome = PlaceOutcome::kNotCreated;
  }
  return result;
}

bool InstallTransaction::LoadSystemList() {
  if (system_list_loaded_) return system_list_usable_;
  system_list_loaded_ = true;
  system_list_existed_ = files_.FileExists(system_list_);
  if (system_list_existed_) {
    system_list_time_ = files_.GetFileTime(system_list_).value_or(0);
    system_list_attributes_ = files_.GetAttributes(system_list_).value_or(platform::kAttrArchive);
    const auto lines = platform::ReadTextFile(files_, system_list_);
    system_list_usable_ = lines.has_value();
    if (lines) system_list_at_start_ = *lines;
  }
  system_list_lines_ = system_list_at_start_;
  return system_list_usable_;
}

bool InstallTransaction::WriteSystemList(const std::vector<std::string>& lines) {
  if (auto attributes = files_.GetAttributes(system_list_);
      attributes && (*attributes & platform::kAttrReadOnly)) {
    files_.SetAttributes(system_list_, *attributes & ~platform::kAttrReadOnly);
  }
  if (platform::WriteTextFile(files_, system_list_, lines)) return true;
  // A list cut short would lose the counts of an earlier installation into this directory.
  if (system_list_lines_.empty() && !system_list_existed_) {
    files_.DeleteFile(system_list_);
  } else {
    platform::WriteTextFile(files_, system_list_, system_list_lines_);
  }
  return false;
}

void InstallTransaction::CountSharedFile(const std::string& path, bool was_there) {
  if (!LoadSystemList()) return;
  if (std::any_of(system_list_lines_.begin(), system_list_lines_.end(),
                  [&path](const std::string& line) { return SameText(Trim(line), path); })) {
    return;
  }
  constexpr auto kRoot = platform::RootKey::kLocalMachine;
  SharedCount count;
  count.path = path;
  try {
    count.before = registry_.ReadDword(kRoot, kSharedDllsKey, path);
    // A count of 0 counts nobody: the uninstaller takes it for none, and so does the installer.
    count.started = !count.before || *count.before == 0;
    if (!count.started && *count.before == std::numeric_limits<uint32_t>::max()) return;
    registry_.WriteDword(kRoot, kSharedDllsKey, path,
                         count.started ? (was_there ? 2 : 1) : *count.before + 1);
  } catch (const Exception&) {
    // No rights, or a value that is no count: the file stays uncounted and unlisted, and the
    // uninstaller leaves it.
    return;
  }
  std::vector<std::string> lines = system_list_lines_;
  lines.push_back(path);
  if (!WriteSystemList(lines)) {
    UncountSharedFile(count);  // the list and the counts stay in step
    return;
  }
  system_list_lines_ = std::move(lines);
  counts_.push_back(std::move(count));
}

void InstallTransaction::UncountSharedFile(const SharedCount& count) {
  constexpr auto kRoot = platform::RootKey::kLocalMachine;
  try {
    if (count.started) {
      if (count.before) {
        registry_.WriteDword(kRoot, kSharedDllsKey, count.path, *count.before);
      } else {
        registry_.DeleteValue(kRoot, kSharedDllsKey, count.path);
      }
    } else if (const auto now = registry_.ReadDword(kRoot, kSharedDllsKey, count.path);
               now && *now > 0) {
      registry_.WriteDword(kRoot, kSharedDllsKey, count.path, *now - 1);
    }
  } catch (const Exception&) {
    // The count stays one too high: the file then outlives the last uninstall, which harms
    // nothing that uses it.
  }
}

void InstallTransaction::NoteCreated(const std::string& dir) {
  if (created_set_.insert(UpperCase(dir)).second) created_dirs_.push_back(UpperCase(dir));
}

void InstallTransaction::EnsureDirectory(const std::string& dir) {
  const std::string key = UpperCase(dir);
  if (known_dirs_.count(key) != 0) return;
  for (const std::string& made : MakeDirectories(files_, dir)) NoteCreated(made);
  if (files_.DirectoryExists(dir)) known_dirs_.insert(key);
}

InstallTransaction::Clearing InstallTransaction::ClearTarget(const std::string& target,
                                                             Placement& placement) {
  placement.attributes = files_.GetAttributes(target).value_or(0);
  bool not_copied = false;
  // A copy that failed although no program holds the file failed for want of room (or of the
  // backup directory): closing programs would not help, so there is no question.
  const FileInUseQuestion ask = [&](const std::string& path) {
    return not_copied ? InUseAnswer::kNext : ask_(path);
  };
  const bool deleted = RepeatWhileInUse(target, ask, [&] {
    files_.SetAttributes(target, placement.attributes & ~platform::kAttrReadOnly);
    if (placement.backup.empty() && !MakeBackup(target, placement)) {
      not_copied = !IsHeld(target);
      return false;
    }
    return files_.DeleteFile(target);
  });
  if (deleted) return Clearing::kDone;
  DropBackup(placement);
  if (auto now = files_.GetAttributes(target); now && *now != placement.attributes) {
    files_.SetAttributes(target, placement.attributes);
  }
  return not_copied ? Clearing::kNotCopied : Clearing::kInUse;
}

bool InstallTransaction::IsHeld(const std::string& path) {
  try {
    files_.OpenFile(path, platform::OpenMode::kReadWrite);
  } catch (const Exception&) {
    return true;
  }
  return false;
}

bool InstallTransaction::MakeBackup(const std::string& target, Placement& placement) {
  const std::string backup = backup_dir_ + "\\" + std::to_string(++backup_count_);
  if ((files_.DirectoryExists(backup_dir_) || files_.CreateDirectory(backup_dir_)) &&
      files_.CopyFile(target, backup, false)) {
    placement.backup = backup;
    return true;
  }
  return false;
}

void InstallTransaction::DropBackup(Placement& placement) {
  if (placement.backup.empty()) return;
  files_.SetAttributes(placement.backup, platform::kAttrArchive);
  files_.DeleteFile(placement.backup);
  placement.backup.clear();
}

bool InstallTransaction::PutBack(Placement& placement) {
  if (placement.backup.empty()) return true;
  if (files_.MoveFile(placement.backup, placement.target)) {
    files_.SetAttributes(placement.target, placement.attributes);
    placement.backup.clear();
    return true;
  }
  // The staging directory goes at the end: the user's file must not go with it.
  if (StartsText(backup_dir_ + "\\", placement.backup)) {
    const std::string beside = FreeName(files_, placement.target + kKeptSuffix);
    if (files_.MoveFile(placement.backup, beside)) {
      files_.SetAttributes(beside, placement.attributes);
      placement.backup = beside;
    }
  }
  return false;
}

void InstallTransaction::RemoveStaging() {
  const bool holds_a_copy =
      std::any_of(placements_.begin(), placements_.end(),
                  [this](const Placement& p) { return StartsText(backup_dir_ + "\\", p.backup); });
  if (!holds_a_copy) platform::RemoveTree(files_, staging_);
}

void InstallTransaction::Commit() {
  for (Placement& p : placements_) {
    if (p.placed) DropBackup(p);
  }
  RemoveStaging();
  placements_.clear();
  counts_.clear();
}

void InstallTransaction::Rollback() {
  for (auto it = placements_.rbegin(); it != placements_.rend(); ++it) {
    if (it->placed) {
      if (auto attributes = files_.GetAttributes(it->target);
          attributes && (*attributes & platform::kAttrReadOnly)) {
        files_.SetAttributes(it->target, *attributes & ~platform::kAttrReadOnly);
      }
      files_.DeleteFile(it->target);
    }
    PutBack(*it);
  }
  RemoveStaging();
  placements_.clear();
  if (!counts_.empty()) {
    for (auto it = counts_.rbegin(); it != counts_.rend(); ++it) UncountSharedFile(*it);
    counts_.clear();
    if (!system_list_existed_) {
      files_.DeleteFile(system_list_);
    } else if (WriteSystemList(system_list_at_start_)) {
      if (system_list_time_ != 0) files_.SetFileTime(system_list_, system_list_time_);
      files_.SetAttributes(system_list_, system_list_attributes_);
    } else {
      // A list that still named this run's files would have the uninstaller give back counts the
      // rollback gave back already, another owner's among them; without a list the earlier
      // installation's system files merely stay.
      files_.DeleteFile(system_list_);
    }
    system_list_lines_ = system_list_at_start_;
  }
  files_.RemoveDirectory(targets_.destination);
  // Innermost first: each pass removes what the previous one emptied.
  for (bool removed = true; removed;) {
    removed = false;
    for (auto it = created_dirs_.rbegin(); it != created_dirs_.rend(); ++it) {
      if (files_.DirectoryExists(*it) && files_.RemoveDirectory(*it)) removed = true;
    }
  }
  files_.RemoveDirectory(targets_.destination);
}

}  // namespace vl4
