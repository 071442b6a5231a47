// The output directory of the .NET environments' project templates: the dialog that chooses it
// and the rewriting of the output path inside the templates of the installation directory.
#include "platform/path.h"
#include "platform/platform.h"
#include "platform/text.h"
#include "platform/text_file.h"
#include "setup/dialogs/net_output_dialog.h"
#include "setup/setup_window.h"

namespace vl4 {

namespace {

struct Template {
  const char* env_code;
  const char* file_name;
};

constexpr Template kTemplates[] = {
    {"VB7", "vlprj.vbproj"},     {"VB8", "vlprj.vbproj"},     {"VB9", "vlprj.vbproj"},
    {"VBNET1", "vlprj.vbproj"},  {"VBNET2", "vlprj.vbproj"},  {"VBNET3", "vlprj.vbproj"},
    {"VCSNET1", "vlprj.csproj"}, {"VCSNET2", "vlprj.csproj"}, {"VCSNET3", "vlprj.csproj"},
};

// The two forms a template names its output path in: an MSBuild element and the older
// project format's attribute. Other lines are kept as they are.
std::string RewriteLine(const std::string& line, const std::string& output_dir) {
  if (line.find("<OutputPath>") != std::string::npos) {
    return "    <OutputPath>" + output_dir + "</OutputPath>";
  }
  if (line.find("OutputPath = ") != std::string::npos) {
    return std::string(20, ' ') + "OutputPath = \"" + output_dir + "\"";
  }
  return line;
}

// The template is written anew beside itself (its name + "1") and then takes the old one's
// place; any failure leaves the old template as it was.
void RewriteTemplate(platform::Files& files, const std::string& path,
                     const std::string& output_dir) {
  std::optional<std::vector<std::string>> lines = platform::ReadTextFile(files, path);
  if (!lines) return;
  for (std::string& line : *lines) line = RewriteLine(line, output_dir);
  const std::string temporary = path + "1";
  if (!platform::WriteTextFile(files, temporary, *lines) || !files.DeleteFile(path)) {
    files.DeleteFile(temporary);
    return;
  }
  files.MoveFile(temporary, path);
}

}  // namespace

void SetupWindow::ButtonNetOutputClick() {
  if (net_output_dialog_ == nullptr) return;
  NetOutputDialog& dialog = *net_output_dialog_;
  dialog.Prepare(config_.use_local_dir, config_.local_dir_name, config_.work_dir);
  if (dialog.ShowModal() != ui::ModalResult::kOK) return;
  const bool use_local_dir = dialog.UseLocalDirCheck.Checked();
  const std::string local_dir_name = Trim(dialog.LocalDirEdit.Text());
  if (use_local_dir != config_.use_local_dir ||
      (use_local_dir && UpperCase(local_dir_name) != UpperCase(config_.local_dir_name))) {
    RewriteTemplates(use_local_dir, local_dir_name);
  }
  // The letter case the user typed is kept even when nothing had to be rewritten.
  config_.use_local_dir = use_local_dir;
  config_.local_dir_name = local_dir_name;
}

void SetupWindow::RewriteTemplates(bool use_local_dir, const std::string& local_dir_name) {
  platform::Files& files = platform_.files();
  const std::string output_dir = IncludeTrailingBackslash(use_local_dir ? local_dir_name : ".");
  for (const Template& t : kTemplates) {
    const EnvRow* row = catalogue_.ByCode(t.env_code);
    const std::string folder = row->ModuleFolder(install_dir_);
    if (!files.DirectoryExists(folder)) continue;
    RewriteTemplate(files, folder + "\\" + t.file_name, output_dir);
  }
}

}  // namespace vl4
