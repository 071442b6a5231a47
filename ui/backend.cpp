// The nominal window metrics a backend reports unless it knows the real ones.
#include "ui/backend.h"

namespace vl4::ui {

Insets Backend::FrameInsets(BorderStyle style) const {
  // A classic desktop: 19-pixel caption; sizing frame 4, dialog frame 3, thin border 1.
  constexpr int kCaption = 19;
  switch (style) {
    case BorderStyle::kSizeable:
      return {4, 4 + kCaption, 4, 4};
    case BorderStyle::kDialog:
      return {3, 3 + kCaption, 3, 3};
    case BorderStyle::kSingle:
      return {1, 1 + kCaption, 1, 1};
    case BorderStyle::kNone:
      return {};
  }
  return {};
}

}  // namespace vl4::ui
