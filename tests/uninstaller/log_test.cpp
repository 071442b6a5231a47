// The uninstall log as the installer writes it, the logs the uninstaller must refuse, and its
// command line; on both builds (under Wine against the real file system).
#include <gtest/gtest.h>

#include "platform/file_tree.h"
#include "tests/support/test_world.h"
#include "uninstaller/uninstall_log.h"
#include "uninstaller/uninstall_mode.h"

namespace vl4::test {
namespace {

constexpr char kHeaderLine[] =
    "Uninstall Veltoria 4|Do you want to uninstall Veltoria 4?|Veltoria 4 has uninstalled "
    "completely.|Veltoria 4 has uninstalled but the following files have not removed:|";

TEST(UninstallLog, ReadsWhatTheInstallerWrites) {
  TestWorld world;
  const std::string log = world.Path("VL4\\UNINST\\vl4.log");
  platform::ForceDirectories(world.files(), world.Path("VL4\\UNINST"));
  ASSERT_TRUE(world.WriteFile(log, std::string(kHeaderLine) +
                                       "\r\nC:\\VL4\\SAMPLES\\a\r\n\r\n  C:\\VL4\\VL4Demo.exe\r\n"
                                       "\\\\server\\share\\VL4 Demo.lnk\r\n"));
  const LogReading reading = ReadUninstallLog(world.files(), log);
  ASSERT_TRUE(reading.log);
  EXPECT_EQ(reading.log->title, "Uninstall Veltoria 4");
  EXPECT_EQ(reading.log->question, "Do you want to uninstall Veltoria 4?");
  EXPECT_EQ(reading.log->success, "Veltoria 4 has uninstalled completely.");
  EXPECT_EQ(reading.log->stayed_heading,
            "Veltoria 4 has uninstalled but the following files have not removed:");
  EXPECT_EQ(reading.log->HeaderLine(), kHeaderLine);
  EXPECT_EQ(reading.log->entries,
            (std::vector<std::string>{"C:\\VL4\\SAMPLES\\a", "C:\\VL4\\VL4Demo.exe",
                                      "\\\\server\\share\\VL4 Demo.lnk"}));
  EXPECT_EQ(InstallationOf(log), world.Path("VL4"));
}

// A line that is no full path could name a file relative to wherever the uninstaller runs (its
// working directory is the system directory).
TEST(UninstallLog, ALogThatCannotBeUsedIsRefusedWithItsReason) {
  struct Case {
    const char* what;
    const char* where;
    std::optional<std::string> text;  // nothing: no file
    LogFault fault;
    int line;
  };
  const std::string header = kHeaderLine;
  const Case cases[] = {
      {"missing", "VL4\\UNINST\\vl4.log", std::nullopt, LogFault::kMissing, 0},
      {"empty", "VL4\\UNINST\\vl4.log", "", LogFault::kEmpty, 0},
      {"blank lines only", "VL4\\UNINST\\vl4.log", "\r\n  \r\n", LogFault::kEmpty, 0},
      {"three texts", "VL4\\UNINST\\vl4.log", "a|b|c|\r\nC:\\VL4\\x\r\n", LogFault::kMalformed, 1},
      {"five texts", "VL4\\UNINST\\vl4.log", "a|b|c|d|e|\r\n", LogFault::kMalformed, 1},
      {"no final bar", "VL4\\UNINST\\vl4.log", "a|b|c|d\r\n", LogFault::kMalformed, 1},
      {"a relative path", "VL4\\UNINST\\vl4.log", header + "\r\nC:\\VL4\\x\r\n\r\nvl4.dll\r\n",
       LogFault::kMalformed, 4},
      {"a drive-relative path", "VL4\\UNINST\\vl4.log", header + "\r\nC:vl4.dll\r\n",
       LogFault::kMalformed, 2},
      {"not in UNINST", "VL4\\vl4.log", header + "\r\n", LogFault::kMisplaced, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TestWorld world;
    const std::string log = world.Path(c.where);
    if (c.text) {
      platform::ForceDirectories(world.files(), world.Path("VL4\\UNINST"));
      ASSERT_TRUE(world.WriteFile(log, *c.text));
    }
    const LogReading reading = ReadUninstallLog(world.files(), log);
    EXPECT_FALSE(reading.log);
    EXPECT_EQ(reading.fault, c.fault);
    EXPECT_EQ(reading.line, c.line);
  }
}

TEST(UninstallCommand, QuietModeAndTheLogsPath) {
  struct Case {
    std::vector<std::string> arguments;
    bool quiet;
    bool elevated;
    const char* log;
  };
  const Case cases[] = {
      {{"C:\\Program Files\\VL4\\UNINST\\vl4.log"},
       false,
       false,
       "C:\\Program Files\\VL4\\UNINST\\vl4.log"},
      {{"/S", "C:\\VL4\\UNINST\\vl4.log"}, true, false, "C:\\VL4\\UNINST\\vl4.log"},
      {{"/elevated", "/s", "C:\\VL4\\UNINST\\vl4.log"}, true, true, "C:\\VL4\\UNINST\\vl4.log"},
      // Without its quotes the path arrives split at its blanks.
      {{"C:\\Program", "Files\\VL4\\UNINST\\vl4.log"},
       false,
       false,
       "C:\\Program Files\\VL4\\UNINST\\vl4.log"},
      {{}, false, false, ""},
  };
  for (const Case& c : cases) {
    const UninstallCommand command = ParseUninstallCommand(c.arguments);
    EXPECT_EQ(command.quiet, c.quiet) << c.log;
    EXPECT_EQ(command.elevated, c.elevated) << c.log;
    EXPECT_EQ(command.log_path, c.log);
  }
}

}  // namespace
}  // namespace vl4::test
