// The user name dialog.
#include "setup/dialogs/user_name_dialog.h"

#include "setup/config.h"

namespace vl4 {

UserNameDialog::UserNameDialog(ui::Application& app) : ui::Form(app, "Form4") {
  SetBorderStyle(ui::BorderStyle::kDialog);
  SetPosition(ui::FormPosition::kScreenCenter);
  SetClientWidth(420);
  SetClientHeight(140);
  Label1.SetBounds(16, 16, 388, 32);
  Label1.SetAutoSize(false);
  Label1.SetWordWrap(true);
  Edit1.SetBounds(16, 56, 388, 21);
  Edit1.SetMaxLength(static_cast<int>(kUserNameLength));
  Edit1.OnChange = [this](ui::Control&) { Edit1Change(); };
  ButtonOK.SetBounds(228, 100, 84, 25);
  ButtonOK.SetCaption("OK");
  ButtonOK.SetDefault(true);
  ButtonOK.SetModalResult(ui::ModalResult::kOK);
  ButtonCancel.SetBounds(320, 100, 84, 25);
  ButtonCancel.SetCancel(true);
  ButtonCancel.SetModalResult(ui::ModalResult::kCancel);
}

void UserNameDialog::Prepare(const std::string& title, const std::string& prompt,
                             const std::string& second_button, const std::string& text) {
  SetCaption(title);
  Label1.SetCaption(prompt);
  ButtonCancel.SetCaption(second_button);
  Edit1.SetText(text.substr(0, kUserNameLength));
  Edit1Change();
  Edit1.SetFocus();
}

void UserNameDialog::Edit1Change() {
  ButtonOK.SetEnabled(!Edit1.Text().empty());
}

}  // namespace vl4
