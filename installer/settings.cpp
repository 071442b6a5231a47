// Reading the installer settings file.
#include "installer/settings.h"

#include <exception>

#include "installer/macros.h"
#include "platform/files.h"
#include "platform/profile.h"
#include "platform/text.h"

namespace vl4 {

std::optional<int32_t> ParseSettingsInt(std::string_view text) {
  // StrToInt also takes Pascal's "$" hexadecimal, which the settings file does not.
  if (text.find('$') != std::string_view::npos) return std::nullopt;
  return StrToInt(text);
}

InstallSettings ReadSettingsFile(platform::Files& files, platform::Profile& profile,
                                 const std::string& path, const std::string& program_files_dir) {
  InstallSettings s;
  if (!files.FileExists(path)) return s;
  auto text = [&](const char* section, const char* key) {
    return profile.ReadString(path, section, key, "");
  };
  auto flag = [&](const char* section, const char* key, bool& value) {
    if (auto n = ParseSettingsInt(text(section, key))) value = *n != 0;
  };
  try {
    s.install_dir = ExpandProgramFilesDir(text("Main", "InstallDir"), program_files_dir);
    flag("Main", "AutoRun", s.auto_run);
    flag("Main", "SelectDialog", s.select_dialog);
    flag("Main", "FinalMessage", s.final_message);
    flag("Links", "StartMenu", s.start_menu);
    flag("Links", "Desktop", s.desktop);
    flag("Setup", "Run", s.run);
    s.params = text("Setup", "Params");
    for (int i = 1; i <= InstallSettings::kMaxExcludeDirs; ++i) {
      std::string dir = text("ExcludeDir", std::to_string(i).c_str());
      if (dir.empty()) break;
      s.exclude_dirs.push_back(std::move(dir));
    }
  } catch (const std::exception&) {
    // A settings file that cannot be read to its end leaves the rest at the defaults.
  }
  return s;
}

}  // namespace vl4
