// The round trip: uninvl32.exe as a program after the real installer. VL4Setup.exe copied as
// Inst.exe installs the demo distribution, which delivers the uninstaller into the system
// directory, on the tests' 64-bit sandbox PC with Delphi 7 and Visual Basic 6 (stand-in tools),
// and launches the setup tool, which sets up both IDEs. A standard user then uninstalls, quietly
// as the program group's shortcut starts the uninstaller with "/S", or answering its boxes as
// Windows' list of installed programs starts it: it elevates itself once ("runas"), and its exit
// status comes back through the copy it waited for. The PC is then as it was before the install,
// except the student's working directory (left out of the snapshots) and the uninstaller, which
// stays by design: it serves any installation's log.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "installer/uninstall_record.h"
#include "platform/command_line.h"
#include "platform/file_tree.h"
#include "platform/path.h"
#include "platform/sandbox/sandbox_platform.h"
#include "platform/text_file.h"
#include "tests/uninstaller/uninstall_pc.h"
#include "uninstaller/uninstall_mode.h"

namespace vl4::test {
namespace {

namespace fs = std::filesystem;
using platform::RootKey;

constexpr char kDistrib[] = "C:\\Distrib";
// Where Windows finds the entry of a 32-bit program on a 64-bit PC.
constexpr char kEntryAsWindowsSeesIt[] =
    "\\SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Veltoria 4";

std::string ReadHost(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string Quoted(const std::string& text) {
  return "'" + text + "'";
}

// How the uninstaller is started.
struct Road {
  const char* name;
  bool quiet;  // else the user answers its boxes
};

void PrintTo(const Road& road, std::ostream* out) {
  *out << road.name;
}

class UninstallProgram : public ::testing::TestWithParam<Road> {
 protected:
  void SetUp() override {
    if (std::system("command -v zip > /dev/null") != 0) GTEST_SKIP() << "Info-ZIP zip is missing";
    const char* source = std::getenv("VL4_SOURCE_DIR");
    const char* bin = std::getenv("VL4_BIN_DIR");
    ASSERT_TRUE(source && bin);
    dist_ = fs::path(pc_.pc().Root()).parent_path() /
            (fs::path(pc_.pc().Root()).filename().string() + "-dist");
    ASSERT_EQ(std::system(("'" + std::string(source) + "/tools/demo/make_distribution.sh' " +
                           Quoted(dist_.string()) + " " +
                           Quoted((fs::path(bin) / "uninvl32.exe").string()))
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
    pc_.pc().SetAdministrator(false);
  }
  void TearDown() override {
    std::error_code ec;
    if (!dist_.empty()) fs::remove_all(dist_, ec);
  }

  // Starts a program of the PC the way the Windows shell starts a shortcut or a command, in
  // `dir`, with a UI script for it (and an empty one for the setup tool the installer launches);
  // waits for every program the PC started. Returns the exit status.
  int Run(const std::string& dir, const std::string& program, const std::string& arguments,
          const std::string& stem, const std::string& script) {
    std::ofstream(dist_ / (stem + ".script"), std::ios::binary) << script;
    std::ofstream(dist_ / "setup.script", std::ios::binary) << "click ButtonExit\n";
    ::setenv("VL4_UI_RENDER", "0", 1);
    ::setenv(("VL4_UI_SCRIPT_" + stem).c_str(), (dist_ / (stem + ".script")).c_str(), 1);
    ::setenv(("VL4_UI_TRANSCRIPT_" + stem).c_str(), (dist_ / (stem + ".txt")).c_str(), 1);
    ::setenv("VL4_UI_SCRIPT_VL4SETUP", (dist_ / "setup.script").c_str(), 1);
    ::setenv("VL4_UI_TRANSCRIPT_VL4SETUP", (dist_ / "setup.txt").c_str(), 1);
    const std::unique_ptr<platform::Process> process =
        pc_.pc().shell().Execute("", dir + "\\" + program, arguments, dir, platform::kSwShowNormal);
    if (!process) return -1;
    process->Wait();
    EXPECT_TRUE(pc_.pc().WaitForStartedProcesses(std::chrono::seconds(60)));
    return static_cast<int>(process->ExitCode().value_or(-1));
  }

  std::string Transcript(const std::string& stem) { return ReadHost(dist_ / (stem + ".txt")); }

  UninstallPc pc_;
  fs::path dist_;
};

TEST_P(UninstallProgram, LeavesThePcAsItWasBeforeTheInstallation) {
  const Road& road = GetParam();
  const PcSnapshot before = pc_.Snapshot();
  ASSERT_EQ(
      Run(kDistrib, "Inst.exe", "", "INST", "wait 200\nmessage \"installed successfully\" => OK\n"),
      0);
  ASSERT_NE(Transcript("INST").find("installed successfully"), std::string::npos)
      << Transcript("INST");
  const std::string dest = "C:\\Program Files (x86)\\VL4";
  const std::string log = dest + "\\UNINST\\vl4.log";
  const std::string uninstaller = std::string(kSystem) + "\\uninvl32.exe";
  platform::SandboxPlatform pc(pc_.pc().Root());
  ASSERT_TRUE(pc.registry().ValueExists(RootKey::kCurrentUser, kDelphiKnown, kPackageCopy));
  ASSERT_TRUE(pc.files().FileExists(kAddInLibrary));
  // The distribution delivered the uninstaller; the installation counts it with its library.
  ASSERT_TRUE(pc.files().FileExists(uninstaller));
  EXPECT_EQ(platform::ReadTextFile(pc.files(), dest + "\\UNINST\\vl4.sys"),
            (std::vector<std::string>{std::string(kSystem) + "\\vl4.dll",
                                      std::string(kSystem) + "\\uninvl32.exe"}));
  EXPECT_EQ(pc.registry().ReadDword(RootKey::kLocalMachine, kSharedDllsKey, uninstaller), 1u);
  const platform::ShellLinkInfo shortcut = pc.shell()
                                               .ReadShellLink(pc_.Group() + "\\VL4 Uninstall.lnk")
                                               .value_or(platform::ShellLinkInfo{});
  ASSERT_EQ(shortcut.target, uninstaller);
  ASSERT_EQ(shortcut.arguments, "\"" + log + "\"");
  const std::string listed =
      pc.NativeRegistry()
          .ReadString(RootKey::kLocalMachine, kEntryAsWindowsSeesIt, "UninstallString")
          .value_or("");
  ASSERT_EQ(listed, "\"C:\\Windows\\SysWOW64\\uninvl32.exe\" \"" + log + "\"");

  if (road.quiet) {
    // As the shortcut starts it, in the system directory, with "/S" before the log.
    EXPECT_EQ(Run(shortcut.working_directory, ExtractFileName(shortcut.target),
                  "/S " + shortcut.arguments, "UNINVL32", ""),
              0);
    EXPECT_FALSE(pc.files().FileExists(dest + "\\UNINST\\uninvl32.txt"));
  } else {
    // As Windows starts the entry's command: the program where a 64-bit process finds it.
    const std::vector<std::string> command = SplitCommandLine(listed);
    ASSERT_EQ(command.size(), 2u);
    EXPECT_EQ(Run(ExtractFileDir(command[0]), ExtractFileName(command[0]),
                  QuoteArgument(command[1]), "UNINVL32",
                  "message \"Do you want to uninstall Veltoria 4?\" => Yes\n"
                  "message \"Veltoria 4 has uninstalled completely.\" => OK\n"),
              0);
    const std::string transcript = Transcript("UNINVL32");
    EXPECT_EQ(transcript.find("unscripted"), std::string::npos) << transcript;
    EXPECT_NE(transcript.find("uninstalled completely"), std::string::npos) << transcript;
  }
  // It elevated itself once: its copy ran with the log.
  EXPECT_NE(ReadHost(fs::path(pc_.pc().Root()) / "processes")
                .find(std::string("/elevated ") + (road.quiet ? "/S " : "") + "\"" + log + "\""),
            std::string::npos);

  // What the installer and the setup tool did is gone: files, registry values (the product key,
  // the entry, the shared-DLL counts, Known Packages, the add-in's registration) and the add-in's
  // vbaddin.ini entry. The uninstaller stays.
  EXPECT_EQ(Differences(before, pc_.Snapshot()), kUninstallerStays);

  // A second time: nothing to uninstall.
  EXPECT_EQ(Run(shortcut.working_directory, ExtractFileName(shortcut.target),
                "/S " + shortcut.arguments, "UNINVL32", ""),
            kNoUsableLog);
}

INSTANTIATE_TEST_SUITE_P(Roads, UninstallProgram,
                         ::testing::Values(Road{"quietly, from the shortcut", true},
                                           Road{"from the list of installed programs", false}));

}  // namespace
}  // namespace vl4::test
