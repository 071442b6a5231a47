// Test helper: hand-made Deflate blocks (stored, fixed and dynamic Huffman) for the edge cases
// that real compressors do not produce.
#pragma once

#include <cstdint>
#include <vector>

#include "bit_writer.h"

namespace vl4::zip::testing {

class DeflateWriter {
 public:
  // Block header: the final bit, then the type (0 stored, 1 fixed, 2 dynamic, 3 reserved).
  void Header(bool final, unsigned type) {
    w.Put(final ? 1 : 0, 1);
    w.Put(type, 2);
  }

  void Stored(bool final, const std::vector<uint8_t>& bytes) {
    Header(final, 0);
    w.AlignToByte();
    w.Put(static_cast<uint32_t>(bytes.size()), 16);
    w.Put(static_cast<uint32_t>(~bytes.size()) & 0xFFFF, 16);
    w.PutBytes(bytes);
  }

  // Fixed Huffman symbols.
  void FixedSymbol(unsigned sym) {
    if (sym < 144) {
      w.PutCode(0x30 + sym, 8);
    } else if (sym < 256) {
      w.PutCode(0x190 + sym - 144, 9);
    } else if (sym < 280) {
      w.PutCode(sym - 256, 7);
    } else {
      w.PutCode(0xC0 + sym - 280, 8);
    }
  }
  void FixedMatch(unsigned length, unsigned distance) {
    Match(
        length, distance, [this](unsigned s) { FixedSymbol(s); },
        [this](unsigned s) { w.PutCode(s, 5); });
  }

  // Dynamic block header: the code lengths are sent with a code-length code in which 0..15 all
  // have 4 bits (no repeat codes), then the codes are kept for Symbol/DynamicMatch.
  void DynamicHeader(bool final, const std::vector<uint8_t>& litlen,
                     const std::vector<uint8_t>& dist) {
    Header(final, 2);
    w.Put(static_cast<uint32_t>(litlen.size() - 257), 5);
    w.Put(static_cast<uint32_t>(dist.size() - 1), 5);
    w.Put(19 - 4, 4);
    static const uint8_t kOrder[19] = {16, 17, 18, 0, 8,  7, 9,  6, 10, 5,
                                       11, 4,  12, 3, 13, 2, 14, 1, 15};
    for (uint8_t sym : kOrder) w.Put(sym < 16 ? 4 : 0, 3);
    for (uint8_t l : litlen) w.PutCode(l, 4);
    for (uint8_t l : dist) w.PutCode(l, 4);
    litlen_lengths_ = litlen;
    dist_lengths_ = dist;
    litlen_codes_ = CanonicalCodes(litlen);
    dist_codes_ = CanonicalCodes(dist);
  }
  void Symbol(unsigned sym) { w.PutCode(litlen_codes_[sym], litlen_lengths_[sym]); }
  void DynamicMatch(unsigned length, unsigned distance) {
    Match(
        length, distance, [this](unsigned s) { Symbol(s); },
        [this](unsigned s) { w.PutCode(dist_codes_[s], dist_lengths_[s]); });
  }

  std::vector<uint8_t> Finish() { return w.Finish(); }

  BitWriter w;

 private:
  template <typename LitLen, typename Dist>
  void Match(unsigned length, unsigned distance, LitLen litlen, Dist dist) {
    static const unsigned kLengthBase[29] = {3,  4,  5,  6,   7,   8,   9,   10,  11, 13,
                                             15, 17, 19, 23,  27,  31,  35,  43,  51, 59,
                                             67, 83, 99, 115, 131, 163, 195, 227, 258};
    static const unsigned kLengthExtra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                              2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
    static const unsigned kDistBase[30] = {
        1,   2,   3,   4,   5,   7,    9,    13,   17,   25,   33,   49,   65,    97,    129,
        193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
    static const unsigned kDistExtra[30] = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                                            6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};
    unsigned l = 28;
    while (kLengthBase[l] > length) --l;
    litlen(257 + l);
    w.Put(length - kLengthBase[l], kLengthExtra[l]);
    unsigned d = 29;
    while (kDistBase[d] > distance) --d;
    dist(d);
    w.Put(distance - kDistBase[d], kDistExtra[d]);
  }

  std::vector<uint8_t> litlen_lengths_, dist_lengths_;
  std::vector<uint32_t> litlen_codes_, dist_codes_;
};

}  // namespace vl4::zip::testing
