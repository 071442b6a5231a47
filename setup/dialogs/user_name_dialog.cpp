// The user name dialog.
#include "setup/dialogs/user_name_dialog.h"

#include "setup/config.h"

namespace vl4 {

UserNameDialog::UserNameDialog(ui::Application& app) : ui::Form(app, "Form4") {
  SetBorderStyle(ui::BorderStyle::kDialog);
  SetPosition(ui::FormPosition::kScreenCenter);
  SetClientWidth(420);
  SetClientHeight(140);
  PromptLabel.SetBounds(16, 16, 388, 32);
  PromptLabel.SetAutoSize(false);
  PromptLabel.SetWordWrap(true);
  NameEdit.SetBounds(16, 56, 388, 21);
  NameEdit.SetMaxLength(static_cast<int>(kUserNameLength));
  NameEdit.OnChange = [this](ui::Control&) { NameEditChange(); };
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
  PromptLabel.SetCaption(prompt);
  ButtonCancel.SetCaption(second_button);
  NameEdit.SetText(text.substr(0, kUserNameLength));
  NameEditChange();
  NameEdit.SetFocus();
}

void UserNameDialog::NameEditChange() {
  ButtonOK.SetEnabled(!NameEdit.Text().empty());
}

}  // namespace vl4
