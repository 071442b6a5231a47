// The .NET output dialog (runtime name Form7): it chooses the output directory of the .NET
// project templates, the working directory itself or a directory on a local hard disk, checked
// before the dialog closes.
#pragma once

#include <cstdint>
#include <string>

#include "ui/controls.h"
#include "ui/form.h"

namespace vl4::platform {
class Files;
}

namespace vl4 {

class NetOutputDialog : public ui::Form {
 public:
  NetOutputDialog(ui::Application& app, platform::Files& files);

  // Sets the dialog up from the stored choice; `work_dir` is where Browse starts when the edit
  // field names no existing directory.
  void Prepare(bool use_local_dir, const std::string& local_dir_name, const std::string& work_dir);

  ui::Label ExplanationLabel{this, "Label1"};
  ui::CheckBox UseLocalDirCheck{this, "CheckBox1"};
  ui::Edit LocalDirEdit{this, "Edit1"};
  ui::Button ButtonBrowse{this, "ButtonBrowse"};
  ui::Button ButtonOK{this, "ButtonOK"};
  ui::Button ButtonCancel{this, "ButtonCancel"};

 private:
  void UpdateControls();
  void BrowseClick();
  // OK with a local directory: it must lie on a fixed disk ("X:\..."), and it is created on
  // request. A refusal keeps the dialog open with the user's input.
  bool ValidateLocalDir();
  void KeyDown(uint16_t& key, unsigned shift);

  platform::Files& files_;
  std::string work_dir_;
};

}  // namespace vl4
