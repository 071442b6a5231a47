// 1251 <-> 866 for the Cyrillic letters: А-п (0xC0-0xEF) and р-я (0xF0-0xFF) are two runs in
// 866 (0x80-0xAF, 0xE0-0xEF), and Ё/ё have their own places (0xA8/0xB8 <-> 0xF0/0xF1).
#include "setup/results/code_page.h"

namespace vl4 {

std::string Win1251ToDos866(std::string_view text) {
  std::string out(text);
  for (char& ch : out) {
    unsigned c = static_cast<unsigned char>(ch);
    if (c >= 0xC0 && c <= 0xEF) {
      c -= 0x40;
    } else if (c >= 0xF0) {
      c -= 0x10;
    } else if (c == 0xA8) {
      c = 0xF0;
    } else if (c == 0xB8) {
      c = 0xF1;
    }
    ch = static_cast<char>(c);
  }
  return out;
}

std::string Dos866ToWin1251(std::string_view text) {
  std::string out(text);
  for (char& ch : out) {
    unsigned c = static_cast<unsigned char>(ch);
    if (c >= 0x80 && c <= 0xAF) {
      c += 0x40;
    } else if (c >= 0xE0 && c <= 0xEF) {
      c += 0x10;
    } else if (c == 0xF0) {
      c = 0xA8;
    } else if (c == 0xF1) {
      c = 0xB8;
    }
    ch = static_cast<char>(c);
  }
  return out;
}

}  // namespace vl4
