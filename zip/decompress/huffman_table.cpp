// Building the decoding tables of canonical prefix codes.
#include "zip/decompress/huffman_table.h"

#include <algorithm>

namespace vl4::zip {

namespace {

// The next canonical code of the same length, the code held bit-reversed (as it is read); 0 after
// the last code of a complete set.
uint32_t NextCode(uint32_t code, unsigned length) {
  uint32_t bit = 1u << (length - 1);
  while (code & bit) bit >>= 1;
  if (bit == 0) return 0;
  return (code & (bit - 1)) | bit;
}

}  // namespace

TableResult BuildHuffmanTable(const uint8_t* lengths, unsigned n, unsigned max_length,
                              unsigned root_bits, const uint32_t* symbol_entries, uint32_t* table,
                              size_t capacity) {
  using namespace huffman;
  const size_t root_size = size_t{1} << root_bits;
  if (n > kMaxTableSymbols || max_length > kMaxTableCodeLength || capacity < root_size) {
    return TableResult::kBadLengths;
  }

  unsigned count[kMaxTableCodeLength + 1] = {};
  for (unsigned s = 0; s < n; ++s) {
    if (lengths[s] > max_length) return TableResult::kBadLengths;
    ++count[lengths[s]];
  }
  const unsigned used = n - count[0];
  if (used == 0) {
    std::fill(table, table + root_size, kInvalidEntry);
    return TableResult::kComplete;
  }

  // Kraft sum: codes left over at each length.
  int left = 1;
  for (unsigned len = 1; len <= max_length; ++len) {
    left = (left << 1) - static_cast<int>(count[len]);
    if (left < 0) return TableResult::kBadLengths;
  }
  // An incomplete code is built only when it is a single one-bit code.
  if (left > 0 && !(used == 1 && count[1] == 1)) return TableResult::kIncomplete;
  const TableResult built = left > 0 ? TableResult::kSingleOneBitCode : TableResult::kComplete;

  // Symbols in canonical order: by length, then by value.
  unsigned offset[kMaxTableCodeLength + 2] = {};
  for (unsigned len = 1; len <= max_length; ++len) offset[len + 1] = offset[len] + count[len];
  uint16_t sorted[kMaxTableSymbols];
  for (unsigned s = 0; s < n; ++s) {
    if (lengths[s] != 0) sorted[offset[lengths[s]]++] = static_cast<uint16_t>(s);
  }

  uint32_t code = 0;
  unsigned k = 0;  // index into sorted
  unsigned len = 1;
  // Codes that fit the root, by doubling: once the codes of up to `filled` bits are in the first
  // 2^filled entries, a copy of those entries covers the next bit's both values, which is where
  // the codes of one more bit go. At root size every entry starting with a code holds it.
  unsigned filled = 0;
  for (; len <= max_length && len <= root_bits; ++len) {
    if (count[len] == 0) continue;
    if (filled == 0) {
      // Entries no code of this length takes start longer codes (or none, when incomplete).
      filled = len;
      std::fill_n(table, size_t{1} << len, kInvalidEntry);
    }
    for (; filled < len; ++filled) {
      std::copy_n(table, size_t{1} << filled, table + (size_t{1} << filled));
    }
    for (unsigned c = count[len]; c > 0; --c) {
      table[code] = symbol_entries[sorted[k++]] | len;
      code = NextCode(code, len);
    }
  }
  if (filled == 0) {
    std::fill_n(table, root_size, kInvalidEntry);
    filled = root_bits;
  }
  for (; filled < root_bits; ++filled) {
    std::copy_n(table, size_t{1} << filled, table + (size_t{1} << filled));
  }
  if (len > max_length) return built;

  // Longer codes: one subtable per root prefix, as deep as the codes under that prefix need.
  unsigned remaining[kMaxTableCodeLength + 1];
  std::copy(count, count + kMaxTableCodeLength + 1, remaining);
  size_t next_subtable = root_size;
  size_t subtable = 0;
  unsigned sub_bits = 0;
  uint32_t prefix = ~0u;
  const uint32_t root_mask = static_cast<uint32_t>(root_size - 1);
  for (; len <= max_length; ++len) {
    for (; remaining[len] > 0; --remaining[len]) {
      if ((code & root_mask) != prefix) {
        prefix = code & root_mask;
        sub_bits = len - root_bits;
        int room = (1 << sub_bits) - static_cast<int>(remaining[len]);
        while (room > 0 && root_bits + sub_bits < max_length) {
          ++sub_bits;
          room = (room << 1) - static_cast<int>(remaining[root_bits + sub_bits]);
        }
        subtable = next_subtable;
        next_subtable += size_t{1} << sub_bits;
        if (next_subtable > capacity) return TableResult::kBadLengths;
        table[prefix] =
            SymbolEntry(static_cast<uint32_t>(subtable), sub_bits, kSubtable) | root_bits;
      }
      const uint32_t e = symbol_entries[sorted[k++]] | len;
      for (size_t i = code >> root_bits; i < (size_t{1} << sub_bits);
           i += size_t{1} << (len - root_bits)) {
        table[subtable + i] = e;
      }
      code = NextCode(code, len);
    }
  }
  return built;
}

}  // namespace vl4::zip
