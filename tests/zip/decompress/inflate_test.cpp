// Inflate: real streams from Info-ZIP zip (every level) and 7-Zip, fed in pieces of every awkward
// size; hand-made blocks for the errors and edges; flush pieces; truncation.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "deflate_writer.h"
#include "memory_member_io.h"
#include "zip/decompress/crc32.h"
#include "zip/decompress/inflate.h"
#include "zip_members.h"

namespace vl4::zip {
namespace {

using testing::DeflateWriter;
using testing::FlushesArePieces;
using testing::MemoryMemberIo;

uint32_t CrcOf(const std::vector<uint8_t>& v) {
  return ~Crc32Update(0xFFFFFFFF, v.data(), v.size());
}

std::vector<std::string> FixtureArchives() {
  std::vector<std::string> names;
  auto dir = testing::FixtureDir();
  if (!dir) return names;
  std::ifstream list(*dir + "/fixtures.list");
  for (std::string name; std::getline(list, name);) {
    if (name != "encrypted.zip") names.push_back(*dir + "/" + name);
  }
  return names;
}

TEST(Inflate, RealStreamsInPiecesOfEverySize) {
  const auto archives = FixtureArchives();
  if (archives.empty()) GTEST_SKIP() << "fixtures not made";
  int deflated = 0;
  for (const std::string& archive : archives) {
    const bool thorough = archive.ends_with("level6.zip") || archive.ends_with("7zip.zip");
    const std::vector<size_t> pieces = thorough ? std::vector<size_t>{kIoBufferSize, 1, 7, 9, 4099}
                                                : std::vector<size_t>{kIoBufferSize};
    for (const auto& m : testing::ReadRawMembers(archive)) {
      if (m.method != 8) continue;
      ++deflated;
      for (size_t piece : pieces) {
        MemoryMemberIo io(m.data, piece, static_cast<int64_t>(m.uncompressed_size));
        ASSERT_EQ(Inflate(io), DecodeResult::kOk) << archive << " " << m.name << " piece " << piece;
        EXPECT_EQ(io.output.size(), m.uncompressed_size) << archive << " " << m.name;
        EXPECT_EQ(CrcOf(io.output), m.crc32) << archive << " " << m.name << " piece " << piece;
        EXPECT_TRUE(FlushesArePieces(io.flushes)) << archive << " " << m.name;
      }
    }
  }
  EXPECT_GT(deflated, 40);
}

std::vector<uint8_t> Bytes(std::string_view s) {
  return {s.begin(), s.end()};
}

TEST(Inflate, HandMadeBlocks) {
  struct Case {
    const char* what;
    std::vector<uint8_t> stream;
    DecodeResult result;
    std::vector<uint8_t> output;  // expected when the result is DecodeResult::kOk
  };
  std::vector<Case> cases;
  {
    DeflateWriter d;
    d.Stored(true, {});
    cases.push_back({"empty final stored block", d.Finish(), DecodeResult::kOk, {}});
  }
  {
    DeflateWriter d;
    d.Stored(false, Bytes("abc"));
    d.Stored(false, {});
    d.Header(true, 1);
    d.FixedSymbol('d');
    d.FixedMatch(5, 4);  // "abcdabcda"
    d.FixedSymbol(256);
    cases.push_back(
        {"stored blocks then a fixed one", d.Finish(), DecodeResult::kOk, Bytes("abcdabcda")});
  }
  {
    DeflateWriter d;
    d.Header(true, 3);
    cases.push_back({"block type 3", d.Finish(), DecodeResult::kBadCodes, {}});
  }
  {
    DeflateWriter d;
    d.Header(true, 0);
    d.w.AlignToByte();
    d.w.Put(3, 16);
    d.w.Put(3, 16);  // not the ones' complement
    d.w.PutBytes(Bytes("abc"));
    cases.push_back(
        {"stored length without its complement", d.Finish(), DecodeResult::kBadData, {}});
  }
  {
    DeflateWriter d;
    d.Header(true, 1);
    d.FixedSymbol('a');
    d.FixedMatch(3, 2);
    d.FixedSymbol(256);
    cases.push_back({"distance before the data", d.Finish(), DecodeResult::kBadData, {}});
  }
  {
    DeflateWriter d;
    d.Header(true, 1);
    d.FixedSymbol('a');
    d.FixedSymbol(286);
    cases.push_back({"fixed length code 286", d.Finish(), DecodeResult::kBadData, {}});
  }
  {
    DeflateWriter d;
    d.Header(true, 1);
    d.FixedSymbol('a');
    d.FixedSymbol(257);
    d.w.PutCode(30, 5);
    cases.push_back({"fixed distance code 30", d.Finish(), DecodeResult::kBadData, {}});
  }
  // Dynamic blocks: literals 'a', 'b' and end of block, with various distance codes.
  std::vector<uint8_t> litlen(257, 0);
  litlen['a'] = 2;
  litlen['b'] = 2;
  litlen[256] = 2;
  {
    auto l = litlen;
    l.push_back(2);  // length code 257 (3 bytes) completes the set
    DeflateWriter d;
    d.DynamicHeader(true, l, {1});  // a single one-bit distance code
    d.Symbol('a');
    d.Symbol('b');
    d.DynamicMatch(3, 1);
    d.Symbol(256);
    cases.push_back(
        {"single one-bit distance code", d.Finish(), DecodeResult::kOk, Bytes("abbbb")});
  }
  {
    auto l = litlen;
    l.push_back(2);
    DeflateWriter d;
    d.DynamicHeader(true, l, {0, 3});  // a single distance code, but of three bits
    d.Symbol('a');
    d.DynamicMatch(3, 2);
    d.Symbol(256);
    cases.push_back({"single longer distance code", d.Finish(), DecodeResult::kBadData, {}});
  }
  {
    auto l = litlen;
    l['c'] = 2;
    DeflateWriter d;
    d.DynamicHeader(true, l, {0});  // no distance codes: literals only
    d.Symbol('c');
    d.Symbol('a');
    d.Symbol(256);
    cases.push_back({"no distance codes", d.Finish(), DecodeResult::kOk, Bytes("ca")});
  }
  {
    DeflateWriter d;
    d.DynamicHeader(true, litlen, {1});  // three 2-bit codes: incomplete
    d.Symbol('a');
    d.Symbol(256);
    cases.push_back({"incomplete literal/length code", d.Finish(), DecodeResult::kBadData, {}});
  }
  {
    std::vector<uint8_t> l(257, 0);
    l[256] = 1;  // a single one-bit code: taken for distances only
    DeflateWriter d;
    d.DynamicHeader(true, l, {1});
    d.Symbol(256);
    cases.push_back({"single one-bit literal/length code", d.Finish(), DecodeResult::kBadData, {}});
  }
  {
    auto l = litlen;
    l['c'] = 2;
    DeflateWriter d;
    d.DynamicHeader(true, l, {2, 2, 2});  // incomplete distance code
    d.Symbol('a');
    d.Symbol(256);
    cases.push_back({"incomplete distance code", d.Finish(), DecodeResult::kBadData, {}});
  }
  {
    auto l = litlen;
    l['c'] = 1;
    DeflateWriter d;
    d.DynamicHeader(true, l, {1, 1});  // over-subscribed literal/length code
    cases.push_back({"over-subscribed code", d.Finish(), DecodeResult::kBadCodes, {}});
  }
  {
    DeflateWriter d;
    d.Header(true, 2);
    d.w.Put(30, 5);  // 287 literal/length codes
    d.w.Put(0, 5);
    d.w.Put(0, 4);
    d.w.Put(0, 24);
    cases.push_back({"more than 286 literal/length codes", d.Finish(), DecodeResult::kBadData, {}});
  }
  {
    // Code-length code with 16 (repeat previous) as the very first length.
    DeflateWriter d;
    d.Header(true, 2);
    d.w.Put(0, 5);
    d.w.Put(0, 5);
    d.w.Put(0, 4);      // four code-length lengths: 16, 17, 18, 0
    d.w.Put(1, 3);      // 16: one bit
    d.w.Put(0, 3);      // 17: unused
    d.w.Put(0, 3);      // 18: unused
    d.w.Put(1, 3);      // 0: one bit
    d.w.PutCode(1, 1);  // 16 first: nothing to repeat
    d.w.Put(0, 2);
    cases.push_back({"repeat before any length", d.Finish(), DecodeResult::kBadData, {}});
  }
  {
    DeflateWriter d;
    d.Header(true, 2);
    d.w.Put(0, 5);
    d.w.Put(0, 5);
    d.w.Put(0, 4);
    d.w.Put(0, 3);
    d.w.Put(0, 3);
    d.w.Put(1, 3);      // 18: one bit
    d.w.Put(1, 3);      // 0: one bit
    d.w.PutCode(1, 1);  // 18: 138 zeros
    d.w.Put(127, 7);
    d.w.PutCode(1, 1);  // 18 again: past the 258 lengths
    d.w.Put(127, 7);
    cases.push_back({"repeat past the last length", d.Finish(), DecodeResult::kBadData, {}});
  }

  for (const Case& c : cases) {
    for (size_t piece : {size_t{1}, kIoBufferSize}) {
      MemoryMemberIo io(c.stream, piece);
      EXPECT_EQ(Inflate(io), c.result) << c.what;
      if (c.result == DecodeResult::kOk) {
        EXPECT_EQ(io.output, c.output) << c.what;
        EXPECT_EQ(io.flushes, std::vector<size_t>{c.output.size()}) << c.what;
      } else {
        EXPECT_TRUE(io.flushes.empty()) << c.what;
      }
    }
  }
}

// A fixed-Huffman member: 'a', then 'b' and matches at distance 1 and 2 up to n bytes.
std::vector<uint8_t> LongFixedMember(size_t n, bool corrupt_after_40000,
                                     std::vector<uint8_t>& plain) {
  DeflateWriter d;
  d.Header(true, 1);
  plain.clear();
  d.FixedSymbol('a');
  plain.push_back('a');
  while (plain.size() < n) {
    if (corrupt_after_40000 && plain.size() >= 40000) {
      d.FixedSymbol(287);
      break;
    }
    if (plain.size() % 1000 == 1) {
      d.FixedSymbol('b');
      plain.push_back('b');
      continue;
    }
    size_t len = std::min<size_t>(258, n - plain.size());
    if (len < 3) {
      d.FixedSymbol('c');
      plain.push_back('c');
      continue;
    }
    size_t dist = plain.size() % 2 ? 1 : 2;
    d.FixedMatch(static_cast<unsigned>(len), static_cast<unsigned>(dist));
    for (size_t i = 0; i < len; ++i) plain.push_back(plain[plain.size() - dist]);
  }
  d.FixedSymbol(256);
  return d.Finish();
}

TEST(Inflate, LongFixedMemberFlushesIn16000BytePieces) {
  std::vector<uint8_t> plain;
  const auto stream = LongFixedMember(70000, false, plain);
  for (size_t piece : {size_t{1}, size_t{5}, kIoBufferSize}) {
    MemoryMemberIo io(stream, piece);
    ASSERT_EQ(Inflate(io), DecodeResult::kOk);
    EXPECT_EQ(io.output, plain);
    EXPECT_EQ(io.flushes, (std::vector<size_t>{16000, 16000, 16000, 16000, 6000}));
  }
}

TEST(Inflate, ErrorFlushesNothingOfTheWindow) {
  // The corrupt code comes after the first 32768-byte window: that window went out (two full
  // pieces, the rest waiting in the output buffer), nothing after it.
  std::vector<uint8_t> plain;
  const auto stream = LongFixedMember(70000, true, plain);
  for (size_t piece : {size_t{1}, kIoBufferSize}) {
    MemoryMemberIo io(stream, piece);
    EXPECT_EQ(Inflate(io), DecodeResult::kBadData);
    EXPECT_EQ(io.flushes, (std::vector<size_t>{16000, 16000}));
    EXPECT_TRUE(std::equal(io.output.begin(), io.output.end(), plain.begin()));
  }
}

TEST(Inflate, MatchEndingAtTheWindowEndInTheFastLoop) {
  // Two literals, then 258-byte matches: one of them starts exactly 258 bytes before the first
  // window's end, the last place the fast loop may start a match, and ends right on it. The
  // literal after it goes into the next window, and each window is handed over as it completes:
  // when a bad code follows the second window, both windows have gone out.
  DeflateWriter d;
  d.Header(true, 1);
  std::vector<uint8_t> plain = {'a', 'a'};
  d.FixedSymbol('a');
  d.FixedSymbol('a');
  for (int i = 0; i < 127; ++i) {
    d.FixedMatch(258, 1);
    plain.insert(plain.end(), 258, 'a');
  }
  ASSERT_EQ(plain.size(), kWindowSize);
  d.FixedSymbol('b');
  plain.push_back('b');
  for (int i = 0; i < 130; ++i) {
    d.FixedMatch(258, 1);
    plain.insert(plain.end(), 258, 'b');
  }
  ASSERT_GT(plain.size(), 2 * kWindowSize);
  d.FixedSymbol(287);
  d.FixedSymbol(256);
  MemoryMemberIo io(d.Finish());
  EXPECT_EQ(Inflate(io), DecodeResult::kBadData);
  EXPECT_EQ(io.flushes, (std::vector<size_t>{16000, 16000, 16000, 16000}));
  EXPECT_TRUE(std::equal(io.output.begin(), io.output.end(), plain.begin()));
}

TEST(Inflate, TruncatedStreamsNeverSucceed) {
  std::vector<uint8_t> plain;
  std::vector<std::vector<uint8_t>> streams = {LongFixedMember(3000, false, plain)};
  if (const auto dir = testing::FixtureDir()) {
    for (const auto& m : testing::ReadRawMembers(*dir + "/level6.zip")) {
      if (m.name == "short-period.txt" || m.name == "numbers.txt") streams.push_back(m.data);
    }
  }
  for (const auto& full : streams) {
    for (size_t cut = 0; cut<full.size(); cut += full.size()> 4000 ? 97 : 1) {
      std::vector<uint8_t> part(full.begin(), full.begin() + static_cast<ptrdiff_t>(cut));
      MemoryMemberIo io(part, 1 + cut % 13);
      EXPECT_NE(Inflate(io), DecodeResult::kOk) << "cut at " << cut << " of " << full.size();
    }
  }
}

}  // namespace
}  // namespace vl4::zip
