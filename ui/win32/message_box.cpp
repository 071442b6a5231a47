// The system's message box, with renamed buttons for the Repeat/Next question.
#include "ui/win32/message_box.h"

namespace vl4::ui {
namespace {

// The box being shown renames its buttons when it first becomes active. The hook lives for the
// one MessageBox call on this thread that installed it.
thread_local HHOOK rename_hook = nullptr;

LRESULT CALLBACK RenameButtons(int code, WPARAM wparam, LPARAM lparam) {
  if (code == HCBT_ACTIVATE) {
    auto box = reinterpret_cast<HWND>(wparam);
    char class_name[16] = {};
    GetClassNameA(box, class_name, sizeof class_name);
    if (lstrcmpA(class_name, "#32770") == 0 && GetDlgItem(box, IDRETRY) != nullptr) {
      SetDlgItemTextA(box, IDRETRY, "&Repeat");
      SetDlgItemTextA(box, IDCANCEL, "&Next");
    }
  }
  return CallNextHookEx(rename_hook, code, wparam, lparam);
}

class RenameHook {
 public:
  RenameHook() {
    rename_hook = SetWindowsHookExA(WH_CBT, RenameButtons, nullptr, GetCurrentThreadId());
  }
  ~RenameHook() {
    if (rename_hook != nullptr) UnhookWindowsHookEx(rename_hook);
    rename_hook = nullptr;
  }
  RenameHook(const RenameHook&) = delete;
  RenameHook& operator=(const RenameHook&) = delete;
};

UINT IconOf(MsgKind kind) {
  switch (kind) {
    case MsgKind::kError:
      return MB_ICONERROR;
    case MsgKind::kWarning:
      return MB_ICONWARNING;
    case MsgKind::kInformation:
      return MB_ICONINFORMATION;
    case MsgKind::kConfirmation:
      return MB_ICONQUESTION;
    case MsgKind::kPlain:
      break;
  }
  return 0;
}

}  // namespace

ModalResult ShowMessageBox(HWND owner, const std::string& text, const std::string& caption,
                           MsgKind kind, MsgButtons buttons) {
  UINT type = IconOf(kind) | (owner == nullptr ? MB_TASKMODAL : MB_APPLMODAL);
  switch (buttons) {
    case MsgButtons::kOK:
      type |= MB_OK;
      break;
    case MsgButtons::kOKCancel:
      type |= MB_OKCANCEL;
      break;
    case MsgButtons::kYesNo:
      type |= MB_YESNO;
      break;
    case MsgButtons::kRepeatNext:
      type |= MB_RETRYCANCEL;
      break;
  }
  int answer = 0;
  if (buttons == MsgButtons::kRepeatNext) {
    RenameHook hook;
    answer = MessageBoxA(owner, text.c_str(), caption.c_str(), type);
  } else {
    answer = MessageBoxA(owner, text.c_str(), caption.c_str(), type);
  }
  switch (answer) {
    case IDOK:
      return ModalResult::kOK;
    case IDYES:
      return ModalResult::kYes;
    case IDNO:
      return ModalResult::kNo;
    case IDRETRY:
      return ModalResult::kRepeat;
    case IDCANCEL:
      return buttons == MsgButtons::kRepeatNext ? ModalResult::kNext : ModalResult::kCancel;
    default:
      break;
  }
  // The box could not be shown: the answer that does the least.
  switch (buttons) {
    case MsgButtons::kOK:
      return ModalResult::kOK;
    case MsgButtons::kOKCancel:
      return ModalResult::kCancel;
    case MsgButtons::kYesNo:
      return ModalResult::kNo;
    case MsgButtons::kRepeatNext:
      return ModalResult::kNext;
  }
  return ModalResult::kCancel;
}

}  // namespace vl4::ui
