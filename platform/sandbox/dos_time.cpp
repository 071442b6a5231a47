#include "platform/sandbox/dos_time.h"

#include "platform/dos_date_time.h"

namespace vl4::platform::sandbox {

uint32_t DosTimeFromUnix(time_t t) {
  tm local{};
  if (!::localtime_r(&t, &local) || local.tm_year < 80 || local.tm_year > 207) return 0;
  const auto part = [](int value) { return static_cast<unsigned>(value); };
  return DosDateTime{part(local.tm_year + 1900), part(local.tm_mon + 1), part(local.tm_mday),
                     part(local.tm_hour),        part(local.tm_min),     part(local.tm_sec)}
      .Pack();
}

std::optional<time_t> UnixFromDosTime(uint32_t dos_time) {
  const DosDateTime part = DosDateTime::Split(dos_time);
  tm local{};
  local.tm_year = static_cast<int>(part.year) - 1900;
  local.tm_mon = static_cast<int>(part.month) - 1;
  local.tm_mday = static_cast<int>(part.day);
  local.tm_hour = static_cast<int>(part.hour);
  local.tm_min = static_cast<int>(part.minute);
  local.tm_sec = static_cast<int>(part.second);
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
