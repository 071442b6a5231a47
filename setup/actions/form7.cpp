// The .NET output directory dialog. Its controls and checks come with the .NET output action.
#include "setup/actions/form7.h"

namespace vl4 {

TForm7::TForm7(ui::Application& app) : ui::Form(app, "Form7") {
  SetCaption("Change the output path for .NET environments");
  SetBorderStyle(ui::BorderStyle::kDialog);
  SetPosition(ui::FormPosition::kScreenCenter);
}

}  // namespace vl4
