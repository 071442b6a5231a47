// InstallWizard (runtime name TInstF1), the main window of Install mode. Its start-up finds the
// location values, reads the settings file and checks the data parts; Install checks the
// destination, asks for the environments and hands over to the progress window, whose run ends
// the program.
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

class InstallWizard : public ui::Form {
 public:
  // Builds the script from the location values; tests give a script of their own.
  using ScriptMaker = std::function<InstallScript(const Locations& where)>;

  InstallWizard(ui::Application& app, platform::Platform& platform,
                ScriptMaker make_script = &InstallScript::ThisBuild);
  ~InstallWizard() override;

  // Start-up; ends the application when a data part is missing.
  void StartUp();

  // Fills and shows the text viewer with readme.txt or license.txt.
  void ShowTextFile(TextKind kind);
  bool IsWritable(const std::string& dir);

  const std::vector<std::string>& ExclusionList() const { return exclusions_; }
  TextViewer& Viewer() { return *viewer_; }
  InstallProgress& Progress() { return *progress_; }
  EnvironmentChoice& Environments() { return *environments_; }

  ui::Label TitleShadow{this, "Label2"};
  ui::Label Title{this, "Label1"};
  ui::Label Subtitle{this, "Label3"};
  ui::Label VersionLine{this, "Label6"};
  ui::Label AuthorLine{this, "Label4"};
  ui::Bevel TopSeparator{this, "Bevel1"};
  ui::Label DestinationPrompt{this, "Label5"};
  ui::Edit DestinationEdit{this, "Edit1"};
  ui::Button BrowseButton{this, "Button1"};
  ui::Bevel BottomSeparator{this, "Bevel2"};
  ui::Button AboutButton{this, "Button2"};
  ui::Button LicenseButton{this, "Button3"};
  ui::Button InstallButton{this, "Button4"};
  ui::Button ExitButton{this, "Button5"};
  ui::Timer AutoStartTimer{this, "Timer1"};

 private:
  void Layout();
  std::string VersionText();
  // The file beside the installer that the text of that kind comes from.
  std::string TextPath(TextKind kind) const;

  // The destination checks, the environment window, the exclusion list and the hand-over to the
  // progress window.
  void InstallClick();
  void BrowseClick();
  void ExitClick();
  // With AutoRun the timer presses Install once the wizard is shown.
  void ArmAutoStart();
  void AutoStartTick();
  // F1 opens the readme, or the licence when there is no readme.
  void ShowTextOnF1(uint16_t& key);
  void CloseOnEscape(char& key);
  void ConfirmExit(bool& can_close);
  void DropExclusions();
  // Closes the wizard without the exit question: the program ends by itself.
  void EndApplication();

  Installation inst_;
  ScriptMaker make_script_;
  std::vector<std::string> exclusions_;
  // The directories Install made for a destination, on every press: a failed run removes them
  // again (a failed check or Cancel leaves them, and the next press finds them there).
  std::vector<std::string> made_for_destination_;
  std::unique_ptr<TextViewer> viewer_;
  std::unique_ptr<InstallProgress> progress_;
  std::unique_ptr<EnvironmentChoice> environments_;
};

}  // namespace vl4
