// The interoperability corpus: archives written by other tools list as Info-ZIP's unzip lists them
// (names, methods, sizes, CRCs), the split sets open by their own names, and comments and OEM
// names come out right.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "platform/text.h"
#include "tests/support/test_world.h"
#include "zip/zip_reader.h"

namespace vl4::zip {
namespace {

// The corpus is read in place, through the platform of this build (the host's "/x" is "Z:\\x").
class CorpusTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!vl4::test::CorpusDir()) GTEST_SKIP() << "no corpus (VL4_CORPUS)";
    corpus_ = *vl4::test::CorpusDir();
  }
  std::string CorpusFile(const std::string& relative) {
    return world_.HostToWindows(corpus_ + "/" + relative);
  }

  vl4::test::TestWorld world_;
  std::string corpus_;
};

#ifndef _WIN32
// The listing is compared with the host's unzip, which a Windows build cannot start.

// "тест.txt", the only non-ASCII name in the corpus, as UTF-8.
const std::string kTestTxt = "\xD1\x82\xD0\xB5\xD1\x81\xD1\x82.txt";

struct Listed {
  std::string name;  // UTF-8, "/" separators
  std::string method;
  int64_t compressed = 0, uncompressed = 0;
  uint32_t crc = 0;
  int disk = 0;
  int64_t offset = 0;
  bool oem_name = false;  // stored as OEM text with non-ASCII bytes
};

std::string MethodName(int method) {
  switch (method) {
    case 0:
      return "none (stored)";
    case 1:
      return "shrunk";
    case 2:
    case 3:
    case 4:
    case 5:
      return "reduced (factor " + std::to_string(method - 1) + ")";
    case 6:
      return "imploded";
    case 7:
      return "tokenized";
    case 8:
      return "deflated";
  }
  return "unknown (" + std::to_string(method) + ")";
}

// Info-ZIP stores a name its host could not represent as "#Uxxxx" escapes and shows it decoded;
// this reader keeps the name as stored.
std::string DecodeInfoZipEscapes(const std::string& name) {
  std::string out;
  for (size_t i = 0; i < name.size(); ++i) {
    if (name.compare(i, 2, "#U") == 0 && i + 6 <= name.size()) {
      unsigned u = static_cast<unsigned>(std::stoul(name.substr(i + 2, 4), nullptr, 16));
      out += static_cast<char>(0xC0 | u >> 6);
      out += static_cast<char>(0x80 | (u & 0x3F));
      i += 5;
    } else {
      out += name[i];
    }
  }
  return out;
}

std::vector<Listed> ReaderListing(platform::Platform& platform, const std::string& path) {
  platform::System& system = platform.system();
  TZipReader reader(platform);
  reader.SetZipName(path);
  reader.OpenArchive();
  std::vector<Listed> listing;
  for (int i = 0; i < reader.Count(); ++i) {
    const TZipHeaderInfo& m = reader.Member(i);
    Listed l;
    std::string name = reader.FullName(i);
    std::replace(name.begin(), name.end(), '\\', '/');
    l.oem_name = (m.BitFlag & 0x0800) == 0 &&
                 std::any_of(name.begin(), name.end(), [](char c) { return c & 0x80; });
    l.name = DecodeInfoZipEscapes(system.AnsiToUtf8(name));
    l.method = MethodName(m.CompressionMethod);
    l.compressed = static_cast<uint32_t>(m.CompressedSize);
    l.uncompressed = static_cast<uint32_t>(m.UncompressedSize);
    l.crc = m.CRC32;
    l.disk = m.DiskNumberStart;
    l.offset = m.LocalHeaderOffset;
    listing.push_back(l);
  }
  return listing;
}

// unzip -Zv's listing, in the reader's primary order (volume, then local header offset).
std::vector<Listed> UnzipListing(const std::string& host_path) {
  std::string command = "unzip -Zv '" + host_path + "' 2>/dev/null";
  std::vector<Listed> listing;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return listing;
  std::string text;
  char chunk[4096];
  while (size_t n = fread(chunk, 1, sizeof chunk, pipe)) text.append(chunk, n);
  pclose(pipe);

  std::istringstream lines(text);
  std::string line;
  auto value = [&](const std::string& l) { return Trim(l.substr(l.find(':') + 1)); };
  while (std::getline(lines, line)) {
    if (line.rfind("Central directory entry #", 0) == 0) {
      std::getline(lines, line);  // dashes
      // The name is the first line with text, after unzip's note on bytes it did not expect.
      while (std::getline(lines, line) &&
             (line.empty() || line.rfind("  There are an extra", 0) == 0)) {
      }
      listing.push_back({});
      listing.back().name = line.substr(2);
    } else if (listing.empty()) {
      continue;
    } else if (line.find("compression method:") != std::string::npos) {
      listing.back().method = value(line);
    } else if (line.find("32-bit CRC value (hex):") != std::string::npos) {
      listing.back().crc = static_cast<uint32_t>(std::stoul(value(line), nullptr, 16));
    } else if (line.find("  compressed size:") == 0) {
      listing.back().compressed = std::stoll(value(line));
    } else if (line.find("  uncompressed size:") == 0) {
      listing.back().uncompressed = std::stoll(value(line));
    } else if (line.find("offset of local header") != std::string::npos) {
      listing.back().offset = std::stoll(value(line));
    } else if (line.find("disk number on which file begins:") != std::string::npos) {
      listing.back().disk = std::stoi(value(line).substr(5)) - 1;
    }
  }
  std::stable_sort(listing.begin(), listing.end(), [](const Listed& a, const Listed& b) {
    return a.disk != b.disk ? a.disk < b.disk : a.offset < b.offset;
  });
  return listing;
}

