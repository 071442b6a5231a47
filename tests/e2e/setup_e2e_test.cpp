// The setup tool as a program: VL4Setup.exe placed into a sandbox PC and started by name, its
// forms answered by a UI script, its transcript and what it leaves on disk checked.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/sandbox/sandbox_platform.h"
#include "setup/results/results_file.h"

namespace vl4 {
namespace {

namespace fs = std::filesystem;

std::string ReadHost(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteHost(const fs::path& path, std::string_view text) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << text;
}

// A sandbox PC with the product in C:\VL4 (Delphi 7 and Visual Basic 6 shipped, Delphi 7
// installed), and the program copied in under a name.
class SetupProgram : public ::testing::Test {
 protected:
  SetupProgram() {
    std::string pattern = (fs::temp_directory_path() / "vl4-e2e-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    root = pattern;
    platform::SandboxPlatform pc(root.string());
    install = root / "C" / "VL4";
    for (const char* file : {"VL4Demo.exe", "VL4Load.exe", "VL4Res.exe", "DELPHI7/vl4.pas",
                             "DELPHI7/loaddpr.dat", "VB6/vl4.bas", "VB6/loadvb.dat"}) {
      WriteHost(install / file, "x");
    }
    WriteHost(root / "C" / "Delphi7" / "Bin" / "delphi32.exe", "MZ");
    pc.registry().WriteString(platform::RootKey::kLocalMachine, "\\SOFTWARE\\Borland\\Delphi\\7.0",
                              "App", "C:\\Delphi7\\Bin\\delphi32.exe");
  }
  ~SetupProgram() override {
    std::error_code ec;
    fs::remove_all(root, ec);
  }

  // Runs the program under `name` with the script; returns its exit code.
  int Run(const std::string& name, const std::string& arguments, const std::string& script = "") {
    const char* bin = std::getenv("VL4_BIN_DIR");
    if (bin == nullptr) throw std::runtime_error("VL4_BIN_DIR is not set");
    fs::copy_file(fs::path(bin) / "VL4Setup.exe", install / name,
                  fs::copy_options::overwrite_existing);
    WriteHost(root / "script.txt", script);
    const std::string command = "cd '" + install.string() + "' && VL4_SANDBOX='" + root.string() +
                                "' VL4_UI_SCRIPT='" + (root / "script.txt").string() +
                                "' VL4_UI_TRANSCRIPT='" + (root / "transcript.txt").string() +
                                "' ./'" + name + "' " + arguments;
    int status = std::system(command.c_str());
    transcript = ReadHost(root / "transcript.txt");
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  bool Has(const std::string& text) const { return transcript.find(text) != std::string::npos; }

  fs::path root;
  fs::path install;
  std::string transcript;
};

TEST_F(SetupProgram, FastStartUpLeavesItsWorkAndNoConfiguration) {
  ASSERT_EQ(Run("VL4Setup.exe", "-FAST"), 0) << transcript;
  EXPECT_FALSE(Has("show Form1")) << transcript;
  EXPECT_EQ(fs::file_size(root / "C" / "VL4Work" / "results.dat"), 3 * kResultsRecordSize);
  EXPECT_TRUE(fs::is_directory(install / "LIB"));
  EXPECT_FALSE(fs::exists(install / "VL.INI"));
  EXPECT_NE(ReadHost(root / "registry.reg").find("\"Install Directory\"=\"C:\\\\VL4\""),
            std::string::npos);
  // The shortcuts are genuine .lnk files that an independent reader understands.
  if (std::system("command -v lnkinfo > /dev/null") == 0) {
    const std::string link = (root / "C" / "VL4Work" / "Demo.lnk").string();
    const std::string out = (root / "lnkinfo.txt").string();
    ASSERT_EQ(std::system(("lnkinfo '" + link + "' > '" + out + "'").c_str()), 0);
    EXPECT_NE(ReadHost(out).find("C:\\VL4\\VL4Demo.exe"), std::string::npos) << ReadHost(out);
  }
}

TEST_F(SetupProgram, AUserChoosesTheEnvironmentAndFinishes) {
  const std::string script =
      "key F4\n"
      "render\n"
      "click ButtonExit\n";
  ASSERT_EQ(Run("vl4setup.exe", "", script), 0) << transcript;
  EXPECT_TRUE(Has("show Form1 \"VL4 Setup\"")) << transcript;
  EXPECT_TRUE(Has("HeaderLabel \"Working directory setup\"")) << transcript;
  EXPECT_TRUE(Has("ComboEnvironment <Borland Delphi 7>")) << transcript;
  EXPECT_TRUE(Has("ButtonExit [Finish]")) << transcript;
  const std::string ini = ReadHost(install / "VL.INI");
  EXPECT_NE(ini.find("DefaultEnvir=DELPHI7"), std::string::npos) << ini;
  EXPECT_NE(ini.find("DELPHI7=C:\\Delphi7\\Bin\\delphi32.exe"), std::string::npos) << ini;
}

// The program's start-up runs the IDE's compiler (the stand-in tool, linked into the PC as
// Delphi 7's dcc32.exe), which sees the same PC and leaves the package for the setup tool to copy
// and register.
TEST_F(SetupProgram, FastStartUpCompilesAndRegistersTheToolsPackage) {
  const char* bin = std::getenv("VL4_BIN_DIR");
  ASSERT_NE(bin, nullptr);
  fs::create_symlink(fs::path(bin) / "vl4standin", root / "C" / "Delphi7" / "Bin" / "dcc32.exe");
  WriteHost(root / "C" / "Delphi7" / "Lib" / "System.dcu", "x");
  WriteHost(install / "DELPHI7" / "vl4d7tls.dpk", "package vl4d7tls;\r\nend.\r\n");
  {
    platform::SandboxPlatform pc(root.string());
    pc.registry().WriteString(platform::RootKey::kLocalMachine, "\\SOFTWARE\\Borland\\Delphi\\7.0",
                              "RootDir", "C:\\Delphi7");
    pc.registry().CreateKey(platform::RootKey::kCurrentUser,
                            "\\Software\\Borland\\Delphi\\7.0\\Known Packages");
  }
  ASSERT_EQ(Run("VL4Setup.exe", "-FAST"), 0) << transcript;
  EXPECT_TRUE(fs::exists(install / "DELPHI7" / "vl4d7tls.bpl"));
  EXPECT_TRUE(fs::exists(root / "C" / "Delphi7" / "Lib" / "vl4d7tls.bpl"));
  EXPECT_NE(ReadHost(root / "registry.reg")
                .find("\"C:\\\\Delphi7\\\\Lib\\\\vl4d7tls.bpl\"=\"VL4 Tools for Delphi 7\""),
            std::string::npos)
      << ReadHost(root / "registry.reg");
}

TEST_F(SetupProgram, AnyOtherNameIsTheInstaller) {
  Run("VL4Setup2.exe", "");
  // The installer looks for its data file beside itself.
  EXPECT_TRUE(Has("The VL4Setup2.dat file is not found.")) << transcript;
  EXPECT_FALSE(fs::exists(install / "LIB"));
}

}  // namespace
}  // namespace vl4
