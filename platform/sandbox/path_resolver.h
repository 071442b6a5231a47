// Windows paths on the sandbox PC: GetFullPathName normalisation, and the mapping of full paths
// to host paths through the drive folders, case-insensitively and in the PC's code page.
#pragma once

#include <sys/stat.h>

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "platform/sandbox/code_page.h"
#include "platform/sandbox/sandbox_config.h"
#include "platform/sandbox/short_names.h"

namespace vl4::platform::sandbox {

// GetFullPathName against the current directory `current` (a full path such as "C:\dir"):
// "/" separates too; "C:x" and "\x" take the drive or root of `current`; "." and ".." are
// resolved and ".." stops at the drive root; trailing dots and blanks go as Windows drops them.
// The drive letter keeps its case. Nothing for a path the PC cannot name (empty, UNC, no drive
// letter). A final "\" is kept.
std::optional<std::string> FullWindowsPath(std::string_view path, std::string_view current);

// True when `name` is a legal Windows file name component (no <>:"|?* and no control bytes).
bool IsValidComponent(std::string_view name);

class PathResolver {
 public:
  // Short names ("PROGRA~1") given by `short_names` resolve to their entries too.
  PathResolver(const SandboxConfig& config, const CodePage& ansi, ShortNames& short_names)
      : config_(config), ansi_(ansi), short_names_(short_names) {}

  struct Resolved {
    std::string host;
    bool exists = false;
    struct stat st {};
  };
  // The host path of a full Windows path. Existing entries are found whatever their case (the
  // exact case is tried first; a folder is scanned only when that misses); missing ones keep the
  // case given. Nothing when the drive is not mapped or a name is not legal on Windows.
  // On a 64-bit PC the program's system directory is SysWOW64 (see Wow64Redirect).
  std::optional<Resolved> Resolve(std::string_view full_path);

  // The Windows path of an absolute host path: on the mapped drive whose folder holds it most
  // closely (Z: for the rest of the host when mapped); nothing when no drive holds it.
  std::optional<std::string> ToWindows(std::string_view host_path) const;

  // The ANSI name of a host file name, and the fold under which names compare.
  std::string AnsiName(std::string_view host_name) const { return ansi_.FromUtf8(host_name, '?'); }
  std::string Fold(std::string_view ansi_name) const { return ansi_.UpperCase(ansi_name); }

  // Keep the folder cache in step with the sandbox's own changes.
  void NoteAdded(const std::string& host_path);
  void NoteRemoved(const std::string& host_path);

 private:
  // WoW64's file system redirection, as a 32-bit program on 64-bit Windows meets it: the system
  // directory it names (C:\Windows\System32) is SysWOW64, and C:\Windows\Sysnative is the real
  // System32. Nothing when `full_path` lies in neither.
  std::optional<std::string> Wow64Redirect(std::string_view full_path) const;

  struct Listing {
    ino_t ino = 0;
    timespec mtime{};
    std::unordered_map<std::string, std::string> names;  // fold -> host name
  };
  Resolved Walk(const std::string& root, const std::vector<std::string>& names, size_t n,
                bool exact_tried);
  std::optional<std::string> Lookup(const std::string& dir, const struct stat& dir_st,
                                    const std::string& name);

  const SandboxConfig& config_;
  const CodePage& ansi_;
  ShortNames& short_names_;
  std::unordered_map<std::string, Listing> listings_;
};

}  // namespace vl4::platform::sandbox
