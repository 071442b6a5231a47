// InstallProgress (runtime name TInstF3), the progress window: it carries out the install run. The
// zip reader unpacks every data part into the staging directory, each member is placed as soon as
// it is unpacked (the install transaction does the placing and keeps what it takes to undo it), and
// after the last one FinishInstall makes the shortcuts and the uninstall log and launches the setup
// tool. A run that does not get there is rolled back.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "installer/install_transaction.h"
#include "installer/installation.h"
#include "ui/controls.h"
#include "ui/form.h"
#include "zip/zip_reader.h"

namespace vl4 {

class InstallProgress : public ui::Form {
 public:
  InstallProgress(ui::Application& app, Installation& installation);

  // What the wizard hands over before it shows the window: the destination directory (no
  // trailing "\"), the directories Install made for it (a failed run removes them again when
  // empty), and the upper-case names of the archive's top-level directories not to install.
  void SetDestination(const std::string& destination, std::vector<std::string> made_for_it = {}) {
    destination_ = destination;
    made_for_destination_ = std::move(made_for_it);
  }
  void SetExclusions(const std::vector<std::string>& exclusions);

  // The install run: it ends the application, either through FinishInstall or with the rollback
  // of AbortInstall. The window's first activation starts it; it needs no window on screen.
  void Run();

  bool CreateShellLink(const std::string& target, const std::string& arguments,
                       const std::string& working_dir, const std::string& link_path);
  void RegisterAssociation(const std::string& type, const std::string& directory,
                           const std::string& program, const std::string& description,
                           int icon_index);
  bool LaunchProgram(const std::string& file, const std::string& parameters,
                     const std::string& directory, int show_mode);

  // The run's state.
  bool Completed() const { return completed_; }
  int CurrentPart() const { return current_part_; }

  ui::Panel Frame{this, "Panel1"};
  ui::Label StatusLabel{&Frame, "Label1"};
  ui::ProgressBar Bar{&Frame, "ProgressBar1"};
  zip::TZipReader Reader;

 private:
  // Activation comes again after every message box the run shows; the run starts once.
  void RunOnFirstActivation();
  // The reader's progress through the current part.
  void PercentDone(int percent);
  // A member is unpacked: `fname` is where the reader wrote it.
  void MemberUnpacked(int file_index, const std::string& fname);
  void ExpandScript();
  std::string UninstallDir() const;
  // The message that says which volume lacks room for the run, or nothing.
  std::optional<std::string> RoomShortfall();
  // The member is the last of the last part: the finishing step follows it.
  bool IsLastMember(int file_index) const;
  // Places one unpacked member (its path under the staging directory, "\" separators; its size in
  // bytes) and notes the outcome for the uninstall log, the installation's size or the completion
  // message.
  void PlaceFile(const std::string& path, int64_t size);
  // The finishing step: the self-copy, associations, shortcuts, the uninstall log, the entry in
  // Windows' list of installed programs, the completion message and the launch of the setup tool;
  // then the application ends.
  void FinishInstall();
  // The entry in Windows' list of installed programs; false when the registry refused it.
  bool WriteUninstallEntry(const std::string& log);
  // Undoes what the run did, says so and ends the application.
  void AbortInstall();
  void EndWithError(const std::string& message);
  void CompleteMessage();
  void SetStatus(const std::string& text);
  platform::Files& files();

  Installation& inst_;
  std::string destination_;
  std::vector<std::string> made_for_destination_;
  std::vector<std::string> exclusions_;
  bool run_started_ = false;
  std::optional<InstallTransaction> transaction_;

  std::vector<std::string> installed_list_;
  std::string not_updated_;
  std::string old_files_;   // where the old files of those not updated are, when not in place
  std::string not_copied_;  // existing files not updated because they could not be copied aside
  std::string not_created_;
  std::string links_not_created_;
  std::string group_error_;
  std::string rights_error_;
  std::string log_error_;        // the uninstall log could not be read or written
  std::string entry_error_;      // the entry in Windows' list of installed programs was refused
  int64_t installed_bytes_ = 0;  // what the installation holds: the files placed or kept
  bool completed_ = false;
  int current_part_ = 0;
};

}  // namespace vl4
