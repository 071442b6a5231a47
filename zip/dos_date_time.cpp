#include "zip/dos_date_time.h"

#include "platform/dos_date_time.h"

namespace vl4::zip {

namespace {

bool IsLeapYear(unsigned year) {
  return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

}  // namespace

uint32_t RepairDosDateTime(uint32_t value) {
  DosDateTime p = DosDateTime::Split(value);
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
  return p.Pack();
}

bool IsValidDosDateTime(uint32_t value) {
  static constexpr unsigned kDaysInMonth[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  DosDateTime p = DosDateTime::Split(value);
  if (p.hour > 23 || p.minute > 59 || p.second > 59 || p.month < 1 || p.month > 12 || p.day < 1) {
    return false;
  }
  unsigned days = kDaysInMonth[p.month - 1] + (p.month == 2 && IsLeapYear(p.year) ? 1 : 0);
  return p.day <= days;
}

}  // namespace vl4::zip
