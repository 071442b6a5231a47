// DOS date/time (date in the high word, local time, two-second steps) <-> host time.
#pragma once

#include <cstdint>
#include <ctime>
#include <optional>

namespace vl4::platform::sandbox {

uint32_t DosTimeFromUnix(time_t t);  // 0 for a time DOS cannot hold (before 1980)
std::optional<time_t> UnixFromDosTime(uint32_t dos_time);

}  // namespace vl4::platform::sandbox