TEST_F(CorpusTest, EveryArchiveListsAsUnzipListsIt) {
  if (std::system("unzip -v >/dev/null 2>&1") != 0) GTEST_SKIP() << "no unzip";
  int archives = 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(corpus_)) {
    std::string ext = LowerCase(entry.path().extension().string());
    if (ext != ".zip") continue;  // .z01 and .z02 are volumes, listed through their set
    SCOPED_TRACE(entry.path().string());
    std::vector<Listed> expected = UnzipListing(entry.path().string());
    std::vector<Listed> got =
        ReaderListing(world_.platform(), world_.HostToWindows(entry.path().string()));
    ASSERT_FALSE(expected.empty());
    ASSERT_EQ(got.size(), expected.size());
    for (size_t i = 0; i < got.size(); ++i) {
      if (got[i].oem_name) {
        // unzip shows OEM names in its own code page; here they are code page 866.
        EXPECT_EQ(got[i].name, kTestTxt);
      } else {
        EXPECT_EQ(got[i].name, expected[i].name);
      }
      EXPECT_EQ(got[i].method, expected[i].method) << expected[i].name;
      EXPECT_EQ(got[i].compressed, expected[i].compressed) << expected[i].name;
      EXPECT_EQ(got[i].uncompressed, expected[i].uncompressed) << expected[i].name;
      EXPECT_EQ(got[i].crc, expected[i].crc) << expected[i].name;
    }
    ++archives;
  }
  EXPECT_GE(archives, 25);
}
#endif

TEST_F(CorpusTest, SplitSetsOpenByTheirOwnNames) {
  struct Case {
    const char* set;
    int members;
    int volumes;
  } cases[] = {{"sharpcompress/Infozip.nocomp.multi", 5, 2},
               {"commons-compress/split_zip_created_by_zip", 272, 3}};
  for (const Case& c : cases) {
    TZipReader reader(world_.platform());
    const std::string zip = CorpusFile(std::string(c.set) + ".zip");
    reader.SetZipName(zip);
    reader.OpenArchive();
    EXPECT_EQ(reader.Count(), c.members) << c.set;
    EXPECT_EQ(reader.SpanMode(), TZipSpanMode::smSplitFiles);
    int last_disk = 0;
    for (int i = 0; i < reader.Count(); ++i) {
      last_disk = std::max(last_disk, static_cast<int>(reader.Member(i).DiskNumberStart));
    }
    EXPECT_EQ(last_disk + 1, c.volumes);
    for (int n = 1; n <= c.volumes; ++n) {
      reader.OpenVolume(n);
      std::string ext = n == c.volumes ? ".zip" : Format(".z%02d", n);
      EXPECT_TRUE(SameText(reader.ZipName(), CorpusFile(c.set + ext))) << reader.ZipName();
    }
  }
}

TEST_F(CorpusTest, CommentsAndOemNames) {
  TZipReader reader(world_.platform());
  reader.SetZipName(CorpusFile("sharpcompress/Zip.EntryComment.zip"));
  reader.OpenArchive();
  reader.CloseArchive();
  EXPECT_EQ(reader.FileComment(0), "This is a comment on test.txt");
  EXPECT_EQ(reader.ZipComment(), "");

  reader.SetZipName(CorpusFile("sharpcompress/Zip.LongComment.zip"));
  reader.OpenArchive();
  reader.CloseArchive();
  std::string comment = reader.ZipComment();
  EXPECT_EQ(comment.size(), 4097u);
  EXPECT_EQ(comment.substr(0, 11), "Lorem ipsum");

  // Bit 11 clear: the stored bytes are OEM text ("тест" in code page 866).
  reader.SetZipName(CorpusFile("sharpcompress/Zip.implode.zip"));
  reader.OpenArchive();
  ASSERT_EQ(reader.Count(), 3);
  platform::System& system = world_.system();
  EXPECT_EQ(reader.FullName(2), system.OemToAnsi("\xE2\xA5\xE1\xE2") + ".txt");
  if (system.OemCodePage() == 866 && system.AnsiCodePage() == 1251) {
    EXPECT_EQ(reader.FullName(2), "\xF2\xE5\xF1\xF2.txt");
  }
  EXPECT_EQ(reader.FullName(0), "EXE\\TEST.EXE");
}

}  // namespace
}  // namespace vl4::zip
