// Unreduce on a hand-made stream: follower sets, raw bytes, DLE escapes and a match reaching
// before the data. Real reduced members (all four factors) are in corpus_test.cpp.
#include <gtest/gtest.h>

#include "bit_writer.h"
#include "memory_member_io.h"
#include "zip/decompress/unreduce.h"

namespace vl4::zip {
namespace {

using testing::BitWriter;
using testing::MemoryMemberIo;

TEST(Unreduce, FollowerSetsEscapesAndMatches) {
  BitWriter w;
  for (int j = 255; j >= 0; --j) {
    if (j == 'A') {
      w.Put(2, 6);  // 'A' is followed by 'B' or 'C' (one index bit)
      w.Put('B', 8);
      w.Put('C', 8);
    } else {
      w.Put(0, 6);
    }
  }
  w.Put('A', 8);  // after byte 0, whose set is empty: raw
  w.Put(0, 1);    // after 'A': a follower...
  w.Put(1, 1);    // ... number 1: 'C'
  w.Put('A', 8);  // after 'C': raw
  w.Put(1, 1);    // after 'A': a raw byte follows
  w.Put('Z', 8);
  w.Put(144, 8);           // DLE
  w.Put((1 << 6) | 2, 8);  // factor 2: length 2 + 3, distance high bits 1
  w.Put(3, 8);             // distance 256 + 3 + 1: before the data
  w.Put(144, 8);           // DLE 0: the byte 144 itself
  w.Put(0, 8);
  const std::vector<uint8_t> stream = w.Finish();
  const std::vector<uint8_t> expected = {'A', 'C', 'A', 'Z', 0, 0, 0, 0, 0, 144};

  for (size_t piece : {size_t{1}, kIoBufferSize}) {
    MemoryMemberIo io(stream, piece, static_cast<int64_t>(expected.size()));
    EXPECT_EQ(Unreduce(io, 2), DecodeResult::kOk);
    EXPECT_EQ(io.output, expected);
    EXPECT_EQ(io.flushes, std::vector<size_t>{expected.size()});
  }
  MemoryMemberIo longer(stream, kIoBufferSize, 100);
  EXPECT_EQ(Unreduce(longer, 2), DecodeResult::kTruncated);
  EXPECT_TRUE(longer.flushes.empty());
  MemoryMemberIo bad_factor(stream, kIoBufferSize, 1);
  EXPECT_EQ(Unreduce(bad_factor, 5), DecodeResult::kBadData);
}

}  // namespace
}  // namespace vl4::zip
