// The application object: title, message boxes of the four kinds, and the backend's loop.
#pragma once

#include <string>

#include "ui/backend.h"

namespace vl4::ui {

class Application {
 public:
  explicit Application(Backend& backend) : backend_(backend) {}

  Backend& backend() { return backend_; }
  const std::string& Title() const { return title_; }
  void SetTitle(std::string title) { title_ = std::move(title); }

  // MessageDlg: the caption follows the kind ("Error", "Warning", "Information", "Confirm");
  // a plain box carries the application title.
  ModalResult MessageDlg(const std::string& text, MsgKind kind, MsgButtons buttons,
                         Form* owner = nullptr);
  // ShowMessage: a plain box with one OK button.
  void ShowMessage(const std::string& text, Form* owner = nullptr);
  // Application.MessageBox: an explicit caption.
  ModalResult MessageBox(const std::string& text, const std::string& caption, MsgKind kind,
                         MsgButtons buttons, Form* owner = nullptr);

  void ProcessMessages() { backend_.ProcessMessages(); }
  void Terminate() { backend_.Terminate(); }
  bool Terminated() const { return backend_.Terminated(); }
  void Run(Form& main_form) { backend_.Run(main_form); }
  int TextWidth(const Font& font, std::string_view text) { return backend_.TextWidth(font, text); }
  void SetCursor(Cursor cursor) { backend_.SetCursor(cursor); }

 private:
  Backend& backend_;
  std::string title_;
};

}  // namespace vl4::ui
