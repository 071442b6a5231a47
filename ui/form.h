// A form: a top-level window of the model with its controls, keyboard preview, modal result and
// the close protocol (OnCloseQuery, OnClose). Forms of the program derive from it and declare
// their controls as members, as a RAD form does.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

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
  // Every control of the form, in creation order (which is also the tab order).
  const std::vector<Control*>& Controls() const { return all_controls_; }

  // Left/Top/Width/Height are the outer frame on screen; the client area is what the border
  // style's frame leaves of it, and it is kept when the border style changes.
  Rect ClientArea() const override;
  int ClientWidth() const { return ClientArea().width; }
  int ClientHeight() const { return ClientArea().height; }
  void SetClientWidth(int v);
  void SetClientHeight(int v);

  // The smallest outer size the user can give a sizeable form.
  Size MinimumSize() const { return minimum_size_; }
  void SetMinimumSize(Size size) { minimum_size_ = size; }

  BorderStyle GetBorderStyle() const { return border_style_; }
  void SetBorderStyle(BorderStyle s);
  // Where Show and ShowModal put the form: centred forms are centred each time they are shown.
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
  // On a modal form a result other than kNone ends the modal loop, through the close protocol.
  void SetModalResult(ModalResult r) { modal_result_ = r; }
  bool Modal() const { return modal_; }

  Control* ActiveControl() const { return active_control_; }
  void SetActiveControl(Control* c);
  PopupMenu* GetPopupMenu() const { return popup_menu_; }
  void SetPopupMenu(PopupMenu* menu);

  // Default (Enter) and cancel (Esc) buttons of the form, or null.
  Button* DefaultButton() const;
  Button* CancelButton() const;

  // Show raises OnShow when the form becomes visible, then the backend shows (and activates) it.
  void Show();
  void Hide();
  // Shows the form modally: OnShow, then the backend's modal loop; the form is hidden again when
  // the loop ends. The result is kCancel when the application terminated meanwhile.
  ModalResult ShowModal();
  // The close protocol. A modal form takes the result kCancel, and its loop runs the query.
  // Otherwise OnCloseQuery may refuse; then OnClose, the form hides, and closing the main form
  // ends the application.
  void Close();
  // What the close protocol would answer, without closing.
  bool CloseQuery();

  // Keyboard routing, as the message loop calls it: the form's own handlers first when
  // KeyPreview is set, then the dialog keys (Tab and Shift+Tab: the next or previous control;
  // Enter: the focused or default button, unless a memo has the focus; Esc: the cancel button;
  // Alt+F4: close). Returns true when the key was consumed.
  bool DispatchKeyDown(uint16_t key, unsigned shift);
  bool DispatchKeyPress(char key);
  // A key as the user types it: key down, then (when not consumed) its character, if it has one.
  void PressKey(uint16_t key, unsigned shift = kShiftNone);
  // Moves the focus to the next (or previous) control that can take it, in tab order.
  void SelectNext(bool forward = true);

  // Raised when the form becomes visible (Show, ShowModal) and when it becomes the active
  // window (OnActivate; again each time it is reactivated, e.g. after a message box).
  Event OnShow;
  Event OnActivate;
  Event OnHide;
  Event OnResize;
  CloseQueryEvent OnCloseQuery;
  Event OnClose;
  KeyEvent OnKeyDown;
  KeyPressEvent OnKeyPress;

  // Called by backends: the form became the active window.
  void Activated();
  // Called by backends: the focus moved to `c` in the real window (no focus request goes back).
  void FocusMoved(Control* c);
  // Called by a backend's modal loop after each event: true when the loop ends. A result that is
  // set runs the close protocol (a refusal clears the result, and the loop goes on); a
  // terminated application ends the loop with kCancel without asking.
  bool ModalLoopDone();

 protected:
  void Resized() override;

 private:
  friend class Control;
  void Register(Control* c);
  void Unregister(Control* c);
  void BecomeVisible();

  Application& app_;
  BorderStyle border_style_ = BorderStyle::kSizeable;
  FormPosition position_ = FormPosition::kDesigned;
  WindowState window_state_ = WindowState::kNormal;
  Size minimum_size_;
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
