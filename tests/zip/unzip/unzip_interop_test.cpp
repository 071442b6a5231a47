// Extraction of archives other tools wrote: the corpus gives the outcome its README states, and
// the archives made at build time by Info-ZIP zip and 7-Zip extract byte for byte as Info-ZIP's
// unzip extracts them.
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/text.h"
#include "tests/zip/unzip/unzip_world.h"

namespace vl4::zip {
namespace {

using test::Tree;
using Files = std::map<std::string, std::string>;

// What one run did, member by member.
struct Outcome {
  int returned = -1;
  std::vector<std::string> ended, bad_crc, skipped;
  Files files;  // what is on disk afterwards
};

Outcome ExtractAll(vl4::test::TestWorld& world, const std::string& archive,
                   const std::string& password = "") {
  const std::string dest = world.Path("out");
  TZipReader reader(world.platform());
  reader.SetZipName(archive);
  reader.SetDoAll(true);
  reader.SetRecreateDirs(true);
  reader.SetOverwriteMode(TUZOverwriteMode::Always);
  reader.SetDestDir(dest);
  reader.SetPassword(password);
  Outcome o;
  reader.OnEndUnZip = [&](TZipReader& r, int i, const std::string&) {
    o.ended.push_back(r.FullName(i));
  };
  reader.OnBadCRC = [&](TZipReader& r, int, int, int i) { o.bad_crc.push_back(r.FullName(i)); };
  reader.OnSkippingFile = [&](TZipReader&, TSkipReason, const std::string& name, int) {
    o.skipped.push_back(name);
  };
  ZipReaderHost host;
  host.message_box = [](const std::string&, const std::string&, ZipMsgKind, ZipMsgButtons) {
    return ZipMsgResult::kOK;
  };
  reader.SetHost(host);
  o.returned = reader.UnZip();
  o.files = Tree(world, dest);
  return o;
}

// Files only (folders dropped), for counting.
size_t FileCount(const Files& files) {
  size_t n = 0;
  for (const auto& [name, bytes] : files) n += name.back() != '\\';
  return n;
}

class CorpusExtraction : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!vl4::test::CorpusDir()) GTEST_SKIP() << "no corpus (VL4_CORPUS)";
  }
  std::string CorpusFile(const std::string& relative) {
    return world_.HostToWindows(*vl4::test::CorpusDir() + "/" + relative);
  }
  vl4::test::TestWorld world_;
};

TEST_F(CorpusExtraction, EveryMemberComesOutWhole) {
  const char* archives[] = {
      "commons-compress/SHRUNK.ZIP",
      "commons-compress/bla-stored-dd.zip",
      "commons-compress/imploding-4Kdict-2trees.zip",
      "commons-compress/imploding-8Kdict-3trees.zip",
      "commons-compress/lorem-ipsum-implode.zip",
      "commons-compress/mixed.zip",
      "commons-compress/moby-imploded.zip",
      "commons-compress/ordertest.zip",
      "commons-compress/split_zip_created_by_zip.zip",
      "sharpcompress/Infozip.nocomp.multi.zip",
      "sharpcompress/PrePostHeaders.zip",
      "sharpcompress/Zip.EntryComment.zip",
      "sharpcompress/Zip.LongComment.zip",
      "sharpcompress/Zip.badlocalextra.zip",
      "sharpcompress/Zip.deflate.dd.zip",
      "sharpcompress/Zip.deflate.zip",
      "sharpcompress/Zip.implode.zip",
      "sharpcompress/Zip.none.datadescriptors.zip",
      "sharpcompress/Zip.none.issue86.zip",
      "sharpcompress/Zip.none.zip",
      "sharpcompress/Zip.reduce1.zip",
      "sharpcompress/Zip.reduce2.zip",
      "sharpcompress/Zip.reduce3.zip",
      "sharpcompress/Zip.reduce4.zip",
      "sharpcompress/Zip.shrink.zip",
      "sharpcompress/Zip.uncompressed.zip",
  };
  for (const char* archive : archives) {
    SCOPED_TRACE(archive);
    vl4::test::TestWorld world;
    const Outcome o =
        ExtractAll(world, world.HostToWindows(*vl4::test::CorpusDir() + "/" + archive));
    EXPECT_TRUE(o.bad_crc.empty()) << o.bad_crc.front();
    EXPECT_TRUE(o.skipped.empty());
    EXPECT_FALSE(o.ended.empty());
    EXPECT_EQ(FileCount(o.files), o.ended.size());
  }
}

