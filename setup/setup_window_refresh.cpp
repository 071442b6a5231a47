// The state refresh of the working directory page: the working directory, the results file's
// state, the environment list and the sample list, all recomputed from disk and configuration.
#include "platform/files.h"
#include "platform/path.h"
#include "platform/platform.h"
#include "platform/text.h"
#include "setup/results/results_file.h"
#include "setup/setup_texts.h"
#include "setup/setup_window.h"
#include "setup/status_line.h"

namespace vl4 {

namespace {

constexpr size_t kMaxSamples = 100;

void SetWorkStatus(ui::Label& status, const char* message, ui::Color color) {
  SetStatus(status, std::string("\r\n") + message, color);
}

}  // namespace

void SetupWindow::RefreshWorkPage() {
  platform::Files& files = platform_.files();
  const EnvChoice env_at_start = current_;

  if (config_.work_dir.empty() || !files.DirectoryExists(config_.work_dir)) {
    config_.work_dir.clear();
    LabelWorkStatus.SetCaption(std::string("\r\n") + texts::kWorkDirMustBeSpecified);
    EditWorkDir.SetText("");
    ButtonChangeDir.SetEnabled(true);
    // Without a working directory there is no results file to create or delete, and no place for
    // the samples.
    ButtonResults.SetEnabled(false);
    ButtonSamples.SetEnabled(false);
    ComboEnvironment.ClearItems();
    ComboEnvironment.SetEnabled(false);
    sample_list_.clear();
    ButtonExit.SetCaption(texts::kExit);
    return;
  }

  const std::string shown_dir =
      config_.work_dir.back() == ':' ? config_.work_dir + "\\" : config_.work_dir;
  EditWorkDir.SetText(shown_dir);
  ButtonChangeDir.SetEnabled(true);
  SetWorkDirFound(true);
  ButtonResults.SetEnabled(true);

  const std::optional<std::string> user_name = ReadUserName(files, shown_dir);
  EditUserName.SetText(user_name ? TrimRight(*user_name) : std::string());

  ResultsHeader header;
  ReadResultsHeader(files, config_.work_dir, header);
  FillEnvironmentCombo(
      SplitEnvironmentCode(header.env_code.empty() ? config_.default_env : header.env_code));

  if (ButtonSamples.Visible()) BuildSampleList(env_at_start);

  if (!files.FileExists(ResultsFilePath(config_.work_dir))) {
    SetWorkStatus(LabelWorkStatus, texts::kResultsNotFound, ui::kRed);
    SetResultsAction(ResultsAction::kCreate);
    ButtonExit.SetCaption(texts::kExit);
    return;
  }
  // A sealed record that fails its check means the file was damaged or edited by hand.
  if (!user_name) {
    EditUserName.SetFontColor(ui::kRed);
    SetResultsAction(ResultsAction::kDelete);
    SetWorkStatus(LabelWorkStatus, texts::kResultsCorrupted, ui::kRed);
    ButtonExit.SetCaption(texts::kExit);
    return;
  }
  EditUserName.SetFontColor(ui::kBlack);
  SetResultsAction(ResultsAction::kDelete);
  SelectEnvironment(ComboEnvironment.Text());
  CompleteWorkDir();

  if (ComboEnvironment.Text() != texts::kNotDefined) {
    SetWorkStatus(LabelWorkStatus, texts::kWorkDirDefined, ui::kBlack);
    if (IsShown(WorkSheet)) ButtonExit.SetCaption(texts::kFinish);
  } else {
    SetWorkStatus(LabelWorkStatus, texts::kSelectEnvironment, ui::kRed);
    ButtonExit.SetCaption(texts::kExit);
  }
}

// The list offers every available environment whose page reports no problem, or whose modules
// are installed; the environments page's check marks follow it.
void SetupWindow::FillEnvironmentCombo(const EnvChoice& preselect) {
  ComboEnvironment.SetEnabled(true);
  ComboEnvironment.ClearItems();
  ComboEnvironment.SetItemIndex(-1);
  for (EnvRow& row : catalogue_.Rows()) {
    if (row.Empty()) continue;
    const int entry = EnvironmentList.IndexOf(row.display_name);
    bool offered = row.available;
    if (offered) {
      const bool red = row.page->StatusRed();
      offered = row.has_install ? row.page->ModulesInstalled() || !red : !red;
    }
    EnvironmentList.SetChecked(entry, offered);
    if (!offered) continue;
    const int index = ComboEnvironment.AddItem(row.display_name);
    if (row.family_key == preselect.family_key && row.version == preselect.version) {
      ComboEnvironment.SetItemIndex(index);
    }
  }
  if (ComboEnvironment.ItemIndex() >= 0) return;
  if (ComboEnvironment.Count() == 0) {
    ComboEnvironment.SetItemIndex(ComboEnvironment.AddItem(texts::kNotDefined));
    return;
  }
  const EnvRow* by_default = catalogue_.ByCode(UpperCase(config_.default_env));
  const int index = by_default ? ComboEnvironment.IndexOf(by_default->display_name) : -1;
  ComboEnvironment.SetItemIndex(index >= 0 ? index : 0);
}

// The samples of the environment: SAMPLES\<family><version>, else SAMPLES\<family>.
void SetupWindow::BuildSampleList(const EnvChoice& env) {
  platform::Files& files = platform_.files();
  sample_list_.clear();
  sample_folder_.clear();
  const std::string samples = install_dir_ + "SAMPLES\\";
  if (catalogue_.ByDisplayName(ComboEnvironment.Text()) != nullptr && !env.family_key.empty()) {
    const std::string numbered = env.family_key + std::to_string(env.version);
    if (files.DirectoryExists(samples + numbered)) {
      sample_folder_ = numbered;
    } else if (files.DirectoryExists(samples + env.family_key)) {
      sample_folder_ = env.family_key;
    }
  }
  if (!sample_folder_.empty()) {
    constexpr uint32_t kNotPlain =
        platform::kAttrDirectory | platform::kAttrHidden | platform::kAttrSystem;
    for (const platform::FindEntry& entry : files.FindFiles(samples + sample_folder_ + "\\*.*")) {
      if (sample_list_.size() == kMaxSamples) break;
      if ((entry.attributes & kNotPlain) == 0) sample_list_.push_back(entry.name);
    }
  }
  SetSamplesAction(SamplesAction::kCopy);
  ButtonSamples.SetEnabled(!sample_list_.empty());
  if (sample_list_.empty()) return;
  size_t present = 0;
  for (const std::string& name : sample_list_) {
    if (files.FileExists(config_.work_dir + "\\" + name)) ++present;
  }
  if (present == sample_list_.size()) SetSamplesAction(SamplesAction::kDelete);
}

void SetupWindow::SetWorkDirFound(bool found) {
  work_dir_found_ = found;
  ButtonChangeDir.SetCaption(found ? texts::kChange : texts::kDef);
}

void SetupWindow::SetResultsAction(ResultsAction action) {
  results_action_ = action;
  ButtonResults.SetCaption(action == ResultsAction::kCreate ? texts::kCreate : texts::kDelete);
}

void SetupWindow::SetSamplesAction(SamplesAction action) {
  samples_action_ = action;
  ButtonSamples.SetCaption(action == SamplesAction::kCopy ? texts::kCopySamples
                                                          : texts::kDeleteSamples);
}

void SetupWindow::ComboEnvironmentChange() {
  SelectEnvironment(ComboEnvironment.Text());
  RefreshWorkPage();
}

// The chosen environment becomes the current one and goes into the results header.
void SetupWindow::SelectEnvironment(const std::string& display_name) {
  const EnvRow* row = catalogue_.ByDisplayName(display_name);
  current_ = row ? EnvChoice{row->family_key, row->version} : EnvChoice{};
  RewriteResultsHeader(platform_.files(), config_.work_dir, 0, row ? row->Code() : std::string(),
                       install_dir_);
}

}  // namespace vl4
