// CRC-32: the portable slicing-by-8 kernel and the choice, made once, of the fastest kernel.
#include "zip/decompress/crc32.h"

#include <bit>
#include <cstring>

#include "zip/decompress/crc32_kernels.h"

namespace vl4::zip {
namespace crc32_detail {

uint32_t UpdateSliced(uint32_t crc, const uint8_t* data, size_t n) {
  const auto& t = kCrc32Tables;
  for (; n > 0 && (reinterpret_cast<uintptr_t>(data) & 7) != 0; --n) {
    crc = Crc32UpdateByte(crc, *data++);
  }
  for (; n >= 8; n -= 8, data += 8) {
    uint32_t lo;
    uint32_t hi;
    std::memcpy(&lo, data, 4);
    std::memcpy(&hi, data + 4, 4);
    if constexpr (std::endian::native == std::endian::big) {
      lo = __builtin_bswap32(lo);
      hi = __builtin_bswap32(hi);
    }
    lo ^= crc;
    crc = t[7][lo & 0xFF] ^ t[6][(lo >> 8) & 0xFF] ^ t[5][(lo >> 16) & 0xFF] ^ t[4][lo >> 24] ^
          t[3][hi & 0xFF] ^ t[2][(hi >> 8) & 0xFF] ^ t[1][(hi >> 16) & 0xFF] ^ t[0][hi >> 24];
  }
  for (; n > 0; --n) crc = Crc32UpdateByte(crc, *data++);
  return crc;
}

}  // namespace crc32_detail

namespace {

using Kernel = uint32_t (*)(uint32_t, const uint8_t*, size_t);

Kernel ChooseKernel() {
  return crc32_detail::ClmulAvailable() ? crc32_detail::UpdateClmul : crc32_detail::UpdateSliced;
}

}  // namespace

uint32_t Crc32Update(uint32_t crc, const uint8_t* data, size_t n) {
  static const Kernel kernel = ChooseKernel();
  return kernel(crc, data, n);
}

}  // namespace vl4::zip
