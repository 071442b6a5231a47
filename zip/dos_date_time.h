// DOS date/time values as the zip records store them: the time in the low word (hours, minutes,
// seconds / 2), the date in the high word (years since 1980, month, day).
#pragma once

#include <cstdint>

namespace vl4::zip {

// Brings every part into range (hour 23, minute and second 59, year 2099 at most; month and day
// between 1 and 12 / 31). A value already in range comes back unchanged, bit for bit.
uint32_t RepairDosDateTime(uint32_t value);

// True when the value names a real moment: every part in range and the day within its month.
bool IsValidDosDateTime(uint32_t value);

}  // namespace vl4::zip
