// Expanding the script's macros.
#include "installer/macros.h"

#include "platform/text.h"

namespace vl4 {
namespace {

std::string Replace(std::string_view text, std::string_view macro, std::string_view value,
                    bool all) {
  const std::string upper = UpperCase(text);
  std::string out;
  size_t from = 0;
  for (size_t at = upper.find(macro); at != std::string::npos; at = upper.find(macro, from)) {
    out.append(text.substr(from, at - from)).append(value);
    from = at + macro.size();
    if (!all) break;
  }
  return out.append(text.substr(from));
}

}  // namespace

std::string ExpandInstallDir(std::string_view text, std::string_view install_dir) {
  return Replace(text, "%INSTALLDIR%", install_dir, true);
}

std::string ExpandStartDir(std::string_view text, std::string_view start_dir) {
  const std::string dir =
      start_dir.size() == 2 ? std::string(start_dir) + "\\" : std::string(start_dir);
  return Replace(text, "%STARTDIR%", dir, true);
}

std::string ExpandProgramFilesDir(std::string_view text, std::string_view program_files_dir) {
  return Replace(text, "%PROGRAMFILESDIR%", program_files_dir, false);
}

std::string DataPartName(std::string_view data_file_name, int n) {
  return n <= 1 ? std::string(data_file_name) : std::string(data_file_name) + std::to_string(n);
}

}  // namespace vl4
