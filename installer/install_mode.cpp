// Install mode: the wizard is the only window; its start-up may end the program at once, and the
// install run ends it from inside the progress window.
#include "installer/install_mode.h"

#include "installer/install_wizard.h"
#include "platform/platform.h"
#include "ui/application.h"

namespace vl4 {

int RunInstallMode(platform::Platform& platform, ui::Application& app) {
  InstallWizard wizard(app, platform);
  wizard.StartUp();
  if (!app.Terminated()) app.Run(wizard);
  return 0;
}

}  // namespace vl4