TEST_F(CorpusExtraction, ReducedMembersEqualTheShrunkOnes) {
  const Files shrunk = ExtractAll(world_, CorpusFile("sharpcompress/Zip.shrink.zip")).files;
  for (int factor = 1; factor <= 4; ++factor) {
    vl4::test::TestWorld world;
    const std::string name = Format("sharpcompress/Zip.reduce%d.zip", factor);
    EXPECT_EQ(ExtractAll(world, world.HostToWindows(*vl4::test::CorpusDir() + "/" + name)).files,
              shrunk)
        << name;
  }
}

TEST_F(CorpusExtraction, UnsupportedMethodsAndPasswordsLeaveNothing) {
  struct Case {
    const char* archive;
    const char* password;
    int returned;
    size_t failed;  // OnBadCRC or OnSkippingFile
  } cases[] = {
      {"commons-compress/moby.zip", "", 0, 1},
      {"sharpcompress/Zip.none.encrypted.zip", "", 0, 2},
      {"sharpcompress/Zip.none.encrypted.zip", "test", 0, 2},
      {"sharpcompress/zipcrypto.zip", "", 0, 8},
      {"sharpcompress/zipcrypto.zip", "wrong", 0, 8},
      {"sharpcompress/zipcrypto.zip", "test", 8, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.archive) + " " + c.password);
    vl4::test::TestWorld world;
    const Outcome o = ExtractAll(
        world, world.HostToWindows(*vl4::test::CorpusDir() + "/" + c.archive), c.password);
    EXPECT_EQ(o.returned, c.returned);
    EXPECT_EQ(o.bad_crc.size() + o.skipped.size(), c.failed);
    EXPECT_EQ(FileCount(o.files), static_cast<size_t>(c.returned));
  }
}

TEST_F(CorpusExtraction, DataDescriptorsSurviveADamagedCentralDirectory) {
  for (const char* archive :
       {"sharpcompress/Zip.deflate.dd.zip", "sharpcompress/Zip.none.datadescriptors.zip",
        "commons-compress/bla-stored-dd.zip"}) {
    SCOPED_TRACE(archive);
    vl4::test::TestWorld world;
    std::string bytes = world.ReadFile(CorpusFile(archive)).value();
    const Outcome whole = ExtractAll(world, CorpusFile(archive));
    // The end record's central directory offset (at 16) made to point at the first member's data.
    const size_t end = bytes.rfind("PK\x05\x06");
    ASSERT_NE(end, std::string::npos);
    for (int i = 0; i < 4; ++i) bytes[end + 16 + i] = i == 0 ? 40 : 0;
    vl4::test::TestWorld again;
    again.WriteFile(again.Path("damaged.zip"), bytes);
    const Outcome o = ExtractAll(again, again.Path("damaged.zip"));
    EXPECT_TRUE(o.bad_crc.empty());
    EXPECT_EQ(o.files, whole.files);
  }
}

// The archives make_fixtures.sh made at build time, each beside unzip's extraction of it.
std::optional<std::string> FixtureDir() {
  const char* dir = std::getenv("VL4_UNZIP_FIXTURES");
  if (!dir || !*dir) return std::nullopt;
  return std::string(dir);
}

TEST(ToolArchives, ExtractAsUnzipExtractsThem) {
  if (!FixtureDir()) GTEST_SKIP() << "no fixtures (VL4_UNZIP_FIXTURES)";
  vl4::test::TestWorld fixtures_world;
  const std::string dir = fixtures_world.HostToWindows(*FixtureDir());
  const std::optional<std::string> list = fixtures_world.ReadFile(dir + "\\fixtures.list");
  ASSERT_TRUE(list);
  int archives = 0;
  size_t at = 0;
  while (at < list->size()) {
    size_t eol = list->find('\n', at);
    if (eol == std::string::npos) eol = list->size();
    const std::string archive = Trim(list->substr(at, eol - at));
    at = eol + 1;
    if (archive.empty()) continue;
    SCOPED_TRACE(archive);
    vl4::test::TestWorld world;
    const Outcome o = ExtractAll(world, dir + "\\" + archive, "secret");
    const std::string name = archive.substr(0, archive.size() - 4);
    const Files expected = Tree(fixtures_world, dir + "\\expected\\" + name);
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(o.files, expected);
    EXPECT_TRUE(o.bad_crc.empty());
    EXPECT_TRUE(o.skipped.empty());
    ++archives;
  }
  EXPECT_GE(archives, 15);
}

}  // namespace
}  // namespace vl4::zip
