// The output directory of the .NET environments' project templates: the dialog that chooses it
// and the rewriting of the output path inside the templates of the installation directory.
#include "platform/path.h"
#include "platform/platform.h"
#include "platform/text.h"
#include "platform/text_file.h"
#include "setup/dialogs/net_output_dialog.h"
#include "setup/file_replace.h"
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

// While a template is rewritten it has two more names: its new copy (the template's name + "1")
// and the old template put aside.
std::string NewCopy(const std::string& path) {
  return path + "1";
}
std::string PutAside(const std::string& path) {
  return path + ".OLD";
}

// The template is written anew beside itself and then takes the old one's place; any failure
// leaves the old template as it was.
void RewriteTemplate(platform::Files& files, const std::string& path,
                     const std::string& output_dir) {
  std::optional<std::vector<std::string>> lines = platform::ReadTextFile(files, path);
  if (!lines) return;
  for (std::string& line : *lines) line = RewriteLine(line, output_dir);
  if (!platform::WriteTextFile(files, NewCopy(path), *lines)) {
    files.DeleteFile(NewCopy(path));
    return;
  }
  ReplaceFile(files, path, NewCopy(path), PutAside(path));
}

// A template missing beside its new copy was lost in the middle of a rewrite (the program ended,
// or the old one could not be put back). The copy was complete by then, as the old template is
// only moved once the copy is written, so it takes the template's place.
void RecoverTemplate(platform::Files& files, const std::string& path) {
  if (files.FileExists(path) || !files.FileExists(NewCopy(path))) return;
  if (files.MoveFile(NewCopy(path), path)) files.DeleteFile(PutAside(path));
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

std::vector<std::string> SetupWindow::InstalledTemplates() {
  std::vector<std::string> paths;
  for (const Template& t : kTemplates) {
    const std::string folder = catalogue_.ByCode(t.env_code)->ModuleFolder(install_dir_);
    if (platform_.files().DirectoryExists(folder)) paths.push_back(folder + "\\" + t.file_name);
  }
  return paths;
}

void SetupWindow::RewriteTemplates(bool use_local_dir, const std::string& local_dir_name) {
  const std::string output_dir = IncludeTrailingBackslash(use_local_dir ? local_dir_name : ".");
  for (const std::string& path : InstalledTemplates()) {
    RewriteTemplate(platform_.files(), path, output_dir);
  }
}

void SetupWindow::RecoverTemplates() {
  for (const std::string& path : InstalledTemplates()) RecoverTemplate(platform_.files(), path);
}

}  // namespace vl4
