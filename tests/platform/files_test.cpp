// Conformance of the file system: paths, attributes, times, enumeration, short names, drives.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "platform/exception.h"
#include "platform/file_tree.h"
#include "platform/path.h"
#include "platform/text.h"
#include "tests/support/test_world.h"

#ifndef _WIN32
#include "platform/sandbox/sandbox_platform.h"
#endif

namespace vl4::platform {
namespace {

using test::TestWorld;

std::set<std::string> Names(const std::vector<FindEntry>& entries) {
  std::set<std::string> names;
  for (const FindEntry& e : entries) names.insert(e.name);
  return names;
}

TEST(Files, PathsMatchWithoutRegardToCaseAndKeepTheStoredCase) {
  TestWorld w;
  ASSERT_TRUE(w.files().CreateDirectory(w.Path("Mixed Dir")));
  ASSERT_TRUE(w.WriteFile(w.Path("Mixed Dir\\Case.TXT"), "data"));
  EXPECT_TRUE(w.files().FileExists(w.Path("MIXED DIR\\case.txt")));
  EXPECT_TRUE(w.files().DirectoryExists(w.Path("mixed dir")));
  EXPECT_FALSE(w.files().FileExists(w.Path("mixed dir")));
  EXPECT_FALSE(w.files().DirectoryExists(w.Path("mixed dir\\case.txt")));
  EXPECT_EQ(w.ReadFile(UpperCase(w.Path("mixed dir/case.txt"))), "data");

  // Writing through another case replaces the one file rather than adding a second.
  ASSERT_TRUE(w.WriteFile(w.Path("mixed dir\\CASE.txt"), "new"));
  auto found = w.files().FindFiles(w.Path("Mixed Dir\\*"));
  EXPECT_EQ(Names(found), (std::set<std::string>{".", "..", "Case.TXT"}));
  EXPECT_EQ(w.ReadFile(w.Path("Mixed Dir\\Case.TXT")), "new");
}

TEST(Files, FullPathResolvesTheWayGetFullPathNameDoes) {
  TestWorld w;
  const std::string s = w.Scratch();
  const std::string drive = s.substr(0, 2);
  struct Case {
    std::string in, out;
  } cases[] = {
      {"file.txt", s + "\\file.txt"},
      {"a\\..\\b", s + "\\b"},
      {".\\a\\.\\b\\", s + "\\a\\b\\"},
      {"a/b", s + "\\a\\b"},
      {drive + "\\x\\..\\..\\..\\y", drive + "\\y"},
      {drive + "\\..", drive + "\\"},
      {"\\top", drive + "\\top"},
      {drive + "sub", s + "\\sub"},
      {drive + "\\x\\\\y", drive + "\\x\\y"},
      {drive + "\\x\\name. .", drive + "\\x\\name"},
      {drive + "\\x\\name...\\y", drive + "\\x\\name..\\y"},
      {drive + "\\x\\dir.\\y", drive + "\\x\\dir\\y"},
      {LowerCase(drive) + "\\x", LowerCase(drive) + "\\x"},
      {drive, s + "\\"},  // the drive's current directory
      {drive + ".", s},
  };
  for (const Case& c : cases) EXPECT_EQ(w.files().FullPath(c.in), c.out) << c.in;
}

TEST(Files, CurrentDirectory) {
  TestWorld w;
  EXPECT_EQ(w.files().CurrentDirectory(), w.Scratch());
  ASSERT_TRUE(w.files().CreateDirectory("sub"));
  EXPECT_TRUE(w.files().SetCurrentDirectory("SUB\\"));
  EXPECT_EQ(UpperCase(w.files().CurrentDirectory()), UpperCase(w.Path("sub")));
  EXPECT_FALSE(w.files().SetCurrentDirectory("missing"));
  EXPECT_TRUE(w.WriteFile("here.txt", "x"));
  EXPECT_TRUE(w.files().FileExists(w.Path("sub\\here.txt")));
  EXPECT_TRUE(w.files().SetCurrentDirectory(".."));
  EXPECT_EQ(w.files().CurrentDirectory(), w.Scratch());
  // The current directory is in use: it cannot be removed.
  ASSERT_TRUE(w.files().CreateDirectory("busy"));
  ASSERT_TRUE(w.files().SetCurrentDirectory("busy"));
  EXPECT_FALSE(w.files().RemoveDirectory(w.Path("busy")));
  ASSERT_TRUE(w.files().SetCurrentDirectory(w.Scratch()));
  EXPECT_TRUE(w.files().RemoveDirectory(w.Path("busy")));
}

TEST(Files, DirectoriesAreCreatedOneLevelOrWithParentsAndRemovedWhenEmpty) {
  TestWorld w;
  EXPECT_FALSE(w.files().CreateDirectory(w.Path("a\\b")));  // parent missing
  EXPECT_TRUE(ForceDirectories(w.files(), w.Path("a\\b\\c\\")));
  EXPECT_TRUE(w.files().DirectoryExists(w.Path("a\\b\\c")));
  EXPECT_FALSE(w.files().CreateDirectory(w.Path("a\\b")));  // exists
  EXPECT_TRUE(ForceDirectories(w.files(), w.Path("a\\b")));
  ASSERT_TRUE(w.WriteFile(w.Path("a\\file"), ""));
  EXPECT_FALSE(ForceDirectories(w.files(), w.Path("a\\file\\x")));  // a file on the way
  EXPECT_FALSE(w.files().CreateDirectory(w.Path("a\\file")));
  EXPECT_FALSE(w.files().RemoveDirectory(w.Path("a\\b")));  // not empty
  EXPECT_FALSE(w.files().RemoveDirectory(w.Path("a\\file")));
  EXPECT_TRUE(w.files().RemoveDirectory(w.Path("a\\b\\c")));
  EXPECT_FALSE(w.files().DirectoryExists(w.Path("a\\b\\c")));
  EXPECT_FALSE(w.files().RemoveDirectory(w.Path("a\\b\\c")));
  EXPECT_TRUE(w.files().DirectoryExists(w.Path("A")));
  EXPECT_TRUE(w.files().DirectoryExists(w.Scratch().substr(0, 2) + "\\"));
  EXPECT_TRUE(w.files().DirectoryExists(w.Scratch().substr(0, 2)));
}

TEST(Files, RemoveTreeClearsReadOnlyAndReportsWhatStayed) {
  TestWorld w;
  ASSERT_TRUE(ForceDirectories(w.files(), w.Path("t\\sub\\ro")));
  for (const char* file : {"t\\a.txt", "t\\sub\\held.txt", "t\\sub\\ro\\b.txt"}) {
    ASSERT_TRUE(w.WriteFile(w.Path(file), "x"));
  }
  w.files().SetAttributes(w.Path("t\\sub\\ro\\b.txt"), kAttrReadOnly);
  w.files().SetAttributes(w.Path("t\\sub\\ro"), kAttrDirectory | kAttrReadOnly);
  {
    // An open file cannot be deleted; its folders stay, and only the file is named.
    auto held = w.files().OpenFile(w.Path("t\\sub\\held.txt"), OpenMode::kRead);
    EXPECT_EQ(RemoveTree(w.files(), w.Path("t")),
              std::vector<std::string>{w.Path("t\\sub\\held.txt")});
  }
  EXPECT_FALSE(w.files().FileExists(w.Path("t\\a.txt")));
  EXPECT_FALSE(w.files().DirectoryExists(w.Path("t\\sub\\ro")));
  EXPECT_TRUE(w.files().FileExists(w.Path("t\\sub\\held.txt")));
  EXPECT_TRUE(RemoveTree(w.files(), w.Path("t\\")).empty());
  EXPECT_FALSE(w.files().DirectoryExists(w.Path("t")));
  EXPECT_TRUE(RemoveTree(w.files(), w.Path("t")).empty());  // nothing there: nothing stayed
}

// What the installer does for the folder the setup tool writes with a student's rights.
TEST(Files, TheUsersGroupCanBeAllowedToModifyAFolderAndWhatIsMadeInIt) {
  TestWorld w;
  const std::string dir = w.Path("shared");
  ASSERT_TRUE(w.files().CreateDirectory(dir));
  EXPECT_TRUE(w.files().AllowUsersToModify(dir));
  EXPECT_TRUE(w.files().UsersMayModify(dir));
  ASSERT_TRUE(w.files().CreateDirectory(dir + "\\made later"));
  EXPECT_TRUE(w.files().UsersMayModify(dir + "\\made later"));
  EXPECT_FALSE(w.files().AllowUsersToModify(w.Path("missing")));
  EXPECT_FALSE(w.files().UsersMayModify(w.Path("missing")));
}

TEST(Files, CopyMoveAndDelete) {
  TestWorld w;
  ASSERT_TRUE(w.WriteFile(w.Path("a.txt"), "alpha"));
  ASSERT_TRUE(w.WriteFile(w.Path("b.txt"), "beta"));
  const uint32_t dos = ((1999 - 1980) << 25) | (12 << 21) | (31 << 16) | (23 << 11) | (59 << 5);
  ASSERT_TRUE(w.files().SetFileTime(w.Path("a.txt"), dos));
  EXPECT_FALSE(w.files().CopyFile(w.Path("a.txt"), w.Path("b.txt"), true));
  EXPECT_EQ(w.ReadFile(w.Path("b.txt")), "beta");
  EXPECT_TRUE(w.files().CopyFile(w.Path("a.txt"), w.Path("B.TXT"), false));
  EXPECT_EQ(w.ReadFile(w.Path("b.txt")), "alpha");
  EXPECT_EQ(w.files().GetFileTime(w.Path("b.txt")), dos);  // a copy keeps the time
  EXPECT_FALSE(w.files().CopyFile(w.Path("missing"), w.Path("c.txt"), false));
  EXPECT_FALSE(w.files().CopyFile(w.Path("a.txt"), w.Path("no\\c.txt"), false));

  EXPECT_FALSE(w.files().MoveFile(w.Path("a.txt"), w.Path("b.txt")));  // target exists
  EXPECT_TRUE(w.files().MoveFile(w.Path("a.txt"), w.Path("c.txt")));
  EXPECT_FALSE(w.files().FileExists(w.Path("a.txt")));
  EXPECT_EQ(w.ReadFile(w.Path("c.txt")), "alpha");
  // A rename that changes the case only: Windows takes the new name, Wine keeps the old one.
  EXPECT_TRUE(w.files().MoveFile(w.Path("c.txt"), w.Path("C.TXT")));
  EXPECT_EQ(Names(w.files().FindFiles(w.Path("c.*"))),
            test::WindowsOrWine<std::set<std::string>>({"C.TXT"}, {"c.txt"}));
  // Folders move with their contents.
  ASSERT_TRUE(ForceDirectories(w.files(), w.Path("d1\\inner")));
  ASSERT_TRUE(w.WriteFile(w.Path("d1\\inner\\f"), "f"));
  EXPECT_TRUE(w.files().MoveFile(w.Path("d1"), w.Path("d2")));
  EXPECT_EQ(w.ReadFile(w.Path("d2\\inner\\f")), "f");

  EXPECT_TRUE(w.files().DeleteFile(w.Path("C.txt")));
  EXPECT_FALSE(w.files().DeleteFile(w.Path("C.txt")));
  EXPECT_FALSE(w.files().DeleteFile(w.Path("d2")));  // a folder is no file
}

TEST(Files, ReadOnlyFilesCannotBeChangedOrDeleted) {
  TestWorld w;
  const std::string f = w.Path("ro.txt");
  ASSERT_TRUE(w.WriteFile(f, "keep"));
  EXPECT_EQ(w.files().GetAttributes(f), kAttrArchive);
  ASSERT_TRUE(w.files().SetAttributes(f, kAttrReadOnly | kAttrArchive));
  EXPECT_EQ(w.files().GetAttributes(f), kAttrReadOnly | kAttrArchive);

  EXPECT_FALSE(w.files().DeleteFile(f));
  ASSERT_TRUE(w.WriteFile(w.Path("other.txt"), "other"));
  // Skipped under Wine because of who runs it, not because of Wine: Wine keeps the read-only bit
  // in the host's permission bits, which root (the test machines' user) passes.
  if (!test::RunsUnderWine()) {
    EXPECT_THROW(w.files().OpenFile(f, OpenMode::kCreate), EFCreateError);
    EXPECT_THROW(w.files().OpenFile(f, OpenMode::kReadWrite), EFOpenError);
    EXPECT_FALSE(w.files().CopyFile(w.Path("other.txt"), f, false));
  }
  EXPECT_EQ(w.ReadFile(f), "keep");  // reading is fine
  // A copy is read-only too; a rename is allowed.
  EXPECT_TRUE(w.files().CopyFile(f, w.Path("copy.txt"), false));
  EXPECT_TRUE(*w.files().GetAttributes(w.Path("copy.txt")) & kAttrReadOnly);
  EXPECT_TRUE(w.files().MoveFile(f, w.Path("moved.txt")));
  EXPECT_TRUE(*w.files().GetAttributes(w.Path("moved.txt")) & kAttrReadOnly);

  ASSERT_TRUE(w.files().SetAttributes(w.Path("moved.txt"), kAttrArchive));
  EXPECT_TRUE(w.files().DeleteFile(w.Path("moved.txt")));
}

TEST(Files, HiddenAndSystemAttributesAndFolders) {
  TestWorld w;
  ASSERT_TRUE(w.WriteFile(w.Path("h"), ""));
  ASSERT_TRUE(w.files().SetAttributes(w.Path("h"), kAttrHidden | kAttrSystem | kAttrArchive));
  EXPECT_EQ(w.files().GetAttributes(w.Path("H")), kAttrHidden | kAttrSystem | kAttrArchive);
  auto found = w.files().FindFiles(w.Path("h"));
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0].attributes, kAttrHidden | kAttrSystem | kAttrArchive);

