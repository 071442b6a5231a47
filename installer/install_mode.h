// Install mode: the installer's wizard is the only window; it runs to the end of the program.
#pragma once

namespace vl4::platform {
class Platform;
}
namespace vl4::ui {
class Application;
}

namespace vl4 {

// Returns the process exit code.
int RunInstallMode(platform::Platform& platform, ui::Application& app);

}  // namespace vl4
