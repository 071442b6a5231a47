// Setup mode: the setup window and its dialogs, created in order, and the message loop.
#pragma once

namespace vl4::platform {
class Platform;
}
namespace vl4::ui {
class Application;
}

namespace vl4 {

// Runs Setup mode to its end; returns the process exit code.
int RunSetupMode(platform::Platform& platform, ui::Application& app);

}  // namespace vl4
