// The installer as a program on the student's road: VL4Setup.exe copied as Inst.exe beside the
// demo distribution (Info-ZIP, password-protected) on a sandbox PC with Delphi 7 and Visual Basic
// 6 (stand-in tools); the installer and the setup tool it launches each answer their own UI
// script. Checked: the transcripts, the files, the uninstaller the distribution delivers, the
// uninstall log, the shortcuts (read by lnkinfo), the registry and what the setup tool made of the
// installation.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/file_tree.h"
#include "platform/sandbox/sandbox_platform.h"
#include "platform/text_file.h"
#include "setup/results/results_file.h"

namespace vl4 {
namespace {

namespace fs = std::filesystem;
using platform::RootKey;

std::string ReadHost(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteHost(const fs::path& path, std::string_view text) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << text;
}

bool Has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

std::string Lnkinfo(const std::string& host_path) {
  const std::string out = host_path + ".txt";
  if (std::system(("lnkinfo '" + host_path + "' > '" + out + "' 2>&1").c_str()) != 0) return "";
  return ReadHost(out);
}

class InstallProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    if (std::system("command -v zip > /dev/null") != 0) GTEST_SKIP() << "Info-ZIP zip is missing";
    std::string pattern = (fs::temp_directory_path() / "vl4-install-e2e-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    root = pattern;
    const char* source = std::getenv("VL4_SOURCE_DIR");
    const char* bin_dir = std::getenv("VL4_BIN_DIR");
    ASSERT_TRUE(source && bin_dir);
    bin = bin_dir;
    ASSERT_EQ(std::system(("'" + std::string(source) + "/tools/demo/make_distribution.sh' '" +
                           (root / "dist").string() + "' '" + (bin / "uninvl32.exe").string() + "'")
                              .c_str()),
              0);

    platform::SandboxPlatform pc((root / "pc").string());
    auto& files = pc.files();
    auto import = [&](const fs::path& host, const std::string& target) {
      platform::ForceDirectories(files, target.substr(0, target.rfind('\\')));
      ASSERT_TRUE(files.CopyFile("Z:" + host.string(), target, false)) << target;
    };
    for (const char* name : {"Inst.dat", "Inst.ini", "readme.txt", "license.txt"}) {
      import(root / "dist" / name, std::string("C:\\Distrib\\") + name);
    }
    import(bin / "VL4Setup.exe", "C:\\Distrib\\Inst.exe");
    const std::string delphi = "C:\\Borland\\Delphi7";
    for (const char* tool : {"\\Bin\\delphi32.exe", "\\Bin\\dcc32.exe"}) {
      import(bin / "vl4standin", delphi + tool);
    }
    import(root / "dist" / "readme.txt", delphi + "\\Lib\\system.dcu");
    import(bin / "vl4standin", "C:\\VB98\\VB6.EXE");
    import(bin / "vl4standin", "C:\\Windows\\System32\\regsvr32.exe");
    auto& reg = pc.registry();
    reg.WriteString(RootKey::kLocalMachine, "\\SOFTWARE\\Borland\\Delphi\\7.0", "App",
                    delphi + "\\Bin\\delphi32.exe");
    reg.WriteString(RootKey::kLocalMachine, "\\SOFTWARE\\Borland\\Delphi\\7.0", "RootDir",
                    delphi + "\\");
    reg.CreateKey(RootKey::kCurrentUser, "\\Software\\Borland\\Delphi\\7.0\\Known Packages");
    reg.WriteString(RootKey::kLocalMachine,
                    "\\SOFTWARE\\Microsoft\\Visual Studio\\6.0\\Setup\\Microsoft Visual Basic",
                    "ProductDir", "C:\\VB98");
  }
  void TearDown() override {
    std::error_code ec;
    if (!root.empty()) fs::remove_all(root, ec);
  }

