#include "zip/dos_date_time.h"

namespace vl4::zip {

namespace {

struct Parts {
  unsigned year, month, day, hour, minute, second;
};

Parts Split(uint32_t value) {
  return {1980 + (value >> 25), (value >> 21) & 0x0F, (value >> 16) & 0x1F,
          (value >> 11) & 0x1F, (value >> 5) & 0x3F,  (value & 0x1F) * 2};
}

bool IsLeapYear(unsigned year) {
  return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

}  // namespace

uint32_t RepairDosDateTime(uint32_t value) {
  Parts p = Split(value);
  bool repaired = false;
  auto clamp = [&repaired](unsigned& part, unsigned low, unsigned high) {
    if (part < low) {
      part = low;
      repaired = true;
    } else if (part > high) {
      part = high;
      repaired = true;
    }
  };
  clamp(p.hour, 0, 23);
  clamp(p.minute, 0, 59);
  clamp(p.second, 0, 59);
  clamp(p.year, 1980, 2099);
  clamp(p.month, 1, 12);
  clamp(p.day, 1, 31);
  if (!repaired) return value;
  return (p.year - 1980) << 25 | p.month << 21 | p.day << 16 | p.hour << 11 | p.minute << 5 |
         p.second / 2;
}

bool IsValidDosDateTime(uint32_t value) {
  static constexpr unsigned kDaysInMonth[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  Parts p = Split(value);
  if (p.hour > 23 || p.minute > 59 || p.second > 59 || p.month < 1 || p.month > 12 || p.day < 1) {
    return false;
  }
  unsigned days = kDaysInMonth[p.month - 1] + (p.month == 2 && IsLeapYear(p.year) ? 1 : 0);
  return p.day <= days;
}

}  // namespace vl4::zip
