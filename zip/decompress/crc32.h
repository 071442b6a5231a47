// CRC-32 of the zip format (reflected polynomial 0xEDB88320), as the extraction run and the
// traditional decryption use it.
#pragma once

#include <cstddef>
#include <cstdint>

#include "zip/decompress/crc32_table.h"

namespace vl4::zip {

// Feeds n bytes into a running CRC register. The register is kept as the run holds it: it starts
// at 0xFFFFFFFF and the member's CRC is the register inverted at the end (no inversion here).
// Uses carry-less multiplication when the processor has it, slicing by 8 otherwise.
uint32_t Crc32Update(uint32_t crc, const uint8_t* data, size_t n);

// One byte, for the decryption keys.
inline uint32_t Crc32UpdateByte(uint32_t crc, uint8_t byte) {
  return kCrc32Tables[0][(crc ^ byte) & 0xFF] ^ (crc >> 8);
}

}  // namespace vl4::zip
