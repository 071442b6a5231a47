// The Win32 UI backend: the model's forms as real windows and common controls, kept in step both
// ways. A form's windows are made when it is first shown; until then a change is model state
// only. Labels and bevels are drawn by the panel or form that holds them, in creation order, so
// a transparent label shows what lies below it. The model is the truth: a user's action on a
// window goes through the model's User* methods, and the model's change comes back to the window.
#pragma once

#include <windows.h>

#include <map>
#include <unordered_map>
#include <vector>

#include "ui/backend.h"
#include "ui/win32/gdi_cache.h"

namespace vl4::ui {

class CheckListBox;
class Label;

class Win32Backend : public Backend {
 public:
  explicit Win32Backend(HINSTANCE instance = GetModuleHandleA(nullptr));
  ~Win32Backend() override;
  Win32Backend(const Win32Backend&) = delete;
  Win32Backend& operator=(const Win32Backend&) = delete;

  // The window of a control once its form has been shown; null before, and for the controls
  // their parent draws (labels, bevels) and those without a window (timers, menus).
  HWND WindowOf(const Control& control) const;

  void FormCreated(Form& form) override;
  void FormDestroyed(Form& form) override;
  void ControlDestroyed(Control& control) override;
  void Changed(Control& control, Property what) override;
  void ShowForm(Form& form) override;
  void HideForm(Form& form) override;
  void FocusControl(Control& control) override;
  ModalResult ShowModal(Form& form) override;
  ModalResult MessageBox(Form* owner, const std::string& text, const std::string& caption,
                         MsgKind kind, MsgButtons buttons) override;
  std::optional<std::string> SelectDirectory(const DirectoryRequest& request) override;
  std::optional<std::string> OpenFile(const OpenFileRequest& request) override;
  int TextWidth(const Font& font, std::string_view text) override;
  Size ScreenSize() const override;
  Insets FrameInsets(BorderStyle style) const override;
  void ProcessMessages() override;
  void SetCursor(Cursor cursor) override;
  void Run(Form& main_form) override;
  void Terminate() override;
  bool Terminated() const override { return terminated_; }

 private:
  static LRESULT CALLBACK ContainerProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
  static LRESULT CALLBACK TimerProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
  static LRESULT CALLBACK CheckListProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam,
                                        UINT_PTR id, DWORD_PTR self);

  // Realising the model.
  void Realise(Form& form);
  void RealiseControl(Control& control, HWND parent);
  void Register(Control& control, HWND hwnd);
  void ApplyAll(Control& control, HWND hwnd);
  void Apply(Control& control, HWND hwnd, Property what);
  void FlushPending();
  void SetTooltip(Control& control, HWND hwnd);
  void SyncTimers();
  void StartTimer(Control& timer);
  void StopTimer(const Control& timer);
  void FocusActiveControl(Form& form);

  // Messages.
  bool Pump(bool wait);
  bool PreTranslate(MSG& msg);
  bool HandleContainer(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result);
  void Command(HWND child, UINT code);
  void Paint(HWND hwnd, Control& container);
  void DrawLabel(HDC dc, const Label& label);
  void DrawCheckListItem(const DRAWITEMSTRUCT& item);
  void ShowPopupMenu(Form& form, LPARAM where);
  HBRUSH ColorControl(HDC dc, HWND child);
  COLORREF Background(const Control& control) const;

  Control* ControlOf(HWND hwnd) const;
  Form* FormOf(HWND hwnd) const;
  HWND ContainerWindow(const Control& control) const;
  DWORD FormStyle(const Form& form) const;

  HINSTANCE instance_;
  bool ole_initialised_ = false;
  GdiCache gdi_;
  std::vector<Form*> forms_;
  std::unordered_map<const Control*, HWND> windows_;
  std::unordered_map<HWND, Control*> controls_;
  std::unordered_map<UINT, Control*> ids_;  // child window ids, known before the window exists
  UINT next_id_ = 100;
  std::unordered_map<const Control*, HWND> tooltips_;  // per form
  std::vector<Control*> pending_;  // parents of controls made after their form was realised
  HWND timer_window_ = nullptr;
  std::unordered_map<const Control*, UINT_PTR> timer_ids_;
  std::unordered_map<UINT_PTR, Control*> timers_;
  UINT_PTR next_timer_id_ = 1;
  mutable std::map<BorderStyle, Insets> frames_;
  Cursor cursor_ = Cursor::kDefault;
  bool terminated_ = false;
  int placing_ = 0;  // > 0 while the model follows a window the user moved or sized
};

}  // namespace vl4::ui
