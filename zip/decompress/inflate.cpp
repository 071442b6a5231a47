// Inflate: block structure, code tables, and the decoding loops (a fast one while plenty of input
// and window room are at hand, a careful one near their ends).
#include "zip/decompress/inflate.h"

#include <array>
#include <memory>
#include <new>

#include "zip/decompress/bit_reader.h"
#include "zip/decompress/huffman_table.h"
#include "zip/decompress/output_window.h"

namespace vl4::zip {

namespace {

using namespace huffman;

constexpr unsigned kMaxCodeLength = 15;
constexpr unsigned kLitLenSymbols = 288;
constexpr unsigned kDistSymbols = 32;
constexpr unsigned kPrecodeSymbols = 19;
constexpr unsigned kLitLenRootBits = 11;
constexpr unsigned kDistRootBits = 8;
constexpr unsigned kPrecodeRootBits = 7;
constexpr unsigned kMaxMatch = 258;

constexpr size_t kLitLenCapacity = TableCapacity(kLitLenSymbols, kMaxCodeLength, kLitLenRootBits);
constexpr size_t kDistCapacity = TableCapacity(kDistSymbols, kMaxCodeLength, kDistRootBits);
constexpr size_t kPrecodeCapacity = TableCapacity(kPrecodeSymbols, 7, kPrecodeRootBits);

constexpr uint8_t kPrecodeOrder[kPrecodeSymbols] = {16, 17, 18, 0, 8,  7, 9,  6, 10, 5,
                                                    11, 4,  12, 3, 13, 2, 14, 1, 15};

struct SymbolTables {
  std::array<uint32_t, kLitLenSymbols> litlen{};
  std::array<uint32_t, kDistSymbols> dist{};
  std::array<uint32_t, kPrecodeSymbols> precode{};
};

constexpr SymbolTables MakeSymbolTables() {
  constexpr uint16_t kLengthBase[29] = {3,  4,  5,  6,   7,   8,   9,   10,  11, 13,
                                        15, 17, 19, 23,  27,  31,  35,  43,  51, 59,
                                        67, 83, 99, 115, 131, 163, 195, 227, 258};
  constexpr uint8_t kLengthExtra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                        2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
  constexpr uint16_t kDistBase[30] = {
      1,   2,   3,   4,   5,   7,    9,    13,   17,   25,   33,   49,   65,    97,    129,
      193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
  constexpr uint8_t kDistExtra[30] = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                                      6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};
  SymbolTables t;
  for (uint32_t s = 0; s < 256; ++s) t.litlen[s] = SymbolEntry(s, 0, kLiteral);
  t.litlen[256] = SymbolEntry(0, 0, kEndOfBlock);
  for (uint32_t s = 257; s < 286; ++s)
    t.litlen[s] = SymbolEntry(kLengthBase[s - 257], kLengthExtra[s - 257]);
  t.litlen[286] = t.litlen[287] = kInvalidEntry;
  for (uint32_t s = 0; s < 30; ++s) t.dist[s] = SymbolEntry(kDistBase[s], kDistExtra[s]);
  t.dist[30] = t.dist[31] = kInvalidEntry;
  for (uint32_t s = 0; s < kPrecodeSymbols; ++s) t.precode[s] = SymbolEntry(s, 0);
  return t;
}

constexpr SymbolTables kSymbols = MakeSymbolTables();

// Everything one member needs besides the run's buffers: allocated once per member.
struct InflateState {
  uint32_t litlen[kLitLenCapacity];
  uint32_t dist[kDistCapacity];
  uint32_t precode[kPrecodeCapacity];
  uint32_t fixed_litlen[kLitLenCapacity];
  uint32_t fixed_dist[kDistCapacity];
  bool fixed_built = false;
  uint8_t lengths[kLitLenSymbols + kDistSymbols];
  alignas(64) uint8_t window[OutputWindow::kBufferSize];
};

constexpr int kFastNeedsCare = -1;   // DecodeFast: input or window room ran short
constexpr int kFastWindowDone = -2;  // DecodeFast: stopped to hand over a window; may go on

inline uint64_t LowBits(uint64_t v, unsigned n) {
  return v & ((uint64_t{1} << n) - 1);
}

inline void StoreWord(uint8_t* p, uint64_t v) {
  std::memcpy(p, &v, sizeof v);
}
inline void Copy16(uint8_t* to, const uint8_t* from) {
  uint8_t block[16];
  std::memcpy(block, from, 16);
  std::memcpy(to, block, 16);
}
inline uint64_t LoadWord(const uint8_t* p) {
  uint64_t v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

class Inflater {
 public:
  Inflater(MemberIo& io, InflateState& state)
      : s_(state), in_(io), out_(io, state.window, kWindowSize, /*zero_history=*/false) {}

  int Run();

 private:
  int StoredBlock();
  int FixedTables();
  int DynamicTables();
  int Codes(const uint32_t* litlen, const uint32_t* dist);
  template <bool kCheckDistance>
  int DecodeFast(const uint32_t* litlen, const uint32_t* dist);
  int DecodeOne(const uint32_t* litlen, const uint32_t* dist);
  // The careful way to one symbol: false when the input ends inside its code.
  bool DecodeSlow(const uint32_t* table, unsigned root_bits, uint32_t& entry);

  InflateState& s_;
  BitReader in_;
  OutputWindow out_;
};

int Inflater::Run() {
  for (;;) {
    uint32_t last;
    uint32_t type;
    if (!in_.Read(1, last) || !in_.Read(2, type)) return kDecompressTruncated;
    int r;
    switch (type) {
      case 0:
        r = StoredBlock();
        break;
      case 1:
        r = FixedTables();
        if (r == kDecompressOk) r = Codes(s_.fixed_litlen, s_.fixed_dist);
        break;
      case 2:
        r = DynamicTables();
        if (r == kDecompressOk) r = Codes(s_.litlen, s_.dist);
        break;
      default:
        return kDecompressBadCodes;
    }
    if (r != kDecompressOk) return r;
    if (last) break;
  }
  out_.Finish();
  return kDecompressOk;
}

int Inflater::StoredBlock() {
  in_.AlignToByte();
  uint32_t len;
  uint32_t nlen;
  if (!in_.Read(16, len) || !in_.Read(16, nlen)) return kDecompressTruncated;
  if (len != (~nlen & 0xFFFF)) return kDecompressBadData;
  while (len > 0) {
    size_t piece = static_cast<size_t>(out_.flush_at - out_.pos);
    if (piece > len) piece = len;
    size_t got = in_.ReadBytes(out_.pos, piece);
    if (got == 0) return kDecompressTruncated;
    out_.pos += got;
    len -= static_cast<uint32_t>(got);
    if (out_.pos == out_.flush_at) out_.WindowFull();
  }
  return kDecompressOk;
}

int Inflater::FixedTables() {
  if (s_.fixed_built) return kDecompressOk;
  uint8_t* l = s_.lengths;
  for (unsigned i = 0; i < 144; ++i) l[i] = 8;
  for (unsigned i = 144; i < 256; ++i) l[i] = 9;
  for (unsigned i = 256; i < 280; ++i) l[i] = 7;
  for (unsigned i = 280; i < 288; ++i) l[i] = 8;
  int r = BuildHuffmanTable(l, kLitLenSymbols, kMaxCodeLength, kLitLenRootBits,
                            kSymbols.litlen.data(), s_.fixed_litlen, kLitLenCapacity);
  if (r != kDecompressOk) return r;
  // All 32 distance codes, so that the set is complete; 30 and 31 decode as invalid.
  for (unsigned i = 0; i < kDistSymbols; ++i) l[i] = 5;
  r = BuildHuffmanTable(l, kDistSymbols, kMaxCodeLength, kDistRootBits, kSymbols.dist.data(),
                        s_.fixed_dist, kDistCapacity);
  if (r != kDecompressOk) return r;
  s_.fixed_built = true;
  return kDecompressOk;
}

int Inflater::DynamicTables() {
  uint32_t hlit;
  uint32_t hdist;
  uint32_t hclen;
  if (!in_.Read(5, hlit) || !in_.Read(5, hdist) || !in_.Read(4, hclen)) {
    return kDecompressTruncated;
  }
  hlit += 257;
  hdist += 1;
  hclen += 4;
  if (hlit > 286 || hdist > 30) return kDecompressBadData;

  uint8_t precode_lengths[kPrecodeSymbols] = {};
  for (uint32_t i = 0; i < hclen; ++i) {
    uint32_t v;
    if (!in_.Read(3, v)) return kDecompressTruncated;
    precode_lengths[kPrecodeOrder[i]] = static_cast<uint8_t>(v);
  }
  int r = BuildHuffmanTable(precode_lengths, kPrecodeSymbols, 7, kPrecodeRootBits,
                            kSymbols.precode.data(), s_.precode, kPrecodeCapacity);
  if (r != kDecompressOk) return r;

  uint8_t* lengths = s_.lengths;
  const uint32_t total = hlit + hdist;
  for (uint32_t i = 0; i < total;) {
    uint32_t e;
    if (!DecodeSlow(s_.precode, kPrecodeRootBits, e)) return kDecompressTruncated;
    if (e & kInvalid) return kDecompressBadData;
    const uint32_t sym = Value(e);
    if (sym < 16) {
      lengths[i++] = static_cast<uint8_t>(sym);
      continue;
    }
    uint32_t repeat;
    uint8_t fill = 0;
    if (sym == 16) {
      if (i == 0) return kDecompressBadData;  // nothing to repeat
      if (!in_.Read(2, repeat)) return kDecompressTruncated;
      repeat += 3;
      fill = lengths[i - 1];
    } else if (sym == 17) {
      if (!in_.Read(3, repeat)) return kDecompressTruncated;
      repeat += 3;
    } else {
      if (!in_.Read(7, repeat)) return kDecompressTruncated;
      repeat += 11;
    }
    if (i + repeat > total) return kDecompressBadData;
    for (; repeat > 0; --repeat) lengths[i++] = fill;
  }

  r = BuildHuffmanTable(lengths, hlit, kMaxCodeLength, kLitLenRootBits, kSymbols.litlen.data(),
                        s_.litlen, kLitLenCapacity);
  if (r != kDecompressOk) return r;
  r = BuildHuffmanTable(lengths + hlit, hdist, kMaxCodeLength, kDistRootBits, kSymbols.dist.data(),
                        s_.dist, kDistCapacity);
  // A single one-bit distance code is what RFC 1951 prescribes for data with one distance; the
  // table has been built with the other code invalid.
  if (r == kDecompressBadData) {
    unsigned used = 0;
    unsigned one_bit = 0;
    for (uint32_t i = 0; i < hdist; ++i) {
      used += lengths[hlit + i] != 0;
      one_bit += lengths[hlit + i] == 1;
    }
    if (used == 1 && one_bit == 1) r = kDecompressOk;
  }
  return r;
}

bool Inflater::DecodeSlow(const uint32_t* table, unsigned root_bits, uint32_t& entry) {
  in_.Ensure(kMaxCodeLength);
  entry = Lookup(table, root_bits, in_.Peek());
  if (entry & kInvalid) return true;
  if (CodeLength(entry) > in_.Count()) return false;
  in_.Drop(CodeLength(entry));
  return true;
}

int Inflater::Codes(const uint32_t* litlen, const uint32_t* dist) {
  for (;;) {
    // Until a whole window has been produced, distances are checked against the data.
    int r = out_.Produced() >= kWindowSize ? DecodeFast<false>(litlen, dist)
                                           : DecodeFast<true>(litlen, dist);
    if (r == kFastWindowDone) continue;
    if (r != kFastNeedsCare) return r;
    // Near the end of the input piece or of the buffer: one symbol the careful way.
    r = DecodeOne(litlen, dist);
    if (r != kFastNeedsCare) return r;
  }
}

// One symbol, byte-exact at piece and window ends. Returns kFastNeedsCare to go on.
int Inflater::DecodeOne(const uint32_t* litlen, const uint32_t* dist) {
  uint32_t e;
  if (!DecodeSlow(litlen, kLitLenRootBits, e)) return kDecompressTruncated;
  if (e & kLiteral) {
    out_.Put(static_cast<uint8_t>(Value(e)));
    return kFastNeedsCare;
  }
  if (e & kEndOfBlock) return kDecompressOk;
  if (e & kInvalid) return kDecompressBadData;
  uint32_t extra;
  if (!in_.Read(ExtraBits(e), extra)) return kDecompressTruncated;
  const size_t length = Value(e) + extra;
  if (!DecodeSlow(dist, kDistRootBits, e)) return kDecompressTruncated;
  if (e & kInvalid) return kDecompressBadData;
  if (!in_.Read(ExtraBits(e), extra)) return kDecompressTruncated;
  const size_t distance = Value(e) + extra;
  if (distance > out_.Produced()) return kDecompressBadData;
  out_.Copy(distance, length);
  return kFastNeedsCare;
}

// The hot loop. Each round starts with at least 56 bits in the buffer (one length/distance pair
// needs at most 48), the round's first table entry already looked up, and room for the longest
// match before the window's end, so nothing is checked per byte. The next entry is looked up
// before a match is copied, so that its load overlaps the copy. Bit buffer and positions live in
// locals while it runs.
template <bool kCheckDistance>
int Inflater::DecodeFast(const uint32_t* litlen, const uint32_t* dist) {
  const uint8_t*& next_ref = in_.Next();
  const uint8_t* in = next_ref;
  const uint8_t* const in_end = in_.End();
  uint8_t* op = out_.pos;
  // A round may start before the window's end and run up to 258 bytes past it, as long as the
  // buffer has room; the loop then stops so that the window is handed over before the next
  // symbol. In the buffer's last window it stops short of the end instead.
  uint8_t* const op_limit =
      out_.flush_at < out_.RoomEnd() ? out_.flush_at - 1 : out_.flush_at - kMaxMatch;
  if (in_end - in < 8 || op > op_limit) return kFastNeedsCare;
  uint64_t bits = in_.bits;
  unsigned count = in_.count;
  const uint8_t* const data_start = op - out_.Produced();
  constexpr uint64_t kLitLenMask = (1u << kLitLenRootBits) - 1;
  constexpr uint64_t kDistMask = (1u << kDistRootBits) - 1;
  int result = kFastNeedsCare;

  auto refill = [&] {
    bits |= LoadLittleEndian64(in) << count;
    in += (63 - count) >> 3;
    count |= 56;
  };
  auto consume = [&](unsigned n) {
    bits >>= n;
    count -= n;
  };
  // Whether another round may run: 8 bytes to refill from, room for the longest match.
  auto room = [&](const uint8_t* at) { return in_end - in >= 8 && at <= op_limit; };

  refill();
  uint32_t e = litlen[bits & kLitLenMask];
  for (;;) {
    if (e & kLiteral) {
      // Up to three literals per refill, each taking at most 15 of the 56 bits; an entry looked
      // up with 15 bits or more at hand stays valid across the refill.
      consume(CodeLength(e));
      *op++ = static_cast<uint8_t>(Value(e));
      e = litlen[bits & kLitLenMask];
      if (e & kLiteral) {
        consume(CodeLength(e));
        *op++ = static_cast<uint8_t>(Value(e));
        e = litlen[bits & kLitLenMask];
        if (e & kLiteral) {
          consume(CodeLength(e));
          *op++ = static_cast<uint8_t>(Value(e));
          if (!room(op)) break;
          refill();
          e = litlen[bits & kLitLenMask];
          continue;
        }
      }
      if (!room(op)) break;
      refill();
      continue;
    }
    if (e & kSpecial) {
      if (e & kSubtable) {
        e = litlen[Value(e) + LowBits(bits >> kLitLenRootBits, ExtraBits(e))];
        if (e & kLiteral) {
          consume(CodeLength(e));
          *op++ = static_cast<uint8_t>(Value(e));
          if (!room(op)) break;
          refill();
          e = litlen[bits & kLitLenMask];
          continue;
        }
      }
      if (e & kEndOfBlock) {
        consume(CodeLength(e));
        result = kDecompressOk;
        break;
      }
      if (e & kInvalid) {
        result = kDecompressBadData;
        break;
      }
    }
    unsigned code_length = CodeLength(e);
    const size_t length = Value(e) + LowBits(bits >> code_length, ExtraBits(e));
    consume(code_length + ExtraBits(e));

    e = dist[bits & kDistMask];
    if (e & kSpecial) {
      if (e & kSubtable) e = dist[Value(e) + LowBits(bits >> kDistRootBits, ExtraBits(e))];
      if (e & kInvalid) {
        result = kDecompressBadData;
        break;
      }
    }
    code_length = CodeLength(e);
    const size_t distance = Value(e) + LowBits(bits >> code_length, ExtraBits(e));
    consume(code_length + ExtraBits(e));
    if (kCheckDistance && distance > static_cast<size_t>(op - data_start)) {
      result = kDecompressBadData;
      break;
    }
    const uint8_t* src = op - distance;
    uint8_t* const end = op + length;
    const bool go_on = room(end);
    if (go_on) {
      refill();
      e = litlen[bits & kLitLenMask];
    }

    if (distance >= 16) {
      // Blocks of 16 bytes, two at once for the common short matches; may write up to 31 bytes
      // past the end, which the next bytes overwrite.
      Copy16(op, src);
      Copy16(op + 16, src + 16);
      op += 32;
      src += 32;
      while (op < end) {
        Copy16(op, src);
        op += 16;
        src += 16;
      }
    } else if (distance >= 8) {
      // Whole words, three at once for the common short matches; may write up to 23 bytes past
      // the end, which the next bytes overwrite.
      StoreWord(op, LoadWord(src));
      StoreWord(op + 8, LoadWord(src + 8));
      StoreWord(op + 16, LoadWord(src + 16));
      op += 24;
      src += 24;
      while (op < end) {
        StoreWord(op, LoadWord(src));
        op += 8;
        src += 8;
      }
    } else if (distance == 1) {
      const uint64_t v = src[0] * 0x0101010101010101ull;
      do {
        StoreWord(op, v);
        op += 8;
      } while (op < end);
    } else {
      // A short period: lay down the first period-multiple of 8 bytes or more one by one, then
      // copy words from that far back, which repeats the same period.
      const size_t step = distance * ((8 + distance - 1) / distance);
      uint8_t* const bytewise_end = op + (length < step ? length : step);
      do {
        *op++ = *src++;
      } while (op < bytewise_end);
      while (op < end) {
        StoreWord(op, LoadWord(op - step));
        op += 8;
      }
    }
    op = end;
    if (!go_on) break;
  }

  next_ref = in;
  in_.bits = bits;
  in_.count = count;
  out_.pos = op;
  // Hand over the window the last round completed (a match may have ended right at its end, or
  // run past it), before anything else is decoded.
  if (out_.pos >= out_.flush_at) {
    out_.WindowFull();
    if (result == kFastNeedsCare) result = kFastWindowDone;
  }
  return result;
}

}  // namespace

int Inflate(MemberIo& io) {
  std::unique_ptr<InflateState> state(new (std::nothrow) InflateState);
  if (!state) {
    io.OutOfMemory();
    return kDecompressOutOfMemory;
  }
  return Inflater(io, *state).Run();
}

}  // namespace vl4::zip
