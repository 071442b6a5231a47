// Install mode until the installer joins this build: the program says so and ends.
#include "app/install_mode.h"

#include "ui/application.h"

namespace vl4 {

int RunInstallMode(platform::Platform& /*platform*/, ui::Application& app) {
  app.SetTitle("Veltoria 4");
  app.ShowMessage("The installer is not part of this build. Start the program as VL4Setup.exe.");
  return 1;
}

}  // namespace vl4
