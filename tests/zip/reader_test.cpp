// TZipReader's archive side on single-file archives: lazy reading, staying current, comments,
// sort views, the scanning rebuild and the failures of the directory read.
#include <gtest/gtest.h>

#include "platform/text.h"
#include "tests/zip/fake_platform.h"
#include "tests/zip/zip_builder.h"
#include "zip/zip_reader.h"

namespace vl4::zip {
namespace {

using test::ArchivePlan;
using test::BuildZip;
using test::Error;
using test::Member;
using test::MemberPlan;
using test::Poke32;

// Where the central header of the member stored as `name` starts.
size_t CentralHeaderOf(const test::Built& built, const std::string& name) {
  size_t at = built.bytes.find(name, built.central_offset);
  EXPECT_NE(at, std::string::npos) << name;
  return at - 46;
}

class ReaderTest : public ::testing::Test {
 protected:
  std::vector<std::string> Names() {
    std::vector<std::string> names;
    for (int i = 0; i < reader_.Count(); ++i) names.push_back(reader_.FullName(i));
    return names;
  }

  ArchivePlan ThreeMembers() {
    ArchivePlan plan;
    plan.members = {Member("b/two.txt", "22"), Member("a/one.txt", "1", "first comment"),
                    Member("c/three.txt", "333")};
    plan.comment = "the archive's comment";
    return plan;
  }

