// Start-up and shutdown of the setup window. Start-up runs while the window is created; an
// early end leaves the window unshown and skips shutdown, so nothing of the configuration is
// written back.
#include <chrono>

#include "platform/exception.h"
#include "platform/path.h"
#include "platform/platform.h"
#include "platform/text.h"
#include "setup/detection.h"
#include "setup/ide/ide_modules.h"
#include "setup/results/results_file.h"
#include "setup/setup_texts.h"
#include "setup/setup_window.h"
#include "setup/status_line.h"

namespace vl4 {

namespace {

constexpr const char* kTools[] = {"VL4Demo.exe", "VL4Load.exe", "VL4Res.exe"};

}  // namespace

void SetupWindow::StartUp() {
  SetFixedCaptions();
  // The sealing of the results file draws its filler from here.
  random_.seed(static_cast<std::minstd_rand::result_type>(
      std::chrono::system_clock::now().time_since_epoch().count()));
  SetCaption(texts::kAppTitle);
  platform::Files& files = platform_.files();
  try {
    install_dir_ = ExtractFilePath(platform_.system().ExePath());
    if (!CheckTools()) return;

    detector_ =
        std::make_unique<IdeDetector>(catalogue_, platform_.registry(), files, install_dir_);
    ide_ = std::make_unique<IdeModules>(platform_, install_dir_);
    config_path_ = install_dir_ + "VL.INI";
    ParseCommandLine();
    if (!source_dir_.empty() && files.FileExists(source_dir_ + "\\vl.ini")) {
      files.CopyFile(source_dir_ + "\\vl.ini", config_path_, false);
    }
    SetRowCaptions();

    pages_ = {&EnvsSheet};
    EnvsSheet.SetCaption(texts::kEnvsPageTitle);
    DecideAvailability();
    ButtonEnvsDelete.SetEnabled(EnvironmentList.Count() > 1);
    if (EnvironmentList.Count() == 0) {
      App().MessageDlg(texts::kNoEnvironments, ui::MsgKind::kError, ui::MsgButtons::kOK, this);
      EndProgram();
      return;
    }
    pages_.push_back(&WorkSheet);

    if (!files.SetCurrentDirectory(install_dir_)) {
      throw EInOutError(Format("Cannot change to the directory \"%s\"", install_dir_.c_str()));
    }
    RecoverTemplates();  // before reading vl.ini may rewrite them
    ReadConfiguration();

    ResultsHeader header;
    if (ReadResultsHeader(files, install_dir_, header) == kResultsOk && !header.env_code.empty()) {
      current_ = SplitEnvironmentCode(header.env_code);
    } else {
      current_ = SplitEnvironmentCode(config_.default_env);
    }

    SetUpRows();
    ButtonSamples.SetVisible(files.DirectoryExists(install_dir_ + "SAMPLES"));
    if (!config_.work_dir.empty() && !files.FileExists(ResultsFilePath(config_.work_dir))) {
      CreateResultsFile(files, config_.work_dir, install_dir_, default_user_name_, "|10", random_);
    }
    RefreshWorkPage();
    WriteProductKey(platform_.registry(), install_dir_);
    const std::string lib = install_dir_ + "LIB";
    if (!files.DirectoryExists(lib) && !files.CreateDirectory(lib)) {
      throw EInOutError(Format("Cannot create the directory \"%s\"", lib.c_str()));
    }

    const int start_page = StartPage();
    for (ui::TabSheet* page : PageArea.Pages()) page->SetTabVisible(false);
    ShowPage(start_page);
    BuildPageMenu();
    if (fast_mode_) EndProgram();
  } catch (const Exception& e) {
    SystemError(e.ClassName(), e.Message());
  } catch (const std::exception& e) {
    SystemError("Exception", e.what());
  }
}

void SetupWindow::SetFixedCaptions() {
  ButtonAbout.SetCaption(texts::kAbout);
  ButtonSite.SetCaption(texts::kSite);
  ButtonBack.SetCaption(texts::kBack);
  ButtonNext.SetCaption(texts::kNext);
  ButtonExit.SetCaption(texts::kExit);
  LabelEnvsExe.SetCaption(texts::kExecutableFile);
  ButtonEnvsBrowse.SetCaption(texts::kBrowse);
  ButtonEnvsDelete.SetCaption(texts::kDoNotUse);
  WorkSheet.SetCaption(texts::kWorkPageTitle);
  LabelWorkDir.SetCaption(texts::kWorkDirectory);
  SetWorkDirFound(false);
  LabelResults.SetCaption(texts::kResultsFile);
  SetResultsAction(ResultsAction::kCreate);
  LabelEnvironment.SetCaption(texts::kEnvironment);
  SetSamplesAction(SamplesAction::kCopy);
  ButtonNetOutput.SetCaption(texts::kNetOutput);
}

bool SetupWindow::CheckTools() {
  std::string missing;
  for (const char* tool : kTools) {
    if (platform_.files().FileExists(install_dir_ + tool)) continue;
    missing += (missing.empty() ? "" : ", ") + std::string(tool);
  }
  if (missing.empty()) return true;
  App().MessageDlg(
      std::string(texts::kToolsNotFound) + "\r\n" + missing + ".\r\n" + texts::kReinstall,
      ui::MsgKind::kError, ui::MsgButtons::kOK, this);
  EndProgram();
  return false;
}

// "-FAST" ends the program after start-up; an existing directory is the source directory (the
// last one wins), held as a full path because start-up moves into the installation directory
// before vl.ini is given back to it; the first argument may name the start page by its
// environment code.
void SetupWindow::ParseCommandLine() {
  const std::vector<std::string> arguments = platform_.system().Arguments();
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    bool special = false;
    if (UpperCase(argument) == "-FAST") {
      fast_mode_ = true;
      special = true;
    } else if (!argument.empty() && platform_.files().DirectoryExists(argument)) {
      source_dir_ = ExcludeTrailingBackslash(platform_.files().FullPath(argument));
      special = true;
    }
    if (i == 0 && !special) start_argument_ = UpperCase(argument);
  }
}

