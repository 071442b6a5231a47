// The zip reader on the platform of this build (the sandbox PC natively, Win32 under Wine): its
// message table is a resource of the program, and the archive it holds open is its own.
#include <gtest/gtest.h>

#include "tests/support/test_world.h"
#include "tests/zip/zip_builder.h"
#include "zip/string_resource.h"
#include "zip/zip_reader.h"

namespace vl4::zip {
namespace {

TEST(ZipWorldTest, TheStreamMessagesAreAResourceOfTheProgram) {
  vl4::test::TestWorld world;
  StringResourceCache cache(world.system());
  EXPECT_EQ(cache.Lookup("S_STREAM", 1), "Seek error");
  EXPECT_EQ(cache.Lookup("S_Stream", 2), "Invalid seek origin (%d)");
  EXPECT_EQ(cache.Lookup("S_STREAM", 9), "");
}

TEST(ZipWorldTest, TheOpenArchiveDeniesWritesAndIsReadAgainWhenItChanges) {
  vl4::test::TestWorld world;
  test::ArchivePlan plan;
  for (const char* name : {"one.txt", "two.txt", "sub/three.txt"}) {
    test::MemberPlan m;
    m.name = name;
    m.data = name;
    plan.members.push_back(m);
  }
  const std::string path = world.Path("data.zip");
  ASSERT_TRUE(world.WriteFile(path, test::BuildZip(plan).bytes));

  TZipReader reader(world.platform());
  reader.SetKeepZipOpen(true);
  reader.SetZipName(path);
  reader.OpenArchive();
  EXPECT_EQ(reader.Count(), 3);
  EXPECT_EQ(reader.FullName(2), "sub\\three.txt");
  EXPECT_THROW(world.files().OpenFile(path, platform::OpenMode::kCreate), EFCreateError);
  EXPECT_NE(world.files().OpenFile(path, platform::OpenMode::kRead), nullptr);

  reader.SetKeepZipOpen(false);
  reader.CloseArchive();
  plan.members.pop_back();
  ASSERT_TRUE(world.WriteFile(path, test::BuildZip(plan).bytes));
  ASSERT_TRUE(world.files().SetFileTime(path, 0x50210000));  // 2020-01-01, surely another time
  reader.OpenArchive();
  EXPECT_EQ(reader.Count(), 2);
}

}  // namespace
}  // namespace vl4::zip