  ASSERT_TRUE(w.files().CreateDirectory(w.Path("dir")));
  EXPECT_EQ(w.files().GetAttributes(w.Path("dir")), kAttrDirectory);
  EXPECT_EQ(w.files().GetAttributes(w.Path("missing")), std::nullopt);
  EXPECT_FALSE(w.files().SetAttributes(w.Path("missing"), kAttrHidden));
}

// Where Wine is not Windows: a mask ending in "." finds only names without an extension on
// Windows, every name under Wine; a file that loses its archive bit is "normal" on Windows and
// keeps the bit under Wine; a folder keeps its read-only bit on Windows and drops it under Wine.
TEST(Files, AttributesAndMasksWhereWineDiffers) {
  TestWorld w;
  for (const char* name : {"a.txt", "noext"}) ASSERT_TRUE(w.WriteFile(w.Path(name), ""));
  EXPECT_EQ(Names(w.files().FindFiles(w.Path("*."))),
            test::WindowsOrWine<std::set<std::string>>({".", "..", "noext"},
                                                       {".", "..", "a.txt", "noext"}));
  ASSERT_TRUE(w.files().SetAttributes(w.Path("a.txt"), kAttrNormal));
  EXPECT_EQ(w.files().GetAttributes(w.Path("a.txt")),
            test::WindowsOrWine<uint32_t>(kAttrNormal, kAttrArchive));
  ASSERT_TRUE(w.files().CreateDirectory(w.Path("dir")));
  ASSERT_TRUE(w.files().SetAttributes(w.Path("dir"), kAttrReadOnly));
  EXPECT_EQ(w.files().GetAttributes(w.Path("dir")),
            test::WindowsOrWine<uint32_t>(kAttrDirectory | kAttrReadOnly, kAttrDirectory));
}

