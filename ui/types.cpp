#include "ui/types.h"

namespace vl4::ui {

const char* ModalResultName(ModalResult r) {
  switch (r) {
    case ModalResult::kNone: return "None";
    case ModalResult::kOK: return "OK";
    case ModalResult::kCancel: return "Cancel";
    case ModalResult::kYes: return "Yes";
    case ModalResult::kNo: return "No";
    case ModalResult::kRepeat: return "Repeat";
    case ModalResult::kNext: return "Next";
  }
  return "?";
}

const char* MsgKindName(MsgKind k) {
  switch (k) {
    case MsgKind::kPlain: return "plain";
    case MsgKind::kError: return "error";
    case MsgKind::kWarning: return "warning";
    case MsgKind::kInformation: return "information";
    case MsgKind::kConfirmation: return "confirmation";
  }
  return "?";
}

}  // namespace vl4::ui
