// The zip records: time stamps, the end record search, central and local headers, stored names.
#include <gtest/gtest.h>

#include "tests/zip/fake_platform.h"
#include "tests/zip/zip_builder.h"
#include "zip/dos_date_time.h"
#include "zip/end_central.h"
#include "zip/lfn_file_stream.h"
#include "zip/zip_header_info.h"

namespace vl4::zip {
namespace {

using test::CentralRecord;
using test::EndPlan;
using test::EndRecord;
using test::LocalRecord;
using test::MemberPlan;

constexpr uint32_t Dos(unsigned year, unsigned month, unsigned day, unsigned hour, unsigned minute,
                       unsigned second) {
  return (year - 1980) << 25 | month << 21 | day << 16 | hour << 11 | minute << 5 | second / 2;
}

TEST(DosDateTimeTest, RepairBringsEachPartIntoRangeAndLeavesValidValuesAlone) {
  struct Case {
    uint32_t in, out;
  } cases[] = {
      {Dos(2024, 2, 29, 13, 45, 58), Dos(2024, 2, 29, 13, 45, 58)},
      {Dos(2024, 2, 31, 13, 45, 58), Dos(2024, 2, 31, 13, 45, 58)},  // day not checked by month
      {Dos(2024, 5, 6, 7, 63, 10), Dos(2024, 5, 6, 7, 59, 10)},
      {Dos(2024, 5, 6, 31, 8, 10), Dos(2024, 5, 6, 23, 8, 10)},
      {Dos(2024, 5, 6, 7, 8, 62), Dos(2024, 5, 6, 7, 8, 58)},  // seconds field 31 -> 29
      {Dos(2107, 5, 6, 7, 8, 10), Dos(2099, 5, 6, 7, 8, 10)},
      {Dos(2024, 0, 6, 7, 8, 10), Dos(2024, 1, 6, 7, 8, 10)},
      {Dos(2024, 15, 6, 7, 8, 10), Dos(2024, 12, 6, 7, 8, 10)},
      {Dos(2024, 5, 0, 7, 8, 10), Dos(2024, 5, 1, 7, 8, 10)},
      {0, Dos(1980, 1, 1, 0, 0, 0)},
  };
  for (const Case& c : cases) EXPECT_EQ(RepairDosDateTime(c.in), c.out) << std::hex << c.in;
  EXPECT_TRUE(IsValidDosDateTime(Dos(2024, 2, 29, 0, 0, 0)));
  EXPECT_FALSE(IsValidDosDateTime(Dos(2023, 2, 29, 0, 0, 0)));
  EXPECT_FALSE(IsValidDosDateTime(0));
}

class RecordsTest : public ::testing::Test {
 protected:
  TLFNFileStream& Open(std::string bytes, const std::string& name = "C:\\A.ZIP") {
    files_.Put(name, std::move(bytes));
    streams_.push_back(
        std::make_unique<TLFNFileStream>(files_, messages_, name, platform::OpenMode::kRead));
    return *streams_.back();
  }

