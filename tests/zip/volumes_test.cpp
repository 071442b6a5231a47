// Multi-volume sets: split files under both namings, and removable disks with their labels.
#include <gtest/gtest.h>

#include "platform/text.h"
#include "tests/zip/fake_platform.h"
#include "tests/zip/zip_builder.h"
#include "zip/zip_reader.h"

namespace vl4::zip {
namespace {

using test::CentralRecord;
using test::EndPlan;
using test::EndRecord;
using test::Error;
using test::LocalRecord;
using test::Member;
using test::MemberPlan;

// Three volumes: members a and b on the first, c on the second, where the central directory
// begins; it ends on the third, with the end record and the archive comment.
std::vector<std::string> ThreeVolumes() {
  MemberPlan a = Member("a.txt", "aaa", "a's comment"), b = Member("b.txt", "bb"),
             c = Member("c.txt", "c");
  std::string v1 = LocalRecord(a);
  const uint32_t b_at = static_cast<uint32_t>(v1.size());
  v1 += LocalRecord(b);
  std::string v2 = LocalRecord(c);
  const uint32_t central_at = static_cast<uint32_t>(v2.size());
  v2 += CentralRecord(a, 0, 0) + CentralRecord(b, b_at, 0);
  std::string v3 = CentralRecord(c, 0, 1);
  EndPlan end;
  end.this_disk = 2;
  end.central_disk = 1;
  end.entries_this_disk = 1;
  end.total_entries = 3;
  end.central_offset = central_at;
  end.central_size = static_cast<uint32_t>(v2.size() - central_at + v3.size());
  end.comment_length = 12;
  v3 += EndRecord(end, "set comment!");
  return {v1, v2, v3};
}

class VolumesTest : public ::testing::Test {
 protected:
  std::vector<std::string> Names() {
    std::vector<std::string> names;
    for (int i = 0; i < reader_.Count(); ++i) names.push_back(reader_.FullName(i));
    return names;
  }

