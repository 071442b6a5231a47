// Putting the product's modules into an IDE, by family: the Delphi and C++Builder tools package
// (compiled with the IDE's own command-line compiler when missing, copied into the IDE's library
// directory, registered among its known packages), the Borland .NET package (copied), the Visual
// Basic add-in library (built with the IDE when missing). Installing again changes nothing that
// is in place: an existing package or library is never rebuilt, a known-package value is kept.
#include "platform/exception.h"
#include "platform/path.h"
#include "platform/platform.h"
#include "platform/text.h"
#include "setup/ide/ide_family.h"
#include "setup/setup_texts.h"
#include "setup/setup_window.h"

namespace vl4 {

void SetupWindow::SetPackageNames(EnvRow& row) {
  row.aux_files.clear();
  const IdeFamily family = FamilyOf(row);
  if (family == IdeFamily::kDelphi || family == IdeFamily::kCppBuilder) {
    row.aux_files.push_back(ToolsPackageName(row));
  }
}

// The hidden Install button installs until the row carries the modules-installed mark.
void SetupWindow::InstallButtonClick(ui::Control& sender) {
  EnvRow* row = catalogue_.ByControl(&sender);
  if (row == nullptr) {
    App().ShowMessage(texts::kErrorButtonFrom, this);
    return;
  }
  if (!row->page->ModulesInstalled()) InstallModules(*row);
}

void SetupWindow::InstallModules(EnvRow& row) {
  switch (FamilyOf(row)) {
    case IdeFamily::kDelphi:
    case IdeFamily::kCppBuilder:
    case IdeFamily::kBorlandNet:
      InstallPackage(row);
      break;
    case IdeFamily::kVisualBasic:
      InstallVbAddin(row);
      break;
    case IdeFamily::kOther:
      break;
  }
}

// The compiler's success is not examined here: whether the package now lies in the module folder
// shows in the next status refresh. A compiler that is still running when the wait ends leaves
// the package for a later start.
void SetupWindow::InstallPackage(EnvRow& row) {
  platform::Files& files = platform_.files();
  const IdeFamily family = FamilyOf(row);
  const std::string folder = row.ModuleFolder(install_dir_);
  const std::string package = ToolsPackageName(row);
  const std::string path = folder + "\\" + package;
  if (family != IdeFamily::kBorlandNet) {
    const std::string base = ChangeFileExt(path, "");
    const std::string compiler = ExtractFilePath(row.exe_path) + "dcc32.exe";
    if (!files.FileExists(path) && files.FileExists(base + ".dpk") && files.FileExists(compiler)) {
      RunProgram(compiler, "\"" + base + ".dpk\"", folder, DisplayMode::kMinimizedNoActivate);
      WaitForProgram();
      files.DeleteFile(base + ".dcp");
      files.DeleteFile(base + ".dcu");
    }
  }
  if (row.library_dir.empty()) return;
  const std::string lib = row.library_dir + "\\";
  if (family == IdeFamily::kDelphi) {
    for (const std::string& name : row.aux_files) {
      files.CopyFile(folder + "\\" + name, lib + name, false);
    }
  } else {
    files.CopyFile(path, lib + package, false);
  }
}

// The add-in library is built by the IDE itself; its log goes to vl4addin.inf.
void SetupWindow::InstallVbAddin(EnvRow& row) {
  platform::Files& files = platform_.files();
  const std::string folder = row.ModuleFolder(install_dir_);
  const std::string base = folder + "\\vl4addin";
  if (files.FileExists(base + ".dll")) return;
  if (!files.FileExists(base + ".vbp") || !files.FileExists(row.exe_path)) return;
  RunProgram(row.exe_path, "/makedll \"" + base + ".vbp\" /out \"" + base + ".inf\"       ", folder,
             DisplayMode::kMinimizedNoActivate);
  WaitForProgram();
}

// The IDE loads the packages listed under its Known Packages key, which exists once the IDE has
// run; the key is never created here. A value the user or the IDE set is kept.
void SetupWindow::RegisterKnownPackage(EnvRow& row) {
  platform::Registry& registry = platform_.registry();
  constexpr platform::RootKey kRoot = platform::RootKey::kCurrentUser;
  const bool delphi = FamilyOf(row) == IdeFamily::kDelphi;
  const std::string key = KnownPackagesKey(row);
  const std::string package = ToolsPackageName(row);
  try {
    if (!registry.KeyExists(kRoot, key)) return;
    if (!platform_.files().FileExists(row.ModuleFolder(install_dir_) + "\\" + package)) {
      row.tools_in_menu = false;
      return;
    }
    const std::string name =
        (delphi ? row.library_dir + "\\" : std::string("$(BCB)\\Lib\\")) + package;
    const std::optional<std::string> value = registry.ReadString(kRoot, key, name);
    if (!value || value->empty()) {
      registry.WriteString(
          kRoot, key, name,
          Format(delphi ? texts::kKnownPackageDelphi : texts::kKnownPackageCppBuilder,
                 row.version_text.c_str()));
    }
    row.tools_in_menu = true;
  } catch (const ERegistryException&) {
    App().MessageDlg(texts::kCannotWriteRegistry, ui::MsgKind::kError, ui::MsgButtons::kOK, this);
  }
}

bool SetupWindow::RunProgram(const std::string& exe, const std::string& parameters,
                             const std::string& dir, DisplayMode mode) {
  static constexpr int kShowCommands[] = {platform::kSwShowNormal, platform::kSwShowMaximized,
                                          platform::kSwShowMinimized, platform::kSwShowMinNoActive};
  process_ =
      platform_.shell().Execute("", exe, parameters, dir, kShowCommands[static_cast<int>(mode)]);
  return process_ != nullptr;
}

// The outside build gets about two seconds; after that the setup tool goes on regardless.
void SetupWindow::WaitForProgram() {
  constexpr int kPolls = 20;
  constexpr uint32_t kInterval = 100;
  if (process_ == nullptr) return;
  platform::Shell& shell = platform_.shell();
  for (int poll = 0; poll < kPolls && process_->StillActive(); ++poll) shell.Sleep(kInterval);
  shell.Sleep(kInterval);
}

}  // namespace vl4
