// The Win32 backend: windows for the model's forms and controls, the message loops with the
// forms' keyboard preview, timers, painting of what the containers draw, and the dialogs.
#include "ui/win32/win32_backend.h"

#include <commctrl.h>
#include <ole2.h>
#include <windowsx.h>

#include <algorithm>

#include "ui/controls.h"
#include "ui/form.h"
#include "ui/win32/file_dialogs.h"
#include "ui/win32/message_box.h"

namespace vl4::ui {
namespace {

constexpr char kWindowClass[] = "VL4Window";
constexpr char kTimerClass[] = "VL4Timers";
constexpr int kCheckBoxSize = 13;
constexpr int kCheckAreaWidth = 18;  // where a click on a check list entry ticks it
constexpr int kDropDownHeight = 200;

bool DrawnByParent(ControlKind kind) {
  return kind == ControlKind::kLabel || kind == ControlKind::kBevel;
}

bool HoldsControls(ControlKind kind) {
  return kind == ControlKind::kForm || kind == ControlKind::kPanel ||
         kind == ControlKind::kPageControl || kind == ControlKind::kTabSheet;
}

DWORD StyleOf(BorderStyle style) {
  switch (style) {
    case BorderStyle::kSizeable:
      return WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME;
    case BorderStyle::kDialog:
      return WS_POPUP | WS_CAPTION | WS_SYSMENU;
    case BorderStyle::kSingle:
      return WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
    case BorderStyle::kNone:
      return WS_POPUP;
  }
  return WS_OVERLAPPEDWINDOW;
}

DWORD ExStyleOf(BorderStyle style) {
  return style == BorderStyle::kDialog ? WS_EX_DLGMODALFRAME : 0;
}

std::string WindowText(HWND hwnd) {
  std::string text(static_cast<size_t>(GetWindowTextLengthA(hwnd)) + 1, '\0');
  text.resize(
      static_cast<size_t>(GetWindowTextA(hwnd, text.data(), static_cast<int>(text.size()))));
  return text;
}

void SetWindowTextIfChanged(HWND hwnd, const std::string& text) {
  if (WindowText(hwnd) != text) SetWindowTextA(hwnd, text.c_str());
}

std::string MemoText(const Memo& memo) {
  std::string text;
  for (size_t i = 0; i < memo.Lines().size(); ++i) {
    if (i > 0) text += "\r\n";
    text += memo.Lines()[i];
  }
  return text;
}

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (;;) {
    size_t end = text.find('\n', start);
    std::string line = text.substr(start, end == std::string::npos ? end : end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(std::move(line));
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return lines;
}

COLORREF TextColor(const Control& control, int system_color) {
  const Color color = control.GetFont().color;
  return color == kDefaultColor ? GetSysColor(system_color) : color;
}

unsigned ShiftState(const MSG& msg) {
  unsigned shift = kShiftNone;
  if (GetKeyState(VK_SHIFT) < 0) shift |= kShiftShift;
  if (GetKeyState(VK_CONTROL) < 0) shift |= kShiftCtrl;
  if (GetKeyState(VK_MENU) < 0 || (msg.message == WM_SYSKEYDOWN && (msg.lParam & (1 << 29)))) {
    shift |= kShiftAlt;
  }
  return shift;
}

struct MenuHandle {
  MenuHandle() = default;
  ~MenuHandle() { DestroyMenu(menu); }
  MenuHandle(const MenuHandle&) = delete;
  MenuHandle& operator=(const MenuHandle&) = delete;
  HMENU menu = CreatePopupMenu();
};

}  // namespace

Win32Backend::Win32Backend(HINSTANCE instance) : instance_(instance) {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&controls);
  // The folder browser needs OLE on this thread (the platform's shell links share it).
  ole_initialised_ = SUCCEEDED(OleInitialize(nullptr));

