// Setup mode's windows: the setup window first (its creation is the start-up), then the About,
// user name and .NET output dialogs; then the message loop until the setup window closes.
#include "setup/setup_mode.h"

#include "platform/platform.h"
#include "setup/about_dialog.h"
#include "setup/dialogs/net_output_dialog.h"
#include "setup/dialogs/user_name_dialog.h"
#include "setup/setup_texts.h"
#include "setup/setup_window.h"
#include "ui/application.h"

namespace vl4 {

int RunSetupMode(platform::Platform& platform, ui::Application& app) {
  app.SetTitle(texts::kAppTitle);
  SetupWindow window(app, platform);
  window.StartUp();
  AboutDialog about(app);
  UserNameDialog user_name(app);
  NetOutputDialog net_output(app, platform.files());
  window.AttachDialogs(about, user_name, net_output);
  // After an early end the loop returns at once and the setup window is never closed, so
  // shutdown does not run.
  if (!app.Terminated()) app.Run(window);
  return 0;
}

}  // namespace vl4
