// CRC-32 by folding with carry-less multiplication (x86 PCLMULQDQ): four 16-byte lanes are folded
// 64 bytes at a time, then into one lane, and the last 16 bytes are reduced through the byte
// table. Compiled for x86 with GCC or Clang only; elsewhere the sliced kernel serves alone.
#include "zip/decompress/crc32.h"
#include "zip/decompress/crc32_kernels.h"

#if (defined(__x86_64__) || defined(__i386__)) && (defined(__GNUC__) || defined(__clang__))
#define VL4_CRC32_CLMUL 1
#include <cpuid.h>
#include <immintrin.h>
#endif

namespace vl4::zip::crc32_detail {

#ifdef VL4_CRC32_CLMUL

namespace {

// x^n mod P, P the CRC polynomial in its normal (unreflected) form.
constexpr uint32_t PowerOfXModP(unsigned n) {
  uint64_t r = 1;
  for (unsigned i = 0; i < n; ++i) {
    r <<= 1;
    if (r & (uint64_t{1} << 32)) r ^= 0x104C11DB7ull;
  }
  return static_cast<uint32_t>(r);
}

constexpr uint32_t Reflect32(uint32_t v) {
  uint32_t r = 0;
  for (int i = 0; i < 32; ++i) r |= ((v >> i) & 1u) << (31 - i);
  return r;
}

// The multiplier that moves a 64-bit half by n bits, in the bit-reflected form the instruction
// works on (the product of two reflected operands comes out one bit short, hence 32, not 31).
constexpr uint64_t FoldConstant(unsigned n) {
  return uint64_t{Reflect32(PowerOfXModP(n - 32))} << 1;
}

// A 128-bit lane C = H*x^64 + L (H in the low quadword) moved forward by t bits:
// H * x^(t+64) + L * x^t, modulo P.
constexpr uint64_t kFold512High = FoldConstant(512 + 64);
constexpr uint64_t kFold512Low = FoldConstant(512);
constexpr uint64_t kFold128High = FoldConstant(128 + 64);
constexpr uint64_t kFold128Low = FoldConstant(128);

#if defined(__i386__)
#define VL4_CLMUL_TARGET __attribute__((target("pclmul,sse2"), force_align_arg_pointer))
#else
#define VL4_CLMUL_TARGET __attribute__((target("pclmul,sse2")))
#endif

VL4_CLMUL_TARGET inline __m128i Fold(__m128i lane, __m128i constants) {
  return _mm_xor_si128(_mm_clmulepi64_si128(lane, constants, 0x00),
                       _mm_clmulepi64_si128(lane, constants, 0x11));
}

VL4_CLMUL_TARGET inline __m128i Load(const uint8_t* p) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

}  // namespace

VL4_CLMUL_TARGET uint32_t UpdateClmul(uint32_t crc, const uint8_t* data, size_t n) {
  if (n < 64) return UpdateSliced(crc, data, n);
  const __m128i by512 =
      _mm_set_epi64x(static_cast<long long>(kFold512Low), static_cast<long long>(kFold512High));
  const __m128i by128 =
      _mm_set_epi64x(static_cast<long long>(kFold128Low), static_cast<long long>(kFold128High));
  // The register's state enters as an XOR over the first four bytes.
  __m128i x0 = _mm_xor_si128(Load(data), _mm_cvtsi32_si128(static_cast<int>(crc)));
  __m128i x1 = Load(data + 16);
  __m128i x2 = Load(data + 32);
  __m128i x3 = Load(data + 48);
  data += 64;
  n -= 64;
  for (; n >= 64; n -= 64, data += 64) {
    x0 = _mm_xor_si128(Fold(x0, by512), Load(data));
    x1 = _mm_xor_si128(Fold(x1, by512), Load(data + 16));
    x2 = _mm_xor_si128(Fold(x2, by512), Load(data + 32));
    x3 = _mm_xor_si128(Fold(x3, by512), Load(data + 48));
  }
  x1 = _mm_xor_si128(Fold(x0, by128), x1);
  x2 = _mm_xor_si128(Fold(x1, by128), x2);
  x3 = _mm_xor_si128(Fold(x2, by128), x3);
  for (; n >= 16; n -= 16, data += 16) x3 = _mm_xor_si128(Fold(x3, by128), Load(data));
  // What is left is congruent to the message: its CRC from a zero register, then the tail.
  alignas(16) uint8_t rest[16];
  _mm_store_si128(reinterpret_cast<__m128i*>(rest), x3);
  return UpdateSliced(UpdateSliced(0, rest, 16), data, n);
}

bool ClmulAvailable() {
  unsigned eax = 0;
  unsigned ebx = 0;
  unsigned ecx = 0;
  unsigned edx = 0;
  if (!__get_cpuid(1, &eax, &ebx, &ecx, &edx)) return false;
  return (ecx & bit_PCLMUL) != 0 && (edx & bit_SSE2) != 0;
}

#else

uint32_t UpdateClmul(uint32_t crc, const uint8_t* data, size_t n) {
  return UpdateSliced(crc, data, n);
}

bool ClmulAvailable() {
  return false;
}

#endif

}  // namespace vl4::zip::crc32_detail
