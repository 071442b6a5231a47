// The uninstaller when things go wrong: a file held open, a step of the IDE undo that fails, an
// installation moved or partly deleted by hand, a second run. Whatever stays is listed, the log is
// rewritten to list just that (and the shortcuts that start the uninstaller), no IDE is left
// pointing at something missing, and a later run finishes the job.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "platform/file_tree.h"
#include "platform/path.h"
#include "platform/text_file.h"
#include "tests/uninstaller/uninstall_pc.h"
#include "uninstaller/uninstall_mode.h"
#include "uninstaller/uninstall_run.h"

namespace vl4::test {
namespace {

using platform::RootKey;
using platform::sandbox::Fault;
using ui::ModalResult;
using ui::MsgButtons;
using ui::MsgKind;

TEST(Uninstaller, WhatStaysIsListedAndALaterRunFinishesTheJob) {
  const std::string demo = std::string(kDest) + "\\VL4Demo.exe";
  const std::string own_shortcut = std::string(kDest) + "\\UNINST\\VL4Uninstall.lnk";
  struct Case {
    const char* what;
    std::function<void(UninstallPc&)> fault;
    bool quiet;
    std::vector<std::string> stayed;  // as listed, in order
    std::function<void(UninstallPc&)> repair;
  };
  const Case cases[] = {
      {"a file held open: Repeat, then Next",
       [&](UninstallPc& pc) { pc.pc().LockFile(demo); },
       false,
       {demo},
       [&](UninstallPc& pc) { pc.pc().UnlockFile(demo); }},
      {"the package copied into Delphi's library cannot be deleted",
       [](UninstallPc& pc) { pc.pc().FailNth(Fault::kDelete, 1); },
       true,
       {kPackageCopy},
       [](UninstallPc&) {}},
      {"the add-in library cannot be deleted once unregistered",
       [](UninstallPc& pc) { pc.pc().FailNth(Fault::kDelete, 2); },
       true,
       {kAddInLibrary},
       [](UninstallPc&) {}},
      {"the add-in list is read-only",
       [](UninstallPc& pc) { pc.files().SetAttributes(kAddInList, platform::kAttrReadOnly); },
       true,
       {std::string(kAddInList) + ", entry \"Add-Ins32\\vl4addin.VL4ToolsForVB\"",
        std::string(kAddInLibrary) + " (registered with Windows)", kAddInLibrary},
       [](UninstallPc& pc) { pc.files().SetAttributes(kAddInList, platform::kAttrArchive); }},
      {"a shortcut of the uninstaller held open",
       [&](UninstallPc& pc) { pc.pc().LockFile(own_shortcut); },
       true,
       {own_shortcut},
       [&](UninstallPc& pc) { pc.pc().UnlockFile(own_shortcut); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    UninstallPc pc;
    const PcSnapshot before = pc.Snapshot();
    pc.Install();
    c.fault(pc);
    std::string listed = "Veltoria 4 has uninstalled but the following files have not removed:";
    for (const std::string& item : c.stayed) listed += "\r\n" + item;
    int status;
    if (c.quiet) {
      status = pc.UninstallQuietly();
      EXPECT_EQ(pc.Read(QuietReportPath(kLog)), listed + "\r\n");
    } else {
      ui::testing::HeadlessUi ui;
      const std::string in_use = "Could not update the \"" + demo + "\" file.";
      ui.backend.ExpectMessage("Do you want to uninstall", ModalResult::kYes)
          .ExpectMessage(in_use, MsgKind::kWarning, MsgButtons::kRepeatNext, ModalResult::kRepeat)
          .ExpectMessage(in_use, MsgKind::kWarning, MsgButtons::kRepeatNext, ModalResult::kNext)
          .ExpectMessage(listed, MsgKind::kWarning, MsgButtons::kOK, ModalResult::kOK);
      status = pc.Uninstall(ui, {kLog});
    }
    EXPECT_EQ(status, kSomethingStayed);
    EXPECT_EQ(pc.IdeProblems(), "");

    // All else went; the log lists the files that stayed and the uninstaller's shortcuts, each
    // once.
    std::vector<std::string> log = {kHeader};
    std::vector<std::string> listed_files = c.stayed;
    listed_files.push_back(own_shortcut);
    listed_files.push_back(pc.Group() + "\\VL4 Uninstall.lnk");
    for (const std::string& item : listed_files) {
      if (pc.files().FileExists(item) && std::find(log.begin(), log.end(), item) == log.end()) {
        log.push_back(item);
      }
    }
    EXPECT_EQ(pc.LogLines(), log);
    EXPECT_FALSE(pc.files().FileExists(std::string(kDest) + "\\VL4Load.exe"));
    EXPECT_FALSE(pc.files().FileExists(std::string(kDest) + "\\VL.INI"));
    EXPECT_FALSE(pc.registry().KeyExists(RootKey::kLocalMachine, kUninstallEntry));

    c.repair(pc);
    pc.pc().ClearFaults();
    EXPECT_EQ(pc.UninstallQuietly(), kEverythingWent);
    EXPECT_EQ(Differences(before, pc.Snapshot()), kUninstallerStays);
  }
}

// A standard user who refuses the elevation: the installation goes (the installer let the Users
// group change it), what needs an administrator stays and is listed, no IDE points at anything
// missing, and an administrator's later run finishes the job.
TEST(Uninstaller, WithoutAnAdministratorsRightsWhatTheUserMayChangeGoes) {
  UninstallPc pc;
  const PcSnapshot before = pc.Snapshot();
  pc.Install();
  ASSERT_TRUE(pc.files().AllowUsersToModify(kDest));
  pc.pc().SetAdministrator(false);
  EXPECT_EQ(pc.UninstallQuietly(), kSomethingStayed);
  EXPECT_EQ(pc.IdeProblems(), "");
  const std::string library = kAddInLibrary;
  EXPECT_EQ(pc.Read(QuietReportPath(kLog)),
            "Veltoria 4 has uninstalled but the following files have not removed:\r\n" +
                std::string(kPackageCopy) + "\r\n" + kAddInList +
                ", entry \"Add-Ins32\\vl4addin.VL4ToolsForVB\"\r\n" + library +
                " (registered with Windows)\r\n" + library + "\r\n" + kSystem +
                "\\uninvl32.exe\r\n" + kSystem + "\\vl4.dll\r\n" +
                "HKEY_LOCAL_MACHINE\\SOFTWARE\\Veltoria 4 (registry key)\r\n" +
                "HKEY_LOCAL_MACHINE" + kUninstallEntry + " (registry key)\r\n");
  EXPECT_FALSE(pc.files().FileExists(std::string(kDest) + "\\VL4Demo.exe"));

  pc.pc().SetAdministrator(true);
  EXPECT_EQ(pc.UninstallQuietly(), kEverythingWent);
  EXPECT_EQ(Differences(before, pc.Snapshot()), kUninstallerStays);
}

TEST(Uninstaller, AnInstallationChangedByHandGoesAllTheSame) {
  const std::string moved_dest = "C:\\Moved\\VL4";
  const std::string other_menu = "C:\\Users\\Teacher\\Programs";
  struct Case {
    const char* what;
    std::function<void(UninstallPc&)> change;
    std::string log;
  };
  const Case cases[] = {
      {"moved with its log",
       [&](UninstallPc& pc) { ASSERT_TRUE(pc.files().MoveFile(kDest, moved_dest)); },
       moved_dest + "\\UNINST\\vl4.log"},
      {"partly deleted",
       [](UninstallPc& pc) {
         EXPECT_EQ(platform::RemoveTree(pc.files(), std::string(kDest) + "\\DELPHI7"),
                   std::vector<std::string>{});
         EXPECT_TRUE(pc.files().DeleteFile(std::string(kDest) + "\\VL4Demo.exe"));
         EXPECT_TRUE(pc.files().DeleteFile(pc.Desktop() + "\\VL4 Demo.lnk"));
       },
       kLog},
      {"its program group in another user's menu",
       [&](UninstallPc& pc) {
         ASSERT_TRUE(pc.files().MoveFile(pc.Group(), other_menu + "\\Veltoria 4"));
         std::vector<std::string> log = pc.LogLines();
         for (std::string& line : log) {
           if (line.rfind(pc.Programs(), 0) == 0)
             line = other_menu + line.substr(pc.Programs().size());
         }
         ASSERT_TRUE(platform::WriteTextFile(pc.files(), kLog, log));
       },
       kLog},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    UninstallPc pc;
    for (const std::string& dir : {std::string("C:\\Moved"), other_menu}) {
      platform::ForceDirectories(pc.files(), dir);
    }
    const PcSnapshot before = pc.Snapshot();
    pc.Install();
    c.change(pc);
    ui::testing::HeadlessUi ui;
    ui.backend.ExpectMessage("Do you want to uninstall", ModalResult::kYes)
        .ExpectMessage("uninstalled completely", MsgKind::kInformation, MsgButtons::kOK,
                       ModalResult::kOK);
    EXPECT_EQ(pc.Uninstall(ui, {c.log}), kEverythingWent);
    EXPECT_EQ(pc.IdeProblems(), "");
    const PcSnapshot after = pc.Snapshot();
    EXPECT_EQ(Differences(before, after), kUninstallerStays);
  }
}

TEST(Uninstaller, ASecondRunFindsNothingToUninstall) {
  UninstallPc pc;
  pc.Install();
  ASSERT_EQ(pc.UninstallQuietly(), kEverythingWent);
  const PcSnapshot uninstalled = pc.Snapshot();

  ui::testing::HeadlessUi ui;
  ui.backend.ExpectMessage("is not found: there is nothing to uninstall.", MsgKind::kError,
                           MsgButtons::kOK, ModalResult::kOK);
  EXPECT_EQ(pc.Uninstall(ui, {kLog}), kNoUsableLog);
  EXPECT_NE(ui.backend.TranscriptText().find("\"Uninstall Veltoria 4\""), std::string::npos);
  EXPECT_EQ(pc.UninstallQuietly(), kNoUsableLog);
  EXPECT_EQ(Differences(uninstalled, pc.Snapshot()), "");
}

}  // namespace
}  // namespace vl4::test
