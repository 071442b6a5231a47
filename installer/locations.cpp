// Finding the location values.
#include "installer/locations.h"

#include "platform/exception.h"
#include "platform/path.h"
#include "platform/platform.h"

namespace vl4 {

std::string FindProgramFilesDir(platform::Platform& platform) {
  std::string dir;
  try {
    dir = platform.registry()
              .ReadString(platform::RootKey::kLocalMachine,
                          "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir")
              .value_or("");
  } catch (const Exception&) {
    // A key that cannot be read counts as missing: the drives tell.
  }
  if (!dir.empty()) return dir;
  platform::Files& files = platform.files();
  for (char drive = 'C'; drive <= 'Z'; ++drive) {
    const std::string root(1, drive);
    if (files.DirectoryExists(root + ":\\Program Files\\")) return root + ":\\Program Files";
  }
  for (char drive = 'C'; drive <= 'Z'; ++drive) {
    const std::string root(1, drive);
    if (files.DirectoryExists(root + ":\\")) return root + ":";
  }
  return "";
}

Locations FindLocations(platform::Platform& platform) {
  Locations where;
  where.exe_path = platform.system().ExePath();
  where.start_dir = ExcludeTrailingBackslash(ExtractFilePath(where.exe_path));
  where.settings_path = ChangeFileExt(where.exe_path, ".ini");
  where.data_file_name = ChangeFileExt(ExtractFileName(where.exe_path), ".dat");
  where.program_files_dir = FindProgramFilesDir(platform);
  where.system_dir = platform.system().SystemDirectory();
  where.programs_folder = platform.shell().GetSpecialFolder(platform::SpecialFolder::kPrograms);
  where.desktop_folder =
      platform.shell().GetSpecialFolder(platform::SpecialFolder::kDesktopDirectory);
  return where;
}

}  // namespace vl4
