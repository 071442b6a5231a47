// The sandbox PC of the uninstaller tests.
#include "tests/uninstaller/uninstall_pc.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "installer/install_script.h"
#include "installer/locations.h"
#include "installer/macros.h"
#include "platform/file_tree.h"
#include "platform/path.h"
#include "platform/text.h"
#include "platform/text_file.h"
#include "setup/ide/ide_family.h"
#include "setup/ide/ide_modules.h"
#include "uninstaller/uninstall_mode.h"

namespace vl4::test {

namespace {

namespace fs = std::filesystem;
using platform::RootKey;

// The product's files as the demo distribution ships them (module folders of Delphi 7 and Visual
// Basic 6, samples), relative to the installation.
const std::pair<const char*, const char*> kProductFiles[] = {
    {"VL4Demo.exe", "MZ demo"},
    {"VL4Load.exe", "MZ loader"},
    {"VL4Res.exe", "MZ results"},
    {"readme.txt", "Veltoria 4\r\n"},
    {"vl4net.dll", "MZ .NET library"},
    {"DELPHI7\\vl4.pas", "unit vl4;\r\n"},
    {"DELPHI7\\loaddpr.dat", "program %s;\r\n"},
    {"DELPHI7\\vl4d7tls.dpk", "package vl4d7tls;\r\ncontains vl4tools;\r\nend.\r\n"},
    {"VB6\\vl4.bas", "Attribute VB_Name = \"vl4\"\r\n"},
    {"VB6\\loadvb.dat", "Type=Exe\r\n"},
    {"VB6\\vl4addin.vbp",
     "Type=OleDll\r\nClass=VL4ToolsForVB; VL4ToolsForVB.cls\r\nName=\"vl4addin\"\r\n"
     "ExeName32=\"vl4addin.dll\"\r\n"},
    {"SAMPLES\\DELPHI7\\hello.dpr", "program hello;\r\n"},
    {"SAMPLES\\VB6\\hello.bas", "Sub Main()\r\n"},
    {"VL4Setup.exe", "MZ setup tool"},
};

void InstallStandIn(platform::SandboxPlatform& pc, const std::string& exe_path) {
  const char* bin = std::getenv("VL4_BIN_DIR");
  const fs::path dir = bin ? fs::path(bin) : fs::read_symlink("/proc/self/exe").parent_path();
  platform::ForceDirectories(pc.files(), ExtractFileDir(exe_path));
  fs::create_symlink(dir / "vl4standin",
                     *pc.HostPath(ExtractFileDir(exe_path)) + "/" + ExtractFileName(exe_path));
}

void AddFiles(const fs::path& root, const fs::path& dir, PcSnapshot& out) {
  for (const fs::directory_entry& entry : fs::directory_iterator(dir)) {
    const std::string relative = fs::relative(entry.path(), root).string();
    if (relative == "VL4Work" || relative == "Windows/vl4standin.log") continue;
    if (entry.is_symlink()) {
      out["file " + relative] = "-> " + fs::read_symlink(entry.path()).string();
    } else if (entry.is_directory()) {
      out["file " + relative + "/"] = "";
      AddFiles(root, entry.path(), out);
    } else {
      std::ifstream in(entry.path(), std::ios::binary);
      out["file " + relative] = std::string(std::istreambuf_iterator<char>(in), {});
    }
  }
}

}  // namespace

std::string Differences(const PcSnapshot& before, const PcSnapshot& after) {
  std::string text;
  for (const auto& [name, value] : before) {
    auto found = after.find(name);
    if (found == after.end()) {
      text += "- " + name + "\n";
    } else if (found->second != value) {
      text += "changed " + name + "\n";
    }
  }
  for (const auto& [name, value] : after) {
    if (before.count(name) == 0) text += "+ " + name + "\n";
  }
  return text;
}

PcSnapshot SnapshotOf(const std::string& host_root) {
  PcSnapshot snapshot;
  const fs::path root = host_root;
  AddFiles(root / "C", root / "C", snapshot);
  std::ifstream registry(root / "registry.reg", std::ios::binary);
  std::string key;
  for (std::string line; std::getline(registry, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line == "REGEDIT4") continue;
    if (line.front() == '[') key = line;
    snapshot["registry " + (line == key ? key : key + " " + line)] = "";
  }
  return snapshot;
}

UninstallPc::UninstallPc() {
  platform::SandboxPlatform& sandbox = pc();
  programs_ = sandbox.shell().GetSpecialFolder(platform::SpecialFolder::kPrograms);
  desktop_ = sandbox.shell().GetSpecialFolder(platform::SpecialFolder::kDesktopDirectory);
  // What every Windows has: the list of installed programs, the shared-DLL counter and the
  // COM classes.
  registry().CreateKey(RootKey::kLocalMachine,
                       "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall");
  registry().CreateKey(RootKey::kLocalMachine, kSharedDlls);
  registry().CreateKey(RootKey::kClassesRoot, "CLSID");
  InstallStandIn(sandbox, std::string(kSystem) + "\\regsvr32.exe");

  // Delphi 7 where its 32-bit installer puts it, run once (its Known Packages key exists).
  Put(kDelphiExe, "MZ");
  Put(std::string(kDelphiLib) + "\\System.dcu");
  InstallStandIn(sandbox, std::string(kDelphiRoot) + "\\Bin\\dcc32.exe");
  registry().WriteString(RootKey::kLocalMachine, kDelphiKey, "App", kDelphiExe);
  registry().WriteString(RootKey::kLocalMachine, kDelphiKey, "RootDir", kDelphiRoot);
  registry().CreateKey(RootKey::kCurrentUser, kDelphiKnown);
  // Visual Basic 6, with its own add-ins listed.
  InstallStandIn(sandbox, kVbExe);
  registry().WriteString(RootKey::kLocalMachine, kVbKey, "ProductDir", kVbDir);
  Put(kAddInList, kVbAddIns);
}

void UninstallPc::Put(const std::string& path, std::string_view bytes) {
  platform::ForceDirectories(files(), ExtractFileDir(path));
  ASSERT_TRUE(world_.WriteFile(path, bytes)) << path;
}

std::vector<std::string> UninstallPc::LogLines() {
  return platform::ReadTextFile(files(), kLog).value_or(std::vector<std::string>{});
}

void UninstallPc::Install() {
  // The installer: the product's files, the uninstaller and a library in the system directory,
  // the shortcuts of the script whose targets exist, the log, the entry in Windows' list.
  std::vector<std::string> log = {kHeader, std::string(kDest) + "\\SAMPLES\\a",
                                  std::string(kDest) + "\\LIB\\a"};
  for (const auto& [relative, text] : kProductFiles) {
    Put(std::string(kDest) + "\\" + relative, text);
    log.push_back(std::string(kDest) + "\\" + relative);
  }
  std::vector<std::string> system_files;
  for (const char* name : {"uninvl32.exe", "vl4.dll"}) {
    const std::string path = std::string(kSystem) + "\\" + name;
    Put(path, "MZ");
    registry().WriteDword(RootKey::kLocalMachine, kSharedDlls, path, 1);
    system_files.push_back(path);
  }
  platform::ForceDirectories(files(), ExtractFileDir(kSystemList));
  ASSERT_TRUE(platform::WriteTextFile(files(), kSystemList, system_files));
  const InstallScript script = InstallScript::ThisBuild(FindLocations(pc()));
  for (const ShortcutRow& row : script.shortcuts) {
    const std::string target = ExpandInstallDir(row.target, kDest);
    const std::string folder = ExpandInstallDir(row.folder, kDest);
    if (!files().FileExists(target)) continue;
    platform::ForceDirectories(files(), folder);
    const std::string link = folder + "\\" + row.name + ".lnk";
    ASSERT_TRUE(pc().shell().CreateShellLink(target, ExpandInstallDir(row.arguments, kDest),
                                             ExpandInstallDir(row.working_dir, kDest), link));
    log.push_back(link);
  }
  ASSERT_TRUE(platform::WriteTextFile(files(), kLog, log));
  registry().WriteString(RootKey::kLocalMachine, kUninstallEntry, "DisplayName", "Veltoria 4");
  registry().WriteString(RootKey::kLocalMachine, kUninstallEntry, "InstallLocation", kDest);

  // The setup tool: the IDE operations it runs at start-up and in its status refreshes, then
  // vl.ini, LIB, the product key and the student's working directory.
  IdeModules ide(pc(), std::string(kDest) + "\\");
  Catalogue catalogue;
  EnvRow delphi = catalogue.Row(7);
  delphi.exe_path = kDelphiExe;
  delphi.library_dir = kDelphiLib;
  delphi.aux_files = {ToolsPackageName(delphi)};
  ide.Install(delphi);
  ASSERT_EQ(ide.RegisterKnownPackage(delphi), KnownPackageResult::kRegistered);
  EnvRow vb = catalogue.Row(11);
  vb.exe_path = kVbExe;
  ide.Install(vb);
  ASSERT_TRUE(ide.RegisterVbAddin(vb));
  ASSERT_TRUE(pc().WaitForStartedProcesses());
  // A real compiler also leaves the units the package contains.
  Put(std::string(kDest) + "\\DELPHI7\\vl4tools.dcu", "unit");
  ASSERT_TRUE(files().FileExists(kPackageCopy));
  ASSERT_EQ(AddInServer(), kAddInLibrary);
  Put(std::string(kDest) + "\\VL.INI",
      std::string("[Libraries]\r\nDELPHI7=") + kDelphiLib + "\r\n[EXE files]\r\nDELPHI7=" +
          kDelphiExe + "\r\nVB6=" + kVbExe + "\r\n[Work Directory]\r\nPath=" + kWorkDir + "\r\n");
  platform::ForceDirectories(files(), std::string(kDest) + "\\LIB");
  registry().WriteString(RootKey::kLocalMachine, "\\SOFTWARE\\Veltoria 4", "Install Directory",
                         kDest);
  Put(std::string(kWorkDir) + "\\results.dat", "the student's results");
}

std::string UninstallPc::AddInServer() {
  const auto clsid =
      registry().ReadString(RootKey::kClassesRoot, "\\vl4addin.VL4ToolsForVB\\CLSID", "");
  if (!clsid) return "";
  return registry()
      .ReadString(RootKey::kClassesRoot, "\\CLSID\\" + *clsid + "\\InprocServer32", "")
      .value_or("");
}

int UninstallPc::Uninstall(ui::testing::HeadlessUi& ui, std::vector<std::string> arguments) {
  return RunUninstallMode(pc(), ui.app, ParseUninstallCommand(arguments));
}

int UninstallPc::UninstallQuietly() {
  ui::testing::HeadlessUi ui;
  return Uninstall(ui, {"/S", kLog});
}

std::string UninstallPc::IdeProblems() {
  std::string problems;
  if (registry().ValueExists(RootKey::kCurrentUser, kDelphiKnown, kPackageCopy) &&
      !files().FileExists(kPackageCopy)) {
    problems += "Delphi 7 lists a missing package. ";
  }
  const std::string entry =
      pc().profile().ReadString(kAddInList, "Add-Ins32", "vl4addin.VL4ToolsForVB", "");
  if (!entry.empty() && (!files().FileExists(kAddInLibrary) || AddInServer() != kAddInLibrary)) {
    problems += "Visual Basic 6 lists an add-in that is not there. ";
  }
  return problems;
}

}  // namespace vl4::test
