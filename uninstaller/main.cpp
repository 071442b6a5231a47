// uninvl32.exe: the platform and UI backends of this build are created here and handed down. The
// rights come first, before any window (or UI script) is used.
#ifdef _WIN32
// First, so that every header of the program sees the same names (MessageBox is a macro there).
#include <windows.h>
#endif

#include <cstdio>
#include <exception>
#include <memory>

#include "platform/path.h"
#include "platform/platform.h"
#include "ui/application.h"
#include "uninstaller/uninstall_mode.h"

#ifdef _WIN32
#include "ui/win32/win32_backend.h"
#else
#include "ui/headless/headless_backend.h"
#endif

int main(int argc, char** argv) {
  std::unique_ptr<vl4::platform::Platform> platform;
  try {
    platform = vl4::platform::CreateDefaultPlatform(argc, argv);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return vl4::kNoUsableLog;
  }
  const vl4::UninstallCommand command = vl4::ParseUninstallCommand(platform->system().Arguments());
  if (const std::optional<int> status = vl4::RunElevatedCopy(*platform, command)) return *status;
#ifdef _WIN32
  vl4::ui::Win32Backend backend;
#else
  // Natively the boxes are answered by a UI script and the transcript is written out.
  std::unique_ptr<vl4::ui::HeadlessBackend> headless =
      vl4::ui::HeadlessBackend::FromEnvironment(vl4::ExtractFileName(platform->system().ExePath()));
  vl4::ui::Backend& backend = *headless;
#endif
  vl4::ui::Application app(backend);
  return vl4::RunUninstallMode(*platform, app, command);
}