  WNDCLASSEXA window{};
  window.cbSize = sizeof window;
  window.style = CS_DBLCLKS;
  window.lpfnWndProc = ContainerProc;
  window.hInstance = instance_;
  window.hCursor = LoadCursor(nullptr, IDC_ARROW);
  // The program's icon when it carries one (title bar, task bar, Alt+Tab).
  window.hIcon = LoadIconA(instance_, "MAINICON");
  window.lpszClassName = kWindowClass;
  RegisterClassExA(&window);  // fails harmlessly when another backend registered it
  WNDCLASSEXA timers{};
  timers.cbSize = sizeof timers;
  timers.lpfnWndProc = TimerProc;
  timers.hInstance = instance_;
  timers.lpszClassName = kTimerClass;
  RegisterClassExA(&timers);
  timer_window_ =
      CreateWindowExA(0, kTimerClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance_, this);
}

Win32Backend::~Win32Backend() {
  // The quit request this backend posted is its own: a later loop on the thread must not see it.
  MSG quit;
  if (terminated_) PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
  if (timer_window_ != nullptr) DestroyWindow(timer_window_);
  if (ole_initialised_) OleUninitialize();
}

// ---- Lookups

HWND Win32Backend::WindowOf(const Control& control) const {
  auto it = windows_.find(&control);
  return it == windows_.end() ? nullptr : it->second;
}

Control* Win32Backend::ControlOf(HWND hwnd) const {
  auto it = controls_.find(hwnd);
  return it == controls_.end() ? nullptr : it->second;
}

Form* Win32Backend::FormOf(HWND hwnd) const {
  if (hwnd == nullptr) return nullptr;
  Control* root = ControlOf(GetAncestor(hwnd, GA_ROOT));
  if (root == nullptr || &root->OwnerForm() != root) return nullptr;
  return &root->OwnerForm();
}

HWND Win32Backend::ContainerWindow(const Control& control) const {
  for (const Control* p = control.Parent(); p != nullptr; p = p->Parent()) {
    if (HWND hwnd = WindowOf(*p)) return hwnd;
  }
  return nullptr;
}

COLORREF Win32Backend::Background(const Control& control) const {
  if (control.GetColor() != kDefaultColor) return control.GetColor();
  switch (control.Kind()) {
    case ControlKind::kEdit:
    case ControlKind::kMemo:
    case ControlKind::kCheckListBox:
    case ControlKind::kComboBox:
      return GetSysColor(COLOR_WINDOW);
    default:
      break;
  }
  return control.Parent() != nullptr ? Background(*control.Parent()) : GetSysColor(COLOR_BTNFACE);
}

DWORD Win32Backend::FormStyle(const Form& form) const {
  DWORD style = StyleOf(form.GetBorderStyle()) | WS_CLIPCHILDREN;
  if (form.GetBorderStyle() != BorderStyle::kNone) {
    if (form.MinimizeBox()) style |= WS_MINIMIZEBOX;
    if (form.MaximizeBox()) style |= WS_MAXIMIZEBOX;
  }
  return style;
}

Insets Win32Backend::FrameInsets(BorderStyle style) const {
  auto it = frames_.find(style);
  if (it != frames_.end()) return it->second;
  RECT r{0, 0, 100, 100};
  AdjustWindowRectEx(&r, StyleOf(style), FALSE, ExStyleOf(style));
  const Insets insets{-r.left, -r.top, r.right - 100, r.bottom - 100};
  frames_.emplace(style, insets);
  return insets;
}

Size Win32Backend::ScreenSize() const {
  RECT area{0, 0, 1024, 768};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
  return {area.right - area.left, area.bottom - area.top};
}

// ---- Realising the model

void Win32Backend::FormCreated(Form& form) {
  forms_.push_back(&form);
}

void Win32Backend::FormDestroyed(Form& form) {
  forms_.erase(std::remove(forms_.begin(), forms_.end(), &form), forms_.end());
  pending_.erase(std::remove(pending_.begin(), pending_.end(), &form), pending_.end());
  tooltips_.erase(&form);
  HWND hwnd = WindowOf(form);
  if (hwnd == nullptr) return;
  windows_.erase(&form);
  controls_.erase(hwnd);
  DestroyWindow(hwnd);
}

void Win32Backend::ControlDestroyed(Control& control) {
  // Only the control's base part is left: no virtual call on it from here on.
  StopTimer(control);
  pending_.erase(std::remove(pending_.begin(), pending_.end(), &control), pending_.end());
  HWND hwnd = WindowOf(control);
  if (hwnd == nullptr) {
    if (HWND container = ContainerWindow(control)) InvalidateRect(container, nullptr, TRUE);
    return;
  }
  windows_.erase(&control);
  controls_.erase(hwnd);
  ids_.erase(static_cast<UINT>(GetDlgCtrlID(hwnd)));
  DestroyWindow(hwnd);
}

void Win32Backend::Register(Control& control, HWND hwnd) {
  windows_[&control] = hwnd;
  controls_[hwnd] = &control;
}

void Win32Backend::Realise(Form& form) {
  if (WindowOf(form) != nullptr) return;
  HWND owner = nullptr;
  if (Form* main = form.App().MainForm(); main != nullptr && main != &form) owner = WindowOf(*main);
  HWND hwnd = CreateWindowExA(ExStyleOf(form.GetBorderStyle()), kWindowClass,
                              form.Caption().c_str(), FormStyle(form), form.Left(), form.Top(),
                              form.Width(), form.Height(), owner, nullptr, instance_, this);
  if (hwnd == nullptr) return;
  Register(form, hwnd);
  SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(gdi_.FontFor(form.GetFont())), FALSE);
  for (Control* child : form.Children()) RealiseControl(*child, hwnd);
}