  test::MemoryFiles files_;
  test::FakeSystem system_;
  TZipReader reader_{files_, system_};
};

TEST_F(VolumesTest, SplitFilesAreFoundUnderTheZNamingAndTheNumberedNaming) {
  std::vector<std::string> v = ThreeVolumes();
  const char* sets[][3] = {{"C:\\S\\SET.z01", "C:\\S\\SET.z02", "C:\\S\\SET.zip"},
                           {"C:\\N\\SET.001", "C:\\N\\SET.002", "C:\\N\\SET.003"}};
  for (const auto& names : sets) {
    for (int i = 0; i < 3; ++i) files_.Put(names[i], v[i]);
    TZipReader reader(files_, system_);
    reader.SetZipName(names[2]);
    reader.OpenArchive();
    EXPECT_EQ(reader.SpanMode(), TZipSpanMode::smSplitFiles);
    ASSERT_EQ(reader.Count(), 3) << names[2];
    EXPECT_EQ(reader.FullName(2), "c.txt");
    EXPECT_EQ(reader.Member(2).DiskNumberStart, 1);
    EXPECT_EQ(reader.FileComment(0), "a's comment");
    EXPECT_EQ(reader.ZipComment(), "set comment!");
    EXPECT_TRUE(SameText(reader.ZipName(), names[2]));  // back on the last volume
    reader.OpenVolume(1);
    EXPECT_TRUE(SameText(reader.ZipName(), names[0]));
    reader.OpenVolume(3);
    EXPECT_TRUE(SameText(reader.ZipName(), names[2]));
  }
}

TEST_F(VolumesTest, AMissingVolumeEndsTheReadInsteadOfAskingForever) {
  std::vector<std::string> v = ThreeVolumes();
  files_.Put("C:\\SET.z01", v[0]);
  files_.Put("C:\\SET.zip", v[2]);
  reader_.SetZipName("C:\\SET.zip");
  EXPECT_EQ(Error([&] { reader_.OpenArchive(); }),
            "EUserCanceled: User canceled loading new disk.");
  EXPECT_EQ(reader_.Count(), 0);

  // A handler of the owner's names the volume; without one nobody can.
  std::vector<std::pair<int, std::string>> asked;
  reader_.OnGetNextDisk = [&](TZipReader&, int n, std::string& fname) {
    asked.emplace_back(n, fname);
    fname = n == 2 ? "C:\\ELSEWHERE.Z02" : "C:\\SET.zip";
  };
  files_.Put("C:\\ELSEWHERE.Z02", v[1]);
  reader_.SetZipName("C:\\SET.ZIP");
  reader_.OpenArchive();
  EXPECT_EQ(Names(), (std::vector<std::string>{"a.txt", "b.txt", "c.txt"}));
  EXPECT_EQ(asked, (std::vector<std::pair<int, std::string>>{{2, "C:\\SET.zip"},
                                                             {3, "C:\\ELSEWHERE.Z02"}}));
  reader_.OnGetNextDisk = nullptr;
  EXPECT_EQ(Error([&] { reader_.OpenVolume(1); }),
            "EUserCanceled: User canceled loading new disk.");
}

TEST_F(VolumesTest, AVolumeOf2GiBOrMoreIsRefusedWhenItIsOpened) {
  std::vector<std::string> v = ThreeVolumes();
  files_.PutSparse("C:\\SET.z01", int64_t{1} << 31, v[0]);
  files_.Put("C:\\SET.z02", v[1]);
  files_.Put("C:\\SET.zip", v[2]);
  reader_.SetZipName("C:\\SET.zip");
  reader_.OpenArchive();  // the directory is on the last two volumes
  EXPECT_EQ(Error([&] { reader_.OpenVolume(1); }),
            "EBadZipFile: Zip file too large (2 GiB or more)");
  EXPECT_EQ(reader_.ZipName(), "");
}

TEST_F(VolumesTest, RemovableDisksAreAskedForAndCheckedByTheirLabels) {
  // Two disks: a and b on the first with the central header of a; b's and the end on the second.
  MemberPlan a = Member("a.txt", "aaa", "a's comment"), b = Member("b.txt", "bb");
  std::string disk1 = LocalRecord(a);
  const uint32_t b_at = static_cast<uint32_t>(disk1.size());
  disk1 += LocalRecord(b);
  const uint32_t central_at = static_cast<uint32_t>(disk1.size());
  disk1 += CentralRecord(a, 0, 0);
  EndPlan end;
  end.this_disk = 1;
  end.total_entries = 2;
  end.central_offset = central_at;
  end.comment_length = 8;
  std::string disk2 = CentralRecord(b, b_at, 0) + EndRecord(end, "disk set");
  const std::string disks[] = {disk1, disk2};

  files_.SetDriveType('A', platform::DriveType::kRemovable);
  auto insert = [&](int n) {
    files_.Put("A:\\SET.ZIP", disks[n - 1]);
    files_.SetVolumeLabel('A', "PKBACK# 00" + std::to_string(n));
  };
  insert(2);
  std::vector<std::string> prompts;
  bool first_prompt = true;
  reader_.SetHost({.message_box = [&](const std::string& text, const std::string&, ZipMsgKind kind,
                                      ZipMsgButtons buttons) {
    EXPECT_EQ(kind, ZipMsgKind::kConfirmation);
    EXPECT_EQ(buttons, ZipMsgButtons::kOKCancel);
    prompts.push_back(text);
    // The user first leaves the wrong disk in the drive.
    if (!first_prompt) insert(text == "Please insert disk 1 of the multi-disk set." ? 1 : 2);
    first_prompt = false;
    return ZipMsgResult::kOK;
  }});
  reader_.SetZipName("A:\\SET.ZIP");
  reader_.OpenArchive();
  EXPECT_EQ(reader_.SpanMode(), TZipSpanMode::smRemovableDisks);
  EXPECT_EQ(Names(), (std::vector<std::string>{"a.txt", "b.txt"}));
  EXPECT_EQ(prompts, (std::vector<std::string>{"Please insert disk 1 of the multi-disk set.",
                                               "Please insert disk 1 of the multi-disk set.",
                                               "Please insert disk 2 of the multi-disk set."}));
  // The comments were read while their disks were in the drive.
  insert(1);
  EXPECT_EQ(reader_.FileComment(0), "a's comment");
  EXPECT_EQ(reader_.ZipComment(), "disk set");

  // Nobody to ask: the prompt counts as cancelled.
  insert(2);
  TZipReader unattended(files_, system_);
  unattended.SetZipName("A:\\SET.ZIP");
  EXPECT_EQ(Error([&] { unattended.OpenArchive(); }),
            "EUserCanceled: User canceled loading new disk.");
}

}  // namespace
}  // namespace vl4::zip
