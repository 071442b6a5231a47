// TForm7, the dialog that chooses the output directory of the .NET project templates.
#pragma once

#include "ui/form.h"

namespace vl4 {

class TForm7 : public ui::Form {
 public:
  explicit TForm7(ui::Application& app);
};

}  // namespace vl4
