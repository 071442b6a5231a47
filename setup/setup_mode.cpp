// Setup mode's windows: the setup window first (its creation is the start-up), then the About,
// user name and .NET output dialogs; then the message loop until the setup window closes.
#include "setup/setup_mode.h"

#include "platform/platform.h"
#include "setup/actions/form4.h"
#include "setup/actions/form7.h"
#include "setup/form1.h"
#include "setup/form3.h"
#include "setup/setup_texts.h"
#include "ui/application.h"

namespace vl4 {

int RunSetupMode(platform::Platform& platform, ui::Application& app) {
  app.SetTitle(texts::kAppTitle);
  TForm1 form1(app, platform);
  form1.FormCreate();
  TForm3 form3(app);
  TForm4 form4(app);
  TForm7 form7(app, platform.files());
  form1.AttachDialogs(form3, form4, form7);
  // After an early end the loop returns at once and the setup window is never closed, so
  // shutdown does not run.
  if (!app.Terminated()) app.Run(form1);
  return 0;
}

}  // namespace vl4
