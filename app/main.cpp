// The program entry: the platform and UI backends of this build are created here and handed
// down, and the name the program was started under chooses its mode.
#include <cstdio>
#include <exception>
#include <memory>

#include "app/install_mode.h"
#include "app/mode.h"
#include "platform/platform.h"
#include "setup/setup_mode.h"
#include "ui/application.h"
#include "ui/headless/headless_backend.h"

int main(int argc, char** argv) {
  std::unique_ptr<vl4::platform::Platform> platform;
  try {
    platform = vl4::platform::CreateDefaultPlatform(argc, argv);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 2;
  }
  // Natively the forms run headless: a script answers them and the transcript is printed.
  std::unique_ptr<vl4::ui::HeadlessBackend> backend = vl4::ui::HeadlessBackend::FromEnvironment();
  vl4::ui::Application app(*backend);
  if (vl4::IsSetupModeName(platform->system().ExePath())) {
    return vl4::RunSetupMode(*platform, app);
  }
  return vl4::RunInstallMode(*platform, app);
}