  // Runs Inst.exe in C:\Distrib with a script for it and one for the setup tool it launches;
  // waits for every program the PC started. Returns the installer's exit code.
  int Run(const std::string& installer_script, const std::string& setup_script) {
    WriteHost(root / "inst.script", installer_script);
    WriteHost(root / "setup.script", setup_script);
    const std::string command =
        "cd '" + (root / "pc" / "C" / "Distrib").string() + "' && VL4_SANDBOX='" +
        (root / "pc").string() + "' VL4_UI_RENDER=0 VL4_UI_SCRIPT_INST='" +
        (root / "inst.script").string() + "' VL4_UI_TRANSCRIPT_INST='" +
        (root / "inst.txt").string() + "' VL4_UI_SCRIPT_VL4SETUP='" +
        (root / "setup.script").string() + "' VL4_UI_TRANSCRIPT_VL4SETUP='" +
        (root / "setup.txt").string() + "' ./Inst.exe";
    const int status = std::system(command.c_str());
    platform::SandboxPlatform pc((root / "pc").string());
    EXPECT_TRUE(pc.WaitForStartedProcesses(std::chrono::seconds(60)));
    installer = ReadHost(root / "inst.txt");
    setup = ReadHost(root / "setup.txt");
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  fs::path root, bin;
  std::string installer, setup;
};

// The installer's script of the road: the automatic start, the environment window down to
// Delphi 7 and Visual Basic 6, OK on the completion message.
std::string KeepDelphi7AndVisualBasic6() {
  std::string keep_two = "wait 200\n";
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
    keep_two += std::string("TInstF4: uncheck CheckListBox1 \"") + env + "\"\n";
  }
  return keep_two + "TInstF4: click OK\nmessage \"installed successfully\" information OK => OK\n";
}

TEST_F(InstallProgram, TheStudentsRoad) {
  ASSERT_EQ(Run(KeepDelphi7AndVisualBasic6(),
                "menu \"Working directory setup\"\n"
                "select ComboEnvironment \"Borland Delphi 7\"\n"
                "click ButtonExit\n"),
            0)
      << installer;

  // What the two programs showed.
  EXPECT_TRUE(Has(installer, "modal TInstF4 -> OK")) << installer;
  EXPECT_TRUE(Has(installer, "progress TInstF3.ProgressBar1 155/155")) << installer;
  EXPECT_TRUE(Has(installer,
                  "To complete the Veltoria setup, the VL4Setup program will be "
                  "launched."))
      << installer;
  EXPECT_FALSE(Has(installer, "unscripted")) << installer;
  EXPECT_TRUE(Has(setup, "show Form1 \"VL4 Setup\"")) << setup;
  EXPECT_FALSE(Has(setup, "unscripted")) << setup;

  // What is on the PC.
  platform::SandboxPlatform pc((root / "pc").string());
  auto& files = pc.files();
  const std::string dest = "C:\\Program Files\\VL4";
  for (const char* file : {"VL4Demo.exe", "VL4Load.exe", "VL4Res.exe", "readme.txt", "VL4Setup.exe",
                           "DELPHI7\\vl4.pas", "VB6\\vl4.bas", "SAMPLES\\DELPHI7\\hello.dpr"}) {
    EXPECT_TRUE(files.FileExists(dest + "\\" + file)) << file;
  }
  EXPECT_FALSE(files.DirectoryExists(dest + "\\VCSNET2"));  // unticked: not installed
  EXPECT_FALSE(files.DirectoryExists(dest + "\\TEMP"));
  EXPECT_FALSE(files.DirectoryExists(dest + "\\SYSTEM"));
  // The distribution delivers the uninstaller; both system files are counted among the shared
  // DLLs, and Windows' list of installed programs starts the uninstaller with the log.
  EXPECT_TRUE(files.FileExists("C:\\Windows\\System32\\vl4.dll"));
  EXPECT_TRUE(files.FileExists("C:\\Windows\\System32\\uninvl32.exe"));
  auto& reg = pc.registry();
  const std::string shared = "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";
  for (const char* name : {"vl4.dll", "uninvl32.exe"}) {
    EXPECT_EQ(reg.ReadDword(RootKey::kLocalMachine, shared,
                            std::string("C:\\Windows\\System32\\") + name),
              1u)
        << name;
  }
  EXPECT_EQ(reg.ReadString(RootKey::kLocalMachine,
                           "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Veltoria 4",
                           "QuietUninstallString"),
            "\"C:\\Windows\\System32\\uninvl32.exe\" /S \"" + dest + "\\UNINST\\vl4.log\"");

  const auto log = platform::ReadTextFile(files, dest + "\\UNINST\\vl4.log")
                       .value_or(std::vector<std::string>{});
  ASSERT_GT(log.size(), 3u);
  EXPECT_EQ(log[0].rfind("Uninstall Veltoria 4|", 0), 0u);
  EXPECT_EQ(log[1], dest + "\\SAMPLES\\a");
  EXPECT_EQ(log[2], dest + "\\LIB\\a");
  const std::string programs =
      pc.shell().GetSpecialFolder(platform::SpecialFolder::kPrograms) + "\\Veltoria 4";
  for (const std::string& line :
       {dest + "\\VL4Setup.exe", dest + "\\DELPHI7\\vl4.pas", programs + "\\VL4 Demo.lnk",
        dest + "\\UNINST\\VL4Uninstall.lnk"}) {
    EXPECT_NE(std::find(log.begin(), log.end(), line), log.end()) << line;
  }
  for (const std::string& line : log) EXPECT_FALSE(Has(line, "VCSNET2")) << line;

  if (std::system("command -v lnkinfo > /dev/null") == 0) {
    const std::string demo = Lnkinfo(*pc.HostPath(programs + "\\VL4 Demo.lnk"));
    EXPECT_TRUE(Has(demo, "C:\\Program Files\\VL4\\VL4Demo.exe")) << demo;
    const std::string uninstall = Lnkinfo(*pc.HostPath(programs + "\\VL4 Uninstall.lnk"));
    EXPECT_TRUE(Has(uninstall, "C:\\Windows\\System32\\uninvl32.exe")) << uninstall;
    EXPECT_TRUE(Has(uninstall, "\"C:\\Program Files\\VL4\\UNINST\\vl4.log\"")) << uninstall;
  }

  // The setup tool found the two IDEs, installed the modules and prepared the working directory.
  EXPECT_EQ(reg.ReadString(RootKey::kLocalMachine, "\\SOFTWARE\\Veltoria 4", "Install Directory"),
            dest);
  EXPECT_EQ(
      reg.ReadString(RootKey::kCurrentUser, "\\Software\\Borland\\Delphi\\7.0\\Known Packages",
                     "C:\\Borland\\Delphi7\\Lib\\vl4d7tls.bpl"),
      "VL4 Tools for Delphi 7");
  EXPECT_TRUE(files.FileExists(dest + "\\VB6\\vl4addin.dll"));
  ResultsHeader header;
  ASSERT_EQ(ReadResultsHeader(files, "C:\\VL4Work", header), kResultsOk);
  EXPECT_EQ(header.env_code, "DELPHI7");
  EXPECT_EQ(pc.profile().ReadString(dest + "\\vl.ini", "Work Directory", "DefaultEnvir", ""),
            "DELPHI7");
}

// A PC whose programs run with a standard user's rights: the installer starts itself again with an
// administrator's ("runas", one prompt on Windows) and installs, and the setup tool it launches
// inherits them. Started later by the student without them, the setup tool still writes its
// installation directory, which the installer allowed the Users group to change.
TEST_F(InstallProgram, AStandardUserElevatesOnceAndTheSetupToolNeedsNoElevation) {
  platform::SandboxPlatform((root / "pc").string()).SetAdministrator(false);
  ASSERT_EQ(Run(KeepDelphi7AndVisualBasic6(), "click ButtonExit\n"), 0) << installer;
  EXPECT_TRUE(Has(installer, "installed successfully")) << installer;
  EXPECT_TRUE(Has(setup, "show Form1 \"VL4 Setup\"")) << setup;

  const std::string dest = "C:\\Program Files\\VL4";
  platform::SandboxPlatform pc((root / "pc").string());
  EXPECT_FALSE(pc.system().IsAdministrator());
  EXPECT_TRUE(pc.files().FileExists(dest + "\\VL4Setup.exe"));
  EXPECT_TRUE(pc.files().UsersMayModify(dest));

  WriteHost(root / "student.script",
            "menu \"Working directory setup\"\n"
            "select ComboEnvironment \"Microsoft Visual Basic 6\"\n"
            "click ButtonExit\n");
  const std::string student =
      "cd '" + *pc.HostPath(dest) + "' && VL4_SANDBOX='" + (root / "pc").string() +
      "' VL4_UI_RENDER=0 VL4_UI_SCRIPT_VL4SETUP='" + (root / "student.script").string() +
      "' VL4_UI_TRANSCRIPT_VL4SETUP='" + (root / "student.txt").string() + "' ./VL4Setup.exe";
  ASSERT_EQ(std::system(student.c_str()), 0);
  const std::string transcript = ReadHost(root / "student.txt");
  EXPECT_FALSE(Has(transcript, "unscripted")) << transcript;
  EXPECT_EQ(pc.profile().ReadString(dest + "\\vl.ini", "Work Directory", "DefaultEnvir", ""),
            "VB6");
  // Without the Users' right the same write is refused.
  EXPECT_FALSE(pc.files().CreateDirectory("C:\\Program Files\\Elsewhere"));
}

}  // namespace
}  // namespace vl4
