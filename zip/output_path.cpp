#include "zip/output_path.h"

#include <algorithm>

namespace vl4::zip {

namespace {

// Windows drops trailing dots and blanks from a name; a name that is nothing else ("", ".", "..",
// ". .") therefore names the folder itself or its parent.
bool NamesNoEntry(std::string_view name) {
  return std::all_of(name.begin(), name.end(), [](char c) { return c == '.' || c == ' '; });
}

bool IsDriveLetter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

}  // namespace

std::string RelativeOutputDir(std::string_view stored_directory) {
  std::string relative;
  bool first = true;
  size_t start = 0;
  while (start <= stored_directory.size()) {
    size_t end = stored_directory.find('\\', start);
    if (end == std::string_view::npos) end = stored_directory.size();
    std::string component(stored_directory.substr(start, end - start));
    start = end + 1;
    if (first && component.size() >= 2 && component[1] == ':' && IsDriveLetter(component[0])) {
      component.erase(0, 2);  // "C:" or the drive-relative "C:dir"
    }
    first = false;
    if (NamesNoEntry(component)) continue;
    std::replace(component.begin(), component.end(), ':', '_');
    relative += component;
    relative += '\\';
  }
  return relative;
}

std::string SafeFileName(std::string_view filename) {
  return NamesNoEntry(filename) ? std::string("_") : std::string(filename);
}

std::string JoinOutputDir(std::string_view dest_dir, std::string_view relative) {
  if (dest_dir.empty()) return std::string(relative);
  std::string dir(dest_dir);
  dir += '\\';
  dir += relative;
  return dir;
}

}  // namespace vl4::zip
