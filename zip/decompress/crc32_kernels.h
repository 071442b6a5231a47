// The two ways of computing CRC-32 behind Crc32Update, visible to the tests so that each is checked
// on its own whatever the processor chooses.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vl4::zip::crc32_detail {

// Slicing by 8: eight table lookups per 8 bytes; runs everywhere.
uint32_t UpdateSliced(uint32_t crc, const uint8_t* data, size_t n);

// Folding with carry-less multiplication (x86 PCLMULQDQ). Only call when ClmulAvailable().
uint32_t UpdateClmul(uint32_t crc, const uint8_t* data, size_t n);

// True when this build has the folding kernel and the processor supports it.
bool ClmulAvailable();

}  // namespace vl4::zip::crc32_detail
