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
