// The setup configuration file vl.ini in the installation directory (read once at start-up,
// written once at shutdown) and the product registry key.
#pragma once

#include <functional>
#include <string>

#include "setup/catalogue.h"

namespace vl4::platform {
class Platform;
class Profile;
class Registry;
}  // namespace vl4::platform

namespace vl4 {

inline constexpr char kDefaultWorkDir[] = "C:\\VL4Work";
inline constexpr char kDefaultLocalDirName[] = "C:\\VL4Work\\Output";
inline constexpr size_t kUserNameLength = 25;

// The configuration as the setup window holds it; the IDE paths live in the catalogue's rows.
struct SetupConfig {
  std::string work_dir;     // without a final "\" ("X:" for a drive root); empty when none
  std::string user_name;    // at most 25 characters
  std::string default_env;  // an environment code
  bool use_local_dir = false;
  std::string local_dir_name;
};

// A boolean of an INI file as the setup tool reads it: any value that reads as a non-zero integer
// is true; a missing or non-numeric value gives the default.
bool ReadBool(platform::Profile& profile, const std::string& path, const std::string& section,
              const std::string& key, bool def);

// Called when reading had to turn the .NET output flag around, so that the project templates
// follow: (use local directory, local directory name).
using ApplyNetOutput = std::function<void(bool, const std::string&)>;

// Reads vl.ini at start-up: the rows' library directories and executables (an executable that
// no longer exists is dropped), the working directory and the .NET output directory (both
// created when missing, cleared when that fails), the user name and the default environment.
SetupConfig ReadSetupConfig(platform::Platform& platform, const std::string& path,
                            Catalogue& catalogue, const ApplyNetOutput& apply_net_output);

// Whether a row's environment page reports a problem (its status line is red).
using PageReportsProblem = std::function<bool(const EnvRow&)>;

// Writes vl.ini at shutdown with only the keys this program owns, then rewrites the results
// header of the installation directory with the current environment. The new file is written
// beside the old one and takes its place by renaming, so an interrupted write never leaves
// vl.ini missing or half written. Failures end the writing silently.
void WriteSetupConfig(platform::Platform& platform, const std::string& path,
                      const Catalogue& catalogue, const SetupConfig& config,
                      const EnvChoice& current, const PageReportsProblem& page_reports_problem,
                      const std::string& install_dir);

// HKEY_LOCAL_MACHINE "\SOFTWARE\Veltoria 4", "Install Directory" = the installation directory
// without its final "\". Errors are ignored.
void WriteProductKey(platform::Registry& registry, const std::string& install_dir);

}  // namespace vl4
