// Saving the uninstall log over whatever an earlier installation left, on a sandbox PC whose
// writes fail or whose log cannot be read: nothing of either installation may be lost.
#include "installer/uninstall_log.h"

#include <gtest/gtest.h>

#include <optional>

#include "platform/sandbox/sandbox_platform.h"
#include "tests/installer/installer_pc.h"
#include "tests/support/test_world.h"

namespace vl4::test {
namespace {

TEST(UninstallLog, NothingOfEitherInstallationIsLost) {
  const std::vector<std::string> lines = {"Header|", "C:\\VL4\\a", "C:\\VL4\\b"};
  const std::string lines_text = "Header|\r\nC:\\VL4\\a\r\nC:\\VL4\\b\r\n";
  const std::string earlier = "Old header|\r\nc:\\vl4\\A\r\nC:\\VL4\\old\r\n";
  struct Case {
    const char* name;
    std::optional<std::string> before;  // the log's text before; nothing: no log
    bool unreadable;
    bool write_fails;                  // the first write fails, as on a full disk
    const char* saved;                 // where this installation's lines are; nothing: nowhere
    std::optional<std::string> after;  // the log's text after
  };
  const Case cases[] = {
      {"new", std::nullopt, false, false, "vl4.log", lines_text},
      {"earlier", earlier, false, false, "vl4.log",
       "Header|\r\nc:\\vl4\\A\r\nC:\\VL4\\old\r\nC:\\VL4\\b\r\n"},
      {"empty", "", false, false, "vl4.log", lines_text},
      // Beside it, under the first free name: vl4.log2 is someone else's.
      {"unreadable", earlier, true, false, "vl4.log3", earlier},
      {"new, the write fails", std::nullopt, false, true, nullptr, std::nullopt},
      {"earlier, the write fails", earlier, false, true, nullptr, earlier},
      {"unreadable, the write fails", earlier, true, true, nullptr, earlier},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TestWorld world;
    const std::string log = world.Path("vl4.log");
    ASSERT_TRUE(world.WriteFile(log + "2", "someone else's"));
    if (c.before) {
      ASSERT_TRUE(world.WriteFile(log, *c.before));
    }
    std::vector<std::string> unreadable;
    if (c.unreadable) unreadable.push_back(log);
    UnreadableFiles files(world.files(), unreadable);
    if (c.write_fails) world.sandbox()->FailNth(platform::sandbox::Fault::kWrite, 1);

    const std::optional<std::string> saved = SaveUninstallLog(files, log, lines);
    EXPECT_EQ(saved, c.saved ? std::optional(world.Path(c.saved)) : std::nullopt);
    EXPECT_EQ(world.ReadFile(log), c.after);
    if (saved && *saved != log) {
      EXPECT_EQ(world.ReadFile(*saved), lines_text);
    }
    EXPECT_EQ(world.ReadFile(log + "2"), "someone else's");
    if (!saved) {
      EXPECT_FALSE(world.files().FileExists(log + "3"));  // nothing cut short is left beside it
    }
  }
}

}  // namespace
}  // namespace vl4::test
