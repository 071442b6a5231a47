// Decoding tables: the results of the table build, and every symbol of random complete codes
// (long codes included, so subtables are exercised) decoding back from its bits.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "bit_writer.h"
#include "zip/decompress/huffman_table.h"

namespace vl4::zip {
namespace {

using namespace huffman;

std::vector<uint32_t> ValueEntries(unsigned n) {
  std::vector<uint32_t> e(n);
  for (unsigned s = 0; s < n; ++s) e[s] = SymbolEntry(s, 0);
  return e;
}

TableResult Build(const std::vector<uint8_t>& lengths, unsigned max_length, unsigned root_bits,
                  std::vector<uint32_t>& table) {
  const unsigned n = static_cast<unsigned>(lengths.size());
  table.assign(TableCapacity(n, max_length, root_bits), 0);
  const auto entries = ValueEntries(n);
  return BuildHuffmanTable(lengths.data(), n, max_length, root_bits, entries.data(), table.data(),
                           table.size());
}

TEST(HuffmanTable, ResultCodes) {
  struct Case {
    const char* what;
    std::vector<uint8_t> lengths;
    TableResult result;
  };
  const std::vector<Case> cases = {
      {"complete", {1, 2, 3, 3}, TableResult::kComplete},
      {"no symbol at all", {0, 0, 0}, TableResult::kComplete},
      {"incomplete", {2, 2, 2, 0}, TableResult::kIncomplete},
      {"single one-bit code", {0, 1, 0}, TableResult::kSingleOneBitCode},
      {"single longer code", {0, 3, 0}, TableResult::kIncomplete},
      {"over-subscribed", {1, 1, 1}, TableResult::kBadLengths},
      {"too long", {1, 16, 16}, TableResult::kBadLengths},
  };
  for (const Case& c : cases) {
    std::vector<uint32_t> table;
    EXPECT_EQ(Build(c.lengths, 15, 7, table), c.result) << c.what;
  }
}

TEST(HuffmanTable, SingleCodeLeavesTheOtherBitInvalid) {
  std::vector<uint32_t> table;
  ASSERT_EQ(Build({0, 0, 1}, 15, 8, table), TableResult::kSingleOneBitCode);
  EXPECT_EQ(Value(Lookup(table.data(), 8, 0b0)), 2u);
  EXPECT_EQ(CodeLength(Lookup(table.data(), 8, 0b0)), 1u);
  EXPECT_TRUE(Lookup(table.data(), 8, 0b1) & kInvalid);
}

// A random complete code: leaves split at random until there are n, then shuffled over symbols.
std::vector<uint8_t> RandomCompleteLengths(unsigned n, unsigned max_length, std::mt19937& rng) {
  std::vector<uint8_t> depth = {0};
  while (depth.size() < n) {
    size_t i = rng() % depth.size();
    if (depth[i] >= max_length) continue;
    // Prefer deep leaves now and then so that codes reach the maximum length.
    if (rng() % 4 == 0) {
      i = std::max_element(depth.begin(), depth.end()) - depth.begin();
      if (depth[i] >= max_length) continue;
    }
    ++depth[i];
    depth.push_back(depth[i]);
  }
  std::shuffle(depth.begin(), depth.end(), rng);
  return depth;
}

uint64_t Reversed(uint32_t code, unsigned length) {
  uint64_t r = 0;
  for (unsigned i = 0; i < length; ++i) r |= uint64_t{(code >> (length - 1 - i)) & 1} << i;
  return r;
}

TEST(HuffmanTable, EverySymbolDecodes) {
  struct Shape {
    unsigned n, max_length, root_bits;
  };
  std::mt19937 rng(7);
  for (Shape shape : {Shape{288, 15, 11}, Shape{30, 15, 8}, Shape{19, 7, 7}, Shape{256, 16, 10},
                      Shape{64, 16, 8}, Shape{288, 15, 9}}) {
    for (int round = 0; round < 20; ++round) {
      const auto lengths = RandomCompleteLengths(shape.n, shape.max_length, rng);
      std::vector<uint32_t> table;
      ASSERT_EQ(Build(lengths, shape.max_length, shape.root_bits, table), TableResult::kComplete);
      const auto codes = testing::CanonicalCodes(lengths);
      for (unsigned s = 0; s < shape.n; ++s) {
        const uint64_t noise = uint64_t{rng()} << lengths[s];
        const uint32_t e =
            Lookup(table.data(), shape.root_bits, Reversed(codes[s], lengths[s]) | noise);
        ASSERT_EQ(Value(e), s) << "n " << shape.n << " round " << round;
        ASSERT_EQ(CodeLength(e), lengths[s]);
      }
    }
  }
}

}  // namespace
}  // namespace vl4::zip
