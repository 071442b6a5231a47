// The program entry: the platform and UI backends of this build are created here and handed
// down, and the name the program was started under chooses its mode.
#ifdef _WIN32
// First, so that every header of the program sees the same names (MessageBox is a macro there).
#include <windows.h>
#endif

#include <cstdio>
#include <exception>
#include <memory>

#include "app/mode.h"
#include "installer/install_mode.h"
#include "platform/elevation.h"
#include "platform/path.h"
#include "platform/platform.h"
#include "setup/setup_mode.h"
#include "ui/application.h"

#ifdef _WIN32
#include "ui/win32/win32_backend.h"
#else
#include "ui/headless/headless_backend.h"
#endif

namespace {

int Run(vl4::platform::Platform& platform, vl4::ui::Backend& backend) {
  vl4::ui::Application app(backend);
  if (vl4::IsSetupModeName(platform.system().ExePath())) return vl4::RunSetupMode(platform, app);
  return vl4::RunInstallMode(platform, app);
}

}  // namespace

int main(int argc, char** argv) {
  std::unique_ptr<vl4::platform::Platform> platform;
  try {
    platform = vl4::platform::CreateDefaultPlatform(argc, argv);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 2;
  }
  // The installer writes Program Files, HKEY_LOCAL_MACHINE and the system directory: without an
  // administrator's rights it hands over to a copy of itself that has them, before any window
  // (or UI script) is used. When that is refused it goes on as it is, and the destination's
  // checks say what it cannot write.
  if (!vl4::IsSetupModeName(platform->system().ExePath()) &&
      vl4::platform::StartElevatedCopy(*platform) != nullptr) {
    return 0;
  }
#ifdef _WIN32
  vl4::ui::Win32Backend backend;
  return Run(*platform, backend);
#else
  // Natively the forms run headless: a script answers them and the transcript is printed.
  // The program's own UI variables come first: the installer and the setup tool it launches
  // share one environment.
  std::unique_ptr<vl4::ui::HeadlessBackend> backend =
      vl4::ui::HeadlessBackend::FromEnvironment(vl4::ExtractFileName(platform->system().ExePath()));
  return Run(*platform, *backend);
#endif
}
