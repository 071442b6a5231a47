// Install mode: the installer's wizard is the only window; it runs to the end of the program.
#pragma once

namespace vl4::platform {
class Platform;
}
namespace vl4::ui {
class Application;
}

namespace vl4 {

// The installer writes Program Files, HKEY_LOCAL_MACHINE and the system directory: without an
// administrator's rights it starts a copy of itself with them (Windows asks once: the verb
// "runas") and ends, before it shows anything. True when that copy was started. A copy started so
// never asks again; when asking is refused the installer goes on as it is, and the destination's
// checks say what it cannot write.
bool StartedElevatedCopy(platform::Platform& platform);

// Returns the process exit code.
int RunInstallMode(platform::Platform& platform, ui::Application& app);

}  // namespace vl4
