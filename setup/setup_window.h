// The setup window, the main window of Setup mode (runtime name Form1). Its creation runs the
// whole start-up; its pages are the environments page, one page per available environment and
// the working directory page; closing it writes the configuration back.
#pragma once

#include <memory>
#include <random>
#include <string>
#include <vector>

#include "setup/catalogue.h"
#include "setup/config.h"
#include "setup/env_page.h"
#include "ui/controls.h"
#include "ui/form.h"

namespace vl4::platform {
class Platform;
}  // namespace vl4::platform

namespace vl4 {

class IdeDetector;
class IdeModules;
class AboutDialog;
class UserNameDialog;
class NetOutputDialog;

class SetupWindow : public ui::Form {
 public:
  SetupWindow(ui::Application& app, platform::Platform& platform);
  ~SetupWindow() override;

  // Start-up: everything that happens while the window is created, before the user sees it.
  // It may end the program early (a missing tool, no environment, a system error, "-FAST").
  void StartUp();
  // The dialogs are created after the setup window, so start-up never uses them.
  void AttachDialogs(AboutDialog& about, UserNameDialog& user_name, NetOutputDialog& net_output);

  // State other parts of the program (and the tests) read.
  const std::string& InstallDir() const { return install_dir_; }
  const std::string& ConfigPath() const { return config_path_; }
  const std::string& SourceDir() const { return source_dir_; }
  bool FastMode() const { return fast_mode_; }
  bool EndedEarly() const { return ended_early_; }
  const SetupConfig& Config() const { return config_; }
  const EnvChoice& CurrentEnv() const { return current_; }
  Catalogue& Envs() { return catalogue_; }
  const std::string& DefaultUserName() const { return default_user_name_; }
  const std::vector<std::string>& SampleList() const { return sample_list_; }
  const std::string& SampleFolder() const { return sample_folder_; }

  // The page list, numbered from 1.
  int PageCount() const { return static_cast<int>(pages_.size()); }
  int CurrentPage() const { return current_page_; }
  ui::TabSheet& Page(int number) const { return *pages_.at(number - 1); }
  int PageNumber(const ui::TabSheet& sheet) const;  // 0 when not in the list

  // Navigation.
  void ShowPage(int number);
  void ButtonBackClick();
  void ButtonNextClick();
  void PageMenuItemClick(ui::MenuItem& item);

  // The working directory page.
  void RefreshWorkPage();
  void ComboEnvironmentChange();
  // Shows `path` shortened to fit `field`; the full path becomes the field's hint.
  void ShowShortPath(const std::string& path, ui::Edit& field);

  // Actions of the working directory page.
  void ButtonChangeDirClick();
  void ButtonResultsClick();
  void ButtonSamplesClick();
  void ButtonNetOutputClick();
  // Copies vl4net.dll and saves the three shortcuts into the working directory.
  void CompleteWorkDir();

  // Actions for one environment (module installation, its status, browsing, removal).
  void SetPackageNames(EnvRow& row);
  void InstallButtonClick(ui::Control& sender);
  void InstallModules(EnvRow& row);
  void RefreshEnvStatus(EnvRow& row);
  void ShowEnvDetails(EnvRow& row);
  void BrowseClick(ui::Control& sender);
  void DeleteClick(ui::Control& sender);
  void EnvironmentListClick();
  void EnvironmentListClickCheck();
  // Part of the status refresh: the Delphi and C++Builder package in the IDE's known packages,
  // the Visual Basic add-in in the add-in list and registered with Windows; they set the row's
  // tools-in-menu flag.
  void RegisterKnownPackage(EnvRow& row);
  void RegisterVbAddin(EnvRow& row);
  // Rewrites the output path of the .NET project templates.
  void RewriteTemplates(bool use_local_dir, const std::string& local_dir_name);
  // Gives a template that a rewrite left only as its new copy its name back.
  void RecoverTemplates();

  // Header band.
  ui::Panel HeaderPanel{this, "HeaderPanel"};
  ui::Label HeaderLabel{&HeaderPanel, "HeaderLabel"};

  // The page area: one page shown at a time, without tabs.
  ui::PageControl PageArea{this, "PageControl1"};

  // The environments page.
  ui::TabSheet EnvsSheet{&PageArea, "TabSheetEnvs"};
  ui::CheckListBox EnvironmentList{&EnvsSheet, "CheckListBox1"};
  ui::Label LabelEnvsExe{&EnvsSheet, "LabelEnvsExe"};
  ui::Edit EditEnvsExe{&EnvsSheet, "EditEnvsExe"};
  ui::Button ButtonEnvsBrowse{&EnvsSheet, "ButtonEnvsBrowse"};
  ui::Button ButtonEnvsDelete{&EnvsSheet, "ButtonEnvsDelete"};
  ui::Label LabelEnvsStatus{&EnvsSheet, "LabelEnvsStatus"};

