// Decoding tables for the canonical prefix codes of inflate and explode: one lookup of root_bits
// input bits, with a subtable behind each root entry whose codes are longer.
#pragma once

#include <cstddef>
#include <cstdint>

#include "zip/decompress/decode_result.h"

namespace vl4::zip {

// A table entry: [31:16] value, [15] literal, [14] invalid code, [13] end of block, [12] link to a
// subtable, [11:8] extra bits (or the subtable's index bits for a link), [7:0] code length.
namespace huffman {

// The builder's limits: codes of up to 16 bits for up to 288 symbols.
constexpr unsigned kMaxTableCodeLength = 16;
constexpr unsigned kMaxTableSymbols = 288;

constexpr uint32_t kLiteral = 1u << 15;
constexpr uint32_t kInvalid = 1u << 14;
constexpr uint32_t kEndOfBlock = 1u << 13;
constexpr uint32_t kSubtable = 1u << 12;
constexpr uint32_t kSpecial = kInvalid | kEndOfBlock | kSubtable;

// The part of an entry that the symbol decides (value, kind, extra bits); the builder adds the
// code length.
constexpr uint32_t SymbolEntry(uint32_t value, uint32_t extra_bits, uint32_t kind = 0) {
  return (value << 16) | kind | (extra_bits << 8);
}
constexpr uint32_t kInvalidEntry = kInvalid;

constexpr unsigned CodeLength(uint32_t e) {
  return e & 0xFF;
}
constexpr unsigned ExtraBits(uint32_t e) {
  return (e >> 8) & 0xF;
}
constexpr uint32_t Value(uint32_t e) {
  return e >> 16;
}

// Entries a table needs at most for n symbols with codes of up to max_length bits: the root plus
// the subtables, each of which holds at least one code more than its index bits for a complete
// code.
constexpr size_t TableCapacity(unsigned n, unsigned max_length, unsigned root_bits) {
  if (max_length <= root_bits) return size_t{1} << root_bits;
  unsigned sub_bits = max_length - root_bits;
  return (size_t{1} << root_bits) + (size_t{n} / (sub_bits + 1)) * (size_t{1} << sub_bits);
}

// Looks up the entry for the next bits of the input (least significant first).
inline uint32_t Lookup(const uint32_t* table, unsigned root_bits, uint64_t bits) {
  uint32_t e = table[bits & ((1u << root_bits) - 1)];
  if (e & kSubtable) {
    e = table[Value(e) + ((bits >> root_bits) & ((1u << ExtraBits(e)) - 1))];
  }
  return e;
}

}  // namespace huffman

// The outcome of a table build.
enum class [[nodiscard]] TableResult {
  kComplete,          // also a code without any symbol: every lookup then finds an invalid entry
  kSingleOneBitCode,  // incomplete, yet built: the other one-bit code finds an invalid entry
  kIncomplete,        // any other incomplete code: not built
  kBadLengths,        // over-subscribed or too long lengths, or a table over its capacity
};

// What a build means for the member: any code set but a complete one ends it. (Inflate alone
// takes a single one-bit distance code.)
constexpr DecodeResult ToDecodeResult(TableResult r) {
  switch (r) {
    case TableResult::kComplete:
      return DecodeResult::kOk;
    case TableResult::kSingleOneBitCode:
    case TableResult::kIncomplete:
      return DecodeResult::kBadData;
    case TableResult::kBadLengths:
      break;
  }
  return DecodeResult::kBadCodes;
}

// Builds the table for the code given by lengths[0, n) (0 = symbol unused, at most max_length,
// which is at most kMaxTableCodeLength; n is at most kMaxTableSymbols); symbol_entries[s] is the
// entry part for symbol s. capacity bounds the table (see TableCapacity).
TableResult BuildHuffmanTable(const uint8_t* lengths, unsigned n, unsigned max_length,
                              unsigned root_bits, const uint32_t* symbol_entries, uint32_t* table,
                              size_t capacity);

}  // namespace vl4::zip
