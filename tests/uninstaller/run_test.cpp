// The uninstaller on a 64-bit sandbox PC with an installation set up for Delphi 7 and Visual Basic
// 6: the PC before the installation and after the uninstall compared whole, the user's decisions,
// what is not the product's, the logs that cannot be used and the shared-DLL counts.
#include <gtest/gtest.h>

#include "installer/install_script.h"
#include "installer/locations.h"
#include "platform/file_tree.h"
#include "platform/path.h"
#include "platform/text_file.h"
#include "tests/uninstaller/uninstall_pc.h"
#include "uninstaller/shared_dlls.h"
#include "uninstaller/uninstall_mode.h"
#include "uninstaller/uninstall_run.h"

namespace vl4::test {
namespace {

using platform::RootKey;
using ui::ModalResult;
using ui::MsgButtons;
using ui::MsgKind;

TEST(Uninstaller, LeavesThePcAsItWasBeforeTheInstallation) {
  for (const bool quiet : {false, true}) {
    SCOPED_TRACE(quiet ? "quiet" : "with the user");
    UninstallPc pc;
    const PcSnapshot before = pc.Snapshot();
    pc.Install();
    ui::testing::HeadlessUi ui;
    if (!quiet) {
      ui.backend
          .ExpectMessage("Do you want to uninstall Veltoria 4?", MsgKind::kConfirmation,
                         MsgButtons::kYesNo, ModalResult::kYes)
          .ExpectMessage("Veltoria 4 has uninstalled completely.", MsgKind::kInformation,
                         MsgButtons::kOK, ModalResult::kOK);
    }
    EXPECT_EQ(pc.Uninstall(ui, quiet ? std::vector<std::string>{"/S", kLog}
                                     : std::vector<std::string>{kLog}),
              kEverythingWent);

    EXPECT_EQ(Differences(before, pc.Snapshot()), kUninstallerStays);
    EXPECT_EQ(pc.IdeProblems(), "");
    // The boxes carry the log's title; regsvr32 /u found the add-in library (it fails without
    // it), so it ran before the library went.
    if (!quiet) {
      EXPECT_NE(ui.backend.TranscriptText().find("\"Uninstall Veltoria 4\""), std::string::npos);
    }
    const std::string tools = pc.Read("C:\\Windows\\vl4standin.log").value_or("");
    EXPECT_NE(tools.find(std::string("/u\t/s\t") + kAddInLibrary), std::string::npos) << tools;
  }
}

TEST(Uninstaller, TheUserDecides) {
  const std::string results = std::string(kDest) + "\\RESULTS.DAT";
  struct Case {
    const char* what;
    bool quiet;
    std::vector<ModalResult> answers;  // the confirmation, then the question about RESULTS.DAT
    int status;
    bool installation_stays;
    bool results_stay;
  };
  const Case cases[] = {
      {"no to the uninstall", false, {ModalResult::kNo}, kSomethingStayed, true, true},
      {"the results go too",
       false,
       {ModalResult::kYes, ModalResult::kYes},
       kEverythingWent,
       false,
       false},
      {"the results stay",
       false,
       {ModalResult::kYes, ModalResult::kNo},
       kEverythingWent,
       false,
       true},
      {"quiet: the results stay", true, {}, kEverythingWent, false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    UninstallPc pc;
    pc.Install();
    // A class's results, installed as a preserved file.
    pc.Put(results, "the class's results");
    std::vector<std::string> log = pc.LogLines();
    log.push_back(results);
    ASSERT_TRUE(platform::WriteTextFile(pc.files(), kLog, log));
    const PcSnapshot installed = pc.Snapshot();

    ui::testing::HeadlessUi ui;
    if (!c.answers.empty()) {
      ui.backend.ExpectMessage("Do you want to uninstall Veltoria 4?", c.answers[0]);
    }
    if (c.answers.size() > 1) {
      ui.backend.ExpectMessage("The file \"" + results + "\" may hold the results of a class.",
                               MsgKind::kConfirmation, MsgButtons::kYesNo, c.answers[1]);
      ui.backend.ExpectMessage("uninstalled completely", ModalResult::kOK);
    }
    EXPECT_EQ(pc.Uninstall(ui, c.quiet ? std::vector<std::string>{"/S", kLog}
                                       : std::vector<std::string>{kLog}),
              c.status);
    if (c.installation_stays) {
      EXPECT_EQ(Differences(installed, pc.Snapshot()), "");
      continue;
    }
    EXPECT_EQ(pc.files().FileExists(results), c.results_stay);
    // A kept results file is the user's choice, not something that stayed: the log and UNINST
    // go all the same.
    EXPECT_FALSE(pc.files().DirectoryExists(std::string(kDest) + "\\UNINST"));
    EXPECT_EQ(pc.files().DirectoryExists(kDest), c.results_stay);
  }
}

// What the product did not make stays: the user's files (and the folders holding them), the
// student's working directory even inside the installation, system files others count, registry
// entries that name another installation or program.
TEST(Uninstaller, WhatIsNotTheProductsStays) {
  UninstallPc pc;
  pc.Install();
  const std::string dest = kDest;
  const std::string work = dest + "\\LIB\\Class";
  pc.Put(dest + "\\notes.txt", "mine");
  pc.Put(dest + "\\DELPHI7\\mine.pas", "mine");
  pc.Put(pc.Group() + "\\My link.lnk", "mine");
  pc.Put(work + "\\results.dat", "the class");
  pc.Put(dest + "\\VL.INI", "[Work Directory]\r\nPath=" + work + "\r\n");
  // vl4tools.dll was there before the product (its count started at 2); other.dll is listed but
  // nobody counts it; the list cannot lead outside the system directory.
  const std::string shared = std::string(kSystem) + "\\vl4tools.dll";
  const std::string uncounted = std::string(kSystem) + "\\other.dll";
  const std::string outside = "C:\\Data\\keep.dll";
  for (const std::string& file : {shared, uncounted, outside}) pc.Put(file, "MZ");
  pc.registry().WriteDword(RootKey::kLocalMachine, kSharedDlls, shared, 2);
  pc.registry().WriteDword(RootKey::kLocalMachine, kSharedDlls, outside, 1);
  ASSERT_TRUE(platform::WriteTextFile(
      pc.files(), kSystemList,
      {std::string(kSystem) + "\\vl4.dll", std::string(kSystem) + "\\uninvl32.exe", shared,
       uncounted, outside}));
  // The product key and the list's entry name another installation.
  pc.registry().WriteString(RootKey::kLocalMachine, "\\SOFTWARE\\Veltoria 4", "Install Directory",
                            "D:\\VL4");
  pc.registry().WriteString(RootKey::kLocalMachine, kUninstallEntry, "InstallLocation", "D:\\VL4");
  // Associations: one of this installation's, one whose class another program took over, and
  // one whose extension another class took over.
  InstallScript script = InstallScript::ThisBuild(FindLocations(pc.pc()));
  for (const char* type : {"vl4task", "vl4res", "vl4prj"}) {
    script.associations.Add({type, "%InstallDir%", "VL4Load.exe", "Veltoria task", 0});
    pc.registry().WriteString(RootKey::kClassesRoot, std::string(".") + type, "", type);
    pc.registry().WriteString(RootKey::kClassesRoot, type, "", "Veltoria task");
    pc.registry().WriteString(RootKey::kClassesRoot, std::string(type) + "\\Shell\\Open\\command",
                              "", "\"" + dest + "\\VL4Load.exe\" \"%1\"");
  }
  pc.registry().WriteString(RootKey::kClassesRoot, "vl4res\\Shell\\Open\\command", "",
                            "\"C:\\Other\\viewer.exe\" \"%1\"");
  pc.registry().WriteString(RootKey::kClassesRoot, ".vl4prj", "", "OtherClass");

  const LogReading reading = ReadUninstallLog(pc.files(), kLog);
  ASSERT_TRUE(reading.log);
  const std::vector<std::string> stayed =
      UninstallRun(pc.pc(), script, *reading.log, false, [](const std::string&) {
        return InUseAnswer::kNext;
      }).Run();
  EXPECT_EQ(stayed, std::vector<std::string>{});

  auto& files = pc.files();
  for (const std::string& file :
       {dest + "\\notes.txt", dest + "\\DELPHI7\\mine.pas", pc.Group() + "\\My link.lnk",
        work + "\\results.dat", shared, uncounted, outside}) {
    EXPECT_TRUE(files.FileExists(file)) << file;
  }
  for (const std::string& file :
       {dest + "\\DELPHI7\\vl4.pas", dest + "\\VL4Demo.exe", dest + "\\VL.INI",
        std::string(kSystem) + "\\vl4.dll", std::string(kLog)}) {
    EXPECT_FALSE(files.FileExists(file)) << file;
  }
  EXPECT_TRUE(files.FileExists(std::string(kSystem) + "\\uninvl32.exe"));
  auto& registry = pc.registry();
  EXPECT_EQ(registry.ReadDword(RootKey::kLocalMachine, kSharedDlls, shared), 1u);
  EXPECT_FALSE(registry.ValueExists(RootKey::kLocalMachine, kSharedDlls, uncounted));
  EXPECT_EQ(registry.ReadDword(RootKey::kLocalMachine, kSharedDlls, outside), 1u);
  EXPECT_FALSE(registry.ValueExists(RootKey::kLocalMachine, kSharedDlls,
                                    std::string(kSystem) + "\\uninvl32.exe"));
  EXPECT_TRUE(registry.KeyExists(RootKey::kLocalMachine, "\\SOFTWARE\\Veltoria 4"));
  EXPECT_TRUE(registry.KeyExists(RootKey::kLocalMachine, kUninstallEntry));
  EXPECT_FALSE(registry.KeyExists(RootKey::kClassesRoot, ".vl4task"));
  EXPECT_FALSE(registry.KeyExists(RootKey::kClassesRoot, "vl4task"));
  EXPECT_TRUE(registry.KeyExists(RootKey::kClassesRoot, ".vl4res"));
  EXPECT_TRUE(registry.KeyExists(RootKey::kClassesRoot, "vl4res"));
  EXPECT_EQ(registry.ReadString(RootKey::kClassesRoot, ".vl4prj", ""), "OtherClass");
  EXPECT_FALSE(registry.KeyExists(RootKey::kClassesRoot, "vl4prj"));
}

TEST(Uninstaller, ALogThatCannotBeUsedChangesNothing) {
  struct Case {
    const char* what;
    std::vector<std::string> arguments;
    std::optional<std::string> log;  // the log's new text; nothing: it is deleted
    const char* message;
  };
  const std::string header = kHeader;
  const Case cases[] = {
      {"no log given", {}, header, "No uninstall log is given: there is nothing to uninstall."},
      {"missing",
       {kLog},
       std::nullopt,
       "The uninstall log \"C:\\Program Files (x86)\\VL4\\UNINST\\vl4.log\" is not found: there "
       "is nothing to uninstall."},
      {"empty", {kLog}, "", "is empty. Nothing has been uninstalled."},
      {"no header", {kLog}, "C:\\Program Files (x86)\\VL4\\VL4Demo.exe\r\n", "its line 1 is not"},
      {"a relative path", {kLog}, header + "\r\nVL4Demo.exe\r\n", "its line 2 is not"},
      {"not in UNINST", {std::string(kDest) + "\\VL4Demo.exe"}, header, "does not lie in"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    UninstallPc pc;
    pc.Install();
    if (c.log) {
      pc.Put(kLog, *c.log);
    } else {
      ASSERT_TRUE(pc.files().DeleteFile(kLog));
    }
    const PcSnapshot installed = pc.Snapshot();
    {
      ui::testing::HeadlessUi ui;
      ui.backend.ExpectMessage(c.message, MsgKind::kError, MsgButtons::kOK, ModalResult::kOK);
      EXPECT_EQ(pc.Uninstall(ui, c.arguments), kNoUsableLog);
    }
    std::vector<std::string> quietly = c.arguments;
    quietly.insert(quietly.begin(), "/S");
    ui::testing::HeadlessUi no_window;
    EXPECT_EQ(pc.Uninstall(no_window, quietly), kNoUsableLog);
    EXPECT_EQ(Differences(installed, pc.Snapshot()), "");
  }
}

TEST(SharedDlls, OnlyTheLastCountTakesTheFile) {
  struct Case {
    const char* what;
    std::optional<uint32_t> count;  // nothing: no value
    bool keep_file;
    bool deletable;
    SharedDllRelease release;
    std::optional<uint32_t> count_after;
    bool file_after;
  };
  const Case cases[] = {
      {"placed new", 1, false, true, SharedDllRelease::kReleased, std::nullopt, false},
      {"there before", 2, false, true, SharedDllRelease::kStillShared, 1, true},
      {"shared by three", 5, false, true, SharedDllRelease::kStillShared, 4, true},
      {"not counted", std::nullopt, false, true, SharedDllRelease::kNotCounted, std::nullopt, true},
      {"a count of 0", 0, false, true, SharedDllRelease::kNotCounted, 0, true},
      {"in use", 1, false, false, SharedDllRelease::kStayed, 1, true},
      {"the uninstaller", 1, true, true, SharedDllRelease::kReleased, std::nullopt, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TestWorld world(TestWorld::Windows::k64);
    const std::string file = std::string(kSystem) + "\\vl4.dll";
    ASSERT_TRUE(world.WriteFile(file, "MZ"));
    auto& registry = world.registry();
    if (c.count) registry.WriteDword(RootKey::kLocalMachine, kSharedDllsKey, file, *c.count);
    const SharedDllRelease release = ReleaseSharedDll(
        registry, file, c.keep_file,
        [&](const std::string& path) { return c.deletable && world.files().DeleteFile(path); });
    EXPECT_EQ(release, c.release);
    EXPECT_EQ(registry.ReadDword(RootKey::kLocalMachine, kSharedDllsKey, file), c.count_after);
    EXPECT_EQ(world.files().FileExists(file), c.file_after);
  }
}

// A value of another type is no count: nothing happens to the file or the value.
TEST(SharedDlls, AValueOfAnotherTypeIsNoCount) {
  TestWorld world(TestWorld::Windows::k64);
  const std::string file = std::string(kSystem) + "\\vl4.dll";
  ASSERT_TRUE(world.WriteFile(file, "MZ"));
  world.registry().WriteString(RootKey::kLocalMachine, kSharedDllsKey, file, "1");
  EXPECT_EQ(ReleaseSharedDll(world.registry(), file, false,
                             [](const std::string&) {
                               ADD_FAILURE() << "deleted";
                               return true;
                             }),
            SharedDllRelease::kNotCounted);
  EXPECT_EQ(world.registry().ReadString(RootKey::kLocalMachine, kSharedDllsKey, file), "1");
}

// The log a later run needs is never half written: the new text takes the old one's place only
// once it is whole.
TEST(UninstallLog, ReplacingKeepsTheOldFileUntilTheNewOneIsWhole) {
  using platform::sandbox::Fault;
  struct Case {
    const char* what;
    std::optional<Fault> fault;
    int nth;
    bool replaced;
  };
  const Case cases[] = {
      {"written", std::nullopt, 0, true},
      {"the new text cannot be written", Fault::kWrite, 1, false},
      {"the old file cannot be moved aside", Fault::kMove, 1, false},
      {"the new file cannot take its place", Fault::kMove, 2, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TestWorld world;
    const std::string log = world.Path("vl4.log");
    ASSERT_TRUE(world.WriteFile(log, "old\r\n"));
    if (c.fault) world.sandbox()->FailNth(*c.fault, c.nth);
    EXPECT_EQ(ReplaceTextFile(world.files(), log, {"new"}), c.replaced);
    EXPECT_EQ(world.ReadFile(log), c.replaced ? "new\r\n" : "old\r\n");
    for (const std::string& name : ReplacementNames(log)) {
      EXPECT_FALSE(world.files().FileExists(name)) << name;
    }
  }
}

}  // namespace
}  // namespace vl4::test
