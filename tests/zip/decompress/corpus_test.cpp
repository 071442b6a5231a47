// Every shrunk, reduced, imploded and deflated member of the interoperability corpus decompresses
// to its stored size and CRC, in whole pieces and in tiny ones. The reduced archives hold the same
// files as the shrunk one, so Reduce is checked against CRCs that other tools produced.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "memory_member_io.h"
#include "zip/decompress/crc32.h"
#include "zip/decompress/explode.h"
#include "zip/decompress/inflate.h"
#include "zip/decompress/unreduce.h"
#include "zip/decompress/unshrink.h"
#include "zip_members.h"

namespace vl4::zip {
namespace {

using testing::MemoryMemberIo;

DecodeResult Decompress(uint16_t method, MemberIo& io) {
  switch (method) {
    case 1:
      return Unshrink(io);
    case 2:
    case 3:
    case 4:
    case 5:
      return Unreduce(io, method - 1);
    case 6:
      return Explode(io);
    default:
      return Inflate(io);
  }
}

TEST(Corpus, EveryMethodMatchesTheStoredCrc) {
  const auto corpus = testing::CorpusDir();
  if (!corpus) GTEST_SKIP() << "zip corpus not present";
  const std::vector<std::string> archives = {
      "sharpcompress/Zip.shrink.zip",
      "sharpcompress/Zip.reduce1.zip",
      "sharpcompress/Zip.reduce2.zip",
      "sharpcompress/Zip.reduce3.zip",
      "sharpcompress/Zip.reduce4.zip",
      "sharpcompress/Zip.implode.zip",
      "commons-compress/SHRUNK.ZIP",
      "commons-compress/imploding-4Kdict-2trees.zip",
      "commons-compress/imploding-8Kdict-3trees.zip",
      "commons-compress/lorem-ipsum-implode.zip",
      "commons-compress/moby-imploded.zip",
      "sharpcompress/Zip.deflate.zip",
      "commons-compress/mixed.zip",
      "commons-compress/ordertest.zip",
  };
  std::map<uint16_t, int> checked;
  for (const std::string& name : archives) {
    const bool big = name.find("moby") != std::string::npos;
    for (const auto& m : testing::ReadRawMembers(*corpus + "/" + name)) {
      if (m.method == 0 || m.method == 7 || m.method > 8) continue;
      for (size_t piece : {kIoBufferSize, big ? size_t{3} : size_t{1}}) {
        MemoryMemberIo io(m.data, piece, static_cast<int64_t>(m.uncompressed_size), m.bit_flag);
        ASSERT_EQ(Decompress(m.method, io), DecodeResult::kOk) << name << " " << m.name;
        EXPECT_EQ(io.output.size(), m.uncompressed_size) << name << " " << m.name;
        EXPECT_EQ(~Crc32Update(0xFFFFFFFF, io.output.data(), io.output.size()), m.crc32)
            << name << " " << m.name << " piece " << piece;
        EXPECT_TRUE(testing::FlushesArePieces(io.flushes)) << name << " " << m.name;
      }
      ++checked[m.method];
    }
  }
  for (uint16_t method : {1, 2, 3, 4, 5, 6, 8})
    EXPECT_GT(checked[method], 0) << "method " << method;
}

}  // namespace
}  // namespace vl4::zip
