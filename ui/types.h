// Value types of the control model: colours, fonts, keys, dialog kinds and results.
#pragma once

#include <cstdint>
#include <string>

namespace vl4::ui {

// Colours as Windows stores them: 0x00BBGGRR.
using Color = uint32_t;
constexpr Color kBlack = 0x000000;
constexpr Color kRed = 0x0000FF;
constexpr Color kGray = 0x808080;
constexpr Color kWhite = 0xFFFFFF;
constexpr Color kNavy = 0x800000;
constexpr Color kDarkBlue = 0xC00000;  // the installer's title colour
constexpr Color kDefaultColor = 0xFF000000;  // "the system's colour for this control"

struct Font {
  std::string name = "MS Sans Serif";
  int height = 13;  // character height in pixels
  bool bold = false;
  bool italic = false;
  Color color = kBlack;
  bool operator==(const Font&) const = default;
};

// Virtual-key codes the forms handle.
enum Key : uint16_t {
  kKeyBack = 0x08, kKeyTab = 0x09, kKeyReturn = 0x0D, kKeyEscape = 0x1B, kKeySpace = 0x20,
  kKeyLeft = 0x25, kKeyUp, kKeyRight, kKeyDown, kKeyDelete = 0x2E,
  kKeyF1 = 0x70, kKeyF2, kKeyF3, kKeyF4, kKeyF5, kKeyF6, kKeyF7, kKeyF8, kKeyF9, kKeyF10,
  kKeyF11, kKeyF12,
};
enum Shift : unsigned { kShiftNone = 0, kShiftShift = 1, kShiftAlt = 2, kShiftCtrl = 4 };

enum class ModalResult { kNone, kOK, kCancel, kYes, kNo, kRepeat, kNext };

enum class MsgKind { kPlain, kError, kWarning, kInformation, kConfirmation };
enum class MsgButtons { kOK, kOKCancel, kYesNo, kRepeatNext };

enum class Alignment { kLeft, kRight, kCenter };
enum class Align { kNone, kTop, kBottom, kLeft, kRight, kClient };
enum class BorderStyle { kSizeable, kDialog, kSingle, kNone };
enum class FormPosition { kDesigned, kScreenCenter, kDesktopCenter };
enum class WindowState { kNormal, kMinimized, kMaximized };
enum class Cursor { kDefault, kWait };

// Which edges of its parent a control keeps its distance to when the parent is resized.
enum Anchor : unsigned {
  kAnchorLeft = 1, kAnchorTop = 2, kAnchorRight = 4, kAnchorBottom = 8,
  kAnchorsDefault = kAnchorLeft | kAnchorTop,
};

struct Size {
  int width = 0;
  int height = 0;
  bool operator==(const Size&) const = default;
};

struct Rect {
  int left = 0, top = 0, width = 0, height = 0;
  bool operator==(const Rect&) const = default;
};

// The frame a window adds around its client area (caption and borders), in pixels.
struct Insets {
  int left = 0, top = 0, right = 0, bottom = 0;
};

const char* ModalResultName(ModalResult r);
const char* MsgKindName(MsgKind k);
const char* MsgButtonsName(MsgButtons b);

}  // namespace vl4::ui
