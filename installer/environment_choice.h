// TInstF4, the environment window: a check list of the script's environments; the rows left
// unticked are not installed. OK needs at least one tick unless the script allows none.
#pragma once

#include <string>
#include <vector>

#include "installer/install_script.h"
#include "ui/controls.h"
#include "ui/form.h"

namespace vl4 {

class TInstF4 : public ui::Form {
 public:
  explicit TInstF4(ui::Application& app);

  // Fills the window from the script: every row ticked except those the settings file's
  // ExcludeDir names.
  void Prepare(const InstallScript& script, const std::vector<std::string>& exclude_dirs);

  void FormShow();
  void CheckListBox1Click();

  ui::StaticText StaticText1{this, "StaticText1"};
  ui::Panel Panel1{this, "Panel1"};
  ui::Button Button1{&Panel1, "Button1"};
  ui::Button Button2{&Panel1, "Button2"};
  ui::CheckListBox CheckListBox1{this, "CheckListBox1"};
};

}  // namespace vl4
