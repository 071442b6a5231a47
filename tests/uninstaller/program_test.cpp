// uninvl32.exe as a program after the real installer: VL4Setup.exe copied as Inst.exe installs the
// demo distribution on a 64-bit sandbox PC with Delphi 7 and Visual Basic 6 (stand-in tools) and
// launches the setup tool, which sets up both IDEs. A standard user then starts the uninstaller as
// the program group's shortcut starts it: it elevates itself once ("runas"), answers its UI script,
// and its exit status comes back through the copy it waited for.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/file_tree.h"
#include "platform/path.h"
#include "platform/sandbox/sandbox_platform.h"
#include "tests/uninstaller/uninstall_pc.h"

namespace vl4::test {
namespace {

namespace fs = std::filesystem;
using platform::RootKey;

constexpr char kDistrib[] = "C:\\Distrib";
constexpr char kDelphi[] = "C:\\Program Files (x86)\\Borland\\Delphi7";
constexpr char kVb[] = "C:\\Program Files (x86)\\Microsoft Visual Studio\\VB98";

std::string ReadHost(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteHost(const fs::path& path, std::string_view text) {
  std::ofstream(path, std::ios::binary) << text;
}

std::string Quoted(const std::string& text) {
  return "'" + text + "'";
}

class UninstallProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    if (std::system("command -v zip > /dev/null") != 0) GTEST_SKIP() << "Info-ZIP zip is missing";
    std::string pattern = (fs::temp_directory_path() / "vl4-uninstall-e2e-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    root_ = pattern;
    const char* source = std::getenv("VL4_SOURCE_DIR");
    const char* bin_dir = std::getenv("VL4_BIN_DIR");
    ASSERT_TRUE(source && bin_dir);
    bin_ = bin_dir;
    ASSERT_EQ(std::system(("'" + std::string(source) + "/tools/demo/make_distribution.sh' '" +
                           (root_ / "dist").string() + "'")
                              .c_str()),
              0);
    // Visual Basic's own add-in list.
    WriteHost(root_ / "dist" / "vbaddin.ini", "[Add-Ins32]\r\nAppWizard.Wizard=0\r\n");

    platform::SandboxPlatform pc(Pc());
    pc.SetWindows64(true);
    auto& files = pc.files();
    auto import = [&](const fs::path& host, const std::string& target) {
      platform::ForceDirectories(files, ExtractFileDir(target));
      ASSERT_TRUE(files.CopyFile("Z:" + host.string(), target, false)) << target;
    };
    for (const char* name : {"Inst.dat", "Inst.ini", "readme.txt", "license.txt"}) {
      import(root_ / "dist" / name, std::string(kDistrib) + "\\" + name);
    }
    import(bin_ / "VL4Setup.exe", std::string(kDistrib) + "\\Inst.exe");
    for (const char* tool : {"\\Bin\\delphi32.exe", "\\Bin\\dcc32.exe"}) {
      import(bin_ / "vl4standin", kDelphi + std::string(tool));
    }
    import(root_ / "dist" / "readme.txt", kDelphi + std::string("\\Lib\\system.dcu"));
    import(bin_ / "vl4standin", kVb + std::string("\\VB6.EXE"));
    import(bin_ / "vl4standin", std::string(kSystem) + "\\regsvr32.exe");
    import(bin_ / "uninvl32.exe", std::string(kSystem) + "\\uninvl32.exe");
    auto& reg = pc.registry();
    reg.WriteString(RootKey::kLocalMachine, "\\SOFTWARE\\Borland\\Delphi\\7.0", "App",
                    kDelphi + std::string("\\Bin\\delphi32.exe"));
    reg.WriteString(RootKey::kLocalMachine, "\\SOFTWARE\\Borland\\Delphi\\7.0", "RootDir",
                    kDelphi + std::string("\\"));
    reg.CreateKey(RootKey::kCurrentUser, kDelphiKnown);
    reg.WriteString(RootKey::kLocalMachine,
                    "\\SOFTWARE\\Microsoft\\Visual Studio\\6.0\\Setup\\Microsoft Visual Basic",
                    "ProductDir", kVb);
    reg.CreateKey(RootKey::kLocalMachine, kRegistered);
    import(root_ / "dist" / "vbaddin.ini", kAddInList);
    pc.SetAdministrator(false);
  }
  void TearDown() override {
    std::error_code ec;
    if (!root_.empty()) fs::remove_all(root_, ec);
  }

  std::string Pc() const { return (root_ / "pc").string(); }

  // Runs a program of the PC from the host, in the host folder of `dir`, with a UI script and a
  // transcript for it; waits for every program the PC started. Returns the exit status.
  int Run(const std::string& dir, const std::string& program, const std::string& arguments,
          const std::string& stem, const std::string& script, const std::string& script2 = "") {
    WriteHost(root_ / (stem + ".script"), script);
    WriteHost(root_ / "setup.script", script2);
    std::string host_dir;
    {
      platform::SandboxPlatform pc(Pc());
      host_dir = *pc.HostPath(dir);
    }
    const std::string command =
        "cd " + Quoted(host_dir) + " && VL4_SANDBOX=" + Quoted(Pc()) + " VL4_UI_RENDER=0" +
        " VL4_UI_SCRIPT_" + stem + "=" + Quoted((root_ / (stem + ".script")).string()) +
        " VL4_UI_TRANSCRIPT_" + stem + "=" + Quoted((root_ / (stem + ".txt")).string()) +
        " VL4_UI_SCRIPT_VL4SETUP=" + Quoted((root_ / "setup.script").string()) +
        " VL4_UI_TRANSCRIPT_VL4SETUP=" + Quoted((root_ / "setup.txt").string()) + " ./" + program +
        " " + arguments;
    const int status = std::system(command.c_str());
    platform::SandboxPlatform pc(Pc());
    EXPECT_TRUE(pc.WaitForStartedProcesses(std::chrono::seconds(60)));
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  std::string Transcript(const std::string& stem) { return ReadHost(root_ / (stem + ".txt")); }

  fs::path root_, bin_;
};

std::string KeepDelphi7AndVisualBasic6() {
  std::string script = "wait 200\n";
  for (const char* env : {"Borland Delphi 3",
                          "Borland Delphi 4",
                          "Borland Delphi 5",
                          "Borland Delphi 6",
                          "Borland Delphi 2006",
                          "Free Pascal Lazarus 0.9",
                          "Microsoft Visual Basic 5",
                          "Microsoft Visual Basic 2003",
                          "Microsoft Visual Basic 2005",
                          "Microsoft Visual Basic 2008",
                          "Microsoft Visual Basic .NET 2003",
                          "Microsoft Visual Basic .NET 2005",
                          "Microsoft Visual Basic .NET 2008",
                          "Borland C++Builder 4",
                          "Borland C++Builder 5",
                          "Microsoft Visual C++ 6",
                          "Microsoft Visual C++ 2003",
                          "Microsoft Visual C++ 2005",
                          "Microsoft Visual C++ 2008",
                          "Microsoft Visual C# .NET 2003",
                          "Microsoft Visual C# .NET 2005",
                          "Microsoft Visual C# .NET 2008"}) {
    script += std::string("TInstF4: uncheck CheckListBox1 \"") + env + "\"\n";
  }
  return script + "TInstF4: click OK\nmessage \"installed successfully\" => OK\n";
}

TEST_F(UninstallProgram, AStandardUserUninstallsWhatTheInstallerAndTheSetupToolDid) {
  const PcSnapshot before = SnapshotOf(Pc());
  ASSERT_EQ(Run(kDistrib, "Inst.exe", "", "INST", KeepDelphi7AndVisualBasic6(),
                "menu \"Working directory setup\"\nselect ComboEnvironment \"Borland Delphi 7\"\n"
                "click ButtonExit\n"),
            0);
  ASSERT_NE(Transcript("INST").find("installed successfully"), std::string::npos)
      << Transcript("INST");
  const std::string dest = "C:\\Program Files (x86)\\VL4";
  platform::ShellLinkInfo shortcut;
  {
    platform::SandboxPlatform pc(Pc());
    ASSERT_TRUE(pc.registry().ValueExists(RootKey::kCurrentUser, kDelphiKnown, kPackageCopy));
    ASSERT_TRUE(pc.files().FileExists(dest + "\\VB6\\vl4addin.dll"));
    const std::string group =
        pc.shell().GetSpecialFolder(platform::SpecialFolder::kPrograms) + "\\Veltoria 4";
    shortcut = pc.shell().ReadShellLink(group + "\\VL4 Uninstall.lnk").value_or(shortcut);
  }
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
  EXPECT_NE(
      ReadHost(root_ / "pc" / "processes").find("/elevated \"" + dest + "\\UNINST\\vl4.log\""),
      std::string::npos);

  // What the installer and the setup tool did is gone. The installer does not count the system
  // library yet, so vl4.dll stays.
  EXPECT_EQ(Differences(before, SnapshotOf(Pc())), "+ file Windows/SysWOW64/vl4.dll\n");

  // Quiet, a second time: nothing to uninstall.
  EXPECT_EQ(Run(shortcut.working_directory, ExtractFileName(shortcut.target),
                "/S " + shortcut.arguments, "UNINVL32", ""),
            2);
}

}  // namespace
}  // namespace vl4::test
