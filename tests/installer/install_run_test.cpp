// The install run on a sandbox PC: placing the members as the wizard hands them over, preserved
// files, files in use, the finishing step (shortcuts, uninstall log, completion message, launch)
// and the rollback of a run that fails. The placement rules and the rollback under injected
// faults are tested on the install transaction itself.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>

#include "installer/install_texts.h"
#include "installer/uninstall_record.h"
#include "platform/file_tree.h"
#include "platform/path.h"
#include "platform/text.h"
#include "platform/text_file.h"
#include "tests/installer/installer_pc.h"

namespace vl4::test {
namespace {

using platform::RootKey;
using platform::sandbox::Fault;
using ui::ModalResult;
using ui::MsgButtons;
using ui::MsgKind;

const std::vector<DataMember> kProduct = {
    {"readme.txt", "Read me"},
    {"VL4Demo.exe", "demo"},
    {"VL4Load.exe", "load"},
    {"VL4Res.exe", "res"},
    {"DELPHI7/", ""},
    {"DELPHI7/vl4.pas", "pas"},
    {"VB6/vl4.bas", "bas"},
    {"VB6/Lib/x.dll", "x"},
    {"SYSTEM/vl4.dll", "new vl4.dll", kJan2024},
    {"SYSTEM/other.dll", "new other.dll", kJan2025},
    {"RESULTS.DAT", "shipped results"},
};

const char kHeader[] =
    "Uninstall Veltoria 4|Do you want to uninstall Veltoria 4?|Veltoria 4 has uninstalled "
    "completely.|Veltoria 4 has uninstalled but the following files have not removed:|";

std::string Group(const std::string& name) {
  return std::string(InstallerPc::kPrograms) + "\\Veltoria 4\\" + name + ".lnk";
}
std::string Desk(const std::string& name) {
  return std::string(InstallerPc::kDesktop) + "\\" + name + ".lnk";
}

std::vector<std::string> Log(InstallerPc& pc, const std::string& dest = InstallerPc::kDest,
                             const std::string& name = "vl4.log") {
  return platform::ReadTextFile(pc.files(), dest + "\\UNINST\\" + name)
      .value_or(std::vector<std::string>{});
}

// The environment window: only the named environments stay ticked.
void KeepOnly(InstallerPc& pc, std::vector<std::string> keep) {
  pc.ui().ExpectForm("TInstF4", [keep](ui::Form& form) {
    auto& envs = static_cast<EnvironmentChoice&>(form);
    for (int i = 0; i < envs.EnvironmentList.Count(); ++i) {
      const bool wanted =
          std::find(keep.begin(), keep.end(), envs.EnvironmentList.Items()[i]) != keep.end();
      if (envs.EnvironmentList.Checked(i) != wanted) envs.EnvironmentList.UserClickCheck(i);
    }
    envs.OkButton.Click();
  });
}

InstallScript TwoParts(const Locations& where) {
  InstallScript s = InstallScript::ThisBuild(where);
  s.data_parts = 2;
  return s;
}

TEST(InstallRun, TheTypicalRoad) {
  InstallerPc pc;
  pc.PutData(kProduct);
  pc.Put("C:\\Windows\\System32\\uninvl32.exe", "MZ uninstaller");
  pc.Put("C:\\Windows\\System32\\other.dll", "old other.dll");
  pc.files().SetFileTime("C:\\Windows\\System32\\other.dll", kJan2026);  // newer: stays
  pc.Start();
  pc.QueueInstall("C:\\Apps\\VL4\\");
  KeepOnly(pc, {"Borland Delphi 7", "Microsoft Visual Basic 5"});
  pc.ui().ExpectMessage(
      "The Veltoria system is installed successfully.\r\nShortcuts of the Veltoria system are "
      "placed in the \"Veltoria 4\" program group of the Start Menu.\r\nTo complete the Veltoria "
      "setup, the VL4Setup program will be launched.",
      MsgKind::kInformation, MsgButtons::kOK, ModalResult::kOK);
  pc.Run();

  const std::string d = InstallerPc::kDest;
  for (const char* file : {"readme.txt", "VL4Demo.exe", "DELPHI7\\vl4.pas", "RESULTS.DAT"}) {
    EXPECT_TRUE(pc.files().FileExists(d + "\\" + file)) << file;
  }
  // An excluded environment stays in the staging directory and goes with it.
  EXPECT_FALSE(pc.files().DirectoryExists(d + "\\VB6"));
  EXPECT_FALSE(pc.files().DirectoryExists(d + "\\TEMP"));
  EXPECT_FALSE(pc.files().DirectoryExists(d + "\\SYSTEM"));
  EXPECT_EQ(pc.Read("C:\\Windows\\System32\\vl4.dll"), "new vl4.dll");  // always replaced
  EXPECT_EQ(pc.Read("C:\\Windows\\System32\\other.dll"), "old other.dll");
  EXPECT_EQ(pc.Read(d + "\\VL4Setup.exe"), pc.Read("C:\\dist\\Inst.exe"));
  // Both system files are counted among the shared DLLs: vl4.dll placed new, other.dll kept
  // (one count for its earlier owner); the installation lists them beside its log.
  auto& registry = pc.pc().registry();
  EXPECT_EQ(
      registry.ReadDword(RootKey::kLocalMachine, kSharedDllsKey, "C:\\Windows\\System32\\vl4.dll"),
      1u);
  EXPECT_EQ(registry.ReadDword(RootKey::kLocalMachine, kSharedDllsKey,
                               "C:\\Windows\\System32\\other.dll"),
            2u);
  EXPECT_EQ(Log(pc, d, "vl4.sys"), (std::vector<std::string>{"C:\\Windows\\System32\\vl4.dll",
                                                             "C:\\Windows\\System32\\other.dll"}));

  const std::vector<std::string> log = {
      kHeader,
      d + "\\SAMPLES\\a",
      d + "\\LIB\\a",
      d + "\\readme.txt",
      d + "\\VL4Demo.exe",
      d + "\\VL4Load.exe",
      d + "\\VL4Res.exe",
      d + "\\DELPHI7\\vl4.pas",
      d + "\\RESULTS.DAT",
      d + "\\VL4Setup.exe",
      d + "\\UNINST\\VL4Uninstall.lnk",
      Group("VL4 Uninstall"),
      Group("VL4 Setup"),
      Group("VL4 Demo"),
      Group("VL4 Load"),
      Group("VL4 Results"),
      Group("VL4 Readme"),
      Desk("VL4 Demo"),
      Desk("VL4 Load"),
      Desk("VL4 Results"),
  };
  EXPECT_EQ(Log(pc), log);
  EXPECT_FALSE(pc.files().FileExists(Group("VL4 Help")));  // its target is not installed

  auto uninstall = pc.pc().shell().ReadShellLink(Group("VL4 Uninstall"));
  ASSERT_TRUE(uninstall);
  EXPECT_EQ(uninstall->target, "C:\\Windows\\System32\\uninvl32.exe");
  EXPECT_EQ(uninstall->arguments, "\"" + d + "\\UNINST\\vl4.log\"");
  EXPECT_EQ(uninstall->working_directory, "C:\\Windows\\System32");
  auto demo = pc.pc().shell().ReadShellLink(Desk("VL4 Demo"));
  ASSERT_TRUE(demo);
  EXPECT_EQ(demo->target, d + "\\VL4Demo.exe");
  EXPECT_EQ(demo->working_directory, d);

  const InstallProgress& progress = pc.wizard().Progress();
  EXPECT_TRUE(progress.Completed());
  EXPECT_EQ(progress.Bar.Position(), 155);
  EXPECT_EQ(progress.Bar.Max(), 155);
  EXPECT_EQ(pc.Launched(), "");  // the self-copy runs in the destination, without parameters
}

// Windows' list of installed programs shows the installation. A 64-bit Windows keeps the 32-bit
// program's entry in the 32-bit view and starts its commands from a 64-bit process, which names
// the program's system directory SysWOW64.
TEST(InstallRun, TheInstallationIsListedAmongTheInstalledPrograms) {
  struct Case {
    bool windows64;
    const char* stored_at;  // where a 64-bit program finds the key
    const char* uninstaller;
  };
  const Case cases[] = {
      {false, "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Veltoria 4",
       "C:\\Windows\\System32\\uninvl32.exe"},
      {true, "\\SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Veltoria 4",
       "C:\\Windows\\SysWOW64\\uninvl32.exe"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.windows64 ? "64-bit Windows" : "32-bit Windows");
    InstallerPc pc;
    pc.pc().SetWindows64(c.windows64);
    // 3,000 bytes in the destination, 100 in the system directory, and the setup tool.
    pc.PutData({{"readme.txt", std::string(2000, 'r')},
                {"VL4Demo.exe", std::string(1000, 'd')},
                {"SYSTEM/vl4.dll", std::string(100, 'v')}});
    pc.PutSettings("[Main]\r\nSelectDialog=0\r\nFinalMessage=0\r\n");
    pc.Start();
    pc.QueueInstall("C:\\Apps\\VL4\\");
    pc.Run();
    ASSERT_TRUE(pc.Launched());

    platform::Registry& windows = pc.pc().NativeRegistry();
    const std::string log = "\"C:\\Apps\\VL4\\UNINST\\vl4.log\"";
    const std::pair<const char*, std::string> texts[] = {
        {"DisplayName", "Veltoria 4"},
        {"DisplayVersion", "4.7"},
        {"Publisher", "The Veltoria team"},
        {"InstallLocation", "C:\\Apps\\VL4"},
        {"DisplayIcon", "C:\\Apps\\VL4\\VL4Setup.exe"},
        {"UninstallString", "\"" + std::string(c.uninstaller) + "\" " + log},
        {"QuietUninstallString", "\"" + std::string(c.uninstaller) + "\" /S " + log},
    };
    for (const auto& [name, value] : texts) {
      EXPECT_EQ(windows.ReadString(RootKey::kLocalMachine, c.stored_at, name), value) << name;
    }
    const auto size = pc.Read("C:\\dist\\Inst.exe")->size() + 3100;
    const std::pair<const char*, uint32_t> numbers[] = {
        {"EstimatedSize", static_cast<uint32_t>((size + 1023) / 1024)},
        {"NoModify", 1},
        {"NoRepair", 1},
    };
    for (const auto& [name, value] : numbers) {
      EXPECT_EQ(windows.ReadDword(RootKey::kLocalMachine, c.stored_at, name), value) << name;
    }
    // The shared-DLL count lies in the same view, named as the program names the file.
    EXPECT_EQ(pc.pc().registry().ReadDword(RootKey::kLocalMachine, kSharedDllsKey,
                                           "C:\\Windows\\System32\\vl4.dll"),
              1u);
  }
}

TEST(InstallRun, APreservedFileIsNeverReplacedButListed) {
  InstallerPc pc;
  pc.PutData(kProduct);
  pc.Put("C:\\Apps\\VL4\\results.dat", "the student's results");
  pc.PutSettings("[Main]\r\nSelectDialog=0\r\n");
  pc.Start();
  pc.QueueInstall();
  pc.ui().ExpectMessage("installed successfully", ModalResult::kOK);
  pc.Run();
  EXPECT_EQ(pc.Read("C:\\Apps\\VL4\\RESULTS.DAT"), "the student's results");
  const auto log = Log(pc);
  EXPECT_NE(std::find(log.begin(), log.end(), "C:\\Apps\\VL4\\RESULTS.DAT"), log.end());
}

TEST(InstallRun, AFileInUseBringsTheRepeatOrNextQuestion) {
  for (bool released : {true, false}) {
    SCOPED_TRACE(released ? "released, then Repeat" : "Next");
    InstallerPc pc;
    pc.PutData(kProduct);
    pc.PutSettings("[Main]\r\nSelectDialog=0\r\n");
    pc.Put("C:\\Apps\\VL4\\VL4Demo.exe", "running demo");
    ASSERT_TRUE(pc.pc().LockFile("C:\\Apps\\VL4\\VL4Demo.exe"));
    InstallWizard& w = pc.Start();
    pc.QueueInstall();
    // The program holding the file ends while the question is up (the progress window is
    // activated again when the question closes).
    InstallProgress& progress = w.Progress();
    int activations = 0;
    progress.OnActivate = [&, run = progress.OnActivate](ui::Control& sender) {
      if (++activations == 2 && released) pc.pc().UnlockFile("C:\\Apps\\VL4\\VL4Demo.exe");
      run(sender);
    };
    const std::string question =
        "Could not update the \"C:\\Apps\\VL4\\VL4Demo.exe\" file. It seems likely that the "
        "file is used by one of the executing applications.";
    pc.ui().ExpectMessage(question, MsgKind::kWarning, MsgButtons::kRepeatNext,
                          ModalResult::kRepeat);
    if (released) {
      pc.ui().ExpectMessage("installed successfully", ModalResult::kOK);
    } else {
      pc.ui().ExpectMessage(question, MsgKind::kWarning, MsgButtons::kRepeatNext,
                            ModalResult::kNext);
      pc.ui().ExpectMessage(
          "The Veltoria system is installed.\r\nShortcuts of the Veltoria system are placed in "
          "the \"Veltoria 4\" program group of the Start Menu.\r\nCould not update the following "
          "files: \r\n\"C:\\Apps\\VL4\\VL4Demo.exe\".\r\nThese problems may lead to an unproper "
          "work of Veltoria.\r\nWe recommend to you to reload your computer and repeat the "
          "installation of the Veltoria system.",
          MsgKind::kInformation, MsgButtons::kOK, ModalResult::kOK);
    }
    pc.Run();
    EXPECT_EQ(pc.Read("C:\\Apps\\VL4\\VL4Demo.exe"), released ? "demo" : "running demo");
    // After a problem the setup tool is not started.
    EXPECT_EQ(pc.Launched().has_value(), released);
    // The run started once, however often its window was activated.
    EXPECT_GE(activations, 2);
    EXPECT_TRUE(progress.Completed());
  }
}

TEST(InstallRun, TwoDataPartsRunOneAfterTheOther) {
  InstallerPc pc;
  pc.PutData({{"readme.txt", "Read me"}, {"VL4Demo.exe", std::string(40000, 'd')}});
  pc.PutData({{"VL4Res.exe", std::string(40000, 'r')}, {"VL4Load.exe", "load"}}, 2);
  pc.PutSettings("[Main]\r\nSelectDialog=0\r\nFinalMessage=0\r\n");
  InstallWizard& w = pc.Start(&TwoParts);
  pc.QueueInstall();
  // Where the bar stands after each progress report of each part.
  InstallProgress& progress = w.Progress();
  std::map<int, std::pair<int, int>> range;  // part -> lowest and highest position
  auto report = progress.Reader.OnTotalPercentDone;
  progress.Reader.OnTotalPercentDone = [&](zip::TZipReader& reader, int percent) {
    report(reader, percent);
    auto [it, fresh] = range.try_emplace(progress.CurrentPart(), 1000, -1);
    it->second.first = std::min(it->second.first, progress.Bar.Position());
    it->second.second = std::max(it->second.second, progress.Bar.Position());
  };
  int finishes = 0;
  auto placed = progress.Reader.OnEndUnZip;
  progress.Reader.OnEndUnZip = [&](zip::TZipReader& reader, int index, const std::string& n) {
    const bool done_before = progress.Completed();
    placed(reader, index, n);
    finishes += !done_before && progress.Completed();
    EXPECT_TRUE(!progress.Completed() || progress.CurrentPart() == 2);
  };
  pc.Run();
  EXPECT_EQ(finishes, 1);
  EXPECT_EQ(range[1].second, 100);  // the first part fills 0 to 100
  EXPECT_GT(range[2].first, 100);   // the second goes on from there to 200
  EXPECT_EQ(range[2].second, 200);
  EXPECT_EQ(progress.Bar.Max(), 2 * 100 + 11 * 5);
  for (const char* file : {"readme.txt", "VL4Demo.exe", "VL4Res.exe", "VL4Load.exe"}) {
    EXPECT_TRUE(pc.files().FileExists(std::string(InstallerPc::kDest) + "\\" + file)) << file;
  }
  EXPECT_TRUE(pc.Launched());
}

// The archive's stored names decide nothing beyond the destination: a member is placed from
// where the reader put it. And an archive ending with a directory entry is complete.
TEST(InstallRun, StoredNamesStayInsideTheDestination) {
  InstallerPc pc;
  pc.PutData({{"readme.txt", "Read me"},
              {"../outside.txt", "up"},
              {"DELPHI7/../../../up2.txt", "up2"},
              {"EMPTY/", ""}});
  pc.PutSettings("[Main]\r\nSelectDialog=0\r\n");
  pc.Start();
  pc.QueueInstall();
  pc.ui().ExpectMessage("installed successfully", ModalResult::kOK);
  pc.Run();
  EXPECT_TRUE(pc.files().FileExists("C:\\Apps\\VL4\\outside.txt"));
  EXPECT_FALSE(pc.files().FileExists("C:\\Apps\\outside.txt"));
  EXPECT_FALSE(pc.files().FileExists("C:\\up2.txt"));
  EXPECT_FALSE(pc.files().FileExists("C:\\Apps\\up2.txt"));
  for (const std::string& line : Log(pc)) EXPECT_EQ(line.find(".."), std::string::npos) << line;
  EXPECT_TRUE(pc.wizard().Progress().Completed());
  // The trailing directory entry is not made again after the staging directory went.
  EXPECT_FALSE(pc.files().DirectoryExists("C:\\Apps\\VL4\\TEMP"));
}

TEST(InstallRun, SettingsShapeTheFinish) {
  struct Case {
    const char* settings;
    std::vector<std::string> links;     // shortcuts made
    std::vector<std::string> no_links;  // shortcuts not made
    const char* message;                // nothing: no message
    int progress;
    std::optional<std::string> launched;
  };
  const Case cases[] = {
      {"[Main]\r\nSelectDialog=0\r\n[Links]\r\nStartMenu=0\r\n",
       {Desk("VL4 Demo")},
       {Group("VL4 Demo")},
       "The Veltoria system is installed successfully.\r\nTo complete the Veltoria setup, the "
       "VL4Setup program will be launched.",
       155 - 7 * 5,
       ""},
      {"[Main]\r\nSelectDialog=0\r\n[Links]\r\nDesktop=0\r\n[Setup]\r\nRun=0\r\n",
       {Group("VL4 Demo")},
       {Desk("VL4 Demo"), Desk("VL4 Load")},
       "The Veltoria system is installed successfully.\r\nShortcuts of the Veltoria system are "
       "placed in the \"Veltoria 4\" program group of the Start Menu.",
       155 - 3 * 5,
       std::nullopt},
      {"[Main]\r\nSelectDialog=0\r\nFinalMessage=0\r\n[Setup]\r\nParams=  -FAST %InstallDir%  \r\n",
       {Group("VL4 Demo"), Desk("VL4 Demo")},
       {},
       nullptr,
       155,
       "-FAST C:\\Apps\\VL4"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.settings);
    InstallerPc pc;
    pc.PutData(kProduct);
    pc.PutSettings(c.settings);
    pc.Start();
    pc.QueueInstall();
    if (c.message) {
      pc.ui().ExpectMessage(c.message, MsgKind::kInformation, MsgButtons::kOK, ModalResult::kOK);
    }
    pc.Run();
    for (const std::string& link : c.links) EXPECT_TRUE(pc.files().FileExists(link)) << link;
    for (const std::string& link : c.no_links) EXPECT_FALSE(pc.files().FileExists(link)) << link;
    EXPECT_EQ(pc.files().DirectoryExists(std::string(InstallerPc::kPrograms) + "\\Veltoria 4"),
              !c.links.empty() && c.links[0] == Group("VL4 Demo"));
    EXPECT_EQ(pc.wizard().Progress().Bar.Position(), c.progress);
    EXPECT_EQ(pc.Launched(), c.launched);
  }
}

TEST(InstallRun, StartDirOnADriveRootKeepsItsBackslash) {
  InstallerPc pc("D:\\Inst.exe");
  pc.PutData(kProduct);
  pc.PutSettings(
      "[Main]\r\nSelectDialog=0\r\nFinalMessage=0\r\n[Setup]\r\nParams= %STARTDIR%\\a.txt \r\n");
  pc.Start();
  pc.QueueInstall();
  pc.Run();
  EXPECT_EQ(pc.Launched(), "D:\\\\a.txt");
}

TEST(InstallRun, SelectDialogOffWithExcludeDirLeavesTheEnvironmentOut) {
  InstallerPc pc;
  pc.PutData(kProduct);
  pc.PutSettings("[Main]\r\nSelectDialog=0\r\n[ExcludeDir]\r\n1=VB6\r\n2=delphi7\r\n");
  pc.Start();
  pc.QueueInstall();
  pc.ui().ExpectMessage("installed successfully", ModalResult::kOK);
  pc.Run();
  EXPECT_EQ(pc.Transcript().find("TInstF4"), std::string::npos);
  EXPECT_FALSE(pc.files().DirectoryExists("C:\\Apps\\VL4\\VB6"));
  EXPECT_FALSE(pc.files().DirectoryExists("C:\\Apps\\VL4\\DELPHI7"));
  EXPECT_TRUE(pc.files().FileExists("C:\\Apps\\VL4\\readme.txt"));
}

TEST(InstallRun, ASecondInstallMergesTheUninstallLog) {
  InstallerPc pc;
  pc.PutData(kProduct);
  pc.PutSettings(
      "[Main]\r\nSelectDialog=0\r\nFinalMessage=0\r\n[Links]\r\nStartMenu=0\r\nDesktop=0\r\n");
  pc.Put("C:\\Apps\\VL4\\UNINST\\vl4.log",
         "Old header|\r\nC:\\Apps\\VL4\\OLD.TXT\r\nc:\\apps\\vl4\\README.TXT\r\n");
  pc.files().SetAttributes("C:\\Apps\\VL4\\UNINST\\vl4.log", platform::kAttrReadOnly);
  pc.Put("C:\\Apps\\VL4\\readme.txt", "old readme");
  pc.Start();
  pc.QueueInstall();
  pc.Run();
  EXPECT_EQ(pc.Read("C:\\Apps\\VL4\\readme.txt"), "Read me");
  const std::string d = InstallerPc::kDest;
  EXPECT_EQ(Log(pc),
            (std::vector<std::string>{
                kHeader, "C:\\Apps\\VL4\\OLD.TXT", "c:\\apps\\vl4\\README.TXT", d + "\\SAMPLES\\a",
                d + "\\LIB\\a", d + "\\VL4Demo.exe", d + "\\VL4Load.exe", d + "\\VL4Res.exe",
                d + "\\DELPHI7\\vl4.pas", d + "\\VB6\\vl4.bas", d + "\\VB6\\Lib\\x.dll",
                d + "\\RESULTS.DAT", d + "\\VL4Setup.exe"}));
  // No copy of a replaced file is left anywhere.
  EXPECT_FALSE(pc.files().DirectoryExists(d + "\\TEMP"));
}

// What goes wrong without ending the run is listed in the completion message, and the setup tool
// is not launched.
TEST(InstallRun, AProblemIsListedAndWithholdsTheLaunch) {
  const std::string installed = "The Veltoria system is installed.\r\n";
  const std::string shortcuts =
      "Shortcuts of the Veltoria system are placed in the \"Veltoria 4\" program group of the "
      "Start Menu.\r\n";
  const std::string recommendation =
      "These problems may lead to an unproper work of Veltoria.\r\nWe recommend to you to reload "
      "your computer and repeat the installation of the Veltoria system.";
  struct Case {
    const char* name;
    std::function<void(InstallerPc&)> prepare;
    std::string message;
    std::function<void(InstallerPc&)> check;
  };
  const Case cases[] = {
      // The group's path would lead to the root of the current drive.
      {"unknown Programs folder",
       [](InstallerPc& pc) {
         pc.SetProgramsFolder("");
         pc.Put("C:\\Veltoria 4\\VL4 Help.lnk", "the user's own");
       },
       installed + "Could not create the \"Veltoria 4\" program group.\r\n" + recommendation,
       [](InstallerPc& pc) {
         EXPECT_EQ(pc.Snapshot("C:\\Veltoria 4").size(), 1u);
         EXPECT_FALSE(pc.files().DirectoryExists("C:\\dist\\Veltoria 4"));
       }},
      // The run makes UNINST and TEMP, then the directory for the copies of replaced files.
      {"no room for the copy of a replaced file",
       [](InstallerPc& pc) {
         pc.Put("C:\\Apps\\VL4\\readme.txt", "old readme");
         pc.pc().FailNth(Fault::kCreateDirectory, 3);
       },
       installed + shortcuts +
           "Could not copy the following files aside before replacing them, so they are not "
           "updated (the disk may be full): \r\n\"C:\\Apps\\VL4\\readme.txt\".\r\n" +
           recommendation,
       [](InstallerPc& pc) { EXPECT_EQ(pc.Read("C:\\Apps\\VL4\\readme.txt"), "old readme"); }},
      {"the uninstall log cannot be written",
       [](InstallerPc& pc) {
         platform::ForceDirectories(pc.files(), "C:\\Apps\\VL4\\UNINST\\vl4.log");  // in the way
       },
       installed + shortcuts +
           "Could not write the uninstall log \"C:\\Apps\\VL4\\UNINST\\vl4.log\".\r\n" +
           recommendation,
       [](InstallerPc&) {}},
      // A standard user who refused the elevation installs where the Users group may write, and
      // the list of installed programs, in HKEY_LOCAL_MACHINE, refuses the entry: no half of it
      // is left there.
      {"the entry in the list of installed programs is refused",
       [](InstallerPc& pc) {
         platform::ForceDirectories(pc.files(), InstallerPc::kDest);
         ASSERT_TRUE(pc.files().AllowUsersToModify(InstallerPc::kDest));
         pc.pc().SetAdministrator(false);
       },
       installed + shortcuts +
           "Could not add Veltoria 4 to the list of installed programs: the "
           "\"HKEY_LOCAL_"
           "MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Veltoria "
           "4\" registry key cannot be written.\r\n" +
           recommendation,
       [](InstallerPc& pc) {
         EXPECT_FALSE(
             pc.pc().NativeRegistry().KeyExists(RootKey::kLocalMachine, kUninstallEntryKey));
       }},
      // The earlier installation's entries stay; this one's go beside them, and nothing is lost.
      {"the uninstall log cannot be read",
       [](InstallerPc& pc) {
         pc.Put("C:\\Apps\\VL4\\UNINST\\vl4.log", "Old header|\r\nC:\\Apps\\VL4\\OLD.TXT\r\n");
         pc.MakeUnreadable("C:\\Apps\\VL4\\UNINST\\vl4.log");
       },
       installed + shortcuts +
           "Could not read the uninstall log \"C:\\Apps\\VL4\\UNINST\\vl4.log\": it is kept as it "
           "was, and the files of this installation are listed in "
           "\"C:\\Apps\\VL4\\UNINST\\vl4.log2\".\r\n" +
           recommendation,
       [](InstallerPc& pc) {
         EXPECT_EQ(pc.Read("C:\\Apps\\VL4\\UNINST\\vl4.log"),
                   "Old header|\r\nC:\\Apps\\VL4\\OLD.TXT\r\n");
         const auto beside = Log(pc, "C:\\Apps\\VL4", "vl4.log2");
         ASSERT_GE(beside.size(), 4u);
         EXPECT_EQ(beside[0], kHeader);
         EXPECT_EQ(beside[3], "C:\\Apps\\VL4\\readme.txt");
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    InstallerPc pc;
    pc.PutData({{"readme.txt", "Read me"}, {"VL4Demo.exe", "demo"}});
    pc.PutSettings("[Main]\r\nSelectDialog=0\r\n");
    c.prepare(pc);
    ASSERT_TRUE(pc.files().SetCurrentDirectory(InstallerPc::kDist));
    pc.Start();
    pc.QueueInstall();
    pc.ui().ExpectMessage(c.message, MsgKind::kInformation, MsgButtons::kOK, ModalResult::kOK);
    pc.Run();
    c.check(pc);
    EXPECT_FALSE(pc.Launched());
  }
}

// A replaced file whose new version cannot be moved in, and whose old one cannot go back either,
// is kept beside its place, and the completion message says where.
TEST(InstallRun, AnOldFileThatCannotGoBackIsKeptAndNamed) {
  InstallerPc pc;
  pc.PutData({{"readme.txt", "Read me"}, {"VL4Demo.exe", "demo"}});
  pc.PutSettings("[Main]\r\nSelectDialog=0\r\n");
  pc.Put("C:\\Apps\\VL4\\readme.txt", "old readme");
  InstallProgress& progress = pc.Start().Progress();
  // A program takes the unpacked readme.txt, and the next move fails.
  auto placed = progress.Reader.OnEndUnZip;
  progress.Reader.OnEndUnZip = [&](zip::TZipReader& reader, int index, const std::string& name) {
    const bool readme = SameText(ExtractFileName(name), "readme.txt");
    if (readme) {
      pc.pc().LockFile(name);
      pc.pc().FailNth(Fault::kMove, 1);
    }
    placed(reader, index, name);
    if (readme) pc.pc().UnlockFile(name);
  };
  pc.QueueInstall();
  pc.ui().ExpectMessage(
      "The Veltoria system is installed.\r\nShortcuts of the Veltoria system are placed in the "
      "\"Veltoria 4\" program group of the Start Menu.\r\nCould not update the following files: "
      "\r\n\"C:\\Apps\\VL4\\readme.txt\".\r\nCould not put back the earlier versions of the files "
      "not updated; they are kept as: \r\n\"C:\\Apps\\VL4\\readme.txt.bak\".\r\nThese problems",
      MsgKind::kInformation, MsgButtons::kOK, ModalResult::kOK);
  pc.Run();
  EXPECT_EQ(pc.Read("C:\\Apps\\VL4\\readme.txt.bak"), "old readme");
  EXPECT_FALSE(pc.Launched());
}

// The user was told that the setup tool will be launched, or nothing at all: a launch that
// fails is said.
TEST(InstallRun, AFailedLaunchIsSaid) {
  for (bool final_message : {true, false}) {
    SCOPED_TRACE(final_message ? "FinalMessage on" : "FinalMessage off");
    InstallerPc pc;
    pc.PutData(kProduct);
    pc.PutSettings(final_message ? "[Main]\r\nSelectDialog=0\r\n"
                                 : "[Main]\r\nSelectDialog=0\r\nFinalMessage=0\r\n");
    // The installer's copy in the destination will be no program.
    pc.Put(std::string(InstallerPc::kDist) + "\\Inst.exe", "not a program");
    pc.Start();
    pc.QueueInstall();
    if (final_message) {
      pc.ui().ExpectMessage("the VL4Setup program will be launched.", MsgKind::kInformation,
                            MsgButtons::kOK, ModalResult::kOK);
    }
    pc.ui().ExpectMessage("Could not launch the \"C:\\Apps\\VL4\\vl4setup.exe\" program.",
                          MsgKind::kError, MsgButtons::kOK, ModalResult::kOK);
    pc.Run();
    EXPECT_FALSE(pc.Launched());
  }
}

// The destination as the user had it: files of an earlier version, a preserved file, and a TEMP
// directory of their own.
void PrepareOldInstallation(InstallerPc& pc) {
  pc.Put("C:\\Apps\\VL4\\readme.txt", "old readme");
  pc.Put("C:\\Apps\\VL4\\VL4Demo.exe", "old demo");
  pc.files().SetAttributes("C:\\Apps\\VL4\\VL4Demo.exe", platform::kAttrReadOnly);
  pc.Put("C:\\Apps\\VL4\\results.dat", "the student's results");
  pc.Put("C:\\Apps\\VL4\\SAMPLES\\a", "a sample of the student's");
  pc.Put("C:\\Apps\\VL4\\TEMP\\notes.txt", "the user's notes");
  pc.Put("C:\\Apps\\VL4\\TEMP\\readme.txt", "the user's readme");
  pc.Put("C:\\Windows\\System32\\vl4.dll", "old vl4.dll");
  pc.pc().registry().CreateKey(RootKey::kLocalMachine, kSharedDllsKey);  // every Windows has it
}

TEST(InstallRun, AFailedRunLeavesEverythingAsItWas) {
  struct Case {
    const char* name;
    std::function<void(InstallerPc&)> second_part;
  };
  const Case cases[] = {
      {"not a zip file", [](InstallerPc& pc) { pc.Put("C:\\dist\\Inst.dat2", "garbage"); }},
      {"cut short",
       [](InstallerPc& pc) {
         std::string zip =
             BuildDataFile({{"VL4Res.exe", "res"}, {"LIB/x.bin", std::string(1000, 'x')}});
         pc.Put("C:\\dist\\Inst.dat2", zip.substr(0, 43 + 39 + 500));  // in x.bin's data
       }},
      {"a damaged member first",
       [](InstallerPc& pc) {
         std::string zip = BuildDataFile({{"VL4Res.exe", "res"}, {"LIB/x.bin", "x"}});
         zip[30 + 10] ^= 1;  // the first member's data
         pc.Put("C:\\dist\\Inst.dat2", zip);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    InstallerPc pc;
    pc.PutData({{"readme.txt", "Read me"},
                {"VL4Demo.exe", "demo"},
                {"RESULTS.DAT", "shipped"},
                {"DELPHI7/sub/deep/vl4.pas", "pas"},
                {"SYSTEM/vl4.dll", "new vl4.dll"}});
    c.second_part(pc);
    pc.PutSettings("[Main]\r\nSelectDialog=0\r\n");
    PrepareOldInstallation(pc);
    const auto before = pc.Snapshot("C:\\Apps");
    const auto system_before = pc.Snapshot("C:\\Windows");
    const std::string registry_before = RegistryText(pc.pc());
    pc.Start(&TwoParts);
    pc.QueueInstall();
    pc.ui().ExpectMessage(
        "Data-copy error. It seems likely that the install application is not in the "
        "administrator mode or the Inst.dat2 file is corrupted. Installation will be terminated.",
        MsgKind::kError, MsgButtons::kOK, ModalResult::kOK);
    pc.Run();
    EXPECT_EQ(pc.Snapshot("C:\\Apps"), before);
    EXPECT_EQ(pc.Snapshot("C:\\Windows"), system_before);
    // No shared-DLL count and no entry in the list of installed programs.
    EXPECT_EQ(RegistryText(pc.pc()), registry_before);
    EXPECT_FALSE(pc.Launched());
  }
}

// Room is checked before anything is unpacked: the members, the copies of the files they replace
// and the self-copy on the destination's volume.
TEST(InstallRun, ADiskWithoutRoomIsSaidBeforeAnythingIsUnpacked) {
  struct Case {
    int64_t free;
    bool installs;
  };
  for (const Case c : {Case{1, false}, Case{int64_t{1} << 30, true}}) {
    SCOPED_TRACE(c.free);
    InstallerPc pc;
    pc.PutData({{"readme.txt", std::string(5000, 'r')}, {"SYSTEM/vl4.dll", "new vl4.dll"}});
    pc.PutSettings("[Main]\r\nSelectDialog=0\r\n");
    PrepareOldInstallation(pc);
    pc.pc().SetFreeSpace('C', c.free);
    const auto before = pc.Snapshot("C:\\Apps");
    const auto system_before = pc.Snapshot("C:\\Windows");
    pc.Start();
    pc.QueueInstall();
    if (c.installs) {
      pc.ui().ExpectMessage("installed successfully", MsgKind::kInformation, MsgButtons::kOK,
                            ModalResult::kOK);
    } else {
      pc.ui().ExpectMessage(
          "There is not enough free space on the disk of \"C:\\Apps\\VL4\": the installation "
          "needs 1 MB there and 0 MB are free. Free some space and run the installation again.",
          MsgKind::kError, MsgButtons::kOK, ModalResult::kOK);
    }
    pc.Run();
    EXPECT_EQ(pc.Read("C:\\Apps\\VL4\\readme.txt") == std::string(5000, 'r'), c.installs);
    if (!c.installs) {
      EXPECT_EQ(pc.Snapshot("C:\\Apps"), before);
      EXPECT_EQ(pc.Snapshot("C:\\Windows"), system_before);
      EXPECT_FALSE(pc.Launched());
    }
  }
}

// The run needs no window on screen: started directly, it installs as from the wizard.
TEST(InstallRun, StartsWithoutItsWindow) {
  InstallerPc pc;
  pc.PutData({{"readme.txt", "Read me"}, {"VL4Demo.exe", "demo"}});
  pc.PutSettings("[Main]\r\nFinalMessage=0\r\n");
  platform::ForceDirectories(pc.files(), InstallerPc::kDest);  // as Install's checks leave it
  InstallProgress& progress = pc.Start().Progress();
  progress.SetDestination(InstallerPc::kDest);
  progress.Run();
  EXPECT_TRUE(progress.Completed());
  EXPECT_TRUE(pc.app().Terminated());
  EXPECT_EQ(pc.Read(std::string(InstallerPc::kDest) + "\\VL4Demo.exe"), "demo");
  EXPECT_EQ(pc.Transcript().find("TInstF3"), std::string::npos) << pc.Transcript();
}

TEST(InstallRun, NoUninstallDirectoryMeansNoRun) {
  InstallerPc pc;
  pc.PutData(kProduct);
  pc.PutSettings("[Main]\r\nSelectDialog=0\r\n");
  pc.Put("C:\\Apps\\VL4\\UNINST", "a file in the way");
  const auto before = pc.Snapshot("C:\\Apps");
  pc.Start();
  pc.QueueInstall();
  pc.ui().ExpectMessage(
      "Could not create the \"C:\\Apps\\VL4\\UNINST\" directory. Installation will be "
      "terminated.",
      MsgKind::kError, MsgButtons::kOK, ModalResult::kOK);
  pc.Run();
  EXPECT_EQ(pc.Snapshot("C:\\Apps"), before);
  EXPECT_FALSE(pc.Launched());
}

TEST(InstallRun, ANewDestinationIsGoneWithItsNewParentsAfterAFailedRun) {
  InstallerPc pc;
  pc.PutData(kProduct);
  pc.PutSettings("[Main]\r\nSelectDialog=0\r\n");
  pc.Start();
  platform::ForceDirectories(pc.files(), "C:\\Apps");
  pc.ui().QueueAction(
      [&pc](ui::Form& form) {
        auto& wizard = static_cast<InstallWizard&>(form);
        wizard.DestinationEdit.UserSetText("C:\\Apps\\New\\VL4");
        // Install makes C:\Apps\New and C:\Apps\New\VL4; the run makes UNINST, then fails at
        // TEMP.
        pc.pc().FailNth(Fault::kCreateDirectory, 4);
        wizard.InstallButton.Click();
      },
      "TInstF1");
  pc.ui().ExpectMessage("Could not create the \"C:\\Apps\\New\\VL4\\TEMP\" directory.",
                        MsgKind::kError, MsgButtons::kOK, ModalResult::kOK);
  pc.Run();
  EXPECT_FALSE(pc.files().DirectoryExists("C:\\Apps\\New"));
  EXPECT_TRUE(pc.files().DirectoryExists("C:\\Apps"));
}

}  // namespace
}  // namespace vl4::test
