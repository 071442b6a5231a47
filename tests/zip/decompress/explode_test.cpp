// Explode on hand-made streams: both dictionary sizes and tree counts, distances reaching before
// the data, bad tree descriptions, truncation. Real imploded members are in corpus_test.cpp.
#include <gtest/gtest.h>

#include "bit_writer.h"
#include "memory_member_io.h"
#include "zip/decompress/explode.h"

namespace vl4::zip {
namespace {

using testing::BitWriter;
using testing::MemoryMemberIo;

constexpr uint16_t k8KDictionary = 0x0002;
constexpr uint16_t kLiteralTree = 0x0004;

// Trees whose codes all have the same length: symbol s is then code s, stored inverted.
void UniformTree(BitWriter& w, unsigned symbols, unsigned bits) {
  const unsigned bytes = symbols / 16;
  w.Put(bytes - 1, 8);
  for (unsigned i = 0; i < bytes; ++i) w.Put(0xF0 | (bits - 1), 8);
}
void Code(BitWriter& w, unsigned symbol, unsigned bits) {
  w.PutCode(~symbol & ((1u << bits) - 1), bits);
}

struct Imploder {
  explicit Imploder(uint16_t flag) : flag(flag) {
    if (flag & kLiteralTree) UniformTree(w, 256, 8);
    UniformTree(w, 64, 6);  // lengths
    UniformTree(w, 64, 6);  // distances
  }
  void Literal(uint8_t b) {
    w.Put(1, 1);
    if (flag & kLiteralTree) {
      Code(w, b, 8);
    } else {
      w.Put(b, 8);
    }
  }
  void Match(unsigned distance, unsigned length) {
    const unsigned low_bits = (flag & k8KDictionary) ? 7 : 6;
    w.Put(0, 1);
    w.Put((distance - 1) & ((1u << low_bits) - 1), low_bits);
    Code(w, (distance - 1) >> low_bits, 6);
    const unsigned l = length - ((flag & kLiteralTree) ? 3 : 2);
    Code(w, l < 63 ? l : 63, 6);
    if (l >= 63) w.Put(l - 63, 8);
  }
  uint16_t flag;
  BitWriter w;
};

std::vector<uint8_t> Bytes(std::string_view s) {
  return {s.begin(), s.end()};
}

TEST(Explode, HandMadeStreams) {
  struct Case {
    const char* what;
    uint16_t flag;
    std::vector<uint8_t> stream;
    std::vector<uint8_t> output;
  };
  std::vector<Case> cases;
  {
    Imploder s(0);
    s.Literal('A');
    s.Match(2, 4);     // one byte before the data: 0, A, 0, A
    s.Match(4000, 3);  // all before the data: zeros
    s.Literal('B');
    s.Match(1, 70);  // the long-length escape
    cases.push_back({"4 KiB, two trees", 0, s.w.Finish(), {}});
    auto& out = cases.back().output;
    out = {'A', 0, 'A', 0, 'A', 0, 0, 0, 'B'};
    out.insert(out.end(), 70, 'B');
  }
  {
    Imploder s(k8KDictionary | kLiteralTree);
    s.Literal('x');
    s.Literal('y');
    s.Match(5000, 3);  // before the data
    s.Match(5, 5);     // x y 0 0 0
    cases.push_back({"8 KiB, three trees",
                     k8KDictionary | kLiteralTree,
                     s.w.Finish(),
                     {'x', 'y', 0, 0, 0, 'x', 'y', 0, 0, 0}});
  }
  {
    Imploder s(0);
    s.Literal('a');
    s.Match(1, 10);  // runs past the uncompressed size: cut there
    cases.push_back({"match cut at the size", 0, s.w.Finish(), Bytes("aaaaa")});
  }
  for (const Case& c : cases) {
    for (size_t piece : {size_t{1}, kIoBufferSize}) {
      MemoryMemberIo io(c.stream, piece, static_cast<int64_t>(c.output.size()), c.flag);
      EXPECT_EQ(Explode(io), DecodeResult::kOk) << c.what;
      EXPECT_EQ(io.output, c.output) << c.what;
      EXPECT_EQ(io.flushes, std::vector<size_t>{c.output.size()}) << c.what;
    }
    // Asked for more than the stream holds: the input ends first.
    MemoryMemberIo io(c.stream, kIoBufferSize, static_cast<int64_t>(c.output.size()) + 1000,
                      c.flag);
    EXPECT_EQ(Explode(io), DecodeResult::kTruncated) << c.what;
    EXPECT_TRUE(io.flushes.empty()) << c.what;
  }
}

TEST(Explode, BadTrees) {
  struct Case {
    const char* what;
    std::vector<uint8_t> tree_bytes;  // the length tree's description; the others are fine
    DecodeResult result;
  };
  const std::vector<Case> cases = {
      {"too many lengths", {4, 0xF5, 0xF5, 0xF5, 0xF5, 0x05}, DecodeResult::kBadTree},
      {"too few lengths", {2, 0xF5, 0xF5, 0xF5}, DecodeResult::kBadTree},
      {"incomplete tree", {3, 0xF5, 0xF5, 0xF5, 0xE5, 0x06}, DecodeResult::kBadTree},
      {"incomplete lengths", {4, 0xF5, 0xF5, 0xF5, 0xE5, 0x06}, DecodeResult::kBadData},
      {"over-subscribed", {4, 0xF5, 0xF5, 0xF5, 0xE5, 0x04}, DecodeResult::kBadCodes},
  };
  for (const Case& c : cases) {
    BitWriter w;
    w.PutBytes(c.tree_bytes);
    UniformTree(w, 64, 6);
    w.Put(1, 1);
    w.Put('a', 8);
    MemoryMemberIo io(w.Finish(), kIoBufferSize, 1, 0);
    EXPECT_EQ(Explode(io), c.result) << c.what;
    EXPECT_TRUE(io.flushes.empty()) << c.what;
  }
}

}  // namespace
}  // namespace vl4::zip
