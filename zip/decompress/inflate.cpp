// Inflate: block structure, code tables, and the decoding loops (a fast one while plenty of input
// and window room are at hand, a careful one near their ends).
#include "zip/decompress/inflate.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <memory>
#include <new>
#include <optional>

#include "zip/decompress/bit_reader.h"
#include "zip/decompress/huffman_table.h"
#include "zip/decompress/output_window.h"

namespace vl4::zip {

namespace {

using namespace huffman;

// The block types, as a block header's two bits give them.
constexpr unsigned kBlockTypeBits = 2;
enum class BlockType : uint32_t { kStored, kFixed, kDynamic, kReserved };

constexpr unsigned kMaxCodeLength = 15;
constexpr unsigned kMaxPrecodeLength = 7;  // three bits for each
// The alphabets, as the fixed code has them: literal/length codes 286 and 287, distance codes 30
// and 31 take part in it but are invalid.
constexpr unsigned kLitLenSymbols = 288;
constexpr unsigned kDistSymbols = 32;
constexpr unsigned kPrecodeSymbols = 19;
static_assert(kMaxCodeLength <= kMaxTableCodeLength && kLitLenSymbols <= kMaxTableSymbols);

// A dynamic block's header counts its codes from these minimums; at most 286 literal/length and
// 30 distance codes may be used.
constexpr uint32_t kMinLitLenCodes = 257;
constexpr uint32_t kMaxLitLenCodes = 286;
constexpr uint32_t kMinDistCodes = 1;
constexpr uint32_t kMaxDistCodes = 30;
constexpr uint32_t kMinPrecodeCodes = 4;
// The code length alphabet: 0 to 15 are lengths, the others repeat one (18 repeats zero, 11 to
// 138 times).
constexpr uint32_t kRepeatPrevious = 16;  // the length before, 3 to 6 times
constexpr uint32_t kRepeatZero = 17;      // zero, 3 to 10 times

constexpr unsigned kLitLenRootBits = 11;
constexpr unsigned kDistRootBits = 8;
constexpr unsigned kPrecodeRootBits = 7;

constexpr size_t kLitLenCapacity = TableCapacity(kLitLenSymbols, kMaxCodeLength, kLitLenRootBits);
constexpr size_t kDistCapacity = TableCapacity(kDistSymbols, kMaxCodeLength, kDistRootBits);
constexpr size_t kPrecodeCapacity =
    TableCapacity(kPrecodeSymbols, kMaxPrecodeLength, kPrecodeRootBits);

constexpr uint8_t kPrecodeOrder[kPrecodeSymbols] = {16, 17, 18, 0, 8,  7, 9,  6, 10, 5,
                                                    11, 4,  12, 3, 13, 2, 14, 1, 15};

// Base and extra bits of the length codes 257 to 285 and of the distance codes 0 to 29.
constexpr uint16_t kLengthBase[29] = {3,  4,  5,  6,   7,   8,   9,   10,  11, 13,
                                      15, 17, 19, 23,  27,  31,  35,  43,  51, 59,
                                      67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr uint8_t kLengthExtra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                      2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr uint16_t kDistBase[30] = {1,    2,    3,    4,    5,    7,    9,    13,    17,    25,
                                    33,   49,   65,   97,   129,  193,  257,  385,   513,   769,
                                    1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr uint8_t kDistExtra[30] = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                                    6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};

// The largest value that codes of a base and extra-bits table give.
template <size_t N>
constexpr unsigned LargestValue(const uint16_t (&base)[N], const uint8_t (&extra)[N]) {
  unsigned largest = 0;
  for (size_t i = 0; i < N; ++i) largest = std::max(largest, base[i] + (1u << extra[i]) - 1);
  return largest;
}
template <size_t N>
constexpr unsigned MostExtraBits(const uint8_t (&extra)[N]) {
  return *std::max_element(std::begin(extra), std::end(extra));
}

constexpr unsigned kMaxMatchLength = 258;
constexpr unsigned kMaxDistance = 32768;
constexpr unsigned kMaxLengthExtraBits = MostExtraBits(kLengthExtra);
constexpr unsigned kMaxDistExtraBits = MostExtraBits(kDistExtra);
static_assert(LargestValue(kLengthBase, kLengthExtra) == kMaxMatchLength);
static_assert(LargestValue(kDistBase, kDistExtra) == kMaxDistance);
// No distance reaches further back than the window's history keeps: once kMaxDistance bytes have
// been produced, distances need no check (see Codes()).
static_assert(kMaxDistance <= OutputWindow::kHistory);

struct SymbolTables {
  std::array<uint32_t, kLitLenSymbols> litlen{};
  std::array<uint32_t, kDistSymbols> dist{};
  std::array<uint32_t, kPrecodeSymbols> precode{};
};

constexpr SymbolTables MakeSymbolTables() {
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

// Why DecodeFast() stopped: its own type, which Codes() turns into the block's result.
enum class [[nodiscard]] FastLoopStop {
  kNeedsCare,   // input or window room ran short: the next symbol goes the careful way
  kWindowDone,  // stopped to hand over a window; may go on at once
  kEndOfBlock,  // the block's end code
  kBadData,     // an invalid code, or a distance before the data
};

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

  DecodeResult Run();

 private:
  DecodeResult Block(BlockType type);
  DecodeResult StoredBlock();
  DecodeResult FixedTables();
  DecodeResult DynamicTables();
  DecodeResult Codes(const uint32_t* litlen, const uint32_t* dist);
  // Codes() has the fast loop inline and the careful way out of line, so that the loop has the
  // registers to itself (measured with GCC 12: 2 to 4% fewer instructions than the compiler's own
  // choice).
  template <bool kCheckDistance>
  [[gnu::always_inline]] inline FastLoopStop DecodeFast(const uint32_t* litlen,
                                                        const uint32_t* dist);
  // A literal or a match the careful way, byte-exact at piece and window ends: nothing while the
  // block goes on, else how it ended.
  [[nodiscard, gnu::noinline]] std::optional<DecodeResult> DecodeOne(const uint32_t* litlen,
                                                                     const uint32_t* dist);
  // The careful way to one symbol: false when the input ends inside its code.
  bool DecodeSlow(const uint32_t* table, unsigned root_bits, uint32_t& entry);

  InflateState& s_;
  BitReader in_;
  OutputWindow out_;
};

DecodeResult Inflater::Run() {
  for (;;) {
    uint32_t last;
    uint32_t type;
    if (!in_.Read(1, last) || !in_.Read(kBlockTypeBits, type)) return DecodeResult::kTruncated;
    const DecodeResult r = Block(static_cast<BlockType>(type));
    if (r != DecodeResult::kOk) return r;
    if (last) break;
  }
  out_.Finish();
  return DecodeResult::kOk;
}

DecodeResult Inflater::Block(BlockType type) {
  switch (type) {
    case BlockType::kStored:
      return StoredBlock();
    case BlockType::kFixed: {
      const DecodeResult r = FixedTables();
      return r == DecodeResult::kOk ? Codes(s_.fixed_litlen, s_.fixed_dist) : r;
    }
    case BlockType::kDynamic: {
      const DecodeResult r = DynamicTables();
      return r == DecodeResult::kOk ? Codes(s_.litlen, s_.dist) : r;
    }
    case BlockType::kReserved:
      break;
  }
  return DecodeResult::kBadCodes;
}

DecodeResult Inflater::StoredBlock() {
  in_.AlignToByte();
  uint32_t len;
  uint32_t nlen;
  if (!in_.Read(16, len) || !in_.Read(16, nlen)) return DecodeResult::kTruncated;
  if (len != (~nlen & 0xFFFF)) return DecodeResult::kBadData;
  while (len > 0) {
    size_t piece = static_cast<size_t>(out_.flush_at - out_.pos);
    if (piece > len) piece = len;
    size_t got = in_.ReadBytes(out_.pos, piece);
    if (got == 0) return DecodeResult::kTruncated;
    out_.pos += got;
    len -= static_cast<uint32_t>(got);
    if (out_.pos == out_.flush_at) out_.WindowFull();
  }
  return DecodeResult::kOk;
}

DecodeResult Inflater::FixedTables() {
  if (s_.fixed_built) return DecodeResult::kOk;
  uint8_t* l = s_.lengths;
  for (unsigned i = 0; i < 144; ++i) l[i] = 8;
  for (unsigned i = 144; i < 256; ++i) l[i] = 9;
  for (unsigned i = 256; i < 280; ++i) l[i] = 7;
  for (unsigned i = 280; i < 288; ++i) l[i] = 8;
  DecodeResult r =
      ToDecodeResult(BuildHuffmanTable(l, kLitLenSymbols, kMaxCodeLength, kLitLenRootBits,
                                       kSymbols.litlen.data(), s_.fixed_litlen, kLitLenCapacity));
  if (r != DecodeResult::kOk) return r;
  // All 32 distance codes, so that the set is complete; 30 and 31 decode as invalid.
  for (unsigned i = 0; i < kDistSymbols; ++i) l[i] = 5;
  r = ToDecodeResult(BuildHuffmanTable(l, kDistSymbols, kMaxCodeLength, kDistRootBits,
                                       kSymbols.dist.data(), s_.fixed_dist, kDistCapacity));
  if (r != DecodeResult::kOk) return r;
  s_.fixed_built = true;
  return DecodeResult::kOk;
}

DecodeResult Inflater::DynamicTables() {
  uint32_t hlit;
  uint32_t hdist;
  uint32_t hclen;
  if (!in_.Read(5, hlit) || !in_.Read(5, hdist) || !in_.Read(4, hclen)) {
    return DecodeResult::kTruncated;
  }
  hlit += kMinLitLenCodes;
  hdist += kMinDistCodes;
  hclen += kMinPrecodeCodes;
  if (hlit > kMaxLitLenCodes || hdist > kMaxDistCodes) return DecodeResult::kBadData;

  uint8_t precode_lengths[kPrecodeSymbols] = {};
  for (uint32_t i = 0; i < hclen; ++i) {
    uint32_t v;
    if (!in_.Read(3, v)) return DecodeResult::kTruncated;
    precode_lengths[kPrecodeOrder[i]] = static_cast<uint8_t>(v);
  }
  DecodeResult r = ToDecodeResult(
      BuildHuffmanTable(precode_lengths, kPrecodeSymbols, kMaxPrecodeLength, kPrecodeRootBits,
                        kSymbols.precode.data(), s_.precode, kPrecodeCapacity));
  if (r != DecodeResult::kOk) return r;

  uint8_t* lengths = s_.lengths;
  const uint32_t total = hlit + hdist;
  for (uint32_t i = 0; i < total;) {
    uint32_t e;
    if (!DecodeSlow(s_.precode, kPrecodeRootBits, e)) return DecodeResult::kTruncated;
    if (e & kInvalid) return DecodeResult::kBadData;
    const uint32_t sym = Value(e);
    if (sym < kRepeatPrevious) {
      lengths[i++] = static_cast<uint8_t>(sym);
      continue;
    }
    uint32_t repeat;
    uint8_t fill = 0;
    if (sym == kRepeatPrevious) {
      if (i == 0) return DecodeResult::kBadData;  // nothing to repeat
      if (!in_.Read(2, repeat)) return DecodeResult::kTruncated;
      repeat += 3;
      fill = lengths[i - 1];
    } else if (sym == kRepeatZero) {
      if (!in_.Read(3, repeat)) return DecodeResult::kTruncated;
      repeat += 3;
    } else {
      if (!in_.Read(7, repeat)) return DecodeResult::kTruncated;
      repeat += 11;
    }
    if (i + repeat > total) return DecodeResult::kBadData;
    for (; repeat > 0; --repeat) lengths[i++] = fill;
  }

  r = ToDecodeResult(BuildHuffmanTable(lengths, hlit, kMaxCodeLength, kLitLenRootBits,
                                       kSymbols.litlen.data(), s_.litlen, kLitLenCapacity));
  if (r != DecodeResult::kOk) return r;
  const TableResult dist = BuildHuffmanTable(lengths + hlit, hdist, kMaxCodeLength, kDistRootBits,
                                             kSymbols.dist.data(), s_.dist, kDistCapacity);
  // A single one-bit distance code is what RFC 1951 prescribes for data with one distance; the
  // table has been built with the other code invalid.
  if (dist == TableResult::kSingleOneBitCode) return DecodeResult::kOk;
  return ToDecodeResult(dist);
}

bool Inflater::DecodeSlow(const uint32_t* table, unsigned root_bits, uint32_t& entry) {
  in_.Ensure(kMaxCodeLength);
  entry = Lookup(table, root_bits, in_.Peek());
  if (entry & kInvalid) return true;
  if (CodeLength(entry) > in_.Count()) return false;
  in_.Drop(CodeLength(entry));
  return true;
}

DecodeResult Inflater::Codes(const uint32_t* litlen, const uint32_t* dist) {
  for (;;) {
    // Until the data reaches as far back as any distance, distances are checked against it.
    const FastLoopStop stop = out_.Produced() >= kMaxDistance ? DecodeFast<false>(litlen, dist)
                                                              : DecodeFast<true>(litlen, dist);
    switch (stop) {
      case FastLoopStop::kWindowDone:
        continue;
      case FastLoopStop::kEndOfBlock:
        return DecodeResult::kOk;
      case FastLoopStop::kBadData:
        return DecodeResult::kBadData;
      case FastLoopStop::kNeedsCare:
        break;
    }
    // Near the end of the input piece or of the buffer: one symbol the careful way.
    if (const std::optional<DecodeResult> end = DecodeOne(litlen, dist)) return *end;
  }
}

std::optional<DecodeResult> Inflater::DecodeOne(const uint32_t* litlen, const uint32_t* dist) {
  uint32_t e;
  if (!DecodeSlow(litlen, kLitLenRootBits, e)) return DecodeResult::kTruncated;
  if (e & kLiteral) {
    out_.Put(static_cast<uint8_t>(Value(e)));
    return std::nullopt;
  }
  if (e & kEndOfBlock) return DecodeResult::kOk;
  if (e & kInvalid) return DecodeResult::kBadData;
  uint32_t extra;
  if (!in_.Read(ExtraBits(e), extra)) return DecodeResult::kTruncated;
  const size_t length = Value(e) + extra;
  if (!DecodeSlow(dist, kDistRootBits, e)) return DecodeResult::kTruncated;
  if (e & kInvalid) return DecodeResult::kBadData;
  if (!in_.Read(ExtraBits(e), extra)) return DecodeResult::kTruncated;
  const size_t distance = Value(e) + extra;
  if (distance > out_.Produced()) return DecodeResult::kBadData;
  out_.Copy(distance, length);
  return std::nullopt;
}

// What the hot loop relies on.
// Each round starts with a refilled buffer: a length/distance pair takes at most 48 bits...
constexpr unsigned kMaxPairBits =
    kMaxCodeLength + kMaxLengthExtraBits + kMaxCodeLength + kMaxDistExtraBits;
static_assert(kMaxPairBits <= BitReader::kRefillBits);
// ... and three literals at most 45, the third looked up when two have been taken.
constexpr unsigned kLiteralsPerRefill = 3;
static_assert(kLiteralsPerRefill * kMaxCodeLength <= BitReader::kRefillBits);
// A match's copy, in blocks of 8 or 16 bytes up to 32 at once, may write up to 31 bytes past its
// end; the next bytes overwrite them, and in the buffer's last window the slack takes them.
constexpr size_t kMaxCopyOverrun = 31;
static_assert(kMaxCopyOverrun <= OutputWindow::kSlack);
// A round that starts before a window's end ends, overrun included, inside the next window (the
// room has one unless this is the last window, where the loop stops a match short of the end).
static_assert(kMaxMatchLength + kMaxCopyOverrun <= kWindowSize);

// The hot loop. Each round starts with at least BitReader::kRefillBits bits in the buffer, the
// round's first table entry already looked up, and room for the longest match before the window's
// end, so nothing is checked per byte. The next entry is looked up before a match is copied, so
// that its load overlaps the copy. Bit buffer and positions live in locals while it runs.
template <bool kCheckDistance>
FastLoopStop Inflater::DecodeFast(const uint32_t* litlen, const uint32_t* dist) {
  const uint8_t*& next_ref = in_.Next();
  const uint8_t* in = next_ref;
  const uint8_t* const in_end = in_.End();
  uint8_t* op = out_.pos;
  // A round may start before the window's end and run up to kMaxMatchLength bytes past it, as
  // long as the buffer has room; the loop then stops so that the window is handed over before the
  // next symbol. In the buffer's last window it stops short of the end instead.
  uint8_t* const op_limit =
      out_.flush_at < out_.RoomEnd() ? out_.flush_at - 1 : out_.flush_at - kMaxMatchLength;
  if (in_end - in < 8 || op > op_limit) return FastLoopStop::kNeedsCare;
  uint64_t bits = in_.bits;
  unsigned count = in_.count;
  const uint8_t* const data_start = op - out_.Produced();
  constexpr uint64_t kLitLenMask = (1u << kLitLenRootBits) - 1;
  constexpr uint64_t kDistMask = (1u << kDistRootBits) - 1;
  FastLoopStop stop = FastLoopStop::kNeedsCare;

  auto refill = [&] { BitReader::RefillWord(bits, count, in); };
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
      // Up to kLiteralsPerRefill literals per refill; an entry looked up with kMaxCodeLength bits
      // or more at hand stays valid across the refill.
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
        stop = FastLoopStop::kEndOfBlock;
        break;
      }
      if (e & kInvalid) {
        stop = FastLoopStop::kBadData;
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
        stop = FastLoopStop::kBadData;
        break;
      }
    }
    code_length = CodeLength(e);
    const size_t distance = Value(e) + LowBits(bits >> code_length, ExtraBits(e));
    consume(code_length + ExtraBits(e));
    if (kCheckDistance && distance > static_cast<size_t>(op - data_start)) {
      stop = FastLoopStop::kBadData;
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
      // Blocks of 16 bytes, two at once for the common short matches; may write up to
      // kMaxCopyOverrun bytes past the end, which the next bytes overwrite.
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
    if (stop == FastLoopStop::kNeedsCare) stop = FastLoopStop::kWindowDone;
  }
  return stop;
}

}  // namespace

DecodeResult Inflate(MemberIo& io) {
  std::unique_ptr<InflateState> state(new (std::nothrow) InflateState);
  if (!state) {
    io.OutOfMemory();
    return DecodeResult::kOutOfMemory;
  }
  return Inflater(io, *state).Run();
}

}  // namespace vl4::zip
