// vl.ini: reading at start-up, writing at shutdown with only this program's keys, and the
// replacement by renaming that never leaves the file missing or half written.
#include <gtest/gtest.h>

#include <functional>

#include "setup/results/results_file.h"
#include "tests/setup/setup_pc.h"

namespace vl4::test {
namespace {

using platform::RootKey;
using platform::SandboxPlatform;

constexpr char kVlIni[] = "C:\\VL4\\VL.INI";
constexpr char kDelphi7Exe[] = "C:\\Borland\\Delphi7\\Bin\\delphi32.exe";

// Delphi 7 found through the registry, Visual Basic 6 shipped but not installed.
void Delphi7AndVb6(SetupPc& pc) {
  pc.AddModules("DELPHI7");
  pc.AddModules("VB6");
  pc.AddIde(RootKey::kLocalMachine, "\\SOFTWARE\\Borland\\Delphi\\7.0", "App", kDelphi7Exe);
}

TEST(VlIni, ShutdownWritesOnlyTheKeysOfThisProgram) {
  SetupPc pc;
  Delphi7AndVb6(pc);
  pc.Put("C:\\CB5\\Bin\\bcb.exe");
  pc.WriteVlIni(
      "; written by hand\r\n"
      "a line without an equals sign\r\n"
      "[Other Program]\r\nKey=Value\r\n"
      "[Libraries]\r\nDELPHI7=C:\\Old\\Lib\r\nCB5=C:\\CB5\\Lib\r\n"
      "[EXE files]\r\nVB6=C:\\Gone\\VB6.EXE\r\nCB5=C:\\CB5\\Bin\\bcb.exe\r\n"
      "[work directory]\r\npath=C:\\MyWork\\\r\n"
      "Label=Ivan Petrovich Sidorov-Kuznetsov\r\nDefaultEnvir=vb6\r\n"
      "[Output .NET Directory]\r\nUseLocalDir=yes\r\nLocalDirName=C:\\NetOut\r\n");
  SetupWindow& form = pc.Start();
  EXPECT_EQ(form.Config().work_dir, "C:\\MyWork");
  EXPECT_TRUE(pc.files().DirectoryExists("C:\\MyWork"));
  EXPECT_EQ(form.Config().user_name, "Ivan Petrovich Sidorov-Ku");
  EXPECT_EQ(form.Config().default_env, "vb6");
  EXPECT_FALSE(form.Config().use_local_dir);  // "yes" is no number
  EXPECT_TRUE(pc.files().DirectoryExists("C:\\NetOut"));
  EXPECT_EQ(form.Envs().Row(7).library_dir, "");  // no .dcu there: looked for again, not found
  EXPECT_EQ(form.Envs().Row(11).exe_path, "");    // the file is gone
  EXPECT_EQ(form.Envs().Row(20).exe_path, "C:\\CB5\\Bin\\bcb.exe");

  pc.Close();
  // Delphi 7 works (Packages 1), VB6 reports a problem (0); the unavailable C++Builder 5 keeps
  // its entries; the other program's section and the comment are gone.
  EXPECT_EQ(pc.Read(kVlIni),
            "[EXE files]\r\nDELPHI7=C:\\Borland\\Delphi7\\Bin\\delphi32.exe\r\n"
            "CB5=C:\\CB5\\Bin\\bcb.exe\r\n"
            "[Packages]\r\nDELPHI7=1\r\nVB6=0\r\n"
            "[Libraries]\r\nCB5=C:\\CB5\\Lib\r\n"
            "[Work Directory]\r\nPath=C:\\MyWork\r\nLabel=Ivan Petrovich Sidorov-Ku\r\n"
            "DefaultEnvir=DELPHI7\r\n"
            "[Output .NET Directory]\r\nUseLocalDir=0\r\nLocalDirName=C:\\NetOut\r\n");
  EXPECT_FALSE(pc.files().FileExists("C:\\VL4\\VL.INI.NEW"));
  EXPECT_FALSE(pc.files().FileExists("C:\\VL4\\VL.INI.OLD"));
}

TEST(VlIni, TheNetOutputDirectoryFallsBackAndTurnsTheFlagOff) {
  struct Case {
    const char* section;
    bool use_local_dir;
    const char* local_dir_name;
  };
  const Case cases[] = {
      {"UseLocalDir=1\r\nLocalDirName=\r\n", false, "C:\\VL4Work\\Output"},
      {"UseLocalDir=1\r\nLocalDirName=Q:\\Out\r\n", false, ""},
      {"UseLocalDir=1\r\nLocalDirName=C:\\Net\\Out\r\n", true, "C:\\Net\\Out"},
      {"UseLocalDir=$10\r\n", true, "C:\\VL4Work\\Output"},
      {"UseLocalDir=0\r\nLocalDirName=C:\\Net\\Out\r\n", false, "C:\\Net\\Out"},
  };
  for (const Case& c : cases) {
    SetupPc pc;
    pc.AddModules("VB6");
    pc.WriteVlIni(std::string("[Output .NET Directory]\r\n") + c.section);
    SetupWindow& form = pc.Start();
    EXPECT_EQ(form.Config().use_local_dir, c.use_local_dir) << c.section;
    EXPECT_EQ(form.Config().local_dir_name, c.local_dir_name) << c.section;
    if (*c.local_dir_name) {
      EXPECT_TRUE(pc.files().DirectoryExists(c.local_dir_name));
    }
  }
}

TEST(VlIni, NotDefinedIsWrittenAsZero) {
  SetupPc pc;
  pc.AddModules("VB6");  // shipped, but the IDE is not installed: nothing can be offered
  SetupWindow& form = pc.Start();
  EXPECT_EQ(form.ComboEnvironment.Text(), "Not defined");
  pc.Close();
  auto ini = pc.Read(kVlIni);
  ASSERT_TRUE(ini);
  EXPECT_NE(ini->find("DefaultEnvir=0\r\n"), std::string::npos);
  // "0" splits into no family and version 1, which no row has.
  EXPECT_EQ(pc.Start().ComboEnvironment.Text(), "Not defined");
}

TEST(VlIni, GarbageReadsAsWindowsReadsIt) {
  SetupPc pc;
  pc.AddModules("DELPHI7");
  pc.WriteVlIni(std::string("\x01\x02\xFF\xFE garbage\r\n[Work Directory\r\nLabel=Wrong\r\n") +
                "=\r\n[]\r\n[Work Directory]\r\n  Label  =  Right  \r\nLabel=Second\r\n" +
                std::string(1000, 'x') + "\r\n[Work Directory]\r\nDefaultEnvir=VB6");
  SetupWindow& form = pc.Start();
  EXPECT_FALSE(form.EndedEarly());
  EXPECT_EQ(form.Config().user_name, "Right");
  // Only the first section of a name counts.
  EXPECT_EQ(form.Config().default_env, "");
  EXPECT_EQ(form.Config().work_dir, "C:\\VL4Work");
}

TEST(VlIni, AnInterruptedReplacementIsCompletedAtTheNextStart) {
  SetupPc pc;
  pc.AddModules("DELPHI7");
  pc.Put("C:\\VL4\\VL.INI.OLD", "[Work Directory]\r\nLabel=Old\r\n");
  pc.Put("C:\\VL4\\VL.INI.NEW", "[Work Directory]\r\nLabel=New\r\n");
  EXPECT_EQ(pc.Start().Config().user_name, "New");
  EXPECT_TRUE(pc.files().FileExists(kVlIni));
}

TEST(VlIni, AHalfWrittenNewFileNeverReplacesTheOldOne) {
  SetupPc pc;
  pc.AddModules("DELPHI7");
  pc.WriteVlIni("[Work Directory]\r\nLabel=Old\r\n");
  pc.Put("C:\\VL4\\VL.INI.NEW", "[Work Directory]\r\nLab");
  EXPECT_EQ(pc.Start().Config().user_name, "Old");
}

TEST(VlIni, AFailedShutdownWriteLeavesTheOldFile) {
  struct Case {
    SandboxPlatform::Fault fault;
    int nth;
  };
  const Case cases[] = {
      {SandboxPlatform::Fault::kWrite, 1},  // the first key
      {SandboxPlatform::Fault::kWrite, 5},
      {SandboxPlatform::Fault::kMove, 1},  // putting the old file aside
      {SandboxPlatform::Fault::kMove, 2},  // renaming the new file into place
  };
  for (const Case& c : cases) {
    SetupPc pc;
    Delphi7AndVb6(pc);
    const std::string old_text = "[Work Directory]\r\nLabel=Old\r\n";
    pc.WriteVlIni(old_text);
    pc.Start();
    pc.pc().FailNth(c.fault, c.nth);
    pc.Close();
    EXPECT_EQ(pc.Read(kVlIni), old_text) << static_cast<int>(c.fault) << " " << c.nth;
    EXPECT_FALSE(pc.files().FileExists("C:\\VL4\\VL.INI.NEW"));
  }
}

// The header keeps its numeric option; after "Not defined" it names no environment (vl.ini says
// "0", which must not become part of the number).
TEST(VlIni, ShutdownRewritesTheInstallationsResultsHeader) {
  struct Case {
    const char* what;
    std::function<void(SetupPc&)> environments;
    const char* env_code;
  };
  const Case cases[] = {
      {"Delphi 7 chosen", Delphi7AndVb6, "DELPHI7"},
      {"nothing to offer", [](SetupPc& pc) { pc.AddModules("VB6"); }, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SetupPc pc;
    c.environments(pc);
    std::minstd_rand random(5);
    ASSERT_TRUE(CreateResultsFile(pc.files(), "C:\\VL4", "C:\\VL4\\", "Teacher", "|12vb6", random));
    pc.Start();
    pc.Close();
    ResultsHeader header;
    ASSERT_EQ(ReadResultsHeader(pc.files(), "C:\\VL4", header), kResultsOk);
    EXPECT_EQ(header.name, "Teacher");
    EXPECT_EQ(header.option, 12);
    EXPECT_EQ(header.env_code, c.env_code);
  }
}

}  // namespace
}  // namespace vl4::test
