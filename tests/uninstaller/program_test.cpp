// uninvl32.exe as a program after the real installer: VL4Setup.exe copied as Inst.exe installs the
// demo distribution on the tests' 64-bit sandbox PC with Delphi 7 and Visual Basic 6 (stand-in
// tools) and launches the setup tool, which sets up both IDEs. A standard user then starts the
// uninstaller as the program group's shortcut starts it: it elevates itself once ("runas"), answers
// its UI script, and its exit status comes back through the copy it waited for.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/file_tree.h"
#include "platform/path.h"
#include "platform/sandbox/sandbox_platform.h"
#include "tests/uninstaller/uninstall_pc.h"
#include "uninstaller/uninstall_mode.h"

namespace vl4::test {
namespace {

namespace fs = std::filesystem;
using platform::RootKey;

constexpr char kDistrib[] = "C:\\Distrib";

std::string ReadHost(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string Quoted(const std::string& text) {
  return "'" + text + "'";
}

class UninstallProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    if (std::system("command -v zip > /dev/null") != 0) GTEST_SKIP() << "Info-ZIP zip is missing";
    const char* source = std::getenv("VL4_SOURCE_DIR");
    const char* bin = std::getenv("VL4_BIN_DIR");
    ASSERT_TRUE(source && bin);
    dist_ = fs::path(pc_.pc().Root()).parent_path() /
            (fs::path(pc_.pc().Root()).filename().string() + "-dist");
    ASSERT_EQ(std::system(("'" + std::string(source) + "/tools/demo/make_distribution.sh' " +
                           Quoted(dist_.string()))
                              .c_str()),
              0);
    // The environment window is left out: every environment of the distribution is installed.
    std::ofstream(dist_ / "Inst.ini", std::ios::binary)
        << "[Main]\r\nAutoRun=1\r\nSelectDialog=0\r\n";
    auto import = [&](const fs::path& host, const std::string& target) {
      platform::ForceDirectories(pc_.files(), ExtractFileDir(target));
      ASSERT_TRUE(pc_.files().CopyFile("Z:" + host.string(), target, false)) << target;
    };
    for (const char* name : {"Inst.dat", "Inst.ini", "readme.txt", "license.txt"}) {
      import(dist_ / name, std::string(kDistrib) + "\\" + name);
    }
    import(fs::path(bin) / "VL4Setup.exe", std::string(kDistrib) + "\\Inst.exe");
    import(fs::path(bin) / "uninvl32.exe", std::string(kSystem) + "\\uninvl32.exe");
    pc_.pc().SetAdministrator(false);
  }
  void TearDown() override {
    std::error_code ec;
    if (!dist_.empty()) fs::remove_all(dist_, ec);
  }

  // Runs a program of the PC from the host, in the host folder of `dir`, with a UI script for it
  // (and an empty one for the setup tool the installer launches); waits for every program the PC
  // started. Returns the exit status.
  int Run(const std::string& dir, const std::string& program, const std::string& arguments,
          const std::string& stem, const std::string& script) {
    std::ofstream(dist_ / (stem + ".script"), std::ios::binary) << script;
    std::ofstream(dist_ / "setup.script", std::ios::binary) << "click ButtonExit\n";
    const std::string command =
        "cd " + Quoted(*pc_.pc().HostPath(dir)) + " && VL4_SANDBOX=" + Quoted(pc_.pc().Root()) +
        " VL4_UI_RENDER=0 VL4_UI_SCRIPT_" + stem + "=" +
        Quoted((dist_ / (stem + ".script")).string()) + " VL4_UI_TRANSCRIPT_" + stem + "=" +
        Quoted((dist_ / (stem + ".txt")).string()) +
        " VL4_UI_SCRIPT_VL4SETUP=" + Quoted((dist_ / "setup.script").string()) +
        " VL4_UI_TRANSCRIPT_VL4SETUP=" + Quoted((dist_ / "setup.txt").string()) + " ./" + program +
        " " + arguments;
    const int status = std::system(command.c_str());
    EXPECT_TRUE(pc_.pc().WaitForStartedProcesses(std::chrono::seconds(60)));
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  std::string Transcript(const std::string& stem) { return ReadHost(dist_ / (stem + ".txt")); }

  UninstallPc pc_;
  fs::path dist_;
};

TEST_F(UninstallProgram, AStandardUserUninstallsWhatTheInstallerAndTheSetupToolDid) {
  const PcSnapshot before = pc_.Snapshot();
  ASSERT_EQ(
      Run(kDistrib, "Inst.exe", "", "INST", "wait 200\nmessage \"installed successfully\" => OK\n"),
      0);
  ASSERT_NE(Transcript("INST").find("installed successfully"), std::string::npos)
      << Transcript("INST");
  const std::string dest = "C:\\Program Files (x86)\\VL4";
  platform::SandboxPlatform pc(pc_.pc().Root());
  ASSERT_TRUE(pc.registry().ValueExists(RootKey::kCurrentUser, kDelphiKnown, kPackageCopy));
  ASSERT_TRUE(pc.files().FileExists(kAddInLibrary));
  const platform::ShellLinkInfo shortcut = pc.shell()
                                               .ReadShellLink(pc_.Group() + "\\VL4 Uninstall.lnk")
                                               .value_or(platform::ShellLinkInfo{});
  ASSERT_EQ(shortcut.arguments, "\"" + dest + "\\UNINST\\vl4.log\"");

  // As the shortcut starts it: in the system directory, the log's path in double quotes.
  EXPECT_EQ(Run(shortcut.working_directory, ExtractFileName(shortcut.target), shortcut.arguments,
                "UNINVL32",
                "message \"Do you want to uninstall Veltoria 4?\" => Yes\n"
                "message \"Veltoria 4 has uninstalled completely.\" => OK\n"),
            0);
  const std::string transcript = Transcript("UNINVL32");
  EXPECT_EQ(transcript.find("unscripted"), std::string::npos) << transcript;
  EXPECT_NE(transcript.find("uninstalled completely"), std::string::npos) << transcript;
  // It elevated itself once: its copy ran with the log.
  EXPECT_NE(ReadHost(fs::path(pc_.pc().Root()) / "processes")
                .find("/elevated \"" + dest + "\\UNINST\\vl4.log\""),
            std::string::npos);

  // What the installer and the setup tool did is gone, the system library with its count.
  EXPECT_EQ(Differences(before, pc_.Snapshot()), "");

  // Quiet, a second time: nothing to uninstall.
  EXPECT_EQ(Run(shortcut.working_directory, ExtractFileName(shortcut.target),
                "/S " + shortcut.arguments, "UNINVL32", ""),
            kNoUsableLog);
}

}  // namespace
}  // namespace vl4::test
