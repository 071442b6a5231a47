#include "ui/application.h"

namespace vl4::ui {

ModalResult Application::MessageDlg(const std::string& text, MsgKind kind, MsgButtons buttons,
                                    Form* owner) {
  const char* caption = "";
  switch (kind) {
    case MsgKind::kError: caption = "Error"; break;
    case MsgKind::kWarning: caption = "Warning"; break;
    case MsgKind::kInformation: caption = "Information"; break;
    case MsgKind::kConfirmation: caption = "Confirm"; break;
    case MsgKind::kPlain: return backend_.MessageBox(owner, text, title_, kind, buttons);
  }
  return backend_.MessageBox(owner, text, caption, kind, buttons);
}

void Application::ShowMessage(const std::string& text, Form* owner) {
  backend_.MessageBox(owner, text, title_, MsgKind::kPlain, MsgButtons::kOK);
}

ModalResult Application::MessageBox(const std::string& text, const std::string& caption,
                                    MsgKind kind, MsgButtons buttons, Form* owner) {
  return backend_.MessageBox(owner, text, caption, kind, buttons);
}

}  // namespace vl4::ui