void Win32Backend::RealiseControl(Control& control, HWND parent) {
  const ControlKind kind = control.Kind();
  if (kind == ControlKind::kTimer || kind == ControlKind::kPopupMenu) return;
  if (DrawnByParent(kind)) {
    InvalidateRect(parent, nullptr, TRUE);
    return;
  }
  if (WindowOf(control) != nullptr) return;
  const char* window_class = kWindowClass;
  std::string text = control.Caption();
  DWORD style = WS_CHILD | WS_CLIPSIBLINGS;
  DWORD ex_style = 0;
  int height = control.Height();
  switch (kind) {
    case ControlKind::kButton:
      window_class = WC_BUTTONA;
      style |=
          WS_TABSTOP | (static_cast<Button&>(control).Default() ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
      break;
    case ControlKind::kCheckBox:
      window_class = WC_BUTTONA;
      style |= WS_TABSTOP | BS_CHECKBOX;
      break;
    case ControlKind::kStaticText:
      window_class = WC_STATICA;
      style |= SS_LEFT | SS_NOPREFIX;
      break;
    case ControlKind::kEdit: {
      window_class = WC_EDITA;
      ex_style = WS_EX_CLIENTEDGE;
      style |= WS_TABSTOP | ES_AUTOHSCROLL;
      if (static_cast<Edit&>(control).ReadOnly()) style |= ES_READONLY;
      break;
    }
    case ControlKind::kMemo: {
      const auto& memo = static_cast<Memo&>(control);
      window_class = WC_EDITA;
      ex_style = WS_EX_CLIENTEDGE;
      style |= WS_TABSTOP | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN;
      if (memo.VerticalScrollBar()) style |= WS_VSCROLL;
      if (!memo.WordWrap()) style |= ES_AUTOHSCROLL | WS_HSCROLL;
      if (memo.ReadOnly()) style |= ES_READONLY;
      text = MemoText(memo);
      break;
    }
    case ControlKind::kCheckListBox:
      window_class = WC_LISTBOXA;
      ex_style = WS_EX_CLIENTEDGE;
      style |= WS_TABSTOP | WS_VSCROLL | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_NOTIFY |
               LBS_NOINTEGRALHEIGHT;
      text.clear();
      break;
    case ControlKind::kComboBox:
      window_class = WC_COMBOBOXA;
      style |= WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST;
      height += kDropDownHeight;  // the drop-down list is part of the window
      text.clear();
      break;
    case ControlKind::kProgressBar:
      window_class = PROGRESS_CLASSA;
      text.clear();
      break;
    case ControlKind::kPanel:
    case ControlKind::kPageControl:
    case ControlKind::kTabSheet:
      style |= WS_CLIPCHILDREN;
      break;
    default:
      return;
  }
  if (control.Visible()) style |= WS_VISIBLE;
  if (!control.Enabled()) style |= WS_DISABLED;
  const UINT id = next_id_++;
  ids_[id] = &control;  // an owner-drawn list asks for its item height while it is being made
  HWND hwnd = CreateWindowExA(ex_style, window_class, text.c_str(), style, control.Left(),
                              control.Top(), control.Width(), height, parent,
                              reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), instance_,
                              window_class == kWindowClass ? this : nullptr);
  if (hwnd == nullptr) {
    ids_.erase(id);
    return;
  }
  Register(control, hwnd);
  if (kind == ControlKind::kCheckListBox) {
    SetWindowSubclass(hwnd, CheckListProc, 0, reinterpret_cast<DWORD_PTR>(this));
  }
  ApplyAll(control, hwnd);
  if (HoldsControls(kind)) {
    for (Control* child : control.Children()) RealiseControl(*child, hwnd);
  }
}

void Win32Backend::ApplyAll(Control& control, HWND hwnd) {
  SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(gdi_.FontFor(control.GetFont())), FALSE);
  switch (control.Kind()) {
    case ControlKind::kEdit:
      SendMessageA(hwnd, EM_LIMITTEXT, static_cast<WPARAM>(static_cast<Edit&>(control).MaxLength()),
                   0);
      break;
    case ControlKind::kMemo:
      Apply(control, hwnd, Property::kPosition);
      break;
    case ControlKind::kCheckBox:
    case ControlKind::kComboBox:
    case ControlKind::kCheckListBox:
      Apply(control, hwnd, Property::kChecked);
      Apply(control, hwnd, Property::kItems);
      break;
    case ControlKind::kProgressBar:
      Apply(control, hwnd, Property::kRange);
      break;
    default:
      break;
  }
  if (!control.Hint().empty()) SetTooltip(control, hwnd);
}