  test::MemoryFiles files_;
  test::FakeSystem system_;
  TZipReader reader_{files_, system_};
};

TEST_F(ReaderTest, TheDirectoryIsReadLazilyAndKeptWhileTheFileStaysTheSame) {
  files_.Put("C:\\A.ZIP", BuildZip(ThreeMembers()).bytes);
  reader_.SetZipName("C:\\A.ZIP");
  EXPECT_EQ(reader_.Count(), 0);
  EXPECT_EQ(files_.open_count, 0);

  reader_.OpenArchive();
  EXPECT_EQ(Names(), (std::vector<std::string>{"b\\two.txt", "a\\one.txt", "c\\three.txt"}));
  EXPECT_EQ(reader_.Filename(2), "three.txt");
  EXPECT_EQ(Error([&] { reader_.Filename(3); }), "EListError: Index 3 is out of range");
  EXPECT_EQ(Error([&] { reader_.FullName(-1); }), "EListError: Index -1 is out of range");
  EXPECT_TRUE(files_.Find("C:\\A.ZIP")->locked_for_write);  // read-only, denying writes
  reader_.CloseArchive();
  EXPECT_FALSE(files_.Find("C:\\A.ZIP")->locked_for_write);

  // The same name in another case keeps the directory; so does a file that has not changed.
  reader_.SetZipName("c:\\a.zip");
  reader_.OpenArchive();
  EXPECT_EQ(reader_.Count(), 3);
  reader_.CloseArchive();

  // A file changed on disk is read again: by its time, or by its size within the same time.
  ArchivePlan two = ThreeMembers();
  two.members.pop_back();
  files_.Put("C:\\A.ZIP", BuildZip(two).bytes, test::kSomeDosTime + 1);
  reader_.OpenArchive();
  EXPECT_EQ(reader_.Count(), 2);
  reader_.CloseArchive();
  two.members[0].data = "2222";
  files_.Put("C:\\A.ZIP", BuildZip(two).bytes, test::kSomeDosTime + 1);
  reader_.OpenArchive();
  EXPECT_EQ(reader_.Member(0).CompressedSize, 4);
  reader_.CloseArchive();

  // Another name drops everything.
  reader_.SetZipName("C:\\B.ZIP");
  EXPECT_EQ(reader_.Count(), 0);
}

TEST_F(ReaderTest, KeepZipOpenKeepsTheStreamBetweenOperations) {
  files_.Put("C:\\A.ZIP", BuildZip(ThreeMembers()).bytes);
  reader_.SetKeepZipOpen(true);
  reader_.SetZipName("C:\\A.ZIP");
  reader_.OpenArchive();
  reader_.CloseArchive();
  EXPECT_TRUE(files_.Find("C:\\A.ZIP")->locked_for_write);
  EXPECT_EQ(reader_.FileComment(1), "first comment");
  EXPECT_EQ(files_.open_count, 1);
}

TEST_F(ReaderTest, CommentsAreReadOnDemandAndHeldAfterwards) {
  files_.Put("C:\\A.ZIP", BuildZip(ThreeMembers()).bytes);
  reader_.SetZipName("C:\\A.ZIP");
  EXPECT_EQ(reader_.ZipComment(), "");  // nothing is known before the directory is read
  reader_.OpenArchive();
  reader_.CloseArchive();
  EXPECT_EQ(reader_.FileComment(0), "");
  EXPECT_EQ(files_.open_count, 1);  // no comment: no file access
  EXPECT_EQ(reader_.FileComment(1), "first comment");
  EXPECT_EQ(reader_.ZipComment(), "the archive's comment");
  EXPECT_FALSE(files_.Find("C:\\A.ZIP")->locked_for_write);  // closed again
  const int opens = files_.open_count;
  EXPECT_EQ(reader_.FileComment(1), "first comment");
  EXPECT_EQ(reader_.ZipComment(), "the archive's comment");
  EXPECT_EQ(files_.open_count, opens);
  reader_.SetFileComment(2, "new");
  EXPECT_EQ(reader_.FileComment(2), "new");
  EXPECT_EQ(Error([&] { reader_.FileComment(3); }), "EListError: Index 3 is out of range");
}

TEST_F(ReaderTest, TheSortedViewFollowsTheSortMode) {
  ArchivePlan plan = ThreeMembers();
  files_.Put("C:\\A.ZIP", BuildZip(plan).bytes);
  reader_.SetSortMode(TZipSortMode::ByUnCompressedSize);
  reader_.SetZipName("C:\\A.ZIP");
  reader_.OpenArchive();
  EXPECT_EQ(reader_.Filename(0), "three.txt");  // the largest
  reader_.ApplySortMode(TZipSortMode::ByName);
  EXPECT_EQ(Names(), (std::vector<std::string>{"a\\one.txt", "b\\two.txt", "c\\three.txt"}));
  reader_.ApplySortMode(TZipSortMode::ByNone);
  EXPECT_EQ(reader_.Filename(0), "two.txt");
  EXPECT_EQ(reader_.SortMode(), TZipSortMode::ByNone);
}

TEST_F(ReaderTest, ZeroEntriesLeaveTheCentralDirectoryAlone) {
  test::EndPlan end;
  end.central_offset = 7;  // garbage, never looked at
  files_.Put("C:\\E.ZIP", "junk!!!" + test::EndRecord(end, ""));
  reader_.SetZipName("C:\\E.ZIP");
  reader_.OpenArchive();
  EXPECT_EQ(reader_.Count(), 0);
}

TEST_F(ReaderTest, AMisplacedCentralDirectoryIsRebuiltFromTheLocalHeaders) {
  ArchivePlan plan = ThreeMembers();
  plan.members[0].version_made_by = 0x0B17;
  test::Built built = BuildZip(plan);
  // Lose the central header of the third member and move the directory's offset off its place:
  // the scan finds the three local headers, the two central headers that follow complete theirs.
  std::string bytes = built.bytes;
  bytes[CentralHeaderOf(built, "c/three.txt")] = 'X';
  Poke32(bytes, built.end_offset + 16, built.central_offset + 1);
  files_.Put("C:\\A.ZIP", bytes);
  std::vector<bool> cursor;
  reader_.SetHost({.wait_cursor = [&](bool wait) { cursor.push_back(wait); }});
  reader_.SetZipName("C:\\A.ZIP");
  reader_.OpenArchive();
  ASSERT_EQ(Names(), (std::vector<std::string>{"b\\two.txt", "a\\one.txt", "c\\three.txt"}));
  EXPECT_EQ(cursor, (std::vector<bool>{true, false}));
  EXPECT_EQ(reader_.Member(0).VersionMadeBy, 0x0B17);  // from its central header
  EXPECT_EQ(reader_.Member(0).CentralHeaderOffset, static_cast<int32_t>(built.central_offset));
  EXPECT_EQ(reader_.FileComment(1), "first comment");
  const TZipHeaderInfo& lone = reader_.Member(2);  // local-header data only
  EXPECT_EQ(lone.VersionMadeBy, 0);
  EXPECT_EQ(lone.ExternalAttributes, 0u);
  EXPECT_EQ(lone.CentralHeaderOffset, 0);
  EXPECT_EQ(lone.LocalHeaderOffset, static_cast<int32_t>(built.local_offsets[2]));
  EXPECT_EQ(lone.CompressedSize, 3);
}

TEST_F(ReaderTest, ACentralDirectoryThatEndsEarlyIsCompletedFromTheLocalHeaders) {
  test::Built built = BuildZip(ThreeMembers());
  std::string bytes = built.bytes;
  bytes[built.end_offset + 10] = 5;  // five entries announced, three present
  files_.Put("C:\\A.ZIP", bytes);
  reader_.SetZipName("C:\\A.ZIP");
  reader_.OpenArchive();
  EXPECT_EQ(reader_.Count(), 3);
  EXPECT_EQ(reader_.Member(1).VersionMadeBy, 20);  // the central headers were applied
}

TEST_F(ReaderTest, ASelfExtractorNamedInUpperCaseIsScannedFromOffset14000) {
  // A stub with a member at 100, then filler up to a second member at 15000; no end record.
  std::string bytes(100, 's');
  bytes += test::LocalRecord(Member("stub.txt", "x"));
  bytes.resize(15000, 'f');
  bytes += test::LocalRecord(Member("data.txt", "y"));
  files_.Put("C:\\SETUP.EXE", bytes);
  files_.Put("C:\\setup.exe", bytes);
  reader_.SetIncompleteZipMode(TIncompleteZipMode::izAssumeBad);
  reader_.SetZipName("C:\\SETUP.EXE");
  reader_.OpenArchive();
  EXPECT_EQ(Names(), std::vector<std::string>{"data.txt"});
  reader_.CloseArchive();

  TZipReader lower(files_, system_);
  lower.SetIncompleteZipMode(TIncompleteZipMode::izAssumeBad);
  lower.SetZipName("C:\\setup.exe");
  lower.OpenArchive();
  ASSERT_EQ(lower.Count(), 1);
  EXPECT_EQ(lower.Filename(0), "stub.txt");
}

TEST_F(ReaderTest, ScanningFindsMembersBehindDataDescriptors) {
  ArchivePlan plan;
  plan.members = {Member("a.txt", "aaaa"), Member("b.txt", "PK\x07\x08 bb"), Member("c.txt", "")};
  for (MemberPlan& m : plan.members) m.descriptor = true;  // sizes only in the descriptors
  plan.members[2].descriptor_signature = false;
  plan.members[2].local_sizes = true;  // sizes in the header, a descriptor without signature
  plan.members.push_back(Member("d.txt", "dd"));
  test::Built built = BuildZip(plan);
  std::string bytes = built.bytes.substr(0, built.central_offset);  // no central directory at all
  files_.Put("C:\\DD.ZIP", bytes);
  reader_.SetIncompleteZipMode(TIncompleteZipMode::izAssumeBad);
  reader_.SetZipName("C:\\DD.ZIP");
  reader_.OpenArchive();
  ASSERT_EQ(Names(), (std::vector<std::string>{"a.txt", "b.txt", "c.txt", "d.txt"}));
  EXPECT_EQ(reader_.Member(0).CompressedSize, 4);
  EXPECT_EQ(reader_.Member(1).CompressedSize, 7);
  EXPECT_EQ(reader_.Member(1).CRC32, 0x12345678u);
  EXPECT_EQ(reader_.Member(2).CompressedSize, 0);
}

TEST_F(ReaderTest, NoEndRecord) {
  std::string bytes = test::LocalRecord(Member("x.txt", "xx"));
  files_.Put("C:\\A.ZIP", bytes);
  reader_.SetZipName("C:\\A.ZIP");
  EXPECT_EQ(Error([&] { reader_.OpenArchive(); }), "EIncompleteZip: Incomplete Zip File");
  EXPECT_EQ(reader_.ZipName(), "");
  EXPECT_EQ(reader_.Count(), 0);
  EXPECT_FALSE(files_.Find("C:\\A.ZIP")->locked_for_write);

  // The handler may change the mode: the members are then found by scanning.
  int asked = 0;
  reader_.OnInCompleteZip = [&](TZipReader&, TIncompleteZipMode& mode) {
    ++asked;
    mode = TIncompleteZipMode::izAssumeBad;
  };
  reader_.SetZipName("C:\\A.ZIP");
  reader_.OpenArchive();
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(reader_.IncompleteZipMode(), TIncompleteZipMode::izAssumeBad);
  EXPECT_EQ(Names(), std::vector<std::string>{"x.txt"});
  reader_.CloseArchive();

  files_.Put("C:\\N.ZIP", std::string(30000, 'n'));
  reader_.SetZipName("C:\\N.ZIP");
  EXPECT_EQ(Error([&] { reader_.OpenArchive(); }), "EBadZipFile: Not a valid zip file!");
  EXPECT_EQ(reader_.ZipName(), "");
}

TEST_F(ReaderTest, TheScanLetsTheGuiBreatheEvery10240BytesAndHonoursCancel) {
  std::string bytes(25000, 'n');
  bytes[3] = 'P';  // "P" does not count
  bytes[4] = 'K';  // nor does a byte that continued the signature
  files_.Put("C:\\N.ZIP", bytes);
  int breaths = 0;
  reader_.SetHost({.process_messages = [&] { ++breaths; }});
  reader_.SetIncompleteZipMode(TIncompleteZipMode::izAssumeBad);
  reader_.SetZipName("C:\\N.ZIP");
  EXPECT_EQ(Error([&] { reader_.OpenArchive(); }), "EBadZipFile: Not a valid zip file!");
  EXPECT_EQ(breaths, 2);

  bytes.resize(25002, 'n');  // now 24999 bytes count
  files_.Put("C:\\N.ZIP", bytes);
  breaths = 0;
  reader_.SetZipName("C:\\N.ZIP");
  EXPECT_EQ(Error([&] { reader_.OpenArchive(); }), "EBadZipFile: Not a valid zip file!");
  EXPECT_EQ(breaths, 2);

  reader_.SetDoProcessMessages(false);
  breaths = 0;
  reader_.SetZipName("C:\\N.ZIP");
  EXPECT_EQ(Error([&] { reader_.OpenArchive(); }), "EBadZipFile: Not a valid zip file!");
  EXPECT_EQ(breaths, 0);

  reader_.SetDoProcessMessages(true);
  reader_.SetHost({.process_messages = [&] { reader_.SetCancel(true); }});
  reader_.SetZipName("C:\\N.ZIP");
  EXPECT_EQ(Error([&] { reader_.OpenArchive(); }), "EUserCanceled: User Aborted Operation");
  EXPECT_FALSE(reader_.Cancel());
}

TEST_F(ReaderTest, AFailedReadLeavesNoHalfDirectoryBehind) {
  ArchivePlan plan = ThreeMembers();
  test::Built built = BuildZip(plan);
  std::string bytes = built.bytes;
  // Two central entries for the first local header.
  Poke32(bytes, CentralHeaderOf(built, "c/three.txt") + 42, built.local_offsets[0]);
  files_.Put("C:\\A.ZIP", bytes);
  reader_.SetZipName("C:\\A.ZIP");
  EXPECT_EQ(Error([&] { reader_.OpenArchive(); }), "EListError: Duplicate Object index");
  EXPECT_EQ(reader_.Count(), 0);
  EXPECT_EQ(Error([&] { reader_.OpenArchive(); }), "EListError: Duplicate Object index");
}

TEST_F(ReaderTest, AQuestionMarkNameAsksForTheFile) {
  files_.Put("C:\\DATA\\A.ZIP", BuildZip(ThreeMembers()).bytes);
  EXPECT_EQ(Error([&] { reader_.SetZipName("C:\\DATA\\?"); }),
            "EUserCanceled: User canceled setting zip file name.");
  EXPECT_EQ(reader_.ZipName(), "");

  std::vector<ZipOpenFileRequest> asked;
  std::optional<std::string> answer = "C:\\DATA\\A.ZIP";
  reader_.SetHost({.open_file = [&](const ZipOpenFileRequest& request) {
    asked.push_back(request);
    return answer;
  }});
  reader_.SetZipName("C:\\DATA\\?");
  EXPECT_EQ(reader_.ZipName(), "C:\\DATA\\A.ZIP");
  answer.reset();
  EXPECT_EQ(Error([&] { reader_.SetZipName("C:\\NOWHERE\\?"); }),
            "EUserCanceled: User canceled setting zip file name.");
  EXPECT_EQ(reader_.ZipName(), "C:\\DATA\\A.ZIP");
  ASSERT_EQ(asked.size(), 2u);
  EXPECT_EQ(asked[0].title, "Open a Zip File");
  EXPECT_EQ(asked[0].filter,
            "Zip Files (*.ZIP)|*.zip|SFX Files (*.EXE)|*.exe|Jar Files (*.JAR)|*.jar|All Files "
            "(*.*)|*.*");
  EXPECT_EQ(asked[0].initial_dir, "C:\\DATA");
  EXPECT_EQ(asked[1].initial_dir, "C:\\");
}

TEST_F(ReaderTest, HostileNumbersEndInTheReadersOwnWays) {
  test::Built built = BuildZip(ThreeMembers());
  const size_t end = built.end_offset;
  const size_t first_central = built.central_offset;
  struct Case {
    const char* what;
    size_t at;
    int width;
    uint32_t value;
    const char* outcome;
  } cases[] = {
      {"central offset past the end", end + 16, 4, 0xFFFFFFF0, "3 members"},
      {"65535 entries", end + 10, 2, 0xFFFF, "EBadZipFile: ZIP64 zip file not supported"},
      {"comment longer than the file", end + 20, 2, 0xFFFF, "3 members"},
      {"negative compressed size", built.local_offsets[0] + 18, 4, 0xFFFFFF00, "3 members"},
      {"name length past the end", first_central + 28, 2, 0xFFFF, "3 members"},
      {"extra length past the end", first_central + 30, 2, 0xFFFF, "3 members"},
      {"comment length past the end", first_central + 32, 2, 0xFFFF, "3 members"},
      {"zero-length name", first_central + 28, 2, 0, "3 members"},
      {"no local header either", 0, 4, 0, "EBadZipFile: Not a valid zip file!"},
  };
  for (const Case& c : cases) {
    std::string bytes = built.bytes;
    if (c.what == std::string("no local header either")) {
      for (uint32_t at : built.local_offsets) bytes[at] = 'X';
      bytes[end + 16] = 1;
    } else {
      for (int i = 0; i < c.width; ++i) bytes[c.at + i] = static_cast<char>(c.value >> (8 * i));
    }
    files_.Put("C:\\H.ZIP", bytes);
    TZipReader reader(files_, system_);
    reader.SetZipName("C:\\H.ZIP");
    std::string outcome = Error([&] {
      reader.OpenArchive();
      for (int i = 0; i < reader.Count(); ++i) reader.FileComment(i);
      reader.ZipComment();
    });
    if (outcome == "no error") outcome = std::to_string(reader.Count()) + " members";
    EXPECT_EQ(outcome, c.outcome) << c.what;
  }
}

// Archives of 2 GiB or more, ZIP64 archives and directories longer than the member lists hold are
// refused before a member is read; so is a directory that goes on past the count of its end
// record (a writer whose 16-bit count wrapped), instead of being cut there.
TEST_F(ReaderTest, ArchivesBeyondTheReadersLimitsAreRefusedAtOnce) {
  const std::string kTooLarge = "EBadZipFile: Zip file too large (2 GiB or more)";
  const std::string kZip64 = "EBadZipFile: ZIP64 zip file not supported";
  const std::string kTooMany = "EBadZipFile: Too many files in zip file (more than 65520)";
  const std::string kWrapped =
      "EBadZipFile: Central directory holds more files than the end record counts";
  auto many = [](int n) {
    ArchivePlan plan;
    for (int i = 0; i < n; ++i) plan.members.push_back(Member(Format("f%05d", i), ""));
    return BuildZip(plan);
  };
  const std::string empty = test::EndRecord({}, "");
  const test::Built three = BuildZip(ThreeMembers());
  auto poked = [&](size_t at, int width, uint32_t value) {
    std::string bytes = three.bytes;
    for (int i = 0; i < width; ++i) bytes[at + i] = static_cast<char>(value >> (8 * i));
    return bytes;
  };
  std::string locator;  // a ZIP64 end locator right before the end record
  test::Put32(locator, 0x07064B50);
  test::Put32(locator, 0);
  test::Put32(locator, 0);
  test::Put32(locator, 0);
  test::Put32(locator, 1);
  std::string with_locator = three.bytes;
  with_locator.insert(three.end_offset, locator);
  const size_t end = three.end_offset;
  const test::Built limit = many(65520);
  const test::Built over = many(65521);
  std::string over_without_end = over.bytes.substr(0, over.central_offset);

  struct Case {
    const char* what;
    int64_t hole;  // zero bytes before the archive's bytes
    std::string bytes;
    std::string outcome;
    bool assume_bad = false;
  } cases[] = {
      {"2 GiB", int64_t{1} << 31, empty, kTooLarge},
      {"2 GiB less one byte", (int64_t{1} << 31) - 23, empty, "0 members"},
      {"4 GiB and more", (int64_t{1} << 32) + 10, empty, kTooLarge},
      {"no end record, 3 GiB", int64_t{3} << 30, std::string(100, 'x'), kTooLarge, true},
      {"ZIP64 end locator", 0, with_locator, kZip64},
      {"disk number marker", 0, poked(end + 4, 2, 0xFFFF), kZip64},
      {"entries on this disk marker", 0, poked(end + 8, 2, 0xFFFF), kZip64},
      {"central size marker", 0, poked(end + 12, 4, 0xFFFFFFFF), kZip64},
      {"central offset marker", 0, poked(end + 16, 4, 0xFFFFFFFF), kZip64},
      {"65,520 members", 0, limit.bytes, "65520 members"},
      {"65,521 members", 0, over.bytes, kTooMany},
      {"65,521 members found by scanning", 0, over_without_end, kTooMany, true},
      {"a count that wrapped", 0, poked(end + 8, 4, 0x00020002), kWrapped},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    files_.PutSparse("C:\\BIG.ZIP", c.hole, c.bytes);
    TZipReader reader(files_, system_);
    reader.SetIncompleteZipMode(c.assume_bad ? TIncompleteZipMode::izAssumeBad
                                             : TIncompleteZipMode::izAssumeMulti);
    reader.SetZipName("C:\\BIG.ZIP");
    std::string outcome = Error([&] { reader.OpenArchive(); });
    if (outcome == "no error") {
      outcome = std::to_string(reader.Count()) + " members";
    } else {
      EXPECT_EQ(reader.ZipName(), "");  // nothing of the archive is held
      EXPECT_EQ(reader.Count(), 0);
    }
    EXPECT_EQ(outcome, c.outcome);
  }
}

}  // namespace
}  // namespace vl4::zip
