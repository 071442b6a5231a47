// TInstF1, the install wizard: the main window of Install mode. Its creation finds the location
// values, reads the settings file and checks the data parts; Install checks the destination,
// asks for the environments and hands over to the progress window, whose run ends the program.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "installer/environment_choice.h"
#include "installer/install_progress.h"
#include "installer/installation.h"
#include "installer/text_viewer.h"
#include "ui/controls.h"
#include "ui/form.h"

namespace vl4 {

class TInstF1 : public ui::Form {
 public:
  // Builds the script from the location values; tests give a script of their own.
  using ScriptMaker = std::function<InstallScript(const Locations& where)>;

  TInstF1(ui::Application& app, platform::Platform& platform,
          ScriptMaker make_script = &InstallScript::ThisBuild);
  ~TInstF1() override;

  // Start-up; ends the application when a data part is missing.
  void FormCreate();

  void FormShow();
  void Timer1Timer();
  void Button1Click();                     // Browse
  void Button2Click(ui::Control& sender);  // About and License
  void Button4Click();                     // Install
  void Button5Click();                     // Exit
  void FormKeyDown(uint16_t& key);
  void FormKeyPress(char& key);
  void FormCloseQuery(bool& can_close);
  void FormClose();

  // Fills and shows the text viewer: 1 readme.txt, 2 license.txt.
  void ShowTextFile(int kind);
  bool IsWritable(const std::string& dir);

  const Installation& Setup() const { return inst_; }
  const std::vector<std::string>& ExclusionList() const { return exclusions_; }
  TInstF2& TextViewer() { return *viewer_; }
  TInstF3& Progress() { return *progress_; }
  TInstF4& Environments() { return *environments_; }

  ui::Label Label2{this, "Label2"};
  ui::Label Label1{this, "Label1"};
  ui::Label Label3{this, "Label3"};
  ui::Label Label6{this, "Label6"};
  ui::Label Label4{this, "Label4"};
  ui::Bevel Bevel1{this, "Bevel1"};
  ui::Label Label5{this, "Label5"};
  ui::Edit Edit1{this, "Edit1"};
  ui::Button Button1{this, "Button1"};
  ui::Bevel Bevel2{this, "Bevel2"};
  ui::Button Button2{this, "Button2"};
  ui::Button Button3{this, "Button3"};
  ui::Button Button4{this, "Button4"};
  ui::Button Button5{this, "Button5"};
  ui::Timer Timer1{this, "Timer1"};

 private:
  void Layout();
  std::string VersionLine();
  // Closes the wizard without the exit question: the program ends by itself.
  void EndApplication();

  Installation inst_;
  ScriptMaker make_script_;
  std::vector<std::string> exclusions_;
  std::unique_ptr<TInstF2> viewer_;
  std::unique_ptr<TInstF3> progress_;
  std::unique_ptr<TInstF4> environments_;
};

}  // namespace vl4
