// A sandbox PC with a Veltoria installation in C:\VL4, and the setup tool's windows on the
// headless UI: tests build the PC (module folders, IDEs, vl.ini, results files), start the setup
// window under a command line, act on it and look at what lands on disk.
#pragma once

#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry.h"
#include "platform/sandbox/sandbox_platform.h"
#include "setup/about_dialog.h"
#include "setup/dialogs/net_output_dialog.h"
#include "setup/dialogs/user_name_dialog.h"
#include "setup/setup_window.h"
#include "ui/headless/testing.h"

namespace vl4 {
inline void PrintTo(const EnvChoice& env, std::ostream* os) {
  *os << '"' << env.family_key << "\" " << env.version;
}
}  // namespace vl4

namespace vl4::test {

// Delphi 7 and Visual Basic 6 as SetupPc::AddDelphi7 and AddVb6 install them.
namespace ides {
inline constexpr char kDelphiKey[] = "\\SOFTWARE\\Borland\\Delphi\\7.0";
inline constexpr char kDelphiExe[] = "C:\\Borland\\Delphi7\\Bin\\delphi32.exe";
inline constexpr char kDelphiLib[] = "C:\\Borland\\Delphi7\\Lib";
inline constexpr char kDelphiKnown[] = "\\Software\\Borland\\Delphi\\7.0\\Known Packages";
// The Known Packages value that lists the package copied into the library directory.
inline constexpr char kDelphiValue[] = "C:\\Borland\\Delphi7\\Lib\\vl4d7tls.bpl";
// The package compiled in the module folder.
inline constexpr char kPackage[] = "C:\\VL4\\DELPHI7\\vl4d7tls.bpl";
inline constexpr char kVbKey[] =
    "\\SOFTWARE\\Microsoft\\Visual Studio\\6.0\\Setup\\Microsoft Visual Basic";
inline constexpr char kAddInList[] = "C:\\Windows\\vbaddin.ini";
inline constexpr char kAddInLibrary[] = "C:\\VL4\\VB6\\vl4addin.dll";
}  // namespace ides

class SetupPc {
 public:
  static constexpr char kInstallDir[] = "C:\\VL4\\";
  static constexpr char kWorkDir[] = "C:\\VL4Work";
  static constexpr char kLogin[] = "Tester";

  // A PC with the three product programs in C:\VL4; no module folder yet.
  SetupPc();
  ~SetupPc();

  platform::SandboxPlatform& pc() { return *pc_; }
  platform::Files& files() { return pc_->files(); }
  platform::Registry& registry() { return pc_->registry(); }
  ui::HeadlessBackend& ui() { return ui_.backend; }

  // Whole files, with their parent directories created.
  void Put(const std::string& path, std::string_view bytes = "x");
  std::optional<std::string> Read(const std::string& path);
  std::string HostPath(const std::string& path);

  // The module folder of an environment code with its unit file and loader template.
  void AddModules(const std::string& code);
  // An IDE's executable, and the registry value start-up finds it by.
  void AddIde(platform::RootKey root, const std::string& key, const std::string& value_name,
              const std::string& exe_path, const std::string& value = {});
  void WriteVlIni(std::string_view text) { Put(std::string(kInstallDir) + "VL.INI", text); }
  // The stand-in IDE tool of this build under a name inside the PC (dcc32.exe, VB6.EXE,
  // regsvr32.exe, ...), linked, so that starting it runs the tool for real.
  void InstallStandIn(const std::string& exe_path);
  // The product ships Delphi 7's tools package project; Delphi 7 is installed in
  // C:\Borland\Delphi7 (found through the registry unless `in_registry` is false) with its
  // command-line compiler, and has run once, so that its Known Packages key exists.
  void AddDelphi7(const std::string& project = "package vl4d7tls;\r\nend.\r\n",
                  bool in_registry = true);
  // Visual Basic 6 in C:\VB98 with the add-in project shipped and regsvr32 in the system
  // directory.
  void AddVb6();
  // The add-in's registration with Windows as regsvr32 leaves it (its program identifier, its
  // class and the class's in-process server), naming `library`; and the library it names now
  // (empty when it is not registered).
  void RegisterAddIn(const std::string& library);
  std::string AddInServer();

  // What the PC has started so far, in order: the show command and the command line.
  struct Started {
    int show = 0;
    std::string command;
  };
  std::vector<Started> StartedProcesses();
  // The stand-in tools' log: one line per start, "NAME<tab>current directory<tab>arguments...".
  std::vector<std::string> StandInLog();

  // Creates the setup window under `arguments` (the PC is started afresh with them), runs its
  // start-up and creates the dialogs after it, as the program does.
  SetupWindow& Start(std::vector<std::string> arguments = {});
  SetupWindow& form() { return *window_; }
  // The user closes the setup window: shutdown runs.
  void Close();

 private:
  std::string root_;
  std::unique_ptr<platform::SandboxPlatform> pc_;
  ui::testing::HeadlessUi ui_;
  std::unique_ptr<SetupWindow> window_;
  std::unique_ptr<AboutDialog> about_;
  std::unique_ptr<UserNameDialog> user_name_;
  std::unique_ptr<NetOutputDialog> net_output_;
};

// A results file's records as text (code page 866 bytes mapped back), for checks.
std::string RecordText(const std::string& file, size_t index);

}  // namespace vl4::test
