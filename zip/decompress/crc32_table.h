// The CRC-32 lookup tables, computed at compile time: table 0 is the classic byte table, tables
// 1..7 advance a byte through 1..7 further zero bytes (for slicing by 8).
#pragma once

#include <array>
#include <cstdint>

namespace vl4::zip {

inline constexpr uint32_t kCrc32Polynomial = 0xEDB88320u;

using Crc32Tables = std::array<std::array<uint32_t, 256>, 8>;

constexpr Crc32Tables MakeCrc32Tables() {
  Crc32Tables tables{};
  for (uint32_t i = 0; i < 256; ++i) {
    uint32_t c = i;
    for (int k = 0; k < 8; ++k) c = (c >> 1) ^ ((c & 1) ? kCrc32Polynomial : 0);
    tables[0][i] = c;
  }
  for (size_t t = 1; t < 8; ++t) {
    for (uint32_t i = 0; i < 256; ++i) {
      uint32_t c = tables[t - 1][i];
      tables[t][i] = (c >> 8) ^ tables[0][c & 0xFF];
    }
  }
  return tables;
}

inline constexpr Crc32Tables kCrc32Tables = MakeCrc32Tables();

}  // namespace vl4::zip
