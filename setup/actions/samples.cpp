// The samples button: copies the current environment's sample files into the working directory
// and, once they are there, deletes them again. Its caption says which it does next.
#include "platform/platform.h"
#include "setup/setup_texts.h"
#include "setup/setup_window.h"

namespace vl4 {

namespace {

// "Heading:\r\na, b, c." for each list that has names; the lists are separated by a line break.
std::string Report(const std::vector<std::pair<const char*, std::vector<std::string>>>& parts) {
  std::string text;
  for (const auto& [heading, names] : parts) {
    if (names.empty()) continue;
    if (!text.empty()) text += "\r\n";
    text += std::string(heading) + "\r\n";
    for (size_t i = 0; i < names.size(); ++i) text += (i > 0 ? ", " : "") + names[i];
    text += ".";
  }
  return text;
}

}  // namespace

void SetupWindow::ButtonSamplesClick() {
  if (samples_action_ == SamplesAction::kCopy) {
    CopySamples();
  } else {
    DeleteSamples();
  }
}

// The report names what was done: a sample that could not be copied (it left the sample folder,
// or the working directory refused it) is named as such, not as added.
void SetupWindow::CopySamples() {
  platform::Files& files = platform_.files();
  const std::string from = install_dir_ + "SAMPLES\\" + sample_folder_ + "\\";
  std::vector<std::string> copied, failed;
  for (const std::string& name : sample_list_) {
    const bool ok = files.FileExists(from + name) &&
                    files.CopyFile(from + name, config_.work_dir + "\\" + name, false);
    (ok ? copied : failed).push_back(name);
  }
  SetSamplesAction(SamplesAction::kDelete);
  const std::string report =
      sample_list_.empty()
          ? std::string(texts::kNoSamples)
          : Report({{texts::kSamplesAdded, copied}, {texts::kSamplesNotAdded, failed}});
  App().MessageDlg(report, ui::MsgKind::kInformation, ui::MsgButtons::kOK, this);
}

// Only the listed files are touched; other files of the working directory stay.
void SetupWindow::DeleteSamples() {
  platform::Files& files = platform_.files();
  std::vector<std::string> deleted, failed;
  for (const std::string& name : sample_list_) {
    const std::string path = config_.work_dir + "\\" + name;
    if (!files.FileExists(path)) continue;
    (files.DeleteFile(path) ? deleted : failed).push_back(name);
  }
  SetSamplesAction(SamplesAction::kCopy);
  const std::string report =
      deleted.empty() && failed.empty()
          ? std::string(texts::kSamplesNotFound)
          : Report({{texts::kSamplesDeleted, deleted}, {texts::kSamplesNotDeleted, failed}});
  App().MessageDlg(report, ui::MsgKind::kInformation, ui::MsgButtons::kOK, this);
}

}  // namespace vl4
