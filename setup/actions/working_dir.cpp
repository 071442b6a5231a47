// Actions of the working directory page: choosing the working directory, creating and deleting
// its results file, and completing it with the support library and the three shortcuts.
#include "platform/file_tree.h"
#include "platform/files.h"
#include "platform/path.h"
#include "platform/platform.h"
#include "platform/text.h"
#include "setup/dialogs/user_name_dialog.h"
#include "setup/results/results_file.h"
#include "setup/setup_texts.h"
#include "setup/setup_window.h"

namespace vl4 {

void SetupWindow::ButtonChangeDirClick() {
  platform::Files& files = platform_.files();
  ui::DirectoryRequest request;
  request.caption = texts::kChooseWorkDir;
  request.allow_create = true;
  request.exists = [&files](const std::string& path) { return files.DirectoryExists(path); };
  request.create = [&files](const std::string& path) {
    return platform::ForceDirectories(files, path);
  };
  if (work_dir_found_) {
    request.start = IncludeTrailingBackslash(config_.work_dir);
  } else {
    for (char drive = 'C'; drive <= 'Z'; ++drive) {
      const std::string root = std::string(1, drive) + ":\\";
      if (!files.DirectoryExists(root)) continue;
      request.start = root;
      files.SetCurrentDirectory(root);
      break;
    }
  }
  const std::optional<std::string> chosen = App().backend().SelectDirectory(request);
  if (!chosen) return;
  if (!files.DirectoryExists(*chosen)) {
    App().MessageDlg(Format(texts::kCannotCreateDirectory, chosen->c_str()), ui::MsgKind::kError,
                     ui::MsgButtons::kOK, this);
    return;
  }
  // A drive root is held as "X:".
  config_.work_dir = ExcludeTrailingBackslash(*chosen);
  RefreshWorkPage();
}

void SetupWindow::ButtonResultsClick() {
  if (config_.work_dir.empty()) return;
  if (results_action_ == ResultsAction::kCreate) {
    CreateResults();
  } else {
    DeleteResults();
  }
}

void SetupWindow::CreateResults() {
  if (user_name_dialog_ == nullptr) return;
  UserNameDialog& dialog = *user_name_dialog_;
  dialog.Prepare(texts::kCreationTitle, texts::kEnterUserData, texts::kCancel,
                 config_.user_name.empty() ? default_user_name_ : config_.user_name);
  if (dialog.ShowModal() != ui::ModalResult::kOK) return;
  config_.user_name = Trim(dialog.NameEdit.Text());
  CreateResultsFile(platform_.files(), config_.work_dir, install_dir_, config_.user_name, "",
                    random_);
  RefreshWorkPage();
}

void SetupWindow::DeleteResults() {
  if (App().MessageDlg(texts::kConfirmDeleteResults, ui::MsgKind::kConfirmation,
                       ui::MsgButtons::kYesNo, this) != ui::ModalResult::kYes) {
    return;
  }
  platform::Files& files = platform_.files();
  const std::string path = ResultsFilePath(config_.work_dir);
  if (auto attributes = files.GetAttributes(path)) {
    files.SetAttributes(path, *attributes & ~uint32_t{platform::kAttrReadOnly});
  }
  if (!files.DeleteFile(path) && files.FileExists(path)) {
    App().MessageDlg(texts::kCannotDeleteResults, ui::MsgKind::kError, ui::MsgButtons::kOK, this);
  }
  RefreshWorkPage();
}

// Runs on every refresh that finds a valid results file, so the working directory always holds
// the current support library and shortcuts to this installation's programs.
void SetupWindow::CompleteWorkDir() {
  platform::Files& files = platform_.files();
  if (!files.DirectoryExists(config_.work_dir)) return;
  const std::string dir = config_.work_dir + "\\";
  files.CopyFile(install_dir_ + "vl4net.dll", dir + "vl4net.dll", false);
  static constexpr const char* kShortcuts[][2] = {
      {"Demo.lnk", "VL4Demo.exe"}, {"Load.lnk", "VL4Load.exe"}, {"Results.lnk", "VL4Res.exe"}};
  for (const auto& [link, program] : kShortcuts) {
    if (!platform_.shell().CreateShellLink(install_dir_ + program, "", "", dir + link)) return;
  }
}

}  // namespace vl4
