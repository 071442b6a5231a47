// The Visual Basic add-in of the Visual Basic 5 and 6 rows: built by the IDE itself when
// missing, listed in the IDE's add-in list (vbaddin.ini in the Windows directory) and registered
// with Windows by regsvr32, which is started and not waited for.
#include "platform/path.h"
#include "platform/platform.h"
#include "setup/config.h"
#include "setup/ide/ide_modules.h"

namespace vl4 {

namespace {

constexpr char kAddInSection[] = "Add-Ins32";
constexpr char kAddInKey[] = "vl4addin.VL4ToolsForVB";  // the add-in's COM program identifier

std::string AddInList(platform::System& system) {
  return IncludeTrailingBackslash(system.WindowsDirectory()) + "vbaddin.ini";
}

// Where regsvr32.exe lies, without a final "\".
std::string SystemDir(platform::System& system) {
  return ExcludeTrailingBackslash(system.SystemDirectory());
}

std::string AddInLibrary(const EnvRow& row, const std::string& install_dir) {
  return row.ModuleFolder(install_dir) + "\\vl4addin.dll";
}

}  // namespace

// The add-in library is built by the IDE itself; its log goes to vl4addin.inf.
void IdeModules::InstallVbAddin(const EnvRow& row) {
  platform::Files& files = platform_.files();
  const std::string folder = row.ModuleFolder(install_dir_);
  const std::string base = folder + "\\vl4addin";
  if (files.FileExists(base + ".dll")) return;
  if (!files.FileExists(base + ".vbp") || !files.FileExists(row.exe_path)) return;
  RunProgram(row.exe_path, "/makedll \"" + base + ".vbp\" /out \"" + base + ".inf\"       ", folder,
             DisplayMode::kMinimizedNoActivate);
  WaitForProgram(kBuildPolls);
}

// The list entry stands for a registration that was started: it is written together with the
// start of regsvr32, never before the library exists. Otherwise an add-in library that was built
// after the first refresh (a Visual Basic build slower than the setup tool's wait) would be
// listed but never registered, while the status told the user the tools were in the menu.
bool IdeModules::RegisterVbAddin(const EnvRow& row) {
  platform::Files& files = platform_.files();
  platform::Profile& profile = platform_.profile();
  const std::string list = AddInList(platform_.system());
  const std::string library = AddInLibrary(row, install_dir_);
  const bool built = files.FileExists(library);
  const bool listed = ReadBool(profile, list, kAddInSection, kAddInKey, false);
  if (listed && built) return true;

  const std::string system_dir = SystemDir(platform_.system());
  const std::string regsvr32 = system_dir + "\\regsvr32.exe";
  if (!built || !files.FileExists(regsvr32)) return false;
  const bool started =
      RunProgram(regsvr32, "/s \"" + library + "\"", system_dir, DisplayMode::kMinimizedNoActivate);
  if (started && !listed) profile.WriteString(list, kAddInSection, kAddInKey, "1");
  return started;
}

}  // namespace vl4