void Win32Backend::Apply(Control& control, HWND hwnd, Property what) {
  const ControlKind kind = control.Kind();
  switch (what) {
    case Property::kCaption:
    case Property::kText:
    case Property::kLines:
      if (kind == ControlKind::kMemo) {
        SetWindowTextIfChanged(hwnd, MemoText(static_cast<Memo&>(control)));
      } else if (kind == ControlKind::kPanel) {
        InvalidateRect(hwnd, nullptr, TRUE);
      } else if (kind != ControlKind::kCheckListBox && kind != ControlKind::kComboBox) {
        SetWindowTextIfChanged(hwnd, control.Caption());
      }
      break;
    case Property::kBounds:
      if (kind == ControlKind::kForm) {
        RECT r{};
        GetWindowRect(hwnd, &r);
        if (placing_ == 0 && !IsIconic(hwnd) &&
            (r.left != control.Left() || r.top != control.Top() ||
             r.right - r.left != control.Width() || r.bottom - r.top != control.Height())) {
          SetWindowPos(hwnd, nullptr, control.Left(), control.Top(), control.Width(),
                       control.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
        }
      } else {
        const int extra = kind == ControlKind::kComboBox ? kDropDownHeight : 0;
        MoveWindow(hwnd, control.Left(), control.Top(), control.Width(), control.Height() + extra,
                   TRUE);
      }
      break;
    case Property::kVisible:
      if (kind != ControlKind::kForm) ShowWindow(hwnd, control.Visible() ? SW_SHOWNA : SW_HIDE);
      break;
    case Property::kEnabled:
      EnableWindow(hwnd, control.Enabled());
      break;
    case Property::kFont:
      SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(gdi_.FontFor(control.GetFont())),
                   TRUE);
      InvalidateRect(hwnd, nullptr, TRUE);
      break;
    case Property::kColor:
    case Property::kAlignment:
      InvalidateRect(hwnd, nullptr, TRUE);
      break;
    case Property::kItems:
      if (kind == ControlKind::kCheckListBox || kind == ControlKind::kComboBox) {
        const bool combo = kind == ControlKind::kComboBox;
        SendMessageA(hwnd, combo ? CB_RESETCONTENT : LB_RESETCONTENT, 0, 0);
        for (const std::string& item : static_cast<ListControl&>(control).Items()) {
          SendMessageA(hwnd, combo ? CB_ADDSTRING : LB_ADDSTRING, 0,
                       reinterpret_cast<LPARAM>(item.c_str()));
        }
        Apply(control, hwnd, Property::kItemIndex);
      }
      break;
    case Property::kItemIndex:
      if (kind == ControlKind::kCheckListBox || kind == ControlKind::kComboBox) {
        const bool combo = kind == ControlKind::kComboBox;
        const int index = static_cast<ListControl&>(control).ItemIndex();
        if (SendMessageA(hwnd, combo ? CB_GETCURSEL : LB_GETCURSEL, 0, 0) != index) {
          SendMessageA(hwnd, combo ? CB_SETCURSEL : LB_SETCURSEL, static_cast<WPARAM>(index), 0);
        }
      }
      break;
    case Property::kChecked:
      if (kind == ControlKind::kCheckBox) {
        SendMessageA(hwnd, BM_SETCHECK,
                     static_cast<CheckBox&>(control).Checked() ? BST_CHECKED : BST_UNCHECKED, 0);
      } else {
        InvalidateRect(hwnd, nullptr, TRUE);
      }
      break;
    case Property::kHint:
      SetTooltip(control, hwnd);
      break;
    case Property::kPosition:
      if (kind == ControlKind::kProgressBar) {
        SendMessageA(hwnd, PBM_SETPOS,
                     static_cast<WPARAM>(static_cast<ProgressBar&>(control).Position()), 0);
      } else if (kind == ControlKind::kMemo) {
        const auto at = static_cast<WPARAM>(static_cast<Memo&>(control).SelStart());
        SendMessageA(hwnd, EM_SETSEL, at, static_cast<LPARAM>(at));
        SendMessageA(hwnd, EM_SCROLLCARET, 0, 0);
      }
      break;
    case Property::kRange:
      if (kind == ControlKind::kProgressBar) {
        const auto& bar = static_cast<ProgressBar&>(control);
        SendMessageA(hwnd, PBM_SETRANGE32, static_cast<WPARAM>(bar.Min()),
                     static_cast<LPARAM>(bar.Max()));
        SendMessageA(hwnd, PBM_SETPOS, static_cast<WPARAM>(bar.Position()), 0);
      }
      break;
    case Property::kReadOnly:
      SendMessageA(hwnd, EM_SETREADONLY, static_cast<Edit&>(control).ReadOnly(), 0);
      break;
    case Property::kDefault:
      SendMessageA(hwnd, BM_SETSTYLE,
                   static_cast<Button&>(control).Default() ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON,
                   TRUE);
      break;
    case Property::kWindowState:
      if (placing_ == 0 && IsWindowVisible(hwnd)) {
        const WindowState state = static_cast<Form&>(control).GetWindowState();
        ShowWindow(hwnd, state == WindowState::kMinimized   ? SW_MINIMIZE
                         : state == WindowState::kMaximized ? SW_MAXIMIZE
                                                            : SW_RESTORE);
      }
      break;
    case Property::kTimer:
    case Property::kMenu:
    case Property::kActivePage:
    case Property::kChildren:
      break;
  }
}

void Win32Backend::Changed(Control& control, Property what) {
  if (what == Property::kChildren) {
    // The new control is still being built: it gets its window at the next message.
    pending_.push_back(&control);
    return;
  }
  const ControlKind kind = control.Kind();
  if (kind == ControlKind::kTimer) {
    if (what == Property::kEnabled || what == Property::kTimer) StartTimer(control);
    return;
  }
  if (kind == ControlKind::kPopupMenu) return;  // the menu is built each time it pops up
  if (HWND hwnd = WindowOf(control)) return Apply(control, hwnd, what);
  if (DrawnByParent(kind)) {
    if (HWND container = ContainerWindow(control)) InvalidateRect(container, nullptr, TRUE);
  } else if (control.Parent() != nullptr && WindowOf(*control.Parent()) != nullptr) {
    pending_.push_back(control.Parent());
  }
}

void Win32Backend::FlushPending() {
  if (pending_.empty()) return;
  std::vector<Control*> parents;
  parents.swap(pending_);
  std::sort(parents.begin(), parents.end());
  parents.erase(std::unique(parents.begin(), parents.end()), parents.end());
  for (Control* parent : parents) {
    if (HWND hwnd = WindowOf(*parent)) {
      for (Control* child : parent->Children()) RealiseControl(*child, hwnd);
    }
  }
}

