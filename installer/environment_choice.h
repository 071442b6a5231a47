// EnvironmentChoice (runtime name TInstF4), the environment window: a check list of the script's
// environments; the rows left unticked are not installed. OK needs at least one tick unless the
// script allows none.
#pragma once

#include <string>
#include <vector>

#include "installer/install_script.h"
#include "ui/controls.h"
#include "ui/form.h"

namespace vl4 {

class EnvironmentChoice : public ui::Form {
 public:
  explicit EnvironmentChoice(ui::Application& app);

  // Fills the window from the script: every row ticked except those the settings file's
  // ExcludeDir names.
  void Prepare(const InstallScript& script, const std::vector<std::string>& exclude_dirs);

  ui::StaticText Header{this, "StaticText1"};
  ui::Panel ButtonPanel{this, "Panel1"};
  ui::Button OkButton{&ButtonPanel, "Button1"};
  ui::Button CancelButton{&ButtonPanel, "Button2"};
  ui::CheckListBox EnvironmentList{this, "CheckListBox1"};

 private:
  // OK is enabled when the window opens, whatever the marks; the list takes the focus.
  void ResetOnShow();
  void RequireOneTick();
};

}  // namespace vl4
