// One environment's status: what its page (or the environments page's details panel) tells the
// user about the IDE and the product's tools in it, and the check marks of the environments page.
#include "platform/platform.h"
#include "platform/text.h"
#include "setup/ide/ide_family.h"
#include "setup/setup_texts.h"
#include "setup/setup_window.h"
#include "setup/status_line.h"

namespace vl4 {

SetupWindow::EnvStatus SetupWindow::UpdateEnvStatus(EnvRow& row) {
  const IdeFamily family = FamilyOf(row);
  const bool packages = family == IdeFamily::kDelphi || family == IdeFamily::kCppBuilder;
  const char* name = row.display_name.c_str();
  ui::Button* install = row.page->InstallButton.get();
  if (row.exe_path.empty()) {
    if (packages || row.number == 32) row.library_dir.clear();
    if (packages) install->SetEnabled(false);
    return {Format(texts::kExeNotFound, name, name), ui::kRed, true};
  }

  const std::string first = Format(texts::kCanBeUsed, name);
  auto composed = [&] {
    return row.tools_in_menu
               ? first + "\r\n" + Format(texts::kToolsInstalled, row.menu_name.c_str(), name)
               : "\r\n" + first;
  };
  EnvStatus status{"", ui::kBlack, false};
  if (packages) {
    platform::Files& files = platform_.files();
    const std::string* missing = nullptr;
    for (const std::string& aux : row.aux_files) {
      if (row.library_dir.empty() || !files.FileExists(row.library_dir + "\\" + aux)) {
        missing = &aux;
        break;
      }
    }
    if (missing == nullptr) {
      RegisterKnownPackage(row);
      status.text = composed();
    } else {
      status.text = Format(texts::kAuxFileMissing, name, missing->c_str(), name);
    }
    row.page->SetModulesInstalled(true);
    install->SetEnabled(true);
  } else {
    status.text = composed();
    // The add-in's registration shows in the status from the next refresh on.
    if (family == IdeFamily::kVisualBasic) RegisterVbAddin(row);
  }
  return status;
}

void SetupWindow::RefreshEnvStatus(EnvRow& row) {
  EnvPage& page = *row.page;
  const EnvStatus status = UpdateEnvStatus(row);
  SetStatus(page.Status, status.text, status.color);
  page.DeleteButton.SetEnabled(true);
  if (status.exe_missing) {
    if (IsShown(WorkSheet)) {
      ShowPage(PageNumber(page.Sheet));
      page.DeleteButton.SetFocus();
    }
    return;
  }
  page.BrowseButton.SetCaption(texts::kBrowse);
  page.PathEdit.SetText(row.exe_path);
  if (IsShown(page.Sheet)) page.DeleteButton.SetFocus();
}

// The environments page draws the same refresh on its details panel. Its Delete button keeps
// its own rule (enabled while more than one environment is left).
void SetupWindow::ShowEnvDetails(EnvRow& row) {
  const EnvStatus status = UpdateEnvStatus(row);
  ShowShortPath(row.exe_path, EditEnvsExe);
  if (!status.exe_missing) ButtonEnvsBrowse.SetCaption(texts::kBrowse);
  SetStatus(LabelEnvsStatus, status.text, status.color);
  ApplyCheckRule(EnvironmentList.IndexOf(row.display_name));
}

void SetupWindow::ApplyCheckRule(int index) {
  if (index < 0 || index >= EnvironmentList.Count()) return;
  const EnvRow* row = catalogue_.ByDisplayName(EnvironmentList.Items()[index]);
  if (row == nullptr) return;
  EnvironmentList.SetChecked(
      index, row->available && (row->page->ModulesInstalled() || !row->page->StatusRed()));
}

EnvRow* SetupWindow::SelectedEnv() {
  const int index = EnvironmentList.ItemIndex();
  return index >= 0 ? catalogue_.ByDisplayName(EnvironmentList.Items()[index]) : nullptr;
}

void SetupWindow::EnvironmentListClick() {
  if (EnvRow* row = SelectedEnv()) ShowEnvDetails(*row);
}

// A check mark cannot be toggled freely: the click selects the entry (its details show) and the
// mark goes back to what the rule says.
void SetupWindow::EnvironmentListClickCheck() {
  ApplyCheckRule(EnvironmentList.ItemIndex());
}

}  // namespace vl4
