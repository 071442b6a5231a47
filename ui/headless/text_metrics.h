// Text widths without a screen: a fixed table of character widths, so that layouts computed
// from text widths (auto-sized labels, shortened paths) come out the same on every machine.
#pragma once

#include <string_view>

#include "ui/types.h"

namespace vl4::ui {

// The width in pixels of `text` in `font`. Each character has a width in thousandths of the
// font's height, taken from a common proportional sans-serif face (a space 278, "i" 222,
// "m" 833, digits 556, "W" 944; characters above 0x7F 556); bold text is a tenth wider. The sum
// is scaled by the font's height and rounded to the nearest pixel.
int NominalTextWidth(const Font& font, std::string_view text);

}  // namespace vl4::ui
