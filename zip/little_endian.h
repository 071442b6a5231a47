// Little-endian fields of the zip records.
#pragma once

#include <cstdint>

namespace vl4::zip {

inline uint16_t Le16(const uint8_t* p) {
  return static_cast<uint16_t>(p[0] | p[1] << 8);
}
inline uint32_t Le32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

inline constexpr uint32_t kLocalHeaderSignature = 0x04034B50;     // "PK", 3, 4
inline constexpr uint32_t kCentralHeaderSignature = 0x02014B50;   // "PK", 1, 2
inline constexpr uint32_t kEndCentralSignature = 0x06054B50;      // "PK", 5, 6
inline constexpr uint32_t kDataDescriptorSignature = 0x08074B50;  // "PK", 7, 8

}  // namespace vl4::zip
