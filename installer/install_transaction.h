// InstallTransaction: the file side of an install run, kept so that it can be taken back. The zip
// reader unpacks the members into the transaction's staging directory; Place moves each one to its
// final place, copying a file it replaces aside first. Commit keeps the result; Rollback removes
// what the run placed, puts the replaced files back and removes every directory the run made. The
// files it places in the system directory are counted in Windows' shared-DLL counter and listed
// beside the uninstall log (vl4.sys), so that the uninstaller removes them with the last count; a
// rollback takes the counts and the list back too. It needs the file services, the registry for
// the counter and, when a file is in use, the user's answer.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

namespace vl4::platform {
class Files;
class Registry;
}  // namespace vl4::platform

namespace vl4 {

// The user's answer when a file cannot be updated because some program seems to hold it.
enum class InUseAnswer { kRepeat, kNext };
// Asks that question about the file at `path`.
using FileInUseQuestion = std::function<InUseAnswer(const std::string& path)>;

// Tries `attempt` until it succeeds or the user gives up on `path` (Next); true when it succeeded.
bool RepeatWhileInUse(const std::string& path, const FileInUseQuestion& ask,
                      const std::function<bool()>& attempt);

// `base`, or `base` followed by 2, 3, ...: the first that names neither a file nor a directory.
std::string FreeName(platform::Files& files, const std::string& base);

// Makes the directory with its missing parents and returns the ones it made, outermost first (a
// level that cannot be made ends it), so that a failed run can remove them again.
std::vector<std::string> MakeDirectories(platform::Files& files, const std::string& dir);

// Where the members go, and which of them stay out.
struct InstallTargets {
  std::string destination;  // no trailing "\"
  std::string system_dir;   // the members stored under "SYSTEM\" go here
  // Member paths (whole, any case) that never replace an existing file: the user's data.
  std::vector<std::string> preserved;
  // Upper-case top-level directories of the archive not to install (environments not chosen).
  std::vector<std::string> exclusions;
};

// What Place did with a member.
enum class PlaceOutcome {
  kExcluded,  // not installed: it stays in the staging directory and goes with it
  kPlaced,    // moved to its target (a file it replaced is kept aside until Commit)
  kKept,      // the file at the target stays: a preserved file, or a system file as new
  // The file at the target could not be replaced and stays as it was; or, when neither the member
  // nor the old file could be moved there after it was deleted, the old file is kept elsewhere.
  kNotUpdated,
  // The file at the target could not be copied aside to be replaced (a full disk, say), so it
  // stays as it was.
  kNotCopiedAside,
  kNotCreated,  // a preserved file that was not there could not be moved there
};

struct PlaceResult {
  PlaceOutcome outcome = PlaceOutcome::kExcluded;
  std::string target;  // where the member goes (or the file that stays); empty when excluded
  bool in_system_dir = false;
  // Not updated: where the old file is, when it could not be put back at the target (beside it,
  // or where its copy was made when even that failed). It stays there.
  std::string old_file;
};

class InstallTransaction {
 public:
  // Chooses the staging directory: the destination's TEMP; when that exists already (a drive
  // root's TEMP), a new directory inside it, so that nothing the transaction removes at its end
  // was there before.
  InstallTransaction(platform::Files& files, platform::Registry& registry, InstallTargets targets,
                     FileInUseQuestion ask);

  const std::string& StagingDir() const { return staging_; }

  // Makes the directories the run starts from: `dirs` (the script's created directories, and
  // those Install made for the destination) with their parents (failures ignored: a placement
  // into one then fails and is reported), then the uninstall directory and the staging directory,
  // one level each. Returns the first of these two that could not be made; the run cannot go on
  // without it. A rollback removes every one of them that it leaves empty. The list of the
  // installation's system files lies in the uninstall directory.
  std::optional<std::string> Begin(const std::vector<std::string>& dirs,
                                   const std::string& uninstall_dir);

  // Moves the unpacked member at `path` (relative to the staging directory, "\" separators) to
  // its place: under the destination, or in the system directory for "SYSTEM\...". A file there
  // is replaced unless the member is preserved (or, in the system directory, not newer); a file
  // in use brings the question, and Next leaves it as it was. A file of the system directory
  // that is there afterwards (whatever the outcome) is counted among the shared DLLs, unless the
  // installation's list names it already (an earlier installation into the same directory holds
  // its count): a new count is 1 for a file placed new and 2 for one that was there before (one
  // for its earlier owner), an existing count goes up by one; then the list names it. A count that
  // cannot be written, or a list that cannot, leaves both as they were.
  PlaceResult Place(const std::string& path);
  // Where Place would put the member at `path`: "" when it is excluded.
  std::string TargetOf(const std::string& path) const;

