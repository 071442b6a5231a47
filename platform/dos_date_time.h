// DOS date/time values as file systems and zip records keep them: the date in the high word
// (years since 1980, month, day), the time in the low word (hours, minutes, seconds / 2).
#pragma once

#include <cstdint>

namespace vl4 {

struct DosDateTime {
  unsigned year;  // 1980 ..
  unsigned month, day, hour, minute, second;

  static constexpr DosDateTime Split(uint32_t value) {
    return {1980 + (value >> 25), (value >> 21) & 0x0F, (value >> 16) & 0x1F,
            (value >> 11) & 0x1F, (value >> 5) & 0x3F,  (value & 0x1F) * 2};
  }
  // Each part must fit its field (a year from 1980 to 2107); seconds are kept in two-second steps.
  constexpr uint32_t Pack() const {
    return (year - 1980) << 25 | month << 21 | day << 16 | hour << 11 | minute << 5 | second / 2;
  }
};

}  // namespace vl4
