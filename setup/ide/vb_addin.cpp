// The Visual Basic add-in of the Visual Basic 5 and 6 rows: built by the IDE itself when
// missing, listed in the IDE's add-in list (vbaddin.ini in the Windows directory) and registered
// with Windows by regsvr32, which is started and not waited for; and the same taken out again.
#include "platform/exception.h"
#include "platform/path.h"
#include "platform/platform.h"
#include "platform/text.h"
#include "platform/text_file.h"
#include "setup/config.h"
#include "setup/ide/ide_modules.h"

namespace vl4 {

namespace {

constexpr char kAddInSection[] = "Add-Ins32";
// The add-in's key in the list, which is also its COM program identifier.
constexpr char kAddInKey[] = "vl4addin.VL4ToolsForVB";
// regsvr32 /u must have ended before its library is deleted; it gets ten seconds.
constexpr int kUnregisterPolls = 100;

std::string AddInList(platform::System& system) {
  return IncludeTrailingBackslash(system.WindowsDirectory()) + "vbaddin.ini";
}

std::string AddInLibrary(const EnvRow& row, const std::string& install_dir) {
  return row.ModuleFolder(install_dir) + "\\vl4addin.dll";
}

// The library Windows loads for the add-in: its program identifier names a class whose in-process
// server that is ("" when none is registered). Read in the program's own registry view, where the
// 32-bit regsvr32 registers a 32-bit library. Nothing when the registry cannot tell.
std::optional<std::string> RegisteredServer(platform::Platform& platform) {
  constexpr platform::RootKey kClasses = platform::RootKey::kClassesRoot;
  try {
    const std::optional<std::string> clsid =
        platform.registry().ReadString(kClasses, std::string("\\") + kAddInKey + "\\CLSID", "");
    if (!clsid || clsid->empty()) return std::string();
    return platform.registry()
        .ReadString(kClasses, "\\CLSID\\" + *clsid + "\\InprocServer32", "")
        .value_or("");
  } catch (const ERegistryException&) {
    return std::nullopt;
  }
}

// The same file: the same path, or the same by their short paths.
bool SameFile(platform::Files& files, const std::string& a, const std::string& b) {
  if (SameText(a, b)) return true;
  const std::string short_a = files.ShortPath(a);
  return !short_a.empty() && SameText(short_a, files.ShortPath(b));
}

// Whether Windows loads `library` for the add-in; nothing when the registry cannot tell.
std::optional<bool> RegisteredAs(platform::Platform& platform, const std::string& library) {
  const std::optional<std::string> server = RegisteredServer(platform);
  if (!server) return std::nullopt;
  return !server->empty() && SameFile(platform.files(), *server, library);
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

// Visual Basic loads the add-in its list names through the registration of its program
// identifier, so the list entry and the registration are judged apart: an entry is there for an
// installation in another folder or from a build that listed the add-in before its library
// existed, and neither registered this library. regsvr32 is started whenever the registration is
// missing or names another library; the entry is written once the library is registered or its
// registration started, never before the library exists.
bool IdeModules::RegisterVbAddin(const EnvRow& row) {
  platform::Files& files = platform_.files();
  platform::Profile& profile = platform_.profile();
  const std::string list = AddInList(platform_.system());
  const std::string library = AddInLibrary(row, install_dir_);
  if (!files.FileExists(library)) return false;

  // A registration this object started may still be running: it counts, so that the next
  // refresh does not start it again. A registry that cannot tell gets the registration anew.
  if (!registrations_started_.contains(UpperCase(library)) &&
      RegisteredAs(platform_, library) != true) {
    if (!RunRegsvr32("/s \"" + library + "\"")) return false;
    registrations_started_.insert(UpperCase(library));
  }
  if (!ReadBool(profile, list, kAddInSection, kAddInKey, false)) {
    profile.WriteString(list, kAddInSection, kAddInKey, "1");
  }
  return true;
}

// regsvr32 lies in the system directory and runs there.
bool IdeModules::RunRegsvr32(const std::string& parameters) {
  const std::string system_dir = ExcludeTrailingBackslash(platform_.system().SystemDirectory());
  const std::string regsvr32 = system_dir + "\\regsvr32.exe";
  return platform_.files().FileExists(regsvr32) &&
         RunProgram(regsvr32, parameters, system_dir, DisplayMode::kMinimizedNoActivate);
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
  // regsvr32 /u takes the program identifier's registration away whatever library it names, so
  // only a registration of this library is undone, or one whose library is gone (an installation
  // moved by hand: nothing can load it any more); another installation's stays. A registry that
  // cannot tell keeps the registration and the library.
  const std::optional<bool> registered = [&]() -> std::optional<bool> {
    if (!built) return false;
    const std::optional<std::string> server = RegisteredServer(platform_);
    if (!server) return std::nullopt;
    return !server->empty() && (SameFile(files, *server, library) || !files.FileExists(*server));
  }();
  const bool may_be_registered = registered != false;
  const IdeItem registration{IdeItem::Kind::kAddInRegistration, library, ""};
  const IdeItem library_item{IdeItem::Kind::kAddInLibrary, library, ""};
  IdeRemoval removal;

  if (KeyPresent(profile, list, kAddInSection, kAddInKey)) {
    const IdeItem entry{IdeItem::Kind::kAddInListEntry, list,
                        std::string(kAddInSection) + "\\" + kAddInKey};
    if (!profile.DeleteKey(list, kAddInSection, kAddInKey) ||
        KeyPresent(profile, list, kAddInSection, kAddInKey)) {
      removal.left.push_back({entry, IdeRemoval::Reason::kRefused});
      if (may_be_registered) {
        removal.left.push_back({registration, IdeRemoval::Reason::kStillUsed});
      }
      if (built) removal.left.push_back({library_item, IdeRemoval::Reason::kStillUsed});
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
  if (may_be_registered) {
    bool unregistered = false;
    if (registered == true && RunRegsvr32("/u /s \"" + library + "\"")) {
      WaitForProgram(kUnregisterPolls);
      unregistered = ProgramSucceeded() && RegisteredServer(platform_) == std::string();
    }
    if (!unregistered) {
      removal.left.push_back({registration, IdeRemoval::Reason::kRefused});
      removal.left.push_back({library_item, IdeRemoval::Reason::kStillUsed});
      return removal;
    }
    removal.removed.push_back(registration);
  }
  if (DeletePlacedFile(library)) {
    removal.removed.push_back(library_item);
  } else {
    removal.left.push_back({library_item, IdeRemoval::Reason::kRefused});
  }
  return removal;
}

}  // namespace vl4
