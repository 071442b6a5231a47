// Layout of an environment page.
#include "setup/env_page.h"

#include <string>

#include "platform/text.h"
#include "setup/catalogue.h"
#include "setup/setup_texts.h"
#include "setup/status_line.h"

namespace vl4 {

EnvPage::EnvPage(ui::PageControl& pages, const EnvRow& row)
    : Sheet(&pages, "TabSheet" + std::to_string(row.number)),
      CaptionLabel(&Sheet, "LabelExe" + std::to_string(row.number)),
      PathEdit(&Sheet, "EditExe" + std::to_string(row.number)),
      BrowseButton(&Sheet, "ButtonBrowse" + std::to_string(row.number)),
      DeleteButton(&Sheet, "ButtonDelete" + std::to_string(row.number)),
      Status(&Sheet, "LabelStatus" + std::to_string(row.number)),
      display_name_(row.display_name) {
  CaptionLabel.SetBounds(16, 24, 120, 16);
  PathEdit.SetBounds(16, 44, 480, 21);
  PathEdit.SetReadOnly(true);
  BrowseButton.SetBounds(506, 42, 96, 25);
  if (row.has_install) {
    InstallButton =
        std::make_unique<ui::Button>(&Sheet, "ButtonInstall" + std::to_string(row.number));
    InstallButton->SetBounds(16, 80, 360, 25);
    InstallButton->SetVisible(false);
  }
  DeleteButton.SetBounds(16, 116, 260, 25);
  ConfigureStatusLine(Status);
}

bool EnvPage::Owns(const ui::Control* control) const {
  return control == &Sheet || control == &BrowseButton || control == &DeleteButton ||
         (InstallButton && control == InstallButton.get());
}

bool EnvPage::StatusRed() const {
  return vl4::StatusRed(Status);
}

void EnvPage::SetModulesInstalled(bool installed) {
  modules_installed_ = installed;
  if (InstallButton) {
    InstallButton->SetCaption(Format(installed ? texts::kModulesInstalled : texts::kInstallModules,
                                     display_name_.c_str()));
  }
}

}  // namespace vl4
