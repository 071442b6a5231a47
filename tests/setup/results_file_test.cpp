// The results file on disk: the records a new file gets, the result codes of reading its
// header, rewriting the header in place, and the sealed name.
#include <gtest/gtest.h>

#include "platform/exception.h"
#include "platform/file_tree.h"
#include "platform/files.h"
#include "platform/text.h"
#include "setup/results/code_page.h"
#include "setup/results/results_file.h"
#include "tests/support/test_world.h"

#ifndef _WIN32
#include "platform/sandbox/sandbox_platform.h"
#endif

namespace vl4 {
namespace {

std::string Record(const std::string& file, size_t index) {
  return file.substr(index * kResultsRecordSize, kResultsRecordSize);
}

std::string TextRecord(const std::string& dos_text) {
  std::string record(kResultsRecordSize, ' ');
  record[0] = static_cast<char>(dos_text.size());
  record.replace(1, dos_text.size(), dos_text);
  return record;
}

class ResultsFile : public ::testing::Test {
 protected:
  ResultsFile() : files(world.files()), dir(world.Path("Work")), install(world.Path("Inst\\")) {
    platform::ForceDirectories(files, dir);
    platform::ForceDirectories(files, install);
  }
  std::string FilePath() const { return dir + "\\results.dat"; }
  void Create(const std::string& name, const std::string& suffix = "") {
    ASSERT_TRUE(CreateResultsFile(files, dir, install, name, suffix, random));
  }

