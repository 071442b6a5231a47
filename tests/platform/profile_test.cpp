// Conformance of private-profile (INI) files: what GetPrivateProfileString/Int read from a given
// file, and what WritePrivateProfileString leaves in it.
#include <gtest/gtest.h>

#include "tests/support/test_world.h"

namespace vl4::platform {
namespace {

using test::TestWorld;

const char kIni[] =
    "; comment line\r\n"
    "[Main]\r\n"
    "Name = Value With Spaces  \r\n"
    "Quoted=\"  quoted  \"\r\n"
    "Single='single'\r\n"
    "Mismatch=\"open\r\n"
    "Empty=\r\n"
    "NoEquals\r\n"
    "dup=first\r\n"
    "DUP=second\r\n"
    "\tIndented  =  yes\r\n"
    "Number=42abc\r\n"
    "Negative=-17\r\n"
    "Hex=0x10\r\n"
    "Big=4294967297\r\n"
    "Padded= 12 \r\n"
    "Plus=+5\r\n"
    "Leading=010\r\n"
    "\r\n"
    "[ Spaced ]\r\n"
    "key=spaced\r\n"
    "[main]\r\n"
    "other=second section\r\n"
    "[Unix]\n"
    "lf=works\n";

TEST(Profile, ReadsTheWayWindowsDoes) {
  TestWorld w;
  const std::string ini = w.Path("read.ini");
  ASSERT_TRUE(w.WriteFile(ini, kIni));
  struct Case {
    const char* section;
    const char* key;
    const char* expected;
  } cases[] = {
      {"Main", "Name", "Value With Spaces"},
      {"MAIN", "name", "Value With Spaces"},
      {" Main ", " Name ", "Value With Spaces"},
      {"Main", "Quoted", "  quoted  "},
      {"Main", "Single", "single"},
      {"Main", "Mismatch", "\"open"},
      {"Main", "Empty", ""},
      {"Main", "NoEquals", "(default)"},
      {"Main", "dup", "first"},
      {"Main", "Indented", "yes"},
      {"Spaced", "key", "spaced"},  // blanks inside the brackets do not count
      {" Spaced ", "key", "spaced"},
      {"Main", "other", "(default)"},  // only the first [Main] counts
      {"Unix", "lf", "works"},
      {"Main", "missing", "(default)"},
      {"Missing", "Name", "(default)"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(w.profile().ReadString(ini, c.section, c.key, "(default)"), c.expected)
        << c.section << "/" << c.key;
  }
  EXPECT_EQ(w.profile().ReadString(ini, "Main", "missing", "  def  "), "  def");
  EXPECT_EQ(w.profile().ReadString(ini, "", "; comment line", "(default)"), "(default)");
  EXPECT_EQ(w.profile().ReadString(w.Path("missing.ini"), "Main", "Name", "d"), "d");
}

// Lines before the first header belong to a section without a name; ";" starts no comment.
TEST(Profile, LinesBeforeTheFirstSectionAndCommentLines) {
  TestWorld w;
  const std::string ini = w.Path("top.ini");
  ASSERT_TRUE(w.WriteFile(ini, "top=1\r\n=empty\r\n;c=2\r\n[S]\r\nk=v"));
  EXPECT_EQ(w.profile().ReadString(ini, "", "top", "D"), "1");
  EXPECT_EQ(w.profile().ReadString(ini, "", "", "D"), "empty");
  EXPECT_EQ(w.profile().ReadString(ini, "", ";c", "D"), "2");
  EXPECT_EQ(w.profile().ReadString(ini, "S", "top", "D"), "D");
  ASSERT_TRUE(w.profile().WriteString(ini, "S", "n", ""));
  ASSERT_TRUE(w.profile().WriteString(ini, "T", "x", "y"));
  EXPECT_EQ(w.ReadFile(ini), "top=1\r\n=empty\r\n;c=2\r\n[S]\r\nk=v\r\nn=\r\n[T]\r\nx=y\r\n");
}

TEST(Profile, ReadsIntegers) {
  TestWorld w;
  const std::string ini = w.Path("int.ini");
  ASSERT_TRUE(w.WriteFile(ini, kIni));
  struct Case {
    const char* key;
    int expected;
  } cases[] = {
      {"Number", 42}, {"Negative", -17}, {"Hex", 16},     {"Leading", 10},
      {"Big", 1},     {"Padded", 12},    {"Plus", 5},     {"Name", 0},
      {"Empty", 99},  {"NoEquals", 99},  {"missing", 99},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(w.profile().ReadInt(ini, "Main", c.key, 99), c.expected) << c.key;
  }
  EXPECT_EQ(w.profile().ReadInt(w.Path("missing.ini"), "Main", "Number", -1), -1);
}

TEST(Profile, WritingCreatesTheFileAndTheSection) {
  TestWorld w;
  const std::string ini = w.Path("new.ini");
  ASSERT_TRUE(w.profile().WriteString(ini, "First", "key", "value"));
  EXPECT_EQ(w.ReadFile(ini), "[First]\r\nkey=value\r\n");
  ASSERT_TRUE(w.profile().WriteString(ini, "first", "Second", "2"));
  ASSERT_TRUE(w.profile().WriteString(ini, "Next", "k", "v"));
  ASSERT_TRUE(w.profile().WriteString(ini, "FIRST", "KEY", "changed"));
  EXPECT_EQ(w.ReadFile(ini), "[First]\r\nkey=changed\r\nSecond=2\r\n[Next]\r\nk=v\r\n");
  EXPECT_FALSE(w.profile().WriteString(w.Path("no\\such\\dir.ini"), "S", "k", "v"));
  // Deleting from a missing file is no error and makes no file.
  EXPECT_TRUE(w.profile().DeleteKey(w.Path("none.ini"), "A", "b"));
  EXPECT_TRUE(w.profile().DeleteSection(w.Path("none.ini"), "A"));
  EXPECT_FALSE(w.files().FileExists(w.Path("none.ini")));
}

TEST(Profile, ABareFileNameLivesInTheWindowsDirectory) {
  TestWorld w;
  const std::string name =
      "vl4-conformance-" + std::to_string(reinterpret_cast<uintptr_t>(&w) % 100000) + ".ini";
  ASSERT_TRUE(w.profile().WriteString(name, "S", "k", "v"));
  const std::string in_windows = w.system().WindowsDirectory() + "\\" + name;
  EXPECT_TRUE(w.files().FileExists(in_windows));
  EXPECT_EQ(w.profile().ReadString(in_windows, "S", "k", ""), "v");
  EXPECT_TRUE(w.files().DeleteFile(in_windows));
}

TEST(Profile, WritingIntoAnExistingFile) {
  TestWorld w;
  const std::string ini = w.Path("edit.ini");
  ASSERT_TRUE(w.WriteFile(ini, "; note\r\n[A]\r\n  x  =  old  \r\nkeep=1\r\n\r\n[B]\r\ny=2\r\n"));
  ASSERT_TRUE(w.profile().WriteString(ini, "a", "X", "new"));
  ASSERT_TRUE(w.profile().WriteString(ini, "A", "added", " padded "));
  EXPECT_EQ(w.profile().ReadString(ini, "A", "x", ""), "new");
  EXPECT_EQ(w.profile().ReadString(ini, "A", "added", ""), "padded");
  EXPECT_EQ(w.profile().ReadString(ini, "B", "y", ""), "2");
  EXPECT_EQ(w.profile().ReadString(ini, "A", "keep", ""), "1");
  // The file is written anew from what was read: names and values without padding, blank
  // lines gone.
  EXPECT_EQ(w.ReadFile(ini), "; note\r\n[A]\r\nx=new\r\nkeep=1\r\nadded=padded \r\n[B]\r\ny=2\r\n");
}

TEST(Profile, DeletingKeysAndSections) {
  TestWorld w;
  const std::string ini = w.Path("del.ini");
  ASSERT_TRUE(w.WriteFile(ini, "[A]\r\nx=1\r\ny=2\r\n[B]\r\nz=3\r\n"));
  EXPECT_TRUE(w.profile().DeleteKey(ini, "a", "X"));
  EXPECT_EQ(w.profile().ReadString(ini, "A", "x", "gone"), "gone");
  EXPECT_EQ(w.profile().ReadString(ini, "A", "y", ""), "2");
  EXPECT_TRUE(w.profile().DeleteKey(ini, "A", "missing"));
  EXPECT_TRUE(w.profile().DeleteSection(ini, "b"));
  EXPECT_EQ(w.profile().ReadString(ini, "B", "z", "gone"), "gone");
  EXPECT_EQ(w.ReadFile(ini), "[A]\r\ny=2\r\n");
}

TEST(Profile, ReadOnlyFilesAreNotWritten) {
  if (test::RunsUnderWine()) GTEST_SKIP() << "Wine run by root writes read-only files";
  TestWorld w;
  const std::string ini = w.Path("ro.ini");
  ASSERT_TRUE(w.WriteFile(ini, "[A]\r\nx=1\r\n"));
  ASSERT_TRUE(w.files().SetAttributes(ini, kAttrReadOnly));
  EXPECT_FALSE(w.profile().WriteString(ini, "A", "x", "2"));
  EXPECT_EQ(w.profile().ReadString(ini, "A", "x", ""), "1");
  w.files().SetAttributes(ini, kAttrArchive);
}

}  // namespace
}  // namespace vl4::platform
