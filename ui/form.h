// A form: a top-level window of the model with its controls, keyboard preview, modal result and
// the close protocol (OnCloseQuery, OnClose). Forms of the program derive from it and declare
// their controls as members, as a RAD form does.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "ui/application.h"
#include "ui/control.h"

namespace vl4::ui {

class Button;
class PopupMenu;

class Form : public Control {
 public:
  using KeyEvent = std::function<void(Control& sender, uint16_t& key, unsigned shift)>;
  using KeyPressEvent = std::function<void(Control& sender, char& key)>;
  using CloseQueryEvent = std::function<void(Control& sender, bool& can_close)>;

  Form(Application& app, std::string name);
  ~Form() override;
  ControlKind Kind() const override { return ControlKind::kForm; }

  Application& App() const { return app_; }

  int ClientWidth() const { return Width(); }
  int ClientHeight() const { return Height(); }
  void SetClientWidth(int v) { SetWidth(v); }
  void SetClientHeight(int v) { SetHeight(v); }

  BorderStyle GetBorderStyle() const { return border_style_; }
  void SetBorderStyle(BorderStyle s) { border_style_ = s; }
  FormPosition Position() const { return position_; }
  void SetPosition(FormPosition p) { position_ = p; }
  bool KeyPreview() const { return key_preview_; }
  void SetKeyPreview(bool v) { key_preview_ = v; }
  bool MaximizeBox() const { return maximize_box_; }
  void SetMaximizeBox(bool v) { maximize_box_ = v; }
  bool MinimizeBox() const { return minimize_box_; }
  void SetMinimizeBox(bool v) { minimize_box_ = v; }
  WindowState GetWindowState() const { return window_state_; }
  void SetWindowState(WindowState s);

  ModalResult GetModalResult() const { return modal_result_; }
  void SetModalResult(ModalResult r) { modal_result_ = r; }
  bool Modal() const { return modal_; }

  Control* ActiveControl() const { return active_control_; }
  void SetActiveControl(Control* c);
  PopupMenu* GetPopupMenu() const { return popup_menu_; }
  void SetPopupMenu(PopupMenu* menu);

  // Default (Enter) and cancel (Esc) buttons of the form, or null.
  Button* DefaultButton() const;
  Button* CancelButton() const;

  void Show();
  void Hide();
  ModalResult ShowModal();
  // The close protocol: OnCloseQuery may refuse; then OnClose; a modal form ends its loop with
  // kCancel (unless a result is set), a modeless one hides; the main form ends the application.
  void Close();
  // What the close protocol would answer, without closing.
  bool CloseQuery();

  // Keyboard routing, as the message loop calls it: the form's own handlers first when
  // KeyPreview is set, then the dialog keys (Enter: the focused or default button; Esc: the
  // cancel button). Returns true when the key was consumed.
  bool DispatchKeyDown(uint16_t key, unsigned shift);
  bool DispatchKeyPress(char key);
  // A key as the user types it: key down, then (when not consumed) its character, if it has one.
  void PressKey(uint16_t key, unsigned shift = kShiftNone);

  // Raised by Show/ShowModal (OnShow) and when the form becomes the active window (OnActivate).
  Event OnShow;
  Event OnActivate;
  Event OnHide;
  CloseQueryEvent OnCloseQuery;
  Event OnClose;
  KeyEvent OnKeyDown;
  KeyPressEvent OnKeyPress;

  // Called by backends: the form became the active window.
  void Activated();

 private:
  friend class Control;
  void Register(Control* c);
  void Unregister(Control* c);

  Application& app_;
  BorderStyle border_style_ = BorderStyle::kSizeable;
  FormPosition position_ = FormPosition::kDesigned;
  WindowState window_state_ = WindowState::kNormal;
  bool key_preview_ = false;
  bool maximize_box_ = true;
  bool minimize_box_ = true;
  bool modal_ = false;
  ModalResult modal_result_ = ModalResult::kNone;
  Control* active_control_ = nullptr;
  PopupMenu* popup_menu_ = nullptr;
  std::vector<Control*> all_controls_;
};

}  // namespace vl4::ui
