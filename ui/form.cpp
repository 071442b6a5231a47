// The form: client area and frame, showing, the modal loop's close protocol, keyboard routing.
#include "ui/form.h"

#include <algorithm>

#include "ui/controls.h"

namespace vl4::ui {

Form::Form(Application& app, std::string name) : Control(nullptr, std::move(name)), app_(app) {
  form_ = this;
  visible_ = false;  // before the backend knows the form, so no notification
  app_.backend().FormCreated(*this);
}

Form::~Form() {
  if (app_.MainForm() == this) app_.SetMainForm(nullptr);
  app_.backend().FormDestroyed(*this);
}

void Form::Register(Control* c) { all_controls_.push_back(c); }

void Form::Unregister(Control* c) {
  all_controls_.erase(std::remove(all_controls_.begin(), all_controls_.end(), c),
                      all_controls_.end());
  if (active_control_ == c) active_control_ = nullptr;
  if (popup_menu_ == c) popup_menu_ = nullptr;
}

Rect Form::ClientArea() const {
  const Insets in = app_.backend().FrameInsets(border_style_);
  return {0, 0, std::max(Width() - in.left - in.right, 0),
          std::max(Height() - in.top - in.bottom, 0)};
}

void Form::SetClientWidth(int v) {
  const Insets in = app_.backend().FrameInsets(border_style_);
  SetWidth(v + in.left + in.right);
}

void Form::SetClientHeight(int v) {
  const Insets in = app_.backend().FrameInsets(border_style_);
  SetHeight(v + in.top + in.bottom);
}

void Form::SetBorderStyle(BorderStyle s) {
  if (border_style_ == s) return;
  const Rect client = ClientArea();
  border_style_ = s;
  const Insets in = app_.backend().FrameInsets(s);
  // The client area stays as it is, so the children need not follow.
  width_ = client.width + in.left + in.right;
  height_ = client.height + in.top + in.bottom;
  Changed(Property::kBounds);
}

void Form::Resized() {
  if (OnResize) OnResize(*this);
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

void Form::FocusMoved(Control* c) { active_control_ = c; }

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

void Form::BecomeVisible() {
  if (position_ == FormPosition::kScreenCenter || position_ == FormPosition::kDesktopCenter) {
    const Size screen = backend()->ScreenSize();
    SetBounds((screen.width - Width()) / 2, (screen.height - Height()) / 2, Width(), Height());
  }
  SetVisible(true);
  if (OnShow) OnShow(*this);
}

void Form::Show() {
  if (!Visible()) BecomeVisible();
  backend()->ShowForm(*this);
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
  struct Reset {
    Form* f;
    ~Reset() { f->modal_ = false; }
  } reset{this};
  if (!Visible()) BecomeVisible();
  const ModalResult r = backend()->ShowModal(*this);
  Hide();
  return r;
}

bool Form::ModalLoopDone() {
  if (app_.Terminated()) {
    modal_result_ = ModalResult::kCancel;
    return true;
  }
  if (modal_result_ == ModalResult::kNone) return false;
  if (!CloseQuery()) {
    modal_result_ = ModalResult::kNone;
    return false;
  }
  if (OnClose) OnClose(*this);
  return true;
}

bool Form::CloseQuery() {
  bool can_close = true;
  if (OnCloseQuery) OnCloseQuery(*this, can_close);
  return can_close;
}

void Form::Close() {
  if (modal_) {
    modal_result_ = ModalResult::kCancel;
    return;
  }
  if (!CloseQuery()) return;
  if (OnClose) OnClose(*this);
  Hide();
  if (app_.MainForm() == this) app_.Terminate();
}

void Form::Activated() {
  if (OnActivate) OnActivate(*this);
}

void Form::SelectNext(bool forward) {
  const auto n = static_cast<int>(all_controls_.size());
  if (n == 0) return;
  auto it = std::find(all_controls_.begin(), all_controls_.end(), active_control_);
  int start = it == all_controls_.end() ? (forward ? n - 1 : 0)
                                        : static_cast<int>(it - all_controls_.begin());
  for (int step = 1; step <= n; ++step) {
    Control* c = all_controls_[((forward ? start + step : start - step) % n + n) % n];
    if (c->Focusable() && c->Reachable()) {
      SetActiveControl(c);
      return;
    }
  }
}

bool Form::DispatchKeyDown(uint16_t key, unsigned shift) {
  if (key_preview_ && OnKeyDown) {
    OnKeyDown(*this, key, shift);
    if (key == 0) return true;
  }
  if (key == kKeyTab && (shift & ~kShiftShift) == 0) {
    SelectNext((shift & kShiftShift) == 0);
    return true;
  }
  if (key == kKeyF4 && shift == kShiftAlt) {
    Close();
    return true;
  }
  if (key == kKeyReturn && shift == kShiftNone) {
    Button* target = nullptr;
    if (active_control_ != nullptr && active_control_->Kind() == ControlKind::kButton) {
      target = static_cast<Button*>(active_control_);
    } else if (active_control_ == nullptr || active_control_->Kind() != ControlKind::kMemo) {
      target = DefaultButton();  // a memo takes Enter as a line break
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
  } else if (key >= '0' && key <= '9') {
    ch = static_cast<char>(key);
  } else if (key >= 'A' && key <= 'Z') {
    ch = static_cast<char>((shift & kShiftShift) ? key : key - 'A' + 'a');
  }
  if (ch != 0 && (shift & (kShiftAlt | kShiftCtrl)) == 0) DispatchKeyPress(ch);
}

}  // namespace vl4::ui
