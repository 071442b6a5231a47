// The application object: title, main form, message boxes of the four kinds, and the backend's
// loop.
#pragma once

#include <string>

#include "ui/backend.h"

namespace vl4::ui {

class Form;

class Application {
 public:
  explicit Application(Backend& backend) : backend_(backend) {}

  Backend& backend() { return backend_; }
  const std::string& Title() const { return title_; }
  void SetTitle(std::string title) { title_ = std::move(title); }
  // The form whose closing ends the application: the one given to Run (or set here).
  Form* MainForm() const { return main_form_; }
  void SetMainForm(Form* form) { main_form_ = form; }

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
  // Runs the message loop with `main_form` as the main form; returns at once when Terminate was
  // asked before (the program ended during its start-up).
  void Run(Form& main_form) {
    main_form_ = &main_form;
    backend_.Run(main_form);
  }
  int TextWidth(const Font& font, std::string_view text) { return backend_.TextWidth(font, text); }
  void SetCursor(Cursor cursor) { backend_.SetCursor(cursor); }

 private:
  Backend& backend_;
  std::string title_;
  Form* main_form_ = nullptr;
};

}  // namespace vl4::ui
