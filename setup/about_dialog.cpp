// The About dialog.
#include "setup/about_dialog.h"

namespace vl4 {

AboutDialog::AboutDialog(ui::Application& app) : ui::Form(app, "Form3") {
  SetCaption("About the author");
  SetBorderStyle(ui::BorderStyle::kDialog);
  SetPosition(ui::FormPosition::kScreenCenter);
  SetClientWidth(360);
  SetClientHeight(170);
  ui::Font title = LabelProduct.GetFont();
  title.height = 18;
  title.bold = true;
  LabelProduct.SetFont(title);
  LabelProduct.SetBounds(24, 20, 300, 24);
  LabelProduct.SetCaption("Veltoria 4");
  LabelPurpose.SetBounds(24, 56, 300, 16);
  LabelPurpose.SetCaption("An electronic exercise book in programming");
  LabelAuthor.SetBounds(24, 80, 300, 16);
  LabelAuthor.SetCaption("Author: the Veltoria team");
  ButtonOK.SetBounds(140, 124, 80, 25);
  ButtonOK.SetCaption("OK");
  ButtonOK.SetDefault(true);
  ButtonOK.SetCancel(true);
  ButtonOK.SetModalResult(ui::ModalResult::kOK);
}

}  // namespace vl4
