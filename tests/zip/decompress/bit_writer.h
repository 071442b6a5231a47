// Test helper: writes hand-made compressed streams bit by bit, least significant bit first, with
// canonical prefix codes as Deflate (and, inverted, Imploding) store them.
#pragma once

#include <cstdint>
#include <vector>

namespace vl4::zip::testing {

class BitWriter {
 public:
  // n bits of value, least significant first (fields, extra bits, LZW codes).
  void Put(uint32_t value, unsigned n) {
    for (unsigned i = 0; i < n; ++i) PutBit((value >> i) & 1);
  }
  // A prefix code: its most significant bit first.
  void PutCode(uint32_t code, unsigned length) {
    for (unsigned i = length; i-- > 0;) PutBit((code >> i) & 1);
  }
  void PutBytes(const std::vector<uint8_t>& bytes) {
    for (uint8_t b : bytes) Put(b, 8);
  }
  void AlignToByte() {
    while (bit_ != 0) PutBit(0);
  }
  std::vector<uint8_t> Finish() {
    AlignToByte();
    return bytes_;
  }

 private:
  void PutBit(uint32_t b) {
    if (bit_ == 0) bytes_.push_back(0);
    bytes_.back() |= static_cast<uint8_t>(b << bit_);
    bit_ = (bit_ + 1) & 7;
  }
  std::vector<uint8_t> bytes_;
  unsigned bit_ = 0;
};

// Canonical codes for the given lengths (RFC 1951, 3.2.2).
inline std::vector<uint32_t> CanonicalCodes(const std::vector<uint8_t>& lengths) {
  uint32_t count[17] = {};
  for (uint8_t l : lengths) ++count[l];
  count[0] = 0;
  uint32_t next[17] = {};
  uint32_t code = 0;
  for (int bits = 1; bits <= 16; ++bits) {
    code = (code + count[bits - 1]) << 1;
    next[bits] = code;
  }
  std::vector<uint32_t> codes(lengths.size());
  for (size_t s = 0; s < lengths.size(); ++s) {
    if (lengths[s] != 0) codes[s] = next[lengths[s]]++;
  }
  return codes;
}

}  // namespace vl4::zip::testing