  // The run is complete: the copies of replaced files go, then the staging directory. An old file
  // kept elsewhere stays.
  void Commit();
  // The run failed: every file placed goes and the files it replaced come back with their
  // attributes; the counts it wrote go (those it raised go down by one) and so do the paths it
  // added to the system-file list (the list too when the run made it); then the staging
  // directory, an empty destination and every directory the run made go. Nothing is removed that
  // was there before; an old file that cannot be put back is kept beside its place.
  void Rollback();

 private:
  // A file the run put in place, and the copy of the file it replaced (if any), so that a
  // rollback can put the old one back.
  struct Placement {
    std::string target;
    std::string backup;
    uint32_t attributes = 0;  // the replaced file's
    bool placed = true;       // false: only the old file, kept elsewhere, waits to be put back
  };

  // A count this run wrote: `before` is what was there (nothing, or a count of 0) when the run
  // started the count, else the run raised it by one.
  struct SharedCount {
    std::string path;
    bool started = false;
    std::optional<uint32_t> before;
  };

  // Place without the counting.
  PlaceResult PlaceMember(const std::string& path);
  // Counts the system directory's file at `path` and lists it (see Place); `was_there`: a file
  // was at that place before the member came.
  void CountSharedFile(const std::string& path, bool was_there);
  void UncountSharedFile(const SharedCount& count);
  // Reads the system-file list once; false when it exists but cannot be read: nothing is counted
  // then, since an unread list could neither be checked nor rewritten without losing its lines.
  bool LoadSystemList();
  // Writes the list as `lines`; when that fails, what was there is written back (or a file the
  // write made goes). False when the list does not hold `lines`.
  bool WriteSystemList(const std::vector<std::string>& lines);
  bool IsExcluded(const std::string& path) const;
  bool IsPreserved(const std::string& path) const;
  // True when the system directory's file at `target` is to stay rather than be replaced by the
  // unpacked `source`.
  bool SystemFileStays(const std::string& target, const std::string& source);
  // Makes the directory with its missing parents, noting every level it makes.
  void EnsureDirectory(const std::string& dir);
  void NoteCreated(const std::string& dir);
  // How clearing the way for a member went.
  enum class Clearing { kDone, kInUse, kNotCopied };
  // Clears an existing target out of the way: copies it aside and deletes it, asking Repeat or
  // Next while a program holds it. Unless done, the target is as it was: the user gave up on it,
  // or it could not be copied although no program holds it (asking would not help).
  Clearing ClearTarget(const std::string& target, Placement& placement);
  // True when some program holds the file: it cannot be opened for writing.
  bool IsHeld(const std::string& path);
  // Copies the target into the backup directory; false when that fails.
  bool MakeBackup(const std::string& target, Placement& placement);
  void DropBackup(Placement& placement);
  // Moves the copy of the old file back to the target; true when it is back (or there is none).
  // Failing that, the copy is kept beside the target, or where it is when even that fails, and
  // `backup` names it.
  bool PutBack(Placement& placement);
  // Removes the staging directory with everything in it, unless a copy that could be put back
  // nowhere else is still in it.
  void RemoveStaging();

  platform::Files& files_;
  platform::Registry& registry_;
  InstallTargets targets_;
  FileInUseQuestion ask_;
  std::string staging_;
  std::string backup_dir_;
  int backup_count_ = 0;

  std::vector<std::string> created_dirs_;
  std::unordered_set<std::string> created_set_;  // upper-cased entries of created_dirs_
  std::unordered_set<std::string> known_dirs_;   // upper-cased directories known to exist
  std::vector<Placement> placements_;

  std::string system_list_;  // <uninstall directory>\vl4.sys
  bool system_list_loaded_ = false;
  bool system_list_usable_ = true;
  bool system_list_existed_ = false;  // before the run, with this time and these attributes
  uint32_t system_list_time_ = 0;
  uint32_t system_list_attributes_ = 0;
  std::vector<std::string> system_list_at_start_;  // its lines before the run
  std::vector<std::string> system_list_lines_;     // its lines now
  std::vector<SharedCount> counts_;
};

}  // namespace vl4