void Win32Backend::SetTooltip(Control& control, HWND hwnd) {
  HWND form = WindowOf(control.OwnerForm());
  if (form == nullptr) return;
  HWND& tip = tooltips_[&control.OwnerForm()];
  if (tip == nullptr) {
    tip = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr,
                          WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                          CW_USEDEFAULT, CW_USEDEFAULT, form, nullptr, instance_, nullptr);
    if (tip == nullptr) return;
  }
  TOOLINFOA info{};
  info.cbSize = TTTOOLINFOA_V2_SIZE;
  info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  info.hwnd = form;
  info.uId = reinterpret_cast<UINT_PTR>(hwnd);
  SendMessageA(tip, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&info));
  if (control.Hint().empty()) return;
  info.lpszText = const_cast<char*>(control.Hint().c_str());
  SendMessageA(tip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&info));
}

// ---- Timers

void Win32Backend::SyncTimers() {
  // Timers running since their creation were never announced.
  for (Form* form : forms_) {
    for (Control* c : form->Controls()) {
      if (c->Kind() == ControlKind::kTimer && c->Enabled() && timer_ids_.count(c) == 0) {
        StartTimer(*c);
      }
    }
  }
}

void Win32Backend::StartTimer(Control& control) {
  StopTimer(control);
  const auto& timer = static_cast<Timer&>(control);
  if (!timer.Enabled() || timer.Interval() == 0 || timer_window_ == nullptr) return;
  const UINT_PTR id = next_timer_id_++;
  if (SetTimer(timer_window_, id, timer.Interval(), nullptr) == 0) return;
  timer_ids_[&control] = id;
  timers_[id] = &control;
}

void Win32Backend::StopTimer(const Control& control) {
  auto it = timer_ids_.find(&control);
  if (it == timer_ids_.end()) return;
  KillTimer(timer_window_, it->second);
  timers_.erase(it->second);
  timer_ids_.erase(it);
}

LRESULT CALLBACK Win32Backend::TimerProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTA*>(lparam);
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  } else if (message == WM_TIMER) {
    auto* self = reinterpret_cast<Win32Backend*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    auto it = self->timers_.find(wparam);
    if (it != self->timers_.end()) static_cast<Timer*>(it->second)->Fire();
    return 0;
  }
  return DefWindowProcA(hwnd, message, wparam, lparam);
}

// ---- Showing

void Win32Backend::FocusControl(Control& control) {
  HWND hwnd = WindowOf(control);
  if (hwnd != nullptr && IsWindowVisible(hwnd)) SetFocus(hwnd);
}

void Win32Backend::FocusActiveControl(Form& form) {
  Control* active = form.ActiveControl();
  if (active != nullptr && active->Focusable() && active->Reachable() && WindowOf(*active)) {
    SetFocus(WindowOf(*active));
    return;
  }
  form.SelectNext();
  if (form.ActiveControl() == nullptr && WindowOf(form) != nullptr) SetFocus(WindowOf(form));
}

void Win32Backend::ShowForm(Form& form) {
  Realise(form);
  FlushPending();
  SyncTimers();
  HWND hwnd = WindowOf(form);
  if (hwnd == nullptr) return;
  switch (form.GetWindowState()) {
    case WindowState::kMinimized:
      ShowWindow(hwnd, SW_SHOWMINNOACTIVE);
      return;
    case WindowState::kMaximized:
      ShowWindow(hwnd, SW_SHOWMAXIMIZED);
      break;
    case WindowState::kNormal:
      ShowWindow(hwnd, SW_SHOWNORMAL);
      break;
  }
  SetForegroundWindow(hwnd);
  FocusActiveControl(form);
  UpdateWindow(hwnd);
}

void Win32Backend::HideForm(Form& form) {
  if (HWND hwnd = WindowOf(form)) ShowWindow(hwnd, SW_HIDE);
}

ModalResult Win32Backend::ShowModal(Form& form) {
  Realise(form);
  FlushPending();
  SyncTimers();
  // The other windows wait for the dialog, as a modal dialog makes them.
  std::vector<HWND> disabled;
  for (Form* other : forms_) {
    HWND hwnd = WindowOf(*other);
    if (other != &form && hwnd != nullptr && IsWindowVisible(hwnd) && IsWindowEnabled(hwnd)) {
      EnableWindow(hwnd, FALSE);
      disabled.push_back(hwnd);
    }
  }
  if (HWND hwnd = WindowOf(form)) {
    ShowWindow(hwnd, SW_SHOWNORMAL);
    SetForegroundWindow(hwnd);
    FocusActiveControl(form);
  }
  while (!form.ModalLoopDone()) Pump(true);
  // Enabled again before the dialog hides, so that the system activates its owner.
  for (HWND hwnd : disabled) EnableWindow(hwnd, TRUE);
  return form.GetModalResult();
}

// ---- Dialogs and services

ModalResult Win32Backend::MessageBox(Form* owner, const std::string& text,
                                     const std::string& caption, MsgKind kind, MsgButtons buttons) {
  HWND hwnd = owner != nullptr ? WindowOf(*owner) : nullptr;
  if (hwnd == nullptr && FormOf(GetActiveWindow()) != nullptr) hwnd = GetActiveWindow();
  return ShowMessageBox(hwnd, text, caption, kind, buttons);
}

std::optional<std::string> Win32Backend::SelectDirectory(const DirectoryRequest& request) {
  HWND owner = FormOf(GetActiveWindow()) != nullptr ? GetActiveWindow() : nullptr;
  return BrowseForDirectory(owner, request);
}

