// The state of one sandbox PC that its services share: configuration, code pages, path
// mapping, the stores of attributes, locks and short names, fault injection, current directory.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/sandbox/attribute_store.h"
#include "platform/sandbox/code_page.h"
#include "platform/sandbox/faults.h"
#include "platform/sandbox/host_path_set.h"
#include "platform/sandbox/path_resolver.h"
#include "platform/sandbox/sandbox_config.h"
#include "platform/sandbox/short_names.h"

namespace vl4::platform::sandbox {

struct Machine {
  explicit Machine(SandboxConfig loaded);

  SandboxConfig config;
  const CodePage& ansi;
  const CodePage& oem;
  ShortNames short_names;
  PathResolver paths;
  AttributeStore attributes;
  HostPathSet locks;
  HostPathSet granted;  // folders the Users group may modify (Files::AllowUsersToModify)
  Faults faults;
  std::string current_directory;       // a full Windows path, "X:\" for a root
  std::string exe_host_path;           // the running program on the host
  std::vector<std::string> arguments;  // as the host gave them (UTF-8)

  std::string File(const char* name) const { return config.root + "/" + name; }
  std::optional<std::string> FullPath(std::string_view path) const {
    return FullWindowsPath(path, current_directory);
  }
  // The host side of a Windows path (relative ones from the current directory).
  std::optional<PathResolver::Resolved> Resolve(std::string_view path) {
    auto full = FullPath(path);
    if (!full) return std::nullopt;
    return paths.Resolve(*full);
  }
  // The Windows path of a host path (relative to the host's working directory when relative).
  std::optional<std::string> WindowsPathOf(const std::string& host_path) const;

  // Whether this process has an administrator's rights: the PC's setting, or started "runas".
  bool Elevated() const;
  // Whether this process may change the host entry: anywhere with an administrator's rights,
  // otherwise outside Program Files and the Windows folder, or in a folder granted to the Users
  // group.
  bool MayChange(const std::string& host);
  // Whether the host entry lies in a folder granted to the Users group (or is one).
  bool Granted(const std::string& host);
  // The environment variable that carries an administrator's rights to a started program.
  static constexpr char kElevatedVariable[] = "VL4_SANDBOX_ELEVATED";
  // The environment variable that names the working directory a program was started in.
  static constexpr char kDirectoryVariable[] = "VL4_SANDBOX_DIRECTORY";
};

}  // namespace vl4::platform::sandbox
