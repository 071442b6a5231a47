// The product's registry entries outside the IDEs: the file associations of the install script's
// table, the product key the setup tool writes, and the entry in Windows' list of installed
// programs. Each goes only while it still names this installation (or no installation at all), so
// that uninstalling one copy of the product leaves another copy's entries alone.
#pragma once

#include <string>
#include <vector>

#include "platform/registry.h"

namespace vl4 {

struct InstallScript;

// HKEY_LOCAL_MACHINE: the product key, with the installation directory the setup tool last ran
// from. The entry in Windows' list of installed programs is the installer's
// (installer/uninstall_record.h).
inline constexpr char kProductKey[] = "\\SOFTWARE\\Veltoria 4";
inline constexpr char kProductKeyDirectory[] = "Install Directory";

// "HKEY_LOCAL_MACHINE\SOFTWARE\...", as a user reads a key.
std::string RegistryPath(platform::RootKey root, const std::string& key);

// Removes the entries that name one of `installation` (the installation directory as the
// uninstaller finds it, and as the log recorded it when the installation was moved). Returns the
// keys the registry refused to remove, as the list of what stayed names them.
std::vector<std::string> RemoveProductEntries(platform::Registry& registry,
                                              const InstallScript& script,
                                              const std::vector<std::string>& installation);

}  // namespace vl4
