// The environment window.
#include "installer/environment_choice.h"

#include "installer/install_texts.h"
#include "platform/text.h"

namespace vl4 {

TInstF4::TInstF4(ui::Application& app) : ui::Form(app, "TInstF4") {
  SetBorderStyle(ui::BorderStyle::kDialog);
  SetPosition(ui::FormPosition::kScreenCenter);
  SetWidth(359);
  SetClientHeight(46 + 60 + 200);

  StaticText1.SetAlign(ui::Align::kTop);
  StaticText1.SetHeight(60);
  Panel1.SetAlign(ui::Align::kBottom);
  Panel1.SetHeight(46);
  Panel1.SetBevelOuter(false);
  const int middle = Panel1.ClientArea().width / 2;
  Button1.SetBounds(middle - 95, 10, 90, 25);
  Button1.SetCaption(install_texts::kOK);
  Button1.SetDefault(true);
  Button1.SetModalResult(ui::ModalResult::kOK);
  Button2.SetBounds(middle + 5, 10, 90, 25);
  Button2.SetCaption(install_texts::kCancel);
  Button2.SetCancel(true);
  Button2.SetModalResult(ui::ModalResult::kCancel);
  CheckListBox1.SetAlign(ui::Align::kClient);

  OnShow = [this](ui::Control&) { FormShow(); };
  CheckListBox1.OnClickCheck = [this](ui::Control&) { CheckListBox1Click(); };
}

void TInstF4::Prepare(const InstallScript& script, const std::vector<std::string>& exclude_dirs) {
  // With no environment allowed, OK stays enabled whatever is ticked.
  if (script.allow_no_environment) CheckListBox1.OnClickCheck = nullptr;
  if (!script.environments.Empty()) {
    SetCaption(script.env_caption);
    Button2.SetCaption(install_texts::kCancel);
    StaticText1.SetCaption(script.env_header);
    SetClientHeight(Panel1.Height() + StaticText1.Height() + script.env_extra_height);
  }
  CheckListBox1.ClearItems();
  for (const EnvironmentRow& row : script.environments) {
    const int i = CheckListBox1.AddItem(row.display_name);
    bool excluded = false;
    for (const std::string& dir : exclude_dirs) excluded = excluded || SameText(dir, row.key);
    CheckListBox1.SetChecked(i, !excluded);
  }
}

void TInstF4::FormShow() {
  Button1.SetEnabled(true);
  CheckListBox1.SetFocus();
}

void TInstF4::CheckListBox1Click() {
  bool any = false;
  for (int i = 0; i < CheckListBox1.Count(); ++i) any = any || CheckListBox1.Checked(i);
  Button1.SetEnabled(any);
}

}  // namespace vl4
