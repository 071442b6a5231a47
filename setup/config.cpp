// vl.ini through the private-profile functions: section and key names match without regard to
// case, booleans are written as 1 and 0 and read as any non-zero integer.
#include "setup/config.h"

#include "platform/exception.h"
#include "platform/file_tree.h"
#include "platform/path.h"
#include "platform/platform.h"
#include "platform/text.h"
#include "setup/file_replace.h"
#include "setup/results/results_file.h"

namespace vl4 {

namespace {

constexpr char kLibraries[] = "Libraries";
constexpr char kExeFiles[] = "EXE files";
constexpr char kPackages[] = "Packages";
constexpr char kWorkDirectory[] = "Work Directory";
constexpr char kOutputNet[] = "Output .NET Directory";

// A directory the configuration names must exist: it is created with its parents when missing.
bool EnsureDirectory(platform::Files& files, const std::string& dir) {
  if (!files.DirectoryExists(dir)) platform::ForceDirectories(files, dir);
  return files.DirectoryExists(dir);
}

// The names used while vl.ini is replaced.
std::string NewPath(const std::string& path) {
  return path + ".NEW";
}
std::string OldPath(const std::string& path) {
  return path + ".OLD";
}

// A shutdown interrupted between putting the old file aside and renaming the new one (or one
// that could not bring the old file back) leaves both and no vl.ini; the new file was complete by
// then, so it takes its place.
void FinishInterruptedReplace(platform::Files& files, const std::string& path) {
  if (!files.FileExists(path) && files.FileExists(NewPath(path)) &&
      files.FileExists(OldPath(path))) {
    files.MoveFile(NewPath(path), path);
  }
}

}  // namespace

bool ReadBool(platform::Profile& profile, const std::string& path, const std::string& section,
              const std::string& key, bool def) {
  auto value = StrToInt(profile.ReadString(path, section, key, ""));
  return value ? *value != 0 : def;
}

SetupConfig ReadSetupConfig(platform::Platform& platform, const std::string& path,
                            Catalogue& catalogue, const ApplyNetOutput& apply_net_output) {
  platform::Profile& profile = platform.profile();
  platform::Files& files = platform.files();
  FinishInterruptedReplace(files, path);

  for (EnvRow& row : catalogue.Rows()) {
    if (row.Empty()) {
      row.library_dir.clear();
      row.exe_path.clear();
      continue;
    }
    row.library_dir = profile.ReadString(path, kLibraries, row.Code(), "");
    row.exe_path = profile.ReadString(path, kExeFiles, row.Code(), "");
    if (!row.exe_path.empty() && !files.FileExists(row.exe_path)) row.exe_path.clear();
  }

  SetupConfig config;
  config.work_dir = profile.ReadString(path, kWorkDirectory, "Path", "");
  if (config.work_dir.empty()) config.work_dir = kDefaultWorkDir;
  config.work_dir = ExcludeTrailingBackslash(config.work_dir);
  if (!EnsureDirectory(files, config.work_dir)) config.work_dir.clear();

  const bool use_local_dir = ReadBool(profile, path, kOutputNet, "UseLocalDir", false);
  config.use_local_dir = use_local_dir;
  config.local_dir_name =
      profile.ReadString(path, kOutputNet, "LocalDirName", kDefaultLocalDirName);
  if (config.local_dir_name.empty()) {
    config.local_dir_name = kDefaultLocalDirName;
    config.use_local_dir = false;
  }
  if (!EnsureDirectory(files, config.local_dir_name)) {
    config.local_dir_name.clear();
    config.use_local_dir = false;
  }
  if (config.use_local_dir != use_local_dir && apply_net_output) {
    apply_net_output(config.use_local_dir, config.local_dir_name);
  }

  config.user_name =
      profile.ReadString(path, kWorkDirectory, "Label", "").substr(0, kUserNameLength);
  config.default_env = profile.ReadString(path, kWorkDirectory, "DefaultEnvir", "");
  return config;
}

void WriteSetupConfig(platform::Platform& platform, const std::string& path,
                      const Catalogue& catalogue, const SetupConfig& config,
                      const EnvChoice& current, const PageReportsProblem& page_reports_problem,
                      const std::string& install_dir) {
  platform::Profile& profile = platform.profile();
  platform::Files& files = platform.files();
  const std::string default_env = current.family_key + std::to_string(current.version);

  const std::string new_path = NewPath(path);
  files.DeleteFile(new_path);
  bool written = true;
  auto write = [&](const char* section, const std::string& key, const std::string& value) {
    written = written && profile.WriteString(new_path, section, key, value);
  };
  for (const EnvRow& row : catalogue.Rows()) {
    if (row.Empty()) continue;
    if (!row.library_dir.empty()) write(kLibraries, row.Code(), row.library_dir);
    if (!row.exe_path.empty()) write(kExeFiles, row.Code(), row.exe_path);
    if (row.available) write(kPackages, row.Code(), page_reports_problem(row) ? "0" : "1");
  }
  write(kWorkDirectory, "Path", config.work_dir);
  write(kWorkDirectory, "Label", config.user_name);
  write(kWorkDirectory, "DefaultEnvir", default_env);
  write(kOutputNet, "UseLocalDir", config.use_local_dir ? "1" : "0");
  write(kOutputNet, "LocalDirName", config.local_dir_name);
  if (!written) {
    files.DeleteFile(new_path);
    return;
  }

  if (!ReplaceFile(files, path, new_path, OldPath(path))) return;

  // The header's code follows its numeric option directly: the "0" that vl.ini keeps for "Not
  // defined" would become part of the number there (12 and "0" read back as 120, which is no
  // option), so without a family the header names no environment.
  RewriteResultsHeader(files, install_dir, 0, current.family_key.empty() ? "" : default_env,
                       install_dir);
}

void WriteProductKey(platform::Registry& registry, const std::string& install_dir) {
  try {
    registry.WriteString(platform::RootKey::kLocalMachine, "\\SOFTWARE\\Veltoria 4",
                         "Install Directory", ExcludeTrailingBackslash(install_dir));
  } catch (const Exception&) {
    // Without the rights to write HKEY_LOCAL_MACHINE the product simply is not registered.
  }
}

}  // namespace vl4
