// A 64-bit sandbox PC with Delphi 7 and Visual Basic 6 (stand-in tools) and, once Install has run,
// an installation of the product as the installer and the setup tool leave it: the product's
// files, shortcuts and uninstall log, a system library counted among the shared DLLs, the entry
// in Windows' list of installed programs, and what the setup tool did with the real IDE
// operations (the package compiled, copied and listed, the add-in built, listed and registered),
// vl.ini, LIB, the product key and the working directory. Tests run the uninstaller on it and
// compare snapshots of the PC.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "platform/sandbox/sandbox_platform.h"
#include "tests/support/test_world.h"
#include "ui/headless/testing.h"

namespace vl4::test {

inline constexpr char kDest[] = "C:\\Program Files (x86)\\VL4";
inline constexpr char kLog[] = "C:\\Program Files (x86)\\VL4\\UNINST\\vl4.log";
inline constexpr char kSystemList[] = "C:\\Program Files (x86)\\VL4\\UNINST\\vl4.sys";
inline constexpr char kSystem[] = "C:\\Windows\\System32";
inline constexpr char kWorkDir[] = "C:\\VL4Work";
inline constexpr char kHeader[] =
    "Uninstall Veltoria 4|Do you want to uninstall Veltoria 4?|Veltoria 4 has uninstalled "
    "completely.|Veltoria 4 has uninstalled but the following files have not removed:|";
// Delphi 7 and Visual Basic 6 where their 32-bit installers put them on a 64-bit PC.
inline constexpr char kDelphiKey[] = "\\SOFTWARE\\Borland\\Delphi\\7.0";
inline constexpr char kDelphiRoot[] = "C:\\Program Files (x86)\\Borland\\Delphi7";
inline constexpr char kDelphiExe[] = "C:\\Program Files (x86)\\Borland\\Delphi7\\Bin\\delphi32.exe";
inline constexpr char kDelphiLib[] = "C:\\Program Files (x86)\\Borland\\Delphi7\\Lib";
inline constexpr char kDelphiKnown[] = "\\Software\\Borland\\Delphi\\7.0\\Known Packages";
inline constexpr char kPackageCopy[] =
    "C:\\Program Files (x86)\\Borland\\Delphi7\\Lib\\vl4d7tls.bpl";
inline constexpr char kVbKey[] =
    "\\SOFTWARE\\Microsoft\\Visual Studio\\6.0\\Setup\\Microsoft Visual Basic";
inline constexpr char kVbDir[] = "C:\\Program Files (x86)\\Microsoft Visual Studio\\VB98";
inline constexpr char kVbExe[] = "C:\\Program Files (x86)\\Microsoft Visual Studio\\VB98\\VB6.EXE";
inline constexpr char kAddInList[] = "C:\\Windows\\vbaddin.ini";
// Visual Basic's own add-in list, before the product.
inline constexpr char kVbAddIns[] = "[Add-Ins32]\r\nAppWizard.Wizard=0\r\n";
inline constexpr char kAddInLibrary[] = "C:\\Program Files (x86)\\VL4\\VB6\\vl4addin.dll";
// Windows' shared-DLL counter (HKEY_LOCAL_MACHINE), where the installer counts the system files.
inline constexpr char kSharedDlls[] = "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";
inline constexpr char kUninstallEntry[] =
    "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Veltoria 4";

// What an uninstall leaves of the installation in a snapshot's differences: the uninstaller serves
// every installation's log, so it stays in the system directory.
inline constexpr char kUninstallerStays[] = "+ file Windows/SysWOW64/uninvl32.exe\n";

// The PC's files (host paths under drive C, with their contents) and registry lines; the working
// directory and the stand-in tools' own log are left out.
using PcSnapshot = std::map<std::string, std::string>;
// The snapshot of the sandbox PC in the host folder `root`.
PcSnapshot SnapshotOf(const std::string& root);
// What is in one snapshot and not in the other, a line each ("-" before, "+" after).
std::string Differences(const PcSnapshot& before, const PcSnapshot& after);

class UninstallPc {
 public:
  UninstallPc();

  platform::SandboxPlatform& pc() { return *world_.sandbox(); }
  platform::Files& files() { return world_.files(); }
  platform::Registry& registry() { return world_.registry(); }

  void Put(const std::string& path, std::string_view bytes = "x");
  std::optional<std::string> Read(const std::string& path) { return world_.ReadFile(path); }
  std::vector<std::string> LogLines();
  std::string Programs() const { return programs_; }
  std::string Group() const { return programs_ + "\\Veltoria 4"; }
  std::string Desktop() const { return desktop_; }

  // The installation, as the installer (with the uninstaller in the system directory, counted
  // among the shared DLLs and listed with the installation's system files) and the setup tool
  // leave it.
  void Install();

  // The uninstaller as a program runs it, with the user's answers stated on `ui` beforehand.
  int Uninstall(ui::testing::HeadlessUi& ui, std::vector<std::string> arguments);
  // Quiet: "/S" and the log.
  int UninstallQuietly();

  PcSnapshot Snapshot() { return SnapshotOf(pc().Root()); }

  // Whether an IDE points at something missing: a Known Packages value naming a missing file, an
  // add-in list entry without its registered library.
  std::string IdeProblems();
  // The library Windows loads for the Visual Basic add-in ("" when it is not registered).
  std::string AddInServer();

 private:
  TestWorld world_{TestWorld::Windows::k64};
  std::string programs_;
  std::string desktop_;
};

}  // namespace vl4::test