TEST(Files, FileTimesAreDosDateTimes) {
  TestWorld w;
  const std::string f = w.Path("t.bin");
  ASSERT_TRUE(w.WriteFile(f, "x"));
  // 2004-07-15 13:45:32 local time.
  const uint32_t dos = ((2004 - 1980) << 25) | (7 << 21) | (15 << 16) | (13 << 11) | (45 << 5) | 16;
  ASSERT_TRUE(w.files().SetFileTime(f, dos));
  EXPECT_EQ(w.files().GetFileTime(f), dos);
  EXPECT_EQ(w.files().OpenFile(f, OpenMode::kRead)->DosTime(), dos);
  EXPECT_EQ(w.files().FindFiles(f).at(0).dos_time, dos);
  EXPECT_EQ(w.files().GetFileTime(w.Path("missing")), std::nullopt);
}

TEST(Files, EnumerationFollowsWindowsPatterns) {
  TestWorld w;
  for (const char* name : {"a.txt", "b.TXT", "abc.txt", "readme", "x.dat", "long.html"}) {
    ASSERT_TRUE(w.WriteFile(w.Path(name), "12345"));
  }
  ASSERT_TRUE(w.files().CreateDirectory(w.Path("sub")));
  using Set = std::set<std::string>;
  const Set all{".", "..", "a.txt", "b.TXT", "abc.txt", "readme", "x.dat", "long.html", "sub"};
  struct Case {
    const char* pattern;
    Set names;
  } cases[] = {
      {"*.*", all},
      {"*", all},
      {"*.txt", {"a.txt", "b.TXT", "abc.txt"}},
      {"?.txt", {"a.txt", "b.TXT"}},
      {"a*", {"a.txt", "abc.txt"}},
      {"*b*", {"b.TXT", "abc.txt", "sub"}},
      {"README", {"readme"}},
      {"read?e", {"readme"}},
      {"*.dat", {"x.dat"}},
      {"*.htm", {"long.html"}},  // found through its short name, LONG~1.HTM or alike
      {"*.t?t", {"a.txt", "b.TXT", "abc.txt"}},
      {"readme.*", {"readme"}},
      {"nothing*", {}},
      {"missing.txt", {}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Names(w.files().FindFiles(w.Path(c.pattern))), c.names) << c.pattern;
  }
  auto one = w.files().FindFiles(w.Path("x.dat"));
  ASSERT_EQ(one.size(), 1u);
  EXPECT_EQ(one[0].size, 5);
  EXPECT_EQ(one[0].attributes, kAttrArchive);
  auto sub = w.files().FindFiles(w.Path("s*"));
  ASSERT_EQ(sub.size(), 1u);
  EXPECT_EQ(sub[0].attributes & kAttrDirectory, kAttrDirectory);
  EXPECT_TRUE(w.files().FindFiles(w.Path("missing\\*.*")).empty());
}

