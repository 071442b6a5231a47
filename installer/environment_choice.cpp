// The environment window: its layout, how it is filled, and the rule for OK.
#include "installer/environment_choice.h"

#include "installer/install_texts.h"
#include "platform/text.h"

namespace vl4 {

EnvironmentChoice::EnvironmentChoice(ui::Application& app) : ui::Form(app, "TInstF4") {
  SetBorderStyle(ui::BorderStyle::kDialog);
  SetPosition(ui::FormPosition::kScreenCenter);
  SetWidth(359);
  SetClientHeight(46 + 60 + 200);

  Header.SetAlign(ui::Align::kTop);
  Header.SetHeight(60);
  ButtonPanel.SetAlign(ui::Align::kBottom);
  ButtonPanel.SetHeight(46);
  ButtonPanel.SetBevelOuter(false);
  const int middle = ButtonPanel.ClientArea().width / 2;
  OkButton.SetBounds(middle - 95, 10, 90, 25);
  OkButton.SetCaption(install_texts::kOK);
  OkButton.SetDefault(true);
  OkButton.SetModalResult(ui::ModalResult::kOK);
  CancelButton.SetBounds(middle + 5, 10, 90, 25);
  CancelButton.SetCaption(install_texts::kCancel);
  CancelButton.SetCancel(true);
  CancelButton.SetModalResult(ui::ModalResult::kCancel);
  EnvironmentList.SetAlign(ui::Align::kClient);

  OnShow = [this](ui::Control&) { ResetOnShow(); };
  EnvironmentList.OnClickCheck = [this](ui::Control&) { RequireOneTick(); };
}

void EnvironmentChoice::Prepare(const InstallScript& script,
                                const std::vector<std::string>& exclude_dirs) {
  // With no environment allowed, OK stays enabled whatever is ticked.
  if (script.allow_no_environment) EnvironmentList.OnClickCheck = nullptr;
  if (!script.environments.Empty()) {
    SetCaption(script.env_caption);
    CancelButton.SetCaption(install_texts::kCancel);
    Header.SetCaption(script.env_header);
    SetClientHeight(ButtonPanel.Height() + Header.Height() + script.env_extra_height);
  }
  EnvironmentList.ClearItems();
  for (const EnvironmentRow& row : script.environments) {
    const int i = EnvironmentList.AddItem(row.display_name);
    bool excluded = false;
    for (const std::string& dir : exclude_dirs) excluded = excluded || SameText(dir, row.key);
    EnvironmentList.SetChecked(i, !excluded);
  }
}

void EnvironmentChoice::ResetOnShow() {
  OkButton.SetEnabled(true);
  EnvironmentList.SetFocus();
}

void EnvironmentChoice::RequireOneTick() {
  bool any = false;
  for (int i = 0; i < EnvironmentList.Count(); ++i) any = any || EnvironmentList.Checked(i);
  OkButton.SetEnabled(any);
}

}  // namespace vl4
