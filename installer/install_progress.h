// InstallProgress (runtime name TInstF3), the progress window: it carries out the install run. The
// zip reader unpacks every data part into the staging directory, each member is placed as soon as
// it is unpacked, and after the last one FinishInstall makes the shortcuts and the uninstall log
// and launches the setup tool. A run that does not get there is rolled back.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_set>
#include <vector>

#include "installer/installation.h"
#include "ui/controls.h"
#include "ui/form.h"
#include "zip/zip_reader.h"

namespace vl4 {

class InstallProgress : public ui::Form {
 public:
  InstallProgress(ui::Application& app, Installation& installation);

  // What the wizard hands over before it shows the window: the destination directory (no
  // trailing "\") and the upper-case names of the archive's top-level directories not to install.
  void SetDestination(const std::string& destination) { destination_ = destination; }
  void SetExclusions(const std::vector<std::string>& exclusions);

  // Moves one unpacked member (its stored path, "\" separators) to its final place.
  void PlaceFile(const std::string& path);
  // Undoes what the run did, says so and ends the application.
  void AbortInstall();

  // The finishing step: the self-copy, associations, shortcuts, the uninstall log, the
  // completion message and the launch of the setup tool; then the application ends.
  void FinishInstall();
  bool CreateShellLink(const std::string& target, const std::string& arguments,
                       const std::string& working_dir, const std::string& link_path);
  void RegisterAssociation(const std::string& type, const std::string& directory,
                           const std::string& program, const std::string& description,
                           int icon_index);
  bool LaunchProgram(const std::string& file, const std::string& parameters,
                     const std::string& directory, int show_mode);

  // The run's state.
  const std::string& Destination() const { return destination_; }
  const std::string& StagingDir() const { return staging_; }
  const std::vector<std::string>& InstalledList() const { return installed_list_; }
  const std::string& NotUpdated() const { return not_updated_; }
  const std::string& NotCreated() const { return not_created_; }
  const std::string& LinksNotCreated() const { return links_not_created_; }
  const std::string& GroupError() const { return group_error_; }
  bool Completed() const { return completed_; }
  int CurrentPart() const { return current_part_; }
  const std::vector<std::string>& CreatedDirs() const { return created_dirs_; }

  ui::Panel Frame{this, "Panel1"};
  ui::Label StatusLabel{&Frame, "Label1"};
  ui::ProgressBar Bar{&Frame, "ProgressBar1"};
  zip::TZipReader Reader;

 private:
  // A file the run put in place, and the copy of the file it replaced (if any), so that a
  // rollback can put the old one back.
  struct Placement {
    std::string target;
    std::string backup;
    uint32_t attributes = 0;  // the replaced file's
    bool placed = true;       // false: only the old file waits to be put back
  };

  // The install run; it starts when the window is first activated, and only then.
  void RunOnFirstActivation();
  void Run();
  // The reader's progress through the current part.
  void PercentDone(int percent);
  // A member is unpacked: `fname` is where the reader wrote it.
  void MemberUnpacked(int file_index, const std::string& fname);
  void ExpandScript();
  bool PrepareDirectories();
  void EnsureDirectory(const std::string& dir);
  bool IsPreserved(const std::string& path) const;
  // The index of the last member of the open part that is a file (not a directory entry).
  int LastFileMember() const;
  bool IsExcluded(const std::string& path) const;
  // Replaces an existing target: copies it aside and deletes it, asking Repeat or Next while
  // that fails. False when the user gave up (the target is then as it was).
  bool ReplaceExisting(const std::string& target, Placement& placement);
  void DropBackup(Placement& placement);
  // The run is complete: the copies of replaced files go (a file that could not be put back
  // after a failed replacement gets another try first).
  void CommitPlacements();
  void Rollback();
  void EndWithError(const std::string& message);
  void CompleteMessage();
  void SetStatus(const std::string& text);
  platform::Files& files();

  Installation& inst_;
  std::string destination_;
  std::vector<std::string> exclusions_;
  std::string staging_;
  std::string backup_dir_;
  int backup_count_ = 0;
  bool run_started_ = false;

  std::vector<std::string> installed_list_;
  std::string not_updated_;
  std::string not_created_;
  std::string links_not_created_;
  std::string group_error_;
  bool completed_ = false;
  int current_part_ = 0;

  std::vector<std::string> created_dirs_;
  std::unordered_set<std::string> created_set_;  // upper-cased entries of created_dirs_
  std::unordered_set<std::string> known_dirs_;   // upper-cased directories known to exist
  std::vector<Placement> placements_;
};

}  // namespace vl4