  // The working directory page.
  ui::TabSheet WorkSheet{&PageArea, "TabSheetWork"};
  ui::Label LabelWorkDir{&WorkSheet, "LabelWorkDir"};
  ui::Edit EditWorkDir{&WorkSheet, "EditWorkDir"};
  ui::Button ButtonChangeDir{&WorkSheet, "ButtonChangeDir"};
  ui::Label LabelResults{&WorkSheet, "LabelResults"};
  ui::Edit EditUserName{&WorkSheet, "EditUserName"};
  ui::Button ButtonResults{&WorkSheet, "ButtonResults"};
  ui::Label LabelEnvironment{&WorkSheet, "LabelEnvironment"};
  ui::ComboBox ComboEnvironment{&WorkSheet, "ComboEnvironment"};
  ui::Button ButtonSamples{&WorkSheet, "ButtonSamples"};
  ui::Button ButtonNetOutput{&WorkSheet, "ButtonNetOutput"};
  ui::Label LabelWorkStatus{&WorkSheet, "LabelWorkStatus"};

  // Bottom bar.
  ui::Panel BottomPanel{this, "BottomPanel"};
  ui::Button ButtonAbout{&BottomPanel, "ButtonAbout"};
  ui::Button ButtonSite{&BottomPanel, "ButtonSite"};
  ui::Button ButtonBack{&BottomPanel, "ButtonBack"};
  ui::Button ButtonNext{&BottomPanel, "ButtonNext"};
  ui::Button ButtonExit{&BottomPanel, "ButtonExit"};
  // Two labels of the bottom bar, left and right of the buttons' row; they stay empty.
  ui::Label LeftNoteLabel{&BottomPanel, "Label1"};
  ui::Label RightNoteLabel{&BottomPanel, "Label2"};

  ui::PopupMenu PageMenu{this, "PageMenu"};

 private:
  // Start-up steps.
  void SetFixedCaptions();
  bool CheckTools();
  void ParseCommandLine();
  void SetRowCaptions();
  void DecideAvailability();
  void ReadConfiguration();
  void SetUpRows();
  int StartPage() const;
  void BuildPageMenu();
  void EndProgram();
  void SystemError(const std::string& kind, const std::string& message);

  // Shutdown.
  void ShutDown();

  void KeyDown(uint16_t& key, unsigned shift);
  void PageEntered(int number);
  void ShowAbout();
  void OpenSite();
  bool IsShown(const ui::TabSheet& sheet) const;

  // What the working directory page's buttons do next. Each setter gives its button the caption
  // that says it; no action is chosen by reading a caption back.
  enum class ResultsAction { kCreate, kDelete };
  enum class SamplesAction { kCopy, kDelete };
  // Found: Change starts the chooser at the working directory ("Change [F5]"); until a refresh
  // has found one, at the first drive root ("Def [F5]").
  void SetWorkDirFound(bool found);
  void SetResultsAction(ResultsAction action);
  void SetSamplesAction(SamplesAction action);

  // The working directory page's refresh.
  void FillEnvironmentCombo(const EnvChoice& preselect);
  void BuildSampleList(const EnvChoice& env);
  void SelectEnvironment(const std::string& display_name);
  void CreateResults();
  void DeleteResults();

  // The status refresh of one environment, without drawing it: what the status line says and
  // whether the IDE's executable is missing. Registers known packages and the add-in on the way.
  struct EnvStatus {
    std::string text;
    ui::Color color = ui::kRed;
    bool exe_missing = false;
  };
  EnvStatus UpdateEnvStatus(EnvRow& row);
  // The environments page's check mark of an entry: set when the row is available and its
  // modules are installed or its page reports no problem.
  void ApplyCheckRule(int index);
  EnvRow* SelectedEnv();

  // Empties the row's module folder and takes its page out of the page list and menu; the
  // leftovers are reported. Returns the removed page's position (0 when it had none).
  int RemoveEnvironment(EnvRow& row);
  void CopySamples();
  void DeleteSamples();
  // The .NET project templates of the environments whose module folder exists.
  std::vector<std::string> InstalledTemplates();

  // Runs an event handler the way the application does: an error is shown in an error box.
  void Guarded(const std::function<void()>& handler);
  ui::Control::Event Handler(void (SetupWindow::*method)());
  ui::Control::Event SenderHandler(void (SetupWindow::*method)(ui::Control&));

  platform::Platform& platform_;
  Catalogue catalogue_;
  std::vector<std::unique_ptr<EnvPage>> env_pages_;
  std::vector<ui::TabSheet*> pages_;
  int current_page_ = 0;

  std::string install_dir_;  // ends in "\"
  std::string config_path_;
  std::string source_dir_;
  std::string start_argument_;
  bool fast_mode_ = false;
  bool ended_early_ = false;
  SetupConfig config_;
  EnvChoice current_;
  std::string default_user_name_;
  std::vector<std::string> sample_list_;
  std::string sample_folder_;
  bool work_dir_found_ = false;
  ResultsAction results_action_ = ResultsAction::kCreate;
  SamplesAction samples_action_ = SamplesAction::kCopy;
  std::minstd_rand random_;
  std::unique_ptr<IdeDetector> detector_;
  std::unique_ptr<IdeModules> ide_;

  AboutDialog* about_ = nullptr;
  UserNameDialog* user_name_dialog_ = nullptr;
  NetOutputDialog* net_output_dialog_ = nullptr;
};

}  // namespace vl4
