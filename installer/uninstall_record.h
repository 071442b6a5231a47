// What the installer leaves for the uninstaller besides the uninstall log, named once for both
// programs: the uninstaller's file name, the list of the installation's system files beside the
// log and the shared-DLL counter they are counted in, and the entry in Windows' list of installed
// programs.
#pragma once

#include <cstdint>
#include <string>

namespace vl4::platform {
class Registry;
}

namespace vl4 {

// The uninstaller, in the system directory: it serves every installation's log.
inline constexpr char kUninstallerName[] = "uninvl32.exe";

// In the installation's UNINST directory beside the log: the system files the installation counts
// among the shared DLLs, one full path per line (ANSI, CR LF, no header).
inline constexpr char kSystemListName[] = "vl4.sys";

// HKEY_LOCAL_MACHINE: one REG_DWORD per shared file, named by its full path as the program names
// it; from a 32-bit program it lands in the 32-bit view, where the uninstaller reads it.
inline constexpr char kSharedDllsKey[] =
    "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";

// HKEY_LOCAL_MACHINE: the product's entry in Windows' list of installed programs. Its
// InstallLocation is the installation directory without a final "\", by which the uninstaller
// tells whether the entry is its installation's.
inline constexpr char kUninstallEntryKey[] =
    "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Veltoria 4";
inline constexpr char kUninstallEntryLocation[] = "InstallLocation";

// What the entry says.
struct UninstallEntry {
  std::string display_name;
  std::string display_version;
  std::string publisher;
  std::string install_location;  // no final "\"
  std::string display_icon;      // "" writes none
  std::string uninstall_string;
  std::string quiet_uninstall_string;
  uint32_t estimated_size_kib = 0;
};

// The entry's two command lines: the uninstaller in `uninstaller_dir` with the log, quoted, and
// quietly with "/S" before the log.
std::string UninstallerCommandLine(const std::string& uninstaller_dir, const std::string& log,
                                   bool quiet);

// Writes the entry; false when the registry refused. A key this call made is then taken away
// again, so that no half entry shows in the list.
bool WriteUninstallEntry(platform::Registry& registry, const UninstallEntry& entry);

}  // namespace vl4
