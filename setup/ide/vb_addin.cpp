// The Visual Basic add-in of the Visual Basic 5 and 6 rows: built by the IDE itself when
// missing, listed in the IDE's add-in list (vbaddin.ini in the Windows directory) and registered
// with Windows by regsvr32, which is started and not waited for; and the same taken out again.
#include "platform/path.h"
#include "platform/platform.h"
#include "platform/text.h"
#include "platform/text_file.h"
#include "setup/config.h"
#include "setup/ide/ide_modules.h"

namespace vl4 {

namespace {

constexpr char kAddInSection[] = "Add-Ins32";
constexpr char kAddInKey[] = "vl4addin.VL4ToolsForVB";  // the add-in's COM program identifier
// regsvr32 /u must have ended before its library is deleted; it gets ten seconds.
constexpr int kUnregisterPolls = 100;

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

// Whether the list's section holds nothing but blank lines. The profile functions cannot tell an
// empty section from a missing one, so the file is read as text; anything else in it (a key, a
// comment) counts as someone else's.
bool SectionEmpty(platform::Files& files, const std::string& list, std::string_view section) {
  const std::optional<std::vector<std::string>> lines = platform::ReadTextFile(files, list);
  if (!lines) return false;
  bool inside = false;
  for (const std::string& line : *lines) {
    const std::string text = Trim(line);
    if (!text.empty() && text.front() == '[') {
      if (inside) return true;
      inside = text.back() == ']' && SameText(Trim(text.substr(1, text.size() - 2)), section);
    } else if (inside && !text.empty()) {
      return false;
    }
  }
  return inside;
}

// Whether the key is in the section, whatever its value: a missing key is the only one that reads
// as both defaults.
bool KeyPresent(platform::Profile& profile, const std::string& list, const std::string& section,
                const std::string& key) {
  return profile.ReadString(list, section, key, "0") != "0" ||
         profile.ReadString(list, section, key, "1") != "1";
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

// Visual Basic loads what its list names, through the registration: the entry goes first, then the
// registration, then the library. Whatever cannot go keeps what comes after it, so the IDE is never
// left listing an add-in that is not registered, nor with a registration whose library is missing.
// Visual Basic 5 and 6 share the entry (one program identifier); the first row undone takes it out.
IdeRemoval IdeModules::UninstallVbAddin(const EnvRow& row) {
  platform::Files& files = platform_.files();
  platform::Profile& profile = platform_.profile();
  const std::string list = AddInList(platform_.system());
  const std::string library = AddInLibrary(row, install_dir_);
  const bool built = files.FileExists(library);
  const IdeItem registration{IdeItem::Kind::kAddInRegistration, library, ""};
  const IdeItem library_item{IdeItem::Kind::kAddInLibrary, library, ""};
  IdeRemoval removal;

  if (KeyPresent(profile, list, kAddInSection, kAddInKey)) {
    const IdeItem entry{IdeItem::Kind::kAddInListEntry, list,
                        std::string(kAddInSection) + "\\" + kAddInKey};
    if (!profile.DeleteKey(list, kAddInSection, kAddInKey) ||
        KeyPresent(profile, list, kAddInSection, kAddInKey)) {
      removal.left.push_back({entry, IdeRemoval::Reason::kRefused});
      if (built) {
        removal.left.push_back({registration, IdeRemoval::Reason::kStillUsed});
        removal.left.push_back({library_item, IdeRemoval::Reason::kStillUsed});
      }
      return removal;
    }
    removal.removed.push_back(entry);
    if (SectionEmpty(files, list, kAddInSection)) {
      const IdeItem section{IdeItem::Kind::kAddInListSection, list, kAddInSection};
      if (profile.DeleteSection(list, kAddInSection)) {
        removal.removed.push_back(section);
      } else {
        removal.left.push_back({section, IdeRemoval::Reason::kRefused});
      }
    }
  }

  // Without the library there is nothing regsvr32 could unregister.
  if (!built) return removal;
  const std::string system_dir = SystemDir(platform_.system());
  const std::string regsvr32 = system_dir + "\\regsvr32.exe";
  bool unregistered = false;
  if (files.FileExists(regsvr32) && RunProgram(regsvr32, "/u /s \"" + library + "\"", system_dir,
                                               DisplayMode::kMinimizedNoActivate)) {
    WaitForProgram(kUnregisterPolls);
    unregistered = ProgramSucceeded();
  }
  if (!unregistered) {
    removal.left.push_back({registration, IdeRemoval::Reason::kRefused});
    removal.left.push_back({library_item, IdeRemoval::Reason::kStillUsed});
    return removal;
  }
  removal.removed.push_back(registration);
  if (DeletePlacedFile(library)) {
    removal.removed.push_back(library_item);
  } else {
    removal.left.push_back({library_item, IdeRemoval::Reason::kRefused});
  }
  return removal;
}

}  // namespace vl4
