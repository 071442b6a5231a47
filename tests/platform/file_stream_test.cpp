// Conformance of open files: the open modes, reading, writing, seeking, and sharing between
// handles the way the program's file streams open them.
#include <gtest/gtest.h>

#include "platform/exception.h"
#include "tests/support/test_world.h"

namespace vl4::platform {
namespace {

using test::TestWorld;

TEST(FileStream, CreateWriteSeekRead) {
  TestWorld w;
  const std::string f = w.Path("s.bin");
  {
    auto s = w.files().OpenFile(f, OpenMode::kCreate);
    EXPECT_EQ(s->Write("0123456789", 10), 10u);
    EXPECT_EQ(s->Size(), 10);
    EXPECT_EQ(s->Seek(2, SeekOrigin::kBegin), 2);
    char buffer[4] = {};
    EXPECT_EQ(s->Read(buffer, 3), 3u);
    EXPECT_EQ(std::string(buffer, 3), "234");
    EXPECT_EQ(s->Seek(-1, SeekOrigin::kEnd), 9);
    EXPECT_EQ(s->Read(buffer, 4), 1u);  // a short read at the end is no error
    EXPECT_EQ(s->Seek(0, SeekOrigin::kCurrent), 10);
  }
  {
    auto s = w.files().OpenFile(f, OpenMode::kReadWrite);  // in place, no truncation
    EXPECT_EQ(s->Write("AB", 2), 2u);
  }
  EXPECT_EQ(w.ReadFile(f), "AB23456789");
  w.files().OpenFile(f, OpenMode::kCreate);  // truncates
  EXPECT_EQ(w.ReadFile(f), "");

  EXPECT_THROW(w.files().OpenFile(w.Path("missing"), OpenMode::kRead), EFOpenError);
  EXPECT_THROW(w.files().OpenFile(w.Path("missing"), OpenMode::kReadWrite), EFOpenError);
  EXPECT_THROW(w.files().OpenFile(w.Path("no\\dir\\f"), OpenMode::kCreate), EFCreateError);
  ASSERT_TRUE(w.files().CreateDirectory(w.Path("d")));
  EXPECT_THROW(w.files().OpenFile(w.Path("d"), OpenMode::kCreate), EFCreateError);
  try {
    w.files().OpenFile(w.Path("missing"), OpenMode::kRead);
  } catch (const EFOpenError& e) {
    EXPECT_EQ(e.Message(), "Cannot open file \"" + w.Path("missing") + "\"");
  }
}

TEST(FileStream, AHandleThatDeniesWritingKeepsWritersOut) {
  TestWorld w;
  const std::string f = w.Path("archive.zip");
  ASSERT_TRUE(w.WriteFile(f, "zip"));
  {
    auto archive = w.files().OpenFile(f, OpenMode::kReadDenyWrite);
    EXPECT_THROW(w.files().OpenFile(f, OpenMode::kCreate), EFCreateError);
    EXPECT_THROW(w.files().OpenFile(f, OpenMode::kReadWrite), EFOpenError);
    EXPECT_FALSE(w.files().DeleteFile(f));  // open files cannot be deleted
    EXPECT_FALSE(w.files().MoveFile(f, w.Path("moved.zip")));
    // Readers are welcome.
    auto reader = w.files().OpenFile(f, OpenMode::kRead);
    auto second = w.files().OpenFile(f, OpenMode::kReadDenyWrite);
    char c;
    EXPECT_EQ(reader->Read(&c, 1), 1u);
  }
  {
    auto writer = w.files().OpenFile(f, OpenMode::kCreate);
    EXPECT_THROW(w.files().OpenFile(f, OpenMode::kReadDenyWrite), EFOpenError);
    EXPECT_THROW(w.files().OpenFile(f, OpenMode::kCreate), EFCreateError);
    EXPECT_NO_THROW(w.files().OpenFile(f, OpenMode::kRead));
  }
  {
    auto reader = w.files().OpenFile(f, OpenMode::kRead);
    EXPECT_FALSE(w.files().DeleteFile(f));  // no open file can be deleted
  }
  EXPECT_NO_THROW(w.files().OpenFile(f, OpenMode::kCreate));
  EXPECT_TRUE(w.files().DeleteFile(f));
}

}  // namespace
}  // namespace vl4::platform