bool IsShortComponent(const std::string& name) {
  size_t dot = name.find('.');
  std::string base = name.substr(0, dot);
  std::string ext = dot == std::string::npos ? "" : name.substr(dot + 1);
  return !base.empty() && base.size() <= 8 && ext.size() <= 3 &&
         ext.find('.') == std::string::npos && name.find(' ') == std::string::npos;
}

TEST(Files, ShortPathsAreEightDotThreeAndLeadToTheSameFile) {
  TestWorld w;
  ASSERT_TRUE(ForceDirectories(w.files(), w.Path("Long Folder Name\\Another long one")));
  const std::string f = w.Path("Long Folder Name\\Another long one\\document file.html");
  ASSERT_TRUE(w.WriteFile(f, "content"));
  ASSERT_TRUE(w.WriteFile(w.Path("Long Folder Name\\SHORT.TXT"), "s"));

  std::string short_path = w.files().ShortPath(f);
  ASSERT_FALSE(short_path.empty());
  std::string tail = short_path.substr(w.files().ShortPath(w.Scratch()).size() + 1);
  size_t pos = 0;
  int parts = 0;
  while (pos <= tail.size()) {
    size_t end = std::min(tail.find('\\', pos), tail.size());
    EXPECT_TRUE(IsShortComponent(tail.substr(pos, end - pos))) << short_path;
    ++parts;
    pos = end + 1;
  }
  EXPECT_EQ(parts, 3);
  // Windows counts (DOCUME~1.HTM), Wine hashes the long name into the short one (DOCU~A1B.HTM).
  const std::string name = ExtractFileName(short_path);
  if (test::RunsUnderWine()) {
    EXPECT_TRUE(name.size() == 12 && name.compare(0, 5, "DOCU~") == 0 && name.ends_with(".HTM"))
        << name;
  } else {
    EXPECT_EQ(name, "DOCUME~1.HTM");
  }
  EXPECT_EQ(w.ReadFile(short_path), "content");
  EXPECT_EQ(w.files().ShortPath(f), short_path);  // stable
  // A relative path stays relative.
  std::string short_scratch = w.files().ShortPath(w.Scratch()) + "\\";
  EXPECT_EQ(w.files().ShortPath("Long Folder Name\\Another long one\\document file.html"),
            short_path.substr(short_scratch.size()));
  EXPECT_TRUE(SameText(ExtractFileExt(short_path), ".htm"));
  // A name that is 8.3 already stays as it is.
  EXPECT_TRUE(SameText(ExtractFileName(w.files().ShortPath(w.Path("Long Folder Name\\SHORT.TXT"))),
                       "SHORT.TXT"));
  EXPECT_EQ(w.files().ShortPath(w.Path("missing folder\\x")), "");
}