std::optional<std::string> Win32Backend::OpenFile(const OpenFileRequest& request) {
  HWND owner = FormOf(GetActiveWindow()) != nullptr ? GetActiveWindow() : nullptr;
  return ChooseOpenFile(owner, request);
}

int Win32Backend::TextWidth(const Font& font, std::string_view text) {
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, gdi_.FontFor(font));
  SIZE size{};
  GetTextExtentPoint32A(dc, text.data(), static_cast<int>(text.size()), &size);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return size.cx;
}

void Win32Backend::SetCursor(Cursor cursor) {
  cursor_ = cursor;
  ::SetCursor(LoadCursor(nullptr, cursor == Cursor::kWait ? IDC_WAIT : IDC_ARROW));
}

// ---- Message loops

bool Win32Backend::PreTranslate(MSG& msg) {
  if (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN && msg.message != WM_CHAR) {
    return false;
  }
  Form* form = FormOf(msg.hwnd);
  if (form == nullptr) return false;
  // The model's focus follows the real one (a click may have moved it).
  Control* focused = ControlOf(GetFocus());
  if (focused != nullptr && focused != form->ActiveControl() && &focused->OwnerForm() == form) {
    form->FocusMoved(focused);
  }
  if (msg.message == WM_CHAR) return form->DispatchKeyPress(static_cast<char>(msg.wParam));
  const auto key = static_cast<uint16_t>(msg.wParam);
  // An open drop-down list takes Enter and Esc itself.
  if ((key == VK_RETURN || key == VK_ESCAPE) && focused != nullptr &&
      focused->Kind() == ControlKind::kComboBox &&
      SendMessageA(WindowOf(*focused), CB_GETDROPPEDSTATE, 0, 0)) {
    return false;
  }
  return form->DispatchKeyDown(key, ShiftState(msg));
}

bool Win32Backend::Pump(bool wait) {
  FlushPending();
  MSG msg;
  if (wait) {
    if (GetMessageA(&msg, nullptr, 0, 0) <= 0) {
      terminated_ = true;
      return false;
    }
  } else {
    if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) return false;
    if (msg.message == WM_QUIT) {
      terminated_ = true;
      return false;
    }
  }
  if (!PreTranslate(msg)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return true;
}

void Win32Backend::ProcessMessages() {
  while (Pump(false)) {
  }
}

void Win32Backend::Run(Form& main_form) {
  if (terminated_) return;
  SyncTimers();
  if (!main_form.Visible()) {
    main_form.Show();
  } else {
    ShowForm(main_form);
  }
  while (!terminated_) Pump(true);
}

void Win32Backend::Terminate() {
  terminated_ = true;
  PostQuitMessage(0);
}

// ---- Window procedures

LRESULT CALLBACK Win32Backend::ContainerProc(HWND hwnd, UINT message, WPARAM wparam,
                                             LPARAM lparam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTA*>(lparam);
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<Win32Backend*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  LRESULT result = 0;
  if (self != nullptr && self->HandleContainer(hwnd, message, wparam, lparam, result)) {
    return result;
  }
  return DefWindowProcA(hwnd, message, wparam, lparam);
}

LRESULT CALLBACK Win32Backend::CheckListProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam,
                                             UINT_PTR /*id*/, DWORD_PTR self) {
  auto* backend = reinterpret_cast<Win32Backend*>(self);
  auto* list = static_cast<CheckListBox*>(backend->ControlOf(hwnd));
  switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (list != nullptr && GET_X_LPARAM(lparam) < kCheckAreaWidth) {
        const LRESULT hit = SendMessageA(hwnd, LB_ITEMFROMPOINT, 0, lparam);
        if (HIWORD(hit) == 0) {
          SetFocus(hwnd);
          list->UserClickCheck(LOWORD(hit));
          return 0;
        }
      }
      break;
    case WM_KEYDOWN:
      if (list != nullptr && wparam == VK_SPACE) {
        list->UserClickCheck(list->ItemIndex());
        return 0;
      }
      break;
    case WM_CHAR:
      if (wparam == ' ') return 0;  // the space ticked the entry; it is no search text
      break;
    case WM_NCDESTROY:
      RemoveWindowSubclass(hwnd, CheckListProc, 0);
      break;
    default:
      break;
  }
  return DefSubclassProc(hwnd, message, wparam, lparam);
}

