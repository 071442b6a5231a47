// Finding an IDE without the user: its executable and library directory from the registry keys
// its installation wrote and from a few fixed places; and the rules for a path the user picks.
#pragma once

#include <string>
#include <string_view>

#include "setup/catalogue.h"

namespace vl4::platform {
class Files;
class Registry;
}  // namespace vl4::platform

namespace vl4 {

class IdeDetector {
 public:
  // `install_dir` ends in "\"; the Delphi rows' module folders must never pass for an IDE's
  // library directory.
  IdeDetector(const Catalogue& catalogue, platform::Registry& registry, platform::Files& files,
              std::string install_dir);

  // Full path of the row's IDE executable, or empty; only an existing file is returned.
  std::string DetectExecutable(const EnvRow& row);
  // The IDE's library directory (Delphi and C++Builder rows only), or empty.
  std::string DetectLibraryDir(const EnvRow& row);
  bool LibraryDirCheck(const EnvRow& row, const std::string& dir);
  // "<...>\Bin\<exe>" gives "<...>\Lib" when that directory exists (Borland rows only).
  std::string LibraryDirFromExe(const EnvRow& row, const std::string& exe_path);

 private:
  std::string FromRegistry(const EnvRow& row);
  std::string FromFixedPlaces(const EnvRow& row);
  std::string KeepIfExists(const std::string& path);

  const Catalogue& catalogue_;
  platform::Registry& registry_;
  platform::Files& files_;
  std::string install_dir_;
};

// Whether the file the user chose with Browse is accepted as the row's executable: its name must
// contain the word of the row's group (DELPHI32, BDS, VB, BCB, DEV, DEVENV, ...).
bool BrowseRule(const EnvRow& row, std::string_view chosen_file);

}  // namespace vl4
