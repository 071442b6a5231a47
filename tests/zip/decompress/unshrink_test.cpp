// Unshrink on hand-made code streams: the KwKwK case, a partial clear that frees codes for reuse,
// a code size increase, and a stream asking for more than 13 bits. Real shrunk members are in
// corpus_test.cpp.
#include <gtest/gtest.h>

#include "bit_writer.h"
#include "memory_member_io.h"
#include "zip/decompress/unshrink.h"

namespace vl4::zip {
namespace {

using testing::BitWriter;
using testing::MemoryMemberIo;

struct Code {
  uint32_t value;
  unsigned bits;
};

std::vector<uint8_t> Codes(const std::vector<Code>& codes) {
  BitWriter w;
  for (Code c : codes) w.Put(c.value, c.bits);
  return w.Finish();
}

std::vector<uint8_t> Bytes(std::string_view s) {
  return {s.begin(), s.end()};
}

TEST(Unshrink, HandMadeStreams) {
  struct Case {
    const char* what;
    std::vector<Code> codes;
    DecodeResult result;
    std::vector<uint8_t> output;
  };
  const std::vector<Case> cases = {
      {"KwKwK: codes naming the entry about to be made",
       {{'x', 9}, {257, 9}, {258, 9}},
       DecodeResult::kOk,
       Bytes("xxxxxx")},
      {"partial clear frees the leaves, code size grows",
       {{'a', 9},
        {'b', 9},
        {257, 9},
        {'c', 9},
        {257, 9},  // 257 ab, 258 ba, 259 abc, 260 ca
        {256, 9},
        {2, 9},  // frees 258, 259, 260
        {'d', 9},
        {258, 9},  // 258 abd, then 259 da
        {256, 9},
        {1, 9},  // 10-bit codes
        {259, 10},
        {260, 10}},  // 260 abdd
       DecodeResult::kOk,
       Bytes("ababcabdabddaabdd")},
      {"other control values are ignored",
       {{'q', 9}, {256, 9}, {7, 9}, {'r', 9}},
       DecodeResult::kOk,
       Bytes("qr")},
      {"more than 13 bits",
       {{'a', 9},
        {256, 9},
        {1, 9},
        {256, 10},
        {1, 10},
        {256, 11},
        {1, 11},
        {256, 12},
        {1, 12},
        {256, 13},
        {1, 13},
        {'b', 14}},
       DecodeResult::kBadData,
       {}},
      {"a first code without a string", {{300, 9}}, DecodeResult::kBadData, {}},
  };
  for (const Case& c : cases) {
    const auto stream = Codes(c.codes);
    for (size_t piece : {size_t{1}, kIoBufferSize}) {
      MemoryMemberIo io(stream, piece);
      EXPECT_EQ(Unshrink(io), c.result) << c.what;
      if (c.result == DecodeResult::kOk) {
        EXPECT_EQ(io.output, c.output) << c.what;
        EXPECT_EQ(io.flushes, std::vector<size_t>{c.output.size()}) << c.what;
      } else {
        EXPECT_TRUE(io.flushes.empty()) << c.what;
      }
    }
  }
}

}  // namespace
}  // namespace vl4::zip
