// The wizard's Install and Browse: the destination checks, the environment window, the exclusion
// list and the hand-over to the progress window.
#include "installer/install_wizard.h"

#include <algorithm>
#include <cctype>

#include "installer/install_texts.h"
#include "installer/macros.h"
#include "platform/dos_date_time.h"
#include "platform/exception.h"
#include "platform/file_tree.h"
#include "platform/path.h"
#include "platform/platform.h"
#include "platform/text.h"

namespace vl4 {
namespace {

bool IsSeparator(char c) {
  return c == '\\' || c == '/';
}

// A drive path ("C:\...", or a drive root "C:") or a UNC path ("\\server\share..."): a relative
// destination would put the files under the current directory and the shortcuts and uninstall
// entries would name them relative to it.
bool IsFullPath(const std::string& path) {
  if (path.size() >= 2 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':') {
    return path.size() == 2 || IsSeparator(path[2]);
  }
  return path.size() > 2 && IsSeparator(path[0]) && IsSeparator(path[1]) && !IsSeparator(path[2]);
}

}  // namespace

void InstallWizard::InstallClick() {
  platform::Files& files = inst_.platform.files();
  const InstallScript& script = inst_.script;
  auto error = [this](const std::string& text) {
    App().MessageDlg(text, ui::MsgKind::kError, ui::MsgButtons::kOK, this);
  };

  if (!script.previous_version_marker.empty() &&
      files.DirectoryExists(script.previous_version_marker)) {
    App().MessageDlg(install_texts::kUninstallFirst, ui::MsgKind::kWarning, ui::MsgButtons::kOK,
                     this);
    return;
  }
  const std::string destination = ExcludeTrailingBackslash(DestinationEdit.Text());
  if (Trim(destination).empty()) return error(install_texts::kNoDestination);
  auto cannot_create = [&] {
    error(Format(install_texts::kCannotCreateDestination, destination.c_str()));
  };
  if (!IsFullPath(destination)) return cannot_create();
  for (const std::string& file : script.required_files) {
    if (!files.FileExists(destination + "\\" + file)) {
      return error(ExpandInstallDir(script.required_files_message, destination));
    }
  }
  const std::vector<std::string> made = MakeDirectories(files, destination);
  made_for_destination_.insert(made_for_destination_.end(), made.begin(), made.end());
  if (!files.DirectoryExists(destination)) return cannot_create();
  if (!IsWritable(destination)) {
    return error(Format(install_texts::kReadOnlyDestination, destination.c_str()));
  }

  // A system library of 2005 or earlier belongs to a version the new one replaces.
  if (auto time = files.GetFileTime(inst_.where.system_dir + "\\vl4.dll");
      time && files.FileExists(inst_.where.system_dir + "\\vl4.dll") &&
      DosDateTime::Split(*time).year <= 2005) {
    if (App().MessageDlg(install_texts::kOldComponents, ui::MsgKind::kWarning,
                         ui::MsgButtons::kYesNo, this) != ui::ModalResult::kYes) {
      return;
    }
  }

  if (!script.environments.Empty() && inst_.settings.select_dialog &&
      environments_->ShowModal() != ui::ModalResult::kOK) {
    return;
  }

  exclusions_.clear();
  for (size_t i = 0; i < script.environments.Count(); ++i) {
    if (!environments_->EnvironmentList.Checked(static_cast<int>(i))) {
      exclusions_.push_back(UpperCase(script.environments[i].key));
    }
  }
  for (const std::string& dir : inst_.settings.exclude_dirs) {
    const bool names_environment =
        std::any_of(script.environments.begin(), script.environments.end(),
                    [&](const EnvironmentRow& row) { return SameText(row.key, dir); });
    if (!names_environment) exclusions_.push_back(UpperCase(dir));
  }

  InstallProgress& progress = *progress_;
  progress.SetBounds(Left(), Top() + Height(), Width(), progress.Height());
  progress.Bar.SetBounds(5, progress.Bar.Top(), progress.Width() - 10, progress.Bar.Height());
  progress.SetDestination(destination, made_for_destination_);
  progress.SetExclusions(exclusions_);
  progress.StatusLabel.SetCaption(script.install_title + install_texts::kDataReading);
  progress.ShowModal();
}

bool InstallWizard::IsWritable(const std::string& dir) {
  platform::Files& files = inst_.platform.files();
  const std::string probe = dir + "\\$$tfile$.tmp";
  try {
    files.OpenFile(probe, platform::OpenMode::kCreate);
  } catch (const Exception&) {
    return false;
  }
  files.DeleteFile(probe);
  return true;
}

void InstallWizard::BrowseClick() {
  platform::Files& files = inst_.platform.files();
  ui::DirectoryRequest request;
  request.caption = install_texts::kDestinationPrompt;
  request.start = files.DirectoryExists(DestinationEdit.Text()) ? DestinationEdit.Text()
                                                                : inst_.where.program_files_dir;
  request.allow_create = true;
  request.exists = [&files](const std::string& path) { return files.DirectoryExists(path); };
  request.create = [&files](const std::string& path) {
    return platform::ForceDirectories(files, path);
  };
  if (auto chosen = App().backend().SelectDirectory(request)) DestinationEdit.SetText(*chosen);
}

}  // namespace vl4
