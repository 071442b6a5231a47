// Writing the entry in Windows' list of installed programs.
#include "installer/uninstall_record.h"

#include <utility>

#include "platform/exception.h"
#include "platform/registry.h"

namespace vl4 {

std::string UninstallerCommandLine(const std::string& uninstaller_dir, const std::string& log,
                                   bool quiet) {
  return "\"" + uninstaller_dir + "\\" + kUninstallerName + "\" " + (quiet ? "/S " : "") + "\"" +
         log + "\"";
}

bool WriteUninstallEntry(platform::Registry& registry, const UninstallEntry& entry) {
  constexpr auto kRoot = platform::RootKey::kLocalMachine;
  bool existed = true;
  try {
    existed = registry.KeyExists(kRoot, kUninstallEntryKey);
    const std::pair<const char*, const std::string&> texts[] = {
        {"DisplayName", entry.display_name},
        {"DisplayVersion", entry.display_version},
        {"Publisher", entry.publisher},
        {kUninstallEntryLocation, entry.install_location},
        {"DisplayIcon", entry.display_icon},
        {"UninstallString", entry.uninstall_string},
        {"QuietUninstallString", entry.quiet_uninstall_string},
    };
    for (const auto& [name, value] : texts) {
      if (!value.empty()) registry.WriteString(kRoot, kUninstallEntryKey, name, value);
    }
    registry.WriteDword(kRoot, kUninstallEntryKey, "EstimatedSize", entry.estimated_size_kib);
    // The list offers neither a change nor a repair: installing again does both.
    registry.WriteDword(kRoot, kUninstallEntryKey, "NoModify", 1);
    registry.WriteDword(kRoot, kUninstallEntryKey, "NoRepair", 1);
    return true;
  } catch (const Exception&) {
    if (!existed) {
      try {
        registry.DeleteKey(kRoot, kUninstallEntryKey);
      } catch (const Exception&) {
        // Refused as well: what was written stays, and the completion message says so.
      }
    }
    return false;
  }
}

}  // namespace vl4
