// The headless backend's character width table.
#include "ui/headless/text_metrics.h"

#include <cstdint>

namespace vl4::ui {
namespace {

// Advance widths of the printable ASCII characters 0x20..0x7E, in thousandths of the height.
constexpr uint16_t kWidths[95] = {
    278,  278, 355, 556, 556, 889, 667, 191, 333, 333, 389, 584, 278, 333, 278, 278,  // ' '../
    556,  556, 556, 556, 556, 556, 556, 556, 556, 556, 278, 278, 584, 584, 584, 556,  // 0..?
    1015, 667, 667, 722, 722, 667, 611, 778, 722, 278, 500, 667, 556, 833, 722, 778,  // @..O
    667,  778, 722, 667, 611, 722, 667, 944, 667, 667, 611, 278, 278, 278, 469, 556,  // P.._
    333,  556, 556, 500, 556, 556, 278, 556, 556, 222, 222, 500, 222, 833, 556, 556,  // `..o
    556,  556, 333, 500, 278, 556, 500, 722, 500, 500, 500, 334, 260, 334, 584};      // p..~
constexpr uint16_t kOtherWidth = 556;

}  // namespace

int NominalTextWidth(const Font& font, std::string_view text) {
  uint64_t units = 0;
  for (char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    if (c >= 0x20 && c <= 0x7E) {
      units += kWidths[c - 0x20];
    } else if (c >= 0x80) {
      units += kOtherWidth;
    }
  }
  if (font.bold) units = units * 11 / 10;
  return static_cast<int>((units * static_cast<uint64_t>(font.height) + 500) / 1000);
}

}  // namespace vl4::ui
