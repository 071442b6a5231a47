// The installer settings file: the .ini beside the executable that overrides a few values of the
// script (sections Main, Links, Setup, ExcludeDir).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vl4::platform {
class Files;
class Profile;
}  // namespace vl4::platform

namespace vl4 {

struct InstallSettings {
  static constexpr int kMaxExcludeDirs = 20;

  std::string install_dir;  // [Main] InstallDir, "%PROGRAMFILESDIR%" already expanded
  bool auto_run = false;    // [Main] AutoRun
  bool select_dialog = true;
  bool final_message = true;
  bool start_menu = true;  // [Links] StartMenu
  bool desktop = true;
  bool run = true;                        // [Setup] Run
  std::string params;                     // [Setup] Params, as written
  std::vector<std::string> exclude_dirs;  // [ExcludeDir] 1, 2, ... as written
};

// A settings integer: decimal (with an optional sign) or hexadecimal with "0x"; nothing for any
// other text.
std::optional<int32_t> ParseSettingsInt(std::string_view text);

// The settings of the file at `path`; every value keeps its default when the file, the key or a
// readable value is missing. An error while reading ends the reading, keeping what was read.
InstallSettings ReadSettingsFile(platform::Files& files, platform::Profile& profile,
                                 const std::string& path, const std::string& program_files_dir);

}  // namespace vl4
