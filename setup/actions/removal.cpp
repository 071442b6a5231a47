// Giving an environment up: its module folder is emptied and the environment leaves the setup
// window (page list, page menu, the environments page's list). The IDE keeps what was installed
// into it.
#include <algorithm>

#include "platform/platform.h"
#include "platform/text.h"
#include "setup/setup_texts.h"
#include "setup/setup_window.h"

namespace vl4 {

void SetupWindow::DeleteClick(ui::Control& sender) {
  const bool from_envs_page = &sender == &ButtonEnvsDelete;
  EnvRow* row = from_envs_page ? SelectedEnv() : catalogue_.ByControl(&sender);
  if (row == nullptr || row->page == nullptr) {
    App().ShowMessage(texts::kErrorButtonDelete, this);
    return;
  }
  if (App().MessageDlg(Format(texts::kConfirmRemoval, row->display_name.c_str()),
                       ui::MsgKind::kWarning, ui::MsgButtons::kYesNo,
                       this) != ui::ModalResult::kYes) {
    return;
  }
  const int position = RemoveEnvironment(*row);

  // The entry goes from the environments page whichever Delete button was pressed, so that the
  // list never offers an environment that is no longer there.
  if (const int entry = EnvironmentList.IndexOf(row->display_name); entry >= 0) {
    EnvironmentList.DeleteItem(entry);
    EnvironmentList.SetItemIndex(std::min(entry, EnvironmentList.Count() - 1));
  }
  ButtonEnvsDelete.SetEnabled(EnvironmentList.Count() > 1);
  if (from_envs_page) {
    if (EnvRow* selected = SelectedEnv()) ShowEnvDetails(*selected);
  } else if (position > 0) {
    ShowPage(position);  // the page that followed the removed one
  }
}

int SetupWindow::RemoveEnvironment(EnvRow& row) {
  platform::Files& files = platform_.files();
  const std::string folder = row.ModuleFolder(install_dir_);
  // Subfolders are neither entered nor removed; a file that cannot be deleted is reported.
  std::string leftovers;
  for (const platform::FindEntry& entry : files.FindFiles(folder + "\\*.*")) {
    if (entry.attributes & platform::kAttrDirectory) continue;
    const std::string path = folder + "\\" + entry.name;
    if (!files.DeleteFile(path)) leftovers += "\"" + path + "\", ";
  }
  files.RemoveDirectory(folder);
  if (!leftovers.empty()) {
    leftovers.resize(leftovers.size() - 2);
    App().MessageDlg(
        Format(texts::kRemovalLeftovers, row.display_name.c_str()) + "\r\n" + leftovers,
        ui::MsgKind::kInformation, ui::MsgButtons::kOK, this);
  }

  row.available = false;
  const int position = PageNumber(row.page->Sheet);
  if (position == 0) return 0;
  pages_.erase(pages_.begin() + (position - 1));
  row.page->Sheet.SetTabVisible(false);
  for (int i = PageMenu.Count() - 1; i >= 0; --i) {
    ui::MenuItem& item = PageMenu.Item(i);
    if (item.Tag() == position) {
      PageMenu.Delete(i);
    } else if (item.Tag() > position) {
      item.SetTag(item.Tag() - 1);
    }
  }
  PageMenu.ItemsChanged();
  return position;
}

}  // namespace vl4