  test::MemoryFiles files_;
  test::FakeSystem system_;
  StringResourceCache messages_{system_};
  std::vector<std::unique_ptr<TLFNFileStream>> streams_;
};

TEST_F(RecordsTest, EndRecordSearch) {
  EndPlan plan;
  plan.total_entries = plan.entries_this_disk = 3;
  plan.central_offset = 1234;
  plan.central_size = 99;
  TEndCentral end;

  // Only an end record: found at index 0.
  ASSERT_TRUE(end.FindEndCentral(Open(EndRecord(plan, ""))));
  EXPECT_EQ(end.TotalEntries, 3);
  EXPECT_EQ(end.CentralOffset, 1234u);
  EXPECT_EQ(end.CentralSize, 99u);
  EXPECT_EQ(end.ZipCommentPos, 22);

  // A 100-byte comment.
  plan.comment_length = 100;
  std::string with_comment = std::string(50, 'x') + EndRecord(plan, std::string(100, 'c'));
  ASSERT_TRUE(end.FindEndCentral(Open(with_comment)));
  EXPECT_EQ(end.ZipCommentLength, 100);
  EXPECT_EQ(end.ZipCommentPos, 172 - 100);

  // A comment holding a later signature: the one nearest to the end wins.
  EndPlan fake;
  fake.total_entries = 7;
  std::string inner = EndRecord(fake, "");
  plan.comment_length = static_cast<uint16_t>(inner.size() + 5);
  ASSERT_TRUE(end.FindEndCentral(Open(EndRecord(plan, "hello" + inner))));
  EXPECT_EQ(end.TotalEntries, 7);

  // A comment length larger than the file.
  plan.comment_length = 500;
  ASSERT_TRUE(end.FindEndCentral(Open(EndRecord(plan, ""))));
  EXPECT_EQ(end.ZipCommentPos, 22 - 500);

  plan.comment_length = 0;
  EXPECT_FALSE(end.FindEndCentral(Open(EndRecord(plan, "").substr(0, 21))));
  EXPECT_FALSE(end.FindEndCentral(Open(std::string(5000, 'P'))));
  // More than 65506 bytes after the record put it outside the searched tail.
  EXPECT_FALSE(end.FindEndCentral(Open(EndRecord(plan, "") + std::string(65507, 'z'))));
  EXPECT_TRUE(end.FindEndCentral(Open(EndRecord(plan, "") + std::string(65506, 'z'))));
}

TEST_F(RecordsTest, CentralHeaderFieldsAndStreamPosition) {
  MemberPlan m;
  m.name = "dir/sub/file.txt";
  m.data = "12345";
  m.uncompressed_size = 77;
  m.method = 8;
  m.flag = 0x0002;
  m.crc = 0xCAFEBABE;
  m.dos_time = Dos(2021, 3, 4, 5, 6, 8);
  m.central_extra = "EXTRA";
  m.comment = "a comment";
  m.version_made_by = 0x031E;
  m.external_attributes = 0x81A40000;
  std::string bytes = "gap!" + CentralRecord(m, 0x10203, 2) + "next";
  TLFNFileStream& s = Open(bytes);
  s.Seek(4, 0);
  TZipHeaderInfo info;
  ASSERT_TRUE(info.ReadCentralHeader(s, system_));
  EXPECT_EQ(info.VersionMadeBy, 0x031E);
  EXPECT_EQ(info.VersionNeeded, 20);
  EXPECT_EQ(info.BitFlag, 0x0002);
  EXPECT_EQ(info.CompressionMethod, 8);
  EXPECT_EQ(info.DateTime, m.dos_time);
  EXPECT_EQ(info.CRC32, 0xCAFEBABEu);
  EXPECT_EQ(info.CompressedSize, 5);
  EXPECT_EQ(info.UncompressedSize, 77);
  EXPECT_EQ(info.FilenameLength, 16);
  EXPECT_EQ(info.ExtraFieldLength, 5);
  EXPECT_EQ(info.CommentLength, 9);
  EXPECT_EQ(info.DiskNumberStart, 2);
  EXPECT_EQ(info.ExternalAttributes, 0x81A40000u);
  EXPECT_EQ(info.LocalHeaderOffset, 0x10203);
  EXPECT_EQ(info.CentralHeaderOffset, 4);
  EXPECT_EQ(info.Directory(), "dir\\sub\\");
  EXPECT_EQ(info.Filename(), "file.txt");
  EXPECT_EQ(info.FileComment(), nullptr);  // comments are read on demand
  char next[4];
  ASSERT_EQ(s.Read(next, 4), 4u);
  EXPECT_EQ(std::string(next, 4), "next");
}

TEST_F(RecordsTest, StoredNamesAreSplitAtTheLastSeparatorAndConverted) {
  struct Case {
    std::string stored;
    uint16_t flag;
    std::string directory, filename;
  } cases[] = {
      {"a/b/c.txt", 0, "a\\b\\", "c.txt"},
      {"a/b/", 0, "a\\b\\", ""},
      {"c.txt", 0, "", "c.txt"},
      {"x:y/z", 0, "x:y\\", "z"},
      {"d:z", 0, "d:\\", "z"},  // a directory always ends in "\"
      {"", 0, "", ""},
      {"\xE2\xA5\xE1\xE2.txt", 0, "", "\xF2\xE5\xF1\xF2.txt"},  // OEM 866 "тест" -> ANSI 1251
      {"\xD1\x82\xD0\xB5\xD1\x81\xD1\x82/\xE2\x82\xAC.txt", 0x0800, "\xF2\xE5\xF1\xF2\\", "_.txt"},
  };
  for (const Case& c : cases) {
    MemberPlan m;
    m.name = c.stored;
    m.flag = c.flag;
    TZipHeaderInfo central, local;
    ASSERT_TRUE(central.ReadCentralHeader(Open(CentralRecord(m, 0)), system_)) << c.stored;
    ASSERT_TRUE(local.ReadLocalHeader(Open(LocalRecord(m)), system_)) << c.stored;
    for (const TZipHeaderInfo* info : {&central, &local}) {
      EXPECT_EQ(info->Directory(), c.directory) << c.stored;
      EXPECT_EQ(info->Filename(), c.filename) << c.stored;
    }
  }
}

TEST_F(RecordsTest, ShortOrWrongHeadersReturnFalseWithTheStreamWhereItWas) {
  MemberPlan m;
  m.name = "a-rather-long-name.txt";
  const std::string central = CentralRecord(m, 0);
  const std::string local = LocalRecord(m);
  struct Case {
    std::string bytes;
    bool central;
  } cases[] = {
      {central.substr(0, 46 + 5), true},  // name cut short by the end of the file
      {central.substr(0, 30), true},      // header cut short
      {"PK\x01\x03" + central.substr(4), true},
      {local.substr(0, 30 + 5), false},
      {local.substr(0, 29), false},
      {central, false},  // a central header where a local one should be
      {local, true},
  };
  for (const Case& c : cases) {
    TLFNFileStream& s = Open("xx" + c.bytes);
    s.Seek(2, 0);
    TZipHeaderInfo info;
    bool ok = c.central ? info.ReadCentralHeader(s, system_) : info.ReadLocalHeader(s, system_);
    EXPECT_FALSE(ok);
    EXPECT_EQ(s.Position(), 2);
  }
}

TEST_F(RecordsTest, LocalHeaderLeavesTheStreamBeforeTheExtraField) {
  MemberPlan m;
  m.name = "f.bin";
  m.data = "DATA";
  m.local_extra = "XTRA";
  m.method = 6;
  m.flag = 0x0006;
  m.dos_time = Dos(2030, 1, 2, 3, 4, 6);
  std::string bytes = std::string(10, '-') + LocalRecord(m);
  TLFNFileStream& s = Open(bytes);
  s.Seek(10, 0);
  TZipHeaderInfo info;
  ASSERT_TRUE(info.ReadLocalHeader(s, system_));
  EXPECT_EQ(info.LocalHeaderOffset, 10);
  EXPECT_EQ(info.CentralHeaderOffset, 0);
  EXPECT_EQ(info.VersionMadeBy, 0);
  EXPECT_EQ(info.ExternalAttributes, 0u);
  EXPECT_EQ(info.CompressionMethod, 6);
  EXPECT_EQ(info.BitFlag, 0x0006);
  EXPECT_EQ(info.DateTime, m.dos_time);
  EXPECT_EQ(info.CompressedSize, 4);
  EXPECT_EQ(info.ExtraFieldLength, 4);
  char extra[4];
  s.Read(extra, 4);
  EXPECT_EQ(std::string(extra, 4), "XTRA");
}

TEST_F(RecordsTest, ACentralHeaderCutByTheEndOfAVolumeGoesOnInTheNext) {
  MemberPlan m;
  m.name = "spanned.txt";
  const std::string header = CentralRecord(m, 42, 1);
  for (size_t cut : {size_t{0}, size_t{4}, size_t{20}}) {
    TLFNFileStream& first = Open(header.substr(0, cut), "C:\\SET.Z01");
    TLFNFileStream& second = Open(header.substr(cut), "C:\\SET.ZIP");
    int calls = 0;
    TZipHeaderInfo info;
    ASSERT_TRUE(info.ReadCentralHeader(first, system_, [&]() -> TS_BufferStream& {
      ++calls;
      return second;
    })) << cut;
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(info.Filename(), "spanned.txt");
    EXPECT_EQ(info.LocalHeaderOffset, 42);
  }
  // Three bytes cannot show a signature: no switch.
  int calls = 0;
  TZipHeaderInfo info;
  EXPECT_FALSE(
      info.ReadCentralHeader(Open(header.substr(0, 3)), system_, [&]() -> TS_BufferStream& {
        ++calls;
        return Open(header);
      }));
  EXPECT_EQ(calls, 0);
}

TEST(ZipHeaderInfoTest, SettersAndAssign) {
  TZipHeaderInfo a;
  EXPECT_EQ(a.CompressionMethod, 8);
  EXPECT_EQ(a.CRC32, 0xFFFFFFFFu);
  EXPECT_EQ(a.InternalAttributes, 1);
  EXPECT_EQ(a.ExternalAttributes, 32u);
  a.SetDirectory("docs");
  a.SetFilename("readme.txt");
  EXPECT_EQ(a.Directory(), "docs\\");
  EXPECT_EQ(a.FilenameLength, 15);
  std::string comment = "note";
  a.SetFileComment(&comment);
  EXPECT_EQ(a.CommentLength, 4);
  a.Selected = true;

  TZipHeaderInfo b;
  std::string own = "mine";
  b.SetFileComment(&own);
  TZipHeaderInfo c = a;  // source with a comment: copied
  EXPECT_EQ(*c.FileComment(), "note");
  EXPECT_TRUE(c.Selected);
  a.SetFileComment(nullptr);
  a.CommentLength = 9;  // a length without text: the target keeps its own text
  a.AssignTo(b);
  EXPECT_EQ(*b.FileComment(), "mine");
  EXPECT_EQ(b.CommentLength, 9);
  EXPECT_EQ(b.Directory() + b.Filename(), "docs\\readme.txt");
}

}  // namespace
}  // namespace vl4::zip