void SetupWindow::SetRowCaptions() {
  for (EnvRow& row : catalogue_.Rows()) {
    if (row.page == nullptr) continue;
    EnvPage& page = *row.page;
    page.Sheet.SetCaption(Format(texts::kEnvPageTitle, row.display_name.c_str()));
    page.CaptionLabel.SetCaption(texts::kExecutableFile);
    page.BrowseButton.SetCaption(texts::kBrowse);
    page.DeleteButton.SetCaption(texts::kDoNotUse);
    if (page.InstallButton) {
      page.SetModulesInstalled(false);
      page.InstallButton->SetVisible(false);
    }
  }
}

// A row is available when its module folder holds the unit file of its kind and its loader
// template; a .NET row may rely on the installation directory's vl4net.dll. Only the pages of
// available rows join the page list, and no other page can be shown.
void SetupWindow::DecideAvailability() {
  platform::Files& files = platform_.files();
  for (EnvRow& row : catalogue_.Rows()) {
    if (row.Empty()) continue;
    const std::string folder = row.ModuleFolder(install_dir_);
    bool unit = files.FileExists(folder + "\\" + UnitFileName(row.kind));
    if (!unit && row.kind == EnvKind::kDotNet) unit = files.FileExists(install_dir_ + "vl4net.dll");
    row.available = unit && files.FileExists(folder + "\\" + row.loader_template);
    if (row.available) {
      EnvironmentList.AddItem(row.display_name);
      pages_.push_back(&row.page->Sheet);
    }
  }
}

void SetupWindow::ReadConfiguration() {
  auto login = platform_.system().UserName();
  default_user_name_ = login && !login->empty() ? login->substr(0, kUserNameLength)
                                                : std::string(texts::kDefaultUserName);
  try {
    config_ = ReadSetupConfig(platform_, config_path_, catalogue_,
                              [this](bool use_local_dir, const std::string& local_dir_name) {
                                RewriteTemplates(use_local_dir, local_dir_name);
                              });
  } catch (...) {
    App().ShowMessage(texts::kCannotReadIni, this);
    throw;
  }
}

// Each available IDE is looked for where vl.ini does not say, and its modules are brought up
// to date.
void SetupWindow::SetUpRows() {
  platform::Files& files = platform_.files();
  for (EnvRow& row : catalogue_.Rows()) {
    if (!row.available) continue;
    if (row.has_install) {
      if (!files.DirectoryExists(row.library_dir) ||
          !detector_->LibraryDirCheck(row, row.library_dir)) {
        row.library_dir = detector_->DetectLibraryDir(row);
      }
      SetPackageNames(row);
      if (row.exe_path.empty()) row.exe_path = detector_->DetectExecutable(row);
      row.page->PathEdit.SetText(row.exe_path);
      if (!row.exe_path.empty()) InstallButtonClick(*row.page->InstallButton);
      RefreshEnvStatus(row);
    } else {
      if (row.exe_path.empty()) row.exe_path = detector_->DetectExecutable(row);
      RefreshEnvStatus(row);
    }
  }
}

int SetupWindow::StartPage() const {
  if (start_argument_.empty()) return 1;
  for (const EnvRow& row : catalogue_.Rows()) {
    if (row.Empty() || row.Code() != start_argument_) continue;
    if (int number = PageNumber(row.page->Sheet); number > 0) return number;
  }
  return 1;
}

void SetupWindow::EndProgram() {
  ended_early_ = true;
  SetWindowState(ui::WindowState::kMinimized);
  App().Terminate();
}

void SetupWindow::SystemError(const std::string& kind, const std::string& message) {
  App().MessageDlg(Format(texts::kSystemError, kind.c_str(), message.c_str()), ui::MsgKind::kError,
                   ui::MsgButtons::kOK, this);
  EndProgram();
}

void SetupWindow::ShutDown() {
  if (ended_early_) return;
  WriteSetupConfig(
      platform_, config_path_, catalogue_, config_, current_,
      [](const EnvRow& row) { return row.page != nullptr && row.page->StatusRed(); }, install_dir_);
  if (!source_dir_.empty()) {
    platform_.files().CopyFile(config_path_, source_dir_ + "\\vl.ini", false);
  }
}

}  // namespace vl4
