// Module installation for one environment and its status on the environment page. What is here
// serves every row alike: the status tells whether the IDE was found. The per-family work
// (compiling and copying the Delphi and C++Builder packages, registering known packages, the
// Visual Basic add-in) and the Browse action build on these entry points.
#include "platform/platform.h"
#include "platform/text.h"
#include "setup/form1.h"
#include "setup/setup_texts.h"
#include "setup/status_line.h"

namespace vl4 {

namespace {

bool IsDelphiOrCppBuilder(const EnvRow& row) {
  return (row.number >= 3 && row.number <= 9) || row.number == 19 || row.number == 20;
}

}  // namespace

void TForm1::SetPackageNames(EnvRow& row) {
  row.aux_files.clear();
  if (IsDelphiOrCppBuilder(row)) {
    const std::string prefix = row.family_key == "CB" ? "vl4b" : "vl4d";
    row.aux_files.push_back(prefix + row.version_text + "tls" + row.package_ext);
  }
}

// The hidden Install button installs until its caption carries the modules-installed mark.
void TForm1::InstallButtonClick(ui::Control& sender) {
  EnvRow* row = catalogue_.ByControl(&sender);
  if (row == nullptr) {
    App().ShowMessage("Error: ButtonFrom", this);
    return;
  }
  if (sender.Caption().find("Delete") == std::string::npos) InstallModules(*row);
}

void TForm1::InstallModules(EnvRow& /*row*/) {}

void TForm1::RefreshEnvStatus(EnvRow& row) {
  EnvPage& page = *row.page;
  const char* name = row.display_name.c_str();
  if (row.exe_path.empty()) {
    if (IsDelphiOrCppBuilder(row) || row.number == 32) row.library_dir.clear();
    SetStatus(page.Status, Format(texts::kExeNotFound, name, name), ui::kRed);
    if (IsDelphiOrCppBuilder(row)) page.InstallButton->SetEnabled(false);
    page.DeleteButton.SetEnabled(true);
    if (IsShown(WorkSheet)) {
      ShowPage(PageNumber(page.Sheet));
      page.DeleteButton.SetFocus();
    }
    return;
  }
  page.BrowseButton.SetCaption(texts::kBrowse);
  page.PathEdit.SetText(row.exe_path);
  const std::string first = Format(texts::kCanBeUsed, name);
  SetStatus(page.Status,
            row.tools_in_menu
                ? first + "\r\n" + Format(texts::kToolsInstalled, row.menu_name.c_str(), name)
                : "\r\n" + first,
            ui::kBlack);
  if (IsShown(page.Sheet)) page.DeleteButton.SetFocus();
}

// The environments page shows the selected entry's executable and status.
void TForm1::ShowEnvDetails(EnvRow& row) {
  ShowShortPath(row.exe_path, EditEnvsExe);
  SetStatus(LabelEnvsStatus, row.page->Status.Caption(), row.page->Status.GetFont().color);
  const bool installed = row.page->InstallButton &&
                         row.page->InstallButton->Caption().find("Delete ") != std::string::npos;
  CheckListBox1.SetChecked(CheckListBox1.ItemIndex(),
                           row.available && (installed || !row.page->StatusRed()));
}

void TForm1::CheckListBox1Click() {
  if (EnvRow* row = catalogue_.ByDisplayName(
          CheckListBox1.ItemIndex() >= 0 ? CheckListBox1.Items()[CheckListBox1.ItemIndex()] : "")) {
    ShowEnvDetails(*row);
  }
}

// A check mark cannot be toggled freely: it follows the same rule as the details.
void TForm1::CheckListBox1ClickCheck() {
  CheckListBox1Click();
}

void TForm1::BrowseClick(ui::Control& /*sender*/) {}

}  // namespace vl4
