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

// Characters Windows refuses in a name (a name holding one could not be created, and the run
// would end there); ":" would name a drive or a file stream.
void ReplaceForbidden(std::string& name) {
  for (char& c : name) {
    if (static_cast<unsigned char>(c) < 0x20 ||
        std::string_view("<>:\"|?*").find(c) != std::string_view::npos) {
      c = '_';
    }
  }
}

// Windows opens a device, not a file, for these names in any folder and with any extension
// ("con.txt", "COM1.dat"); writing a member there would talk to the console or a port.
bool IsDeviceName(std::string_view name) {
  std::string base(name.substr(0, name.find('.')));
  while (!base.empty() && base.back() == ' ') base.pop_back();
  for (char& c : base) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
  if (base == "CON" || base == "PRN" || base == "AUX" || base == "NUL" || base == "CONIN$" ||
      base == "CONOUT$") {
    return true;
  }
  return base.size() == 4 && (base.starts_with("COM") || base.starts_with("LPT")) &&
         base[3] >= '1' && base[3] <= '9';
}

// A name as a file or folder of its own: forbidden characters replaced, device names avoided.
void MakeSafe(std::string& name) {
  ReplaceForbidden(name);
  if (IsDeviceName(name)) name.insert(0, "_");
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
    MakeSafe(component);
    relative += component;
    relative += '\\';
  }
  return relative;
}

std::string SafeFileName(std::string_view filename) {
  if (NamesNoEntry(filename)) return "_";
  std::string name(filename);
  MakeSafe(name);
  return name;
}

std::string JoinOutputDir(std::string_view dest_dir, std::string_view relative) {
  if (dest_dir.empty()) return std::string(relative);
  std::string dir(dest_dir);
  dir += '\\';
  dir += relative;
  return dir;
}

}  // namespace vl4::zip
