// Explode: the trees at the start of the member, then literal and match codes. The Shannon-Fano
// codes are canonical codes with every bit inverted, so the tables are the canonical ones and are
// looked up with the inverted input bits.
#include "zip/decompress/explode.h"

#include <array>
#include <memory>
#include <new>

#include "zip/decompress/bit_reader.h"
#include "zip/decompress/huffman_table.h"
#include "zip/decompress/output_window.h"

namespace vl4::zip {

namespace {

using namespace huffman;

// The member's general purpose flags that choose the dictionary and the trees.
constexpr uint16_t k8KDictionaryFlag = 0x0002;
constexpr uint16_t kLiteralTreeFlag = 0x0004;

constexpr unsigned kMaxCodeLength = 16;
static_assert(kMaxCodeLength <= kMaxTableCodeLength);
constexpr unsigned kLiteralSymbols = 256;
constexpr unsigned kTreeSymbols = 64;  // length and distance trees
// The last length symbol takes another byte to add.
constexpr uint32_t kLongLength = kTreeSymbols - 1;

constexpr unsigned kLiteralRootBits = 10;
constexpr unsigned kRootBits = 8;  // length and distance trees
constexpr size_t kLiteralCapacity =
    TableCapacity(kLiteralSymbols, kMaxCodeLength, kLiteralRootBits);
constexpr size_t kCapacity = TableCapacity(kTreeSymbols, kMaxCodeLength, kRootBits);

constexpr std::array<uint32_t, kLiteralSymbols> MakeSymbolEntries() {
  std::array<uint32_t, kLiteralSymbols> t{};
  for (uint32_t s = 0; s < kLiteralSymbols; ++s) t[s] = SymbolEntry(s, 0);
  return t;
}
constexpr std::array<uint32_t, kLiteralSymbols> kSymbolEntries = MakeSymbolEntries();

struct ExplodeState {
  uint32_t literal[kLiteralCapacity];
  uint32_t length[kCapacity];
  uint32_t distance[kCapacity];
  alignas(64) uint8_t window[OutputWindow::kBufferSize];
};

class Exploder {
 public:
  Exploder(MemberIo& io, ExplodeState& state)
      : io_(io), s_(state), in_(io), out_(io, state.window, kWindowSize, /*zero_history=*/true) {}

  DecodeResult Run();

 private:
  DecodeResult ReadTree(unsigned n, uint32_t* table, size_t capacity, unsigned root_bits);
  // Decodes one symbol; false when the input ends inside its code.
  bool Decode(const uint32_t* table, unsigned root_bits, uint32_t& symbol);

  MemberIo& io_;
  ExplodeState& s_;
  BitReader in_;
  OutputWindow out_;
};

// A tree is stored as a byte count minus one, then bytes each giving (high nibble + 1) codes of
// (low nibble + 1) bits.
DecodeResult Exploder::ReadTree(unsigned n, uint32_t* table, size_t capacity, unsigned root_bits) {
  uint8_t lengths[kLiteralSymbols];
  uint32_t bytes;
  if (!in_.Read(8, bytes)) return DecodeResult::kTruncated;
  unsigned k = 0;
  for (uint32_t i = 0; i <= bytes; ++i) {
    uint32_t b;
    if (!in_.Read(8, b)) return DecodeResult::kTruncated;
    const unsigned repeat = (b >> 4) + 1;
    if (k + repeat > n) return DecodeResult::kBadTree;
    for (unsigned j = 0; j < repeat; ++j) lengths[k++] = static_cast<uint8_t>((b & 15) + 1);
  }
  if (k != n) return DecodeResult::kBadTree;
  return ToDecodeResult(BuildHuffmanTable(lengths, n, kMaxCodeLength, root_bits,
                                          kSymbolEntries.data(), table, capacity));
}

inline bool Exploder::Decode(const uint32_t* table, unsigned root_bits, uint32_t& symbol) {
  in_.Ensure(kMaxCodeLength);
  const uint32_t e = Lookup(table, root_bits, ~in_.Peek());
  // Complete trees only, so every entry is a code; it must lie within the bits there are.
  if (CodeLength(e) > in_.Count()) return false;
  in_.Drop(CodeLength(e));
  symbol = Value(e);
  return true;
}

DecodeResult Exploder::Run() {
  const bool literal_tree = (io_.bit_flag & kLiteralTreeFlag) != 0;
  const unsigned low_distance_bits = (io_.bit_flag & k8KDictionaryFlag) ? 7 : 6;
  const unsigned min_match = literal_tree ? 3 : 2;

  DecodeResult r;
  if (literal_tree && (r = ReadTree(kLiteralSymbols, s_.literal, kLiteralCapacity,
                                    kLiteralRootBits)) != DecodeResult::kOk) {
    return r;
  }
  if ((r = ReadTree(kTreeSymbols, s_.length, kCapacity, kRootBits)) != DecodeResult::kOk) {
    return r;
  }
  if ((r = ReadTree(kTreeSymbols, s_.distance, kCapacity, kRootBits)) != DecodeResult::kOk) {
    return r;
  }

  for (int64_t left = io_.uncompressed_size; left > 0;) {
    uint32_t flag;
    if (!in_.Read(1, flag)) return DecodeResult::kTruncated;
    if (flag) {
      uint32_t literal;
      const bool ok =
          literal_tree ? Decode(s_.literal, kLiteralRootBits, literal) : in_.Read(8, literal);
      if (!ok) return DecodeResult::kTruncated;
      out_.Put(static_cast<uint8_t>(literal));
      --left;
      continue;
    }
    uint32_t low;
    uint32_t high;
    uint32_t length;
    if (!in_.Read(low_distance_bits, low) || !Decode(s_.distance, kRootBits, high) ||
        !Decode(s_.length, kRootBits, length)) {
      return DecodeResult::kTruncated;
    }
    if (length == kLongLength) {
      uint32_t more;
      if (!in_.Read(8, more)) return DecodeResult::kTruncated;
      length += more;
    }
    length += min_match;
    const size_t distance = ((high << low_distance_bits) | low) + 1;
    const size_t n = static_cast<int64_t>(length) < left ? length : static_cast<size_t>(left);
    // The history before the data is zeros, and no distance reaches further than 8192 bytes.
    out_.Copy(distance, n);
    left -= static_cast<int64_t>(n);
  }
  out_.Finish();
  return DecodeResult::kOk;
}

}  // namespace

DecodeResult Explode(MemberIo& io) {
  std::unique_ptr<ExplodeState> state(new (std::nothrow) ExplodeState);
  if (!state) {
    io.OutOfMemory();
    return DecodeResult::kOutOfMemory;
  }
  return Exploder(io, *state).Run();
}

}  // namespace vl4::zip
