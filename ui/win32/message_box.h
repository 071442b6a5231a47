// Message boxes of the four kinds with their button sets, on the system's message box. The
// Repeat/Next question is the system's Retry/Cancel box with its buttons renamed, so Esc and
// the close box answer Next and the loop around the question cannot trap the user.
#pragma once

#include <windows.h>

#include <string>

#include "ui/types.h"

namespace vl4::ui {

ModalResult ShowMessageBox(HWND owner, const std::string& text, const std::string& caption,
                           MsgKind kind, MsgButtons buttons);

}  // namespace vl4::ui
