// The About dialog (runtime name Form3): a modal box with the author information, closed by Esc
// or OK.
#pragma once

#include "ui/controls.h"
#include "ui/form.h"

namespace vl4 {

class AboutDialog : public ui::Form {
 public:
  explicit AboutDialog(ui::Application& app);

  ui::Label LabelProduct{this, "LabelProduct"};
  ui::Label LabelPurpose{this, "LabelPurpose"};
  ui::Label LabelAuthor{this, "LabelAuthor"};
  ui::Button ButtonOK{this, "ButtonOK"};
};

}  // namespace vl4
