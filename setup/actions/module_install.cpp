// Putting the product's modules into an IDE, from the setup window: the files a row needs in the
// IDE's library directory, the hidden Install button, and the registrations the status refresh
// runs. What happens in the IDE is setup/ide's; the window keeps the row's tools-in-menu flag
// and tells the user when the registry refuses.
#include "setup/ide/ide_family.h"
#include "setup/ide/ide_modules.h"
#include "setup/setup_texts.h"
#include "setup/setup_window.h"

namespace vl4 {

void SetupWindow::SetPackageNames(EnvRow& row) {
  row.aux_files.clear();
  const IdeFamily family = FamilyOf(row);
  if (family == IdeFamily::kDelphi || family == IdeFamily::kCppBuilder) {
    row.aux_files.push_back(ToolsPackageName(row));
  }
}

// The hidden Install button installs until the row carries the modules-installed mark.
void SetupWindow::InstallButtonClick(ui::Control& sender) {
  EnvRow* row = catalogue_.ByControl(&sender);
  if (row == nullptr) {
    App().ShowMessage(texts::kErrorButtonFrom, this);
    return;
  }
  if (!row->page->ModulesInstalled()) InstallModules(*row);
}

void SetupWindow::InstallModules(EnvRow& row) {
  ide_->Install(row);
}

void SetupWindow::RegisterKnownPackage(EnvRow& row) {
  switch (ide_->RegisterKnownPackage(row)) {
    case KnownPackageResult::kNoKey:
      break;
    case KnownPackageResult::kNotBuilt:
      row.tools_in_menu = false;
      break;
    case KnownPackageResult::kRegistered:
      row.tools_in_menu = true;
      break;
    case KnownPackageResult::kRegistryFailed:
      App().MessageDlg(texts::kCannotWriteRegistry, ui::MsgKind::kError, ui::MsgButtons::kOK, this);
      break;
  }
}

void SetupWindow::RegisterVbAddin(EnvRow& row) {
  row.tools_in_menu = ide_->RegisterVbAddin(row);
}

}  // namespace vl4
