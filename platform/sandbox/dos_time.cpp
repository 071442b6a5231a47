#include "platform/sandbox/dos_time.h"

namespace vl4::platform::sandbox {

uint32_t DosTimeFromUnix(time_t t) {
  tm local{};
  if (!::localtime_r(&t, &local) || local.tm_year < 80 || local.tm_year > 207) return 0;
  uint32_t date = ((local.tm_year - 80) << 9) | ((local.tm_mon + 1) << 5) | local.tm_mday;
  uint32_t time = (local.tm_hour << 11) | (local.tm_min << 5) | (local.tm_sec / 2);
  return (date << 16) | time;
}

std::optional<time_t> UnixFromDosTime(uint32_t dos_time) {
  tm local{};
  local.tm_year = static_cast<int>((dos_time >> 25) & 0x7F) + 80;
  local.tm_mon = static_cast<int>((dos_time >> 21) & 0x0F) - 1;
  local.tm_mday = static_cast<int>((dos_time >> 16) & 0x1F);
  local.tm_hour = static_cast<int>((dos_time >> 11) & 0x1F);
  local.tm_min = static_cast<int>((dos_time >> 5) & 0x3F);
  local.tm_sec = static_cast<int>(dos_time & 0x1F) * 2;
  local.tm_isdst = -1;
  if (local.tm_mon < 0 || local.tm_mon > 11 || local.tm_mday == 0 || local.tm_hour > 23 ||
      local.tm_min > 59 || local.tm_sec > 59) {
    return std::nullopt;
  }
  time_t t = ::mktime(&local);
  if (t == static_cast<time_t>(-1)) return std::nullopt;
  return t;
}

}  // namespace vl4::platform::sandbox