bool Win32Backend::HandleContainer(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam,
                                   LRESULT& result) {
  Control* self = ControlOf(hwnd);
  switch (message) {
    case WM_COMMAND:
      if (lparam == 0) return false;
      Command(reinterpret_cast<HWND>(lparam), HIWORD(wparam));
      return true;
    case WM_DRAWITEM:
      DrawCheckListItem(*reinterpret_cast<DRAWITEMSTRUCT*>(lparam));
      result = TRUE;
      return true;
    case WM_MEASUREITEM: {
      auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(lparam);
      auto it = ids_.find(item->CtlID);
      const int font_height = it != ids_.end() ? it->second->GetFont().height : 13;
      item->itemHeight = static_cast<UINT>(std::max(kCheckBoxSize + 3, font_height + 4));
      result = TRUE;
      return true;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN: {
      HBRUSH brush = ColorControl(reinterpret_cast<HDC>(wparam), reinterpret_cast<HWND>(lparam));
      if (brush == nullptr) return false;
      result = reinterpret_cast<LRESULT>(brush);
      return true;
    }
    case WM_ERASEBKGND: {
      if (self == nullptr) return false;
      RECT client;
      GetClientRect(hwnd, &client);
      FillRect(reinterpret_cast<HDC>(wparam), &client, gdi_.BrushFor(Background(*self)));
      result = 1;
      return true;
    }
    case WM_PAINT:
      if (self == nullptr) return false;
      Paint(hwnd, *self);
      return true;
    case WM_LBUTTONUP:
      if (self != nullptr) {
        const POINT at{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)};
        const auto& children = self->Children();
        for (auto it = children.rbegin(); it != children.rend(); ++it) {
          Control* c = *it;
          const RECT r{c->Left(), c->Top(), c->Left() + c->Width(), c->Top() + c->Height()};
          if (c->Kind() == ControlKind::kLabel && c->Visible() && c->Enabled() &&
              PtInRect(&r, at)) {
            if (c->OnClick) c->OnClick(*c);
            break;
          }
        }
      }
      return false;
    case WM_CONTEXTMENU:
      if (Form* form = FormOf(hwnd)) {
        ShowPopupMenu(*form, lparam);
        return true;
      }
      return false;
    case WM_SETCURSOR:
      if (cursor_ == Cursor::kWait && LOWORD(lparam) == HTCLIENT) {
        ::SetCursor(LoadCursor(nullptr, IDC_WAIT));
        result = TRUE;
        return true;
      }
      return false;
    default:
      break;
  }
  if (self == nullptr || &self->OwnerForm() != self) return false;
  Form& form = self->OwnerForm();
  switch (message) {
    case WM_CLOSE:
      form.Close();
      return true;
    case WM_GETMINMAXINFO: {
      auto* limits = reinterpret_cast<MINMAXINFO*>(lparam);
      limits->ptMinTrackSize.x = std::max<LONG>(limits->ptMinTrackSize.x, form.MinimumSize().width);
      limits->ptMinTrackSize.y =
          std::max<LONG>(limits->ptMinTrackSize.y, form.MinimumSize().height);
      return true;
    }
    case WM_ACTIVATE:
      if (LOWORD(wparam) == WA_INACTIVE || HIWORD(wparam) != 0) return false;
      FocusActiveControl(form);
      form.Activated();
      return true;
    case WM_SIZE:
    case WM_MOVE: {
      // The user moved or sized the window: the model follows without sending it back.
      ++placing_;
      if (message == WM_SIZE) {
        form.SetWindowState(wparam == SIZE_MINIMIZED   ? WindowState::kMinimized
                            : wparam == SIZE_MAXIMIZED ? WindowState::kMaximized
                                                       : WindowState::kNormal);
      }
      if (!IsIconic(hwnd)) {
        RECT r;
        GetWindowRect(hwnd, &r);
        form.SetBounds(r.left, r.top, r.right - r.left, r.bottom - r.top);
      }
      --placing_;
      return false;
    }
    default:
      break;
  }
  return false;
}

void Win32Backend::Command(HWND child, UINT code) {
  Control* c = ControlOf(child);
  if (c == nullptr) return;
  switch (c->Kind()) {
    case ControlKind::kButton:
      if (code == BN_CLICKED) static_cast<Button*>(c)->Click();
      break;
    case ControlKind::kCheckBox:
      if (code == BN_CLICKED) static_cast<CheckBox*>(c)->UserToggle();
      break;
    case ControlKind::kEdit:
      if (code == EN_CHANGE) {
        auto* edit = static_cast<Edit*>(c);
        std::string text = WindowText(child);
        if (text != edit->Text()) edit->UserSetText(text);
      }
      break;
    case ControlKind::kMemo:
      if (code == EN_CHANGE) {
        auto* memo = static_cast<Memo*>(c);
        std::string text = WindowText(child);
        if (text != MemoText(*memo)) memo->SetLines(SplitLines(text));
      }
      break;
    case ControlKind::kCheckListBox:
      if (code == LBN_SELCHANGE) {
        static_cast<CheckListBox*>(c)->UserSelect(
            static_cast<int>(SendMessageA(child, LB_GETCURSEL, 0, 0)));
      }
      break;
    case ControlKind::kComboBox:
      if (code == CBN_SELCHANGE) {
        static_cast<ComboBox*>(c)->UserSelect(
            static_cast<int>(SendMessageA(child, CB_GETCURSEL, 0, 0)));
      }
      break;
    default:
      break;
  }
}

HBRUSH Win32Backend::ColorControl(HDC dc, HWND child) {
  Control* c = ControlOf(child);
  if (c == nullptr) return nullptr;
  SetTextColor(dc, TextColor(*c, COLOR_WINDOWTEXT));
  const COLORREF back = Background(*c);
  SetBkColor(dc, back);
  return gdi_.BrushFor(back);
}

// ---- Painting

