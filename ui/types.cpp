// Names of the value types, for transcripts and messages.
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

const char* MsgButtonsName(MsgButtons b) {
  switch (b) {
    case MsgButtons::kOK: return "OK";
    case MsgButtons::kOKCancel: return "OK/Cancel";
    case MsgButtons::kYesNo: return "Yes/No";
    case MsgButtons::kRepeatNext: return "Repeat/Next";
  }
  return "?";
}

}  // namespace vl4::ui
