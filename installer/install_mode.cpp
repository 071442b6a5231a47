// Install mode: the wizard is the only window; its start-up may end the program at once, and the
// install run ends it from inside the progress window.
#include "installer/install_mode.h"

#include <algorithm>

#include "installer/install_wizard.h"
#include "platform/path.h"
#include "platform/platform.h"
#include "platform/text.h"
#include "ui/application.h"

namespace vl4 {

namespace {

// The argument of the copy started with an administrator's rights: it never asks again.
constexpr char kElevatedArgument[] = "/elevated";

}  // namespace

bool StartedElevatedCopy(platform::Platform& platform) {
  platform::System& system = platform.system();
  if (system.IsAdministrator()) return false;
  const std::vector<std::string> arguments = system.Arguments();
  if (std::any_of(arguments.begin(), arguments.end(),
                  [](const std::string& a) { return SameText(a, kElevatedArgument); })) {
    return false;
  }
  const std::string exe = system.ExePath();
  return platform.shell().Execute("runas", exe, kElevatedArgument, ExtractFileDir(exe),
                                  platform::kSwShowNormal) != nullptr;
}

int RunInstallMode(platform::Platform& platform, ui::Application& app) {
  InstallWizard wizard(app, platform);
  wizard.StartUp();
  if (!app.Terminated()) app.Run(wizard);
  return 0;
}

}  // namespace vl4
