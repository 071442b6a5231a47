// The drive stays while it can; directory levels are replaced from the left by "...\", then the
// drive goes, and a name that alone is too wide is cut at its first blank.
#include "setup/path_display.h"

namespace vl4 {

namespace {

// One step: "\a\b\c\" -> "\...\b\c\" -> "\...\c\" -> "\...\" ; "\" -> "".
std::string ShortenDirectory(std::string dir) {
  if (dir == "\\") return std::string();
  bool leading = !dir.empty() && dir.front() == '\\';
  if (leading) dir.erase(0, 1);
  if (!dir.empty() && dir.front() == '.') dir.erase(0, 4);
  size_t slash = dir.find('\\');
  dir = slash == std::string::npos ? std::string() : "...\\" + dir.substr(slash + 1);
  return leading ? "\\" + dir : dir;
}

}  // namespace

std::string ShortenPathForDisplay(std::string_view path, int width,
                                  const std::function<int(std::string_view)>& text_width) {
  const int available = width - 3;
  auto fits = [&](const std::string& text) { return text_width(text) <= available; };

  size_t split = path.rfind('\\');
  std::string dir(split == std::string_view::npos ? std::string_view() : path.substr(0, split + 1));
  const std::string name(path.substr(dir.size()));
  std::string drive;
  if (dir.size() >= 2 && dir[1] == ':') {
    drive = dir.substr(0, 2);
    dir.erase(0, 2);
  }
  while (!drive.empty() || !dir.empty()) {
    if (fits(drive + dir + name)) break;
    if (dir == "\\...\\") {
      drive.clear();
      dir = "...\\";
      break;
    }
    if (!dir.empty()) {
      dir = ShortenDirectory(dir);
    } else {
      drive.clear();
    }
  }
  std::string result = drive + dir + name;
  if (!fits(result)) {
    if (size_t blank = result.find(' '); blank != std::string::npos) {
      result = result.substr(0, blank) + "...";
    }
  }
  return result;
}

}  // namespace vl4