void Win32Backend::Paint(HWND hwnd, Control& container) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(hwnd, &paint);
  RECT client;
  GetClientRect(hwnd, &client);
  if (container.Kind() == ControlKind::kPanel) {
    const auto& panel = static_cast<Panel&>(container);
    RECT r = client;
    for (int i = 0; panel.BevelOuter() && i < panel.BevelWidth(); ++i) {
      DrawEdge(dc, &r, BDR_RAISEDINNER, BF_RECT);
      InflateRect(&r, -1, -1);
    }
    if (!panel.Caption().empty()) {
      HGDIOBJ old = SelectObject(dc, gdi_.FontFor(panel.GetFont()));
      SetBkMode(dc, TRANSPARENT);
      SetTextColor(dc, TextColor(panel, COLOR_BTNTEXT));
      DrawTextA(dc, panel.Caption().c_str(), -1, &r,
                DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
      SelectObject(dc, old);
    }
  }
  // Labels and bevels in creation order: a later one is drawn over an earlier one.
  for (Control* c : container.Children()) {
    if (!c->Visible()) continue;
    if (c->Kind() == ControlKind::kLabel) {
      DrawLabel(dc, static_cast<Label&>(*c));
    } else if (c->Kind() == ControlKind::kBevel) {
      RECT r{c->Left(), c->Top(), c->Left() + c->Width(), c->Top() + c->Height()};
      DrawEdge(dc, &r, EDGE_ETCHED, BF_BOTTOM);
    }
  }
  EndPaint(hwnd, &paint);
}

void Win32Backend::DrawLabel(HDC dc, const Label& label) {
  RECT r{label.Left(), label.Top(), label.Left() + label.Width(), label.Top() + label.Height()};
  if (!label.Transparent()) FillRect(dc, &r, gdi_.BrushFor(Background(label)));
  HGDIOBJ old = SelectObject(dc, gdi_.FontFor(label.GetFont()));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, label.Enabled() ? TextColor(label, COLOR_BTNTEXT) : GetSysColor(COLOR_GRAYTEXT));
  UINT format = DT_NOPREFIX | DT_NOCLIP | DT_EXPANDTABS;
  if (label.WordWrap()) format |= DT_WORDBREAK;
  if (label.GetAlignment() == Alignment::kRight) format |= DT_RIGHT;
  if (label.GetAlignment() == Alignment::kCenter) format |= DT_CENTER;
  DrawTextA(dc, label.Caption().c_str(), static_cast<int>(label.Caption().size()), &r, format);
  SelectObject(dc, old);
}

void Win32Backend::DrawCheckListItem(const DRAWITEMSTRUCT& item) {
  auto* list = static_cast<CheckListBox*>(ControlOf(item.hwndItem));
  if (list == nullptr) return;
  HDC dc = item.hDC;
  if (item.itemID == static_cast<UINT>(-1) || static_cast<int>(item.itemID) >= list->Count()) {
    if (item.itemState & ODS_FOCUS) DrawFocusRect(dc, &item.rcItem);
    return;
  }
  const int index = static_cast<int>(item.itemID);
  const bool selected = (item.itemState & ODS_SELECTED) != 0;
  FillRect(dc, &item.rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
  const int middle = (item.rcItem.top + item.rcItem.bottom) / 2;
  RECT box{item.rcItem.left + 2, middle - kCheckBoxSize / 2, item.rcItem.left + 2 + kCheckBoxSize,
           middle - kCheckBoxSize / 2 + kCheckBoxSize};
  UINT state = DFCS_BUTTONCHECK;
  if (list->Checked(index)) state |= DFCS_CHECKED;
  if (!list->Enabled()) state |= DFCS_INACTIVE;
  DrawFrameControl(dc, &box, DFC_BUTTON, state);
  RECT text = item.rcItem;
  text.left += kCheckAreaWidth + 2;
  HGDIOBJ old = SelectObject(dc, gdi_.FontFor(list->GetFont()));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc,
               selected ? GetSysColor(COLOR_HIGHLIGHTTEXT) : TextColor(*list, COLOR_WINDOWTEXT));
  const std::string& caption = list->Items()[static_cast<size_t>(index)];
  DrawTextA(dc, caption.c_str(), static_cast<int>(caption.size()), &text,
            DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  SelectObject(dc, old);
  if (item.itemState & ODS_FOCUS) DrawFocusRect(dc, &item.rcItem);
}

void Win32Backend::ShowPopupMenu(Form& form, LPARAM where) {
  PopupMenu* menu = form.GetPopupMenu();
  HWND owner = WindowOf(form);
  if (menu == nullptr || menu->Count() == 0 || owner == nullptr) return;
  MenuHandle popup;
  for (int i = 0; i < menu->Count(); ++i) {
    const MenuItem& item = menu->Item(i);
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_STRING;
    info.fType = MFT_STRING | (item.RadioItem() ? MFT_RADIOCHECK : 0);
    info.fState = item.Checked() ? MFS_CHECKED : MFS_UNCHECKED;
    info.wID = static_cast<UINT>(i + 1);
    info.dwTypeData = const_cast<char*>(item.Caption().c_str());
    InsertMenuItemA(popup.menu, static_cast<UINT>(i), TRUE, &info);
  }
  POINT at{GET_X_LPARAM(where), GET_Y_LPARAM(where)};
  if (where == -1) {  // from the keyboard: the middle of the window
    RECT r;
    GetWindowRect(owner, &r);
    at = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  }
  SetForegroundWindow(owner);
  const auto chosen = static_cast<int>(TrackPopupMenu(
      popup.menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, at.x, at.y, 0, owner, nullptr));
  if (chosen > 0 && chosen <= menu->Count()) menu->Item(chosen - 1).Click();
}

}  // namespace vl4::ui
