// Browse: the user points the setup tool at an IDE's executable, from the IDE's environment page
// or from the environments page for the selected entry; the modules are installed at once.
#include "platform/platform.h"
#include "platform/text.h"
#include "setup/detection.h"
#include "setup/ide/ide_family.h"
#include "setup/setup_texts.h"
#include "setup/setup_window.h"

namespace vl4 {

// The Lazarus page's Browse works like every other page's: its status line asks the user to
// press it, and the environments page accepts a Lazarus executable by the same rule.
void SetupWindow::BrowseClick(ui::Control& sender) {
  const bool from_envs_page = &sender == &ButtonEnvsBrowse;
  EnvRow* row = from_envs_page ? SelectedEnv() : catalogue_.ByControl(&sender);
  if (row == nullptr || row->page == nullptr) {
    App().ShowMessage(texts::kErrorButtonBrowse, this);
    return;
  }

  ui::OpenFileRequest request;
  request.title = Format(texts::kSelectExecutable, row->display_name.c_str());
  request.filter = texts::kExecutableFilter;
  request.file_name = row->exe_path;
  if (row->exe_path.empty()) {
    platform::Files& files = platform_.files();
    for (char drive = 'C'; drive <= 'Z'; ++drive) {
      if (files.DiskSize(drive) < 0) continue;
      request.initial_dir = std::string(1, drive) + ":\\";
      break;
    }
    request.file_name = detector_ ? detector_->DetectExecutable(*row) : std::string();
  }
  const std::optional<std::string> chosen = App().backend().OpenFile(request);
  // Cancelling the dialog changes nothing.
  if (!chosen) return;

  row->exe_path = BrowseRule(*row, *chosen) ? *chosen : std::string();
  row->library_dir = detector_ ? detector_->LibraryDirFromExe(*row, row->exe_path) : std::string();
  row->page->PathEdit.SetText(row->exe_path);
  if (!row->exe_path.empty()) sender.SetCaption(texts::kBrowse);

  if (!row->library_dir.empty() || FamilyOf(*row) == IdeFamily::kVisualBasic) InstallModules(*row);
  RefreshEnvStatus(*row);
  if (from_envs_page) ShowEnvDetails(*row);
}

}  // namespace vl4