TEST(Files, DrivesHaveTypesLabelsAndSizes) {
  TestWorld w;
  std::string root = w.Scratch().substr(0, 3);
  EXPECT_EQ(w.files().GetDriveType(root), DriveType::kFixed);
  EXPECT_EQ(w.files().GetDriveType("Q:\\"), DriveType::kNoRootDir);
  EXPECT_TRUE(w.files().VolumeLabel(root).has_value());
  EXPECT_FALSE(w.files().VolumeLabel("Q:\\").has_value());
  EXPECT_GT(w.files().DiskSize(root[0]), 0);
  EXPECT_EQ(w.files().DiskSize('Q'), -1);
  // Free space is the volume's, also for a folder not made yet.
  const int64_t free = w.files().FreeSpace(w.Scratch());
  EXPECT_GT(free, 0);
  EXPECT_LE(free, w.files().DiskSize(root[0]));
  EXPECT_GT(w.files().FreeSpace(w.Path("not made\\yet")), 0);
  EXPECT_EQ(w.files().FreeSpace("Q:\\x"), -1);
#ifndef _WIN32
  w.sandbox()->SetFreeSpace(root[0], 12345);  // what a test of a full disk sets
  EXPECT_EQ(w.files().FreeSpace(w.Scratch()), 12345);
#endif
}

}  // namespace
}  // namespace vl4::platform
