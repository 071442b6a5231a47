// The buffered stream, the long-file-name file stream and the stream message table.
#include <gtest/gtest.h>

#include <string>

#include "platform/exception.h"
#include "tests/zip/fake_platform.h"
#include "zip/lfn_file_stream.h"
#include "zip/stream_messages.h"
#include "zip/string_resource.h"

namespace vl4::zip {
namespace {

using test::FakeSystem;
using test::MemoryFiles;

std::string Bytes(size_t n) {
  std::string s(n, '\0');
  for (size_t i = 0; i < n; ++i) s[i] = static_cast<char>(i * 7 + i / 251);
  return s;
}

class StreamTest : public ::testing::Test {
 protected:
  std::unique_ptr<TLFNFileStream> Open(platform::OpenMode mode) {
    return std::make_unique<TLFNFileStream>(files_, messages_, "C:\\f.bin", mode);
  }
  std::string& Data() { return files_.Find("C:\\f.bin")->data; }

  MemoryFiles files_;
  FakeSystem system_;
  StringResourceCache messages_{system_};
};

TEST_F(StreamTest, ReadSeekBackReadAgainDeliversTheSameBytes) {
  files_.Put("C:\\f.bin", Bytes(20000));
  auto s = Open(platform::OpenMode::kRead);
  char a[4], b[4];
  s->Seek(8190, 0);  // the four bytes straddle two fills
  ASSERT_EQ(s->Read(a, 4), 4u);
  EXPECT_EQ(s->Seek(-4, 1), 8190);
  ASSERT_EQ(s->Read(b, 4), 4u);
  EXPECT_EQ(std::string(a, 4), std::string(b, 4));
  EXPECT_EQ(std::string(a, 4), Bytes(20000).substr(8190, 4));
}

TEST_F(StreamTest, LargeReadsGoThroughTheBufferAndSeekingInPlaceCostsNothing) {
  files_.Put("C:\\f.bin", Bytes(20000));
  auto s = Open(platform::OpenMode::kRead);
  int fills = 0;
  s->OnFill = [&] { ++fills; };
  std::string got(20000, '\0');
  EXPECT_EQ(s->Read(got.data(), 20000), 20000u);
  EXPECT_EQ(got, Bytes(20000));
  EXPECT_EQ(fills, 3);
  EXPECT_EQ(s->Read(got.data(), 1), 0u);  // at the end: one more (empty) fill, no error
  fills = 0;
  EXPECT_EQ(s->Seek(0, 1), 20000);
  EXPECT_EQ(s->Seek(20000, 0), 20000);
  EXPECT_EQ(fills, 0);
}

TEST_F(StreamTest, SeekFromTheEndIgnoresTheOffsetsSignAndCountsPendingBytes) {
  files_.Put("C:\\f.bin", Bytes(1000));
  auto s = Open(platform::OpenMode::kReadWrite);
  EXPECT_EQ(s->Seek(-4, 2), 996);
  EXPECT_EQ(s->Seek(4, 2), 996);
  s->Seek(0, 2);
  EXPECT_EQ(s->Write(Bytes(100).data(), 100), 100u);
  EXPECT_EQ(Data().size(), 1000u);  // still in the buffer
  EXPECT_EQ(s->Seek(0, 2), 1100);
  EXPECT_EQ(s->Size(), 1100);
}

TEST_F(StreamTest, AWriteOfTwentyThousandBytesLeavesTheRemainderPendingUntilDestruction) {
  auto s = Open(platform::OpenMode::kCreate);
  int flushes = 0;
  s->OnFlush = [&] { ++flushes; };
  EXPECT_EQ(s->Write(Bytes(20000).data(), 20000), 20000u);
  EXPECT_EQ(flushes, 2);
  EXPECT_EQ(Data(), Bytes(20000).substr(0, 16384));
  EXPECT_EQ(s->Position(), 20000);
  s.reset();  // the buffer is written before the file closes
  EXPECT_EQ(Data(), Bytes(20000));
}

TEST_F(StreamTest, WritingAfterReadingGoesToTheLogicalPosition) {
  files_.Put("C:\\f.bin", Bytes(100));
  auto s = Open(platform::OpenMode::kReadWrite);
  char b[10];
  s->Read(b, 10);
  s->Write("xyz", 3);
  s.reset();
  EXPECT_EQ(Data(), Bytes(100).substr(0, 10) + "xyz" + Bytes(100).substr(13));

  // Having read up to the end, a write appends.
  s = Open(platform::OpenMode::kReadWrite);
  std::string all(200, '\0');
  EXPECT_EQ(s->Read(all.data(), 200), 100u);
  EXPECT_EQ(s->Write("end", 3), 3u);
  s.reset();
  EXPECT_EQ(Data().size(), 103u);
  EXPECT_EQ(Data().substr(100), "end");
}

TEST_F(StreamTest, StreamErrorsCarryTheTablesMessages) {
  files_.Put("C:\\f.bin", Bytes(100));
  auto s = Open(platform::OpenMode::kRead);
  try {
    s->Seek(0, 3);
    FAIL() << "origin 3 accepted";
  } catch (const EStreamError&) {
    FAIL() << "a stream error instead of the general exception";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "Invalid seek origin (3)");
  }
  try {
    s->PutBack('x');
    FAIL() << "put back on a fresh stream";
  } catch (const EStreamError& e) {
    EXPECT_EQ(e.Message(), "Putback overflow");
  }
  // A write the file refuses (it is open read-only) makes the seek that must flush it fail.
  EXPECT_EQ(s->Write("abc", 3), 3u);
  try {
    s->Seek(0, 0);
    FAIL() << "seek after a failed flush";
  } catch (const EStreamError& e) {
    EXPECT_EQ(e.Message(), "Seek error");
  }
}

TEST_F(StreamTest, PutBackStoresTheByteWhereTheNextReadFindsIt) {
  files_.Put("C:\\f.bin", "abcdef");
  auto s = Open(platform::OpenMode::kRead);
  char c;
  s->Read(&c, 1);
  s->Read(&c, 1);
  s->PutBack('Z');
  char rest[5];
  ASSERT_EQ(s->Read(rest, 5), 5u);
  EXPECT_EQ(std::string(rest, 5), "Zcdef");
}

TEST_F(StreamTest, FileStreamModes) {
  EXPECT_THROW(Open(platform::OpenMode::kRead), EFOpenError);
  files_.Put("C:\\f.bin", "old contents", 0x12345678);
  EXPECT_EQ(Open(platform::OpenMode::kReadDenyWrite)->DosTime(), 0x12345678u);
  Open(platform::OpenMode::kCreate)->Write("new", 3);
  EXPECT_EQ(Data(), "new");
}

TEST(StreamMessagesTest, TheTableHoldsTheSevenMessagesAndNothingElse) {
  FakeSystem system;
  StringResourceCache cache(system);
  const char* expected[] = {"Seek error",
                            "Invalid seek origin (%d)",
                            "Putback overflow",
                            "Cannot find resource",
                            "Cannot access resource",
                            "Seek past end of resource stream",
                            "Cannot write to a resource stream"};
  for (int n = 1; n <= 7; ++n) EXPECT_EQ(cache.Lookup("s_stream", n), expected[n - 1]) << n;
  EXPECT_EQ(cache.Lookup(kStreamMessages, 9), "");
  EXPECT_EQ(cache.Lookup(kStreamMessages, 0), "");
  try {
    cache.Lookup("S_NOTHING", 1);
    FAIL() << "a missing table";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "No such string resource: S_NOTHING");
  }
}

}  // namespace
}  // namespace vl4::zip
