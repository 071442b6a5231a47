// TForm3, the About dialog: a modal box with the author information, closed by Esc or OK.
#pragma once

#include "ui/controls.h"
#include "ui/form.h"

namespace vl4 {

class TForm3 : public ui::Form {
 public:
  explicit TForm3(ui::Application& app);

  ui::Label LabelProduct{this, "LabelProduct"};
  ui::Label LabelPurpose{this, "LabelPurpose"};
  ui::Label LabelAuthor{this, "LabelAuthor"};
  ui::Button ButtonOK{this, "ButtonOK"};
};

}  // namespace vl4
