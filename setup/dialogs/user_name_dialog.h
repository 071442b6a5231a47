// The user name dialog (runtime name Form4): one prompt, an edit field of at most 25 characters,
// OK (enabled while the field is not empty) and a second button.
#pragma once

#include <string>

#include "ui/controls.h"
#include "ui/form.h"

namespace vl4 {

class UserNameDialog : public ui::Form {
 public:
  explicit UserNameDialog(ui::Application& app);

  // Sets the dialog up for one question; the field gets the text and the focus.
  void Prepare(const std::string& title, const std::string& prompt,
               const std::string& second_button, const std::string& text);

  ui::Label PromptLabel{this, "Label1"};
  ui::Edit NameEdit{this, "Edit1"};
  ui::Button ButtonOK{this, "ButtonOK"};
  ui::Button ButtonCancel{this, "ButtonCancel"};

 private:
  void NameEditChange();
};

}  // namespace vl4
