// The Visual Basic add-in: listed in the IDE's add-in list (vbaddin.ini in the Windows directory)
// and registered with Windows by regsvr32, which is started and not waited for.
#include "platform/path.h"
#include "platform/platform.h"
#include "setup/setup_window.h"

namespace vl4 {

namespace {

constexpr char kAddInList[] = "vbaddin.ini";
constexpr char kAddInSection[] = "Add-Ins32";
constexpr char kAddInKey[] = "vl4addin.VL4ToolsForVB";  // the add-in's COM program identifier

}  // namespace

// The list entry stands for a registration that was started: it is written together with the
// start of regsvr32, never before the library exists. Otherwise an add-in library that was built
// after the first refresh (a Visual Basic build slower than the setup tool's wait) would be
// listed but never registered, while the status told the user the tools were in the menu.
void SetupWindow::RegisterVbAddin(EnvRow& row) {
  platform::Files& files = platform_.files();
  platform::Profile& profile = platform_.profile();
  const std::string list =
      IncludeTrailingBackslash(platform_.system().WindowsDirectory()) + kAddInList;
  const std::string library = row.ModuleFolder(install_dir_) + "\\vl4addin.dll";
  const bool built = files.FileExists(library);
  const bool listed = ReadBool(profile, list, kAddInSection, kAddInKey, false);
  row.tools_in_menu = listed && built;
  if (row.tools_in_menu) return;

  const std::string system_dir = ExcludeTrailingBackslash(platform_.system().SystemDirectory());
  const std::string regsvr32 = system_dir + "\\regsvr32.exe";
  if (!built || !files.FileExists(regsvr32)) return;
  row.tools_in_menu =
      RunProgram(regsvr32, "/s \"" + library + "\"", system_dir, DisplayMode::kMinimizedNoActivate);
  if (row.tools_in_menu && !listed) profile.WriteString(list, kAddInSection, kAddInKey, "1");
}

}  // namespace vl4
