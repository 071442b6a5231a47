#include "ui/form.h"

#include <algorithm>

#include "ui/controls.h"

namespace vl4::ui {

Form::Form(Application& app, std::string name) : Control(nullptr, std::move(name)), app_(app) {
  SetVisible(false);
  app_.backend().FormCreated(*this);
}

Form::~Form() { app_.backend().FormDestroyed(*this); }

void Form::Register(Control* c) { all_controls_.push_back(c); }

void Form::Unregister(Control* c) {
  all_controls_.erase(std::remove(all_controls_.begin(), all_controls_.end(), c),
                      all_controls_.end());
  if (active_control_ == c) active_control_ = nullptr;
  if (popup_menu_ == c) popup_menu_ = nullptr;
}

void Form::SetWindowState(WindowState s) {
  if (window_state_ == s) return;
  window_state_ = s;
  Changed(Property::kWindowState);
}

void Form::SetActiveControl(Control* c) {
  active_control_ = c;
  if (c != nullptr) backend()->FocusControl(*c);
}

void Form::SetPopupMenu(PopupMenu* menu) {
  popup_menu_ = menu;
  Changed(Property::kMenu);
}

Button* Form::DefaultButton() const {
  for (Control* c : all_controls_) {
    if (c->Kind() == ControlKind::kButton && static_cast<Button*>(c)->Default()) {
      return static_cast<Button*>(c);
    }
  }
  return nullptr;
}

Button* Form::CancelButton() const {
  for (Control* c : all_controls_) {
    if (c->Kind() == ControlKind::kButton && static_cast<Button*>(c)->Cancel()) {
      return static_cast<Button*>(c);
    }
  }
  return nullptr;
}

void Form::Show() {
  SetVisible(true);
  backend()->ShowForm(*this);
  if (OnShow) OnShow(*this);
}

void Form::Hide() {
  if (!Visible()) return;
  SetVisible(false);
  backend()->HideForm(*this);
  if (OnHide) OnHide(*this);
}

ModalResult Form::ShowModal() {
  modal_result_ = ModalResult::kNone;
  modal_ = true;
  SetVisible(true);
  struct Reset {
    Form* f;
    ~Reset() { f->modal_ = false; }
  } reset{this};
  ModalResult r = backend()->ShowModal(*this);
  Hide();
  return r;
}

bool Form::CloseQuery() {
  bool can_close = true;
  if (OnCloseQuery) OnCloseQuery(*this, can_close);
  return can_close;
}

void Form::Close() {
  if (!CloseQuery()) return;
  if (OnClose) OnClose(*this);
  if (modal_) {
    if (modal_result_ == ModalResult::kNone) modal_result_ = ModalResult::kCancel;
    return;
  }
  Hide();
}

void Form::Activated() {
  if (OnActivate) OnActivate(*this);
}

bool Form::DispatchKeyDown(uint16_t key, unsigned shift) {
  if (key_preview_ && OnKeyDown) {
    OnKeyDown(*this, key, shift);
    if (key == 0) return true;
  }
  if (key == kKeyReturn && shift == kShiftNone) {
    Button* target = nullptr;
    if (active_control_ != nullptr && active_control_->Kind() == ControlKind::kButton) {
      target = static_cast<Button*>(active_control_);
    } else {
      target = DefaultButton();
    }
    if (target != nullptr && target->Reachable()) {
      target->Click();
      return true;
    }
  }
  if (key == kKeyEscape && shift == kShiftNone) {
    Button* target = CancelButton();
    if (target != nullptr && target->Reachable()) {
      target->Click();
      return true;
    }
  }
  return false;
}

bool Form::DispatchKeyPress(char key) {
  if (key_preview_ && OnKeyPress) {
    OnKeyPress(*this, key);
    if (key == 0) return true;
  }
  return false;
}

void Form::PressKey(uint16_t key, unsigned shift) {
  if (DispatchKeyDown(key, shift)) return;
  char ch = 0;
  if (key == kKeyEscape || key == kKeyReturn || key == kKeyBack || key == kKeySpace) {
    ch = static_cast<char>(key);
  } else if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z')) {
    ch = static_cast<char>(key);
  }
  if (ch != 0 && (shift & (kShiftAlt | kShiftCtrl)) == 0) DispatchKeyPress(ch);
}

}  // namespace vl4::ui