  test::TestWorld world;
  platform::Files& files;
  std::string dir;
  std::string install;
  std::minstd_rand random{11};
};

TEST_F(ResultsFile, ANewFileHasTheHeaderTheInstallationAndTheSealedName) {
  const std::string name = "\xC8\xE2\xE0\xED \xCF\xE5\xF2\xF0\xEE\xE2";  // Иван Петров in 1251
  Create(name, "|10");
  auto file = world.ReadFile(FilePath());
  ASSERT_TRUE(file);
  ASSERT_EQ(file->size(), 3 * kResultsRecordSize);
  EXPECT_EQ(Record(*file, 0),
            TextRecord(Win1251ToDos866(name) + "|10" + std::string(78 - 14, ' ')));
  const std::string short_install = files.ShortPath(world.Path("Inst"));
  ASSERT_FALSE(short_install.empty());
  EXPECT_EQ(Record(*file, 1),
            TextRecord(short_install + std::string(78 - short_install.size(), ' ')));
  EXPECT_EQ(ReadUserName(files, dir), name + std::string(14, ' '));

  ResultsHeader header;
  EXPECT_EQ(ReadResultsHeader(files, dir + "\\", header), kResultsOk);
  EXPECT_EQ(header.name, name);
  EXPECT_EQ(header.option, 10);
  EXPECT_EQ(header.env_code, "");
  EXPECT_EQ(header.install_dir, "");  // the installation holds no vl.ini
  world.WriteFile(install + "vl.ini", "");
  EXPECT_EQ(ReadResultsHeader(files, dir, header), kResultsOk);
  EXPECT_EQ(files.ShortPath(header.install_dir), short_install);
}

TEST_F(ResultsFile, ReadingTheHeaderGivesAResultCodeAndNeverRaises) {
  ResultsHeader header;
  EXPECT_EQ(ReadResultsHeader(files, world.Path("Nowhere"), header), kResultsNoDirectory);
  EXPECT_EQ(ReadResultsHeader(files, dir, header), kResultsMissing);
  // Two records are not a results file.
  world.WriteFile(FilePath(), TextRecord("Ivan") + TextRecord("C:\\VL4"));
  EXPECT_EQ(ReadResultsHeader(files, dir, header), kResultsTooShort);
  EXPECT_FALSE(ReadUserName(files, dir));
  // An empty directory means the current one.
  files.SetCurrentDirectory(dir);
  Create("Ivan");
  EXPECT_EQ(ReadResultsHeader(files, "", header), kResultsOk);
  EXPECT_EQ(header.name, "Ivan");
}

TEST_F(ResultsFile, ReadingClearsTheReadOnlyMark) {
  Create("Ivan");
  files.SetAttributes(FilePath(), platform::kAttrReadOnly | platform::kAttrArchive);
  ResultsHeader header;
  EXPECT_EQ(ReadResultsHeader(files, dir, header), kResultsOk);
  EXPECT_EQ(files.GetAttributes(FilePath()).value_or(0) & platform::kAttrReadOnly, 0u);
  // Creating anew over a read-only file works too.
  files.SetAttributes(FilePath(), platform::kAttrReadOnly);
  Create("Maria");
  EXPECT_EQ(ReadUserName(files, dir), "Maria" + std::string(20, ' '));
}

TEST_F(ResultsFile, RewritingTheHeaderKeepsTheNameAndTheExerciseBooksRecords) {
  Create("Ivan", "|12VB6");
  auto original = world.ReadFile(FilePath());
  ASSERT_TRUE(original);
  const std::string extra = TextRecord("exercise 1: solved");
  world.WriteFile(FilePath(), *original + extra);

  struct Case {
    int option;
    const char* code;
    int stored_option;
  };
  const Case cases[] = {{0, "delphi7", 12}, {14, "VB6", 14}, {13, "CB5", 14}, {42, "", 14}};
  for (const Case& c : cases) {
    EXPECT_EQ(RewriteResultsHeader(files, dir, c.option, c.code, install), kResultsOk);
    ResultsHeader header;
    ASSERT_EQ(ReadResultsHeader(files, dir, header), kResultsOk);
    EXPECT_EQ(header.name, "Ivan");
    EXPECT_EQ(header.option, c.stored_option) << c.option;
    EXPECT_EQ(header.env_code, UpperCase(c.code));
  }
  auto file = world.ReadFile(FilePath());
  ASSERT_TRUE(file);
  ASSERT_EQ(file->size(), 4 * kResultsRecordSize);
  EXPECT_EQ(Record(*file, 0), TextRecord("Ivan|14" + std::string(71, ' ')));
  EXPECT_EQ(Record(*file, 2), Record(*original, 2));
  EXPECT_EQ(Record(*file, 3), extra);
}

TEST_F(ResultsFile, RewritingWritesNothingWhenReadingFails) {
  world.WriteFile(FilePath(), TextRecord("Ivan") + TextRecord("x"));
  EXPECT_EQ(RewriteResultsHeader(files, dir, 0, "VB6", install), kResultsTooShort);
  EXPECT_EQ(world.ReadFile(FilePath()), TextRecord("Ivan") + TextRecord("x"));
  EXPECT_EQ(RewriteResultsHeader(files, world.Path("Nowhere"), 0, "VB6", install),
            kResultsNoDirectory);
}

TEST_F(ResultsFile, AnInstallationTooLongForItsRecordGivesBlanks) {
  // Nine levels of eight-character names: the short form alone is longer than 78 characters.
  std::string deep = world.Scratch();
  for (int level = 0; level < 9; ++level) deep += "\\LEVEL00" + std::to_string(level);
  ASSERT_TRUE(platform::ForceDirectories(files, deep));
  ASSERT_GT(files.ShortPath(deep).size(), kResultsTextSize);
  EXPECT_EQ(InstallationRecordText(files, deep + "\\"), std::string(78, ' '));
  install = deep + "\\";
  Create("Ivan");
  EXPECT_EQ(Record(*world.ReadFile(FilePath()), 1), TextRecord(std::string(78, ' ')));
}

TEST_F(ResultsFile, AnAlteredSealedRecordYieldsNoName) {
  Create("Ivan");
  std::string file = *world.ReadFile(FilePath());
  for (size_t offset : {2 * kResultsRecordSize, 2 * kResultsRecordSize + 5, file.size() - 1}) {
    std::string altered = file;
    altered[offset] ^= 0x20;
    world.WriteFile(FilePath(), altered);
    EXPECT_FALSE(ReadUserName(files, dir)) << offset;
  }
}

TEST_F(ResultsFile, AFileThatCannotBeCreatedIsReportedQuietly) {
  EXPECT_FALSE(CreateResultsFile(files, world.Path("Nowhere"), install, "Ivan", "", random));
  EXPECT_FALSE(files.FileExists(world.Path("Nowhere\\results.dat")));
}

#ifndef _WIN32
// Writes fail on demand, and files are locked by "another program", on a sandbox PC.
TEST_F(ResultsFile, AFailedWriteIsAnInputOutputError) {
  platform::SandboxPlatform* pc = world.sandbox();
  pc->FailNth(platform::SandboxPlatform::Fault::kWrite, 2);
  EXPECT_THROW(CreateResultsFile(files, dir, install, "Ivan", "", random), EInOutError);
  // A locked file cannot take a header.
  Create("Ivan");
  pc->LockFile(FilePath());
  EXPECT_EQ(RewriteResultsHeader(files, dir, 0, "VB6", install), kResultsCannotOpen);
}
#endif

}  // namespace
}  // namespace vl4
