#include "platform/sandbox/path_resolver.h"

#include <dirent.h>

#include <filesystem>

#include <vector>

#include "platform/file_tree.h"

namespace vl4::platform::sandbox {

namespace {

char UpperAscii(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c;
}
bool IsLetter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

std::string DriveRoot(const DriveConfig& drive) {
  std::string root = drive.host;
  while (!root.empty() && root.back() == '/') root.pop_back();
  return root;  // "" for the host's "/"
}

}  // namespace

std::optional<std::string> FullWindowsPath(std::string_view path, std::string_view current) {
  std::string p(path);
  for (char& c : p) c = c == '/' ? '\\' : c;
  if (p.rfind("\\\\?\\", 0) == 0 || p.rfind("\\\\.\\", 0) == 0) p.erase(0, 4);
  if (p.empty() || p.rfind("\\\\", 0) == 0) return std::nullopt;

  std::string base;  // "X:" followed by the components to start from, "\"-separated
  std::string rest;
  bool final_separator = p.back() == '\\';
  if (p.size() >= 2 && p[1] == ':') {
    if (!IsLetter(p[0])) return std::nullopt;
    char drive = p[0];
    rest = p.substr(2);
    if (!rest.empty() && rest[0] == '\\') {
      base = std::string(1, drive) + ":";
    } else if (current.size() >= 2 && UpperAscii(current[0]) == UpperAscii(drive)) {
      base = std::string(current);
      if (rest.empty()) final_separator = true;  // "C:" is the current directory, as "C:\dir\"
    } else {
      base = std::string(1, drive) + ":";  // another drive's own current directory: its root
    }
  } else {
    if (current.size() < 2 || current[1] != ':') return std::nullopt;
    if (p[0] == '\\') {
      base = std::string(current.substr(0, 2));
    } else {
      base = std::string(current);
    }
    rest = p;
  }

  std::vector<std::string> parts;
  auto split = [&](std::string_view text, bool from_input) {
    size_t pos = 0;
    while (pos <= text.size()) {
      size_t end = text.find('\\', pos);
      if (end == std::string_view::npos) end = text.size();
      std::string part(text.substr(pos, end - pos));
      bool last = end == text.size();
      pos = end + 1;
      if (part.empty() || part == ".") continue;
      if (part == "..") {
        if (!parts.empty()) parts.pop_back();  // never above the drive root
        continue;
      }
      if (from_input) {
        if (last) {
          // A final name loses its trailing dots and blanks; one ending in a single dot elsewhere
          // loses that dot.
          while (!part.empty() && (part.back() == '.' || part.back() == ' ')) part.pop_back();
          if (part.empty()) continue;
        } else if (part.back() == '.') {
          part.pop_back();
        }
      }
      parts.push_back(std::move(part));
    }
  };
  split(std::string_view(base).substr(2), false);
  split(rest, true);

  std::string out = base.substr(0, 2);
  for (const std::string& part : parts) out += "\\" + part;
  if (parts.empty() || final_separator) out += "\\";
  return out;
}

bool IsValidComponent(std::string_view name) {
  if (name.empty()) return false;
  for (char c : name) {
    if (static_cast<unsigned char>(c) < 0x20) return false;
    switch (c) {
      case '<':
      case '>':
      case ':':
      case '"':
      case '|':
      case '?':
      case '*':
      case '/':
        return false;
      default:
        break;
    }
  }
  return true;
}

std::optional<std::string> PathResolver::Wow64Redirect(std::string_view full_path) const {
  // The rest of `full_path` after `dir`, when it lies in that directory (or is it).
  auto in = [&](std::string_view dir) -> std::optional<std::string_view> {
    if (full_path.size() < dir.size() || Fold(full_path.substr(0, dir.size())) != Fold(dir)) {
      return std::nullopt;
    }
    std::string_view rest = full_path.substr(dir.size());
    if (!rest.empty() && rest[0] != '\\') return std::nullopt;
    return rest;
  };
  if (auto rest = in(config_.system_dir)) return config_.SysWow64Dir() + std::string(*rest);
  if (auto rest = in(config_.windows_dir + "\\Sysnative"))
    return config_.system_dir + std::string(*rest);
  return std::nullopt;
}

std::optional<PathResolver::Resolved> PathResolver::Resolve(std::string_view full_path) {
  std::optional<std::string> redirected;
  if (config_.windows64 && (redirected = Wow64Redirect(full_path))) full_path = *redirected;
  if (full_path.size() < 2 || full_path[1] != ':') return std::nullopt;
  auto drive = config_.drives.find(UpperAscii(full_path[0]));
  if (drive == config_.drives.end()) return std::nullopt;
  std::string root = DriveRoot(drive->second);

  std::vector<std::string> names;
  std::string exact = root;
  std::string_view rest = full_path.substr(2);
  size_t pos = 0;
  while (pos < rest.size()) {
    size_t end = rest.find('\\', pos);
    if (end == std::string_view::npos) end = rest.size();
    std::string_view part = rest.substr(pos, end - pos);
    pos = end + 1;
    if (part.empty()) continue;
    if (!IsValidComponent(part)) return std::nullopt;
    names.push_back(ansi_.ToUtf8(part));
    exact += "/" + names.back();
  }
  if (exact.empty()) exact = "/";

  Resolved r;
  r.host = exact;
  if (::stat(exact.c_str(), &r.st) == 0) {
    r.exists = true;
    return r;
  }
  return Walk(root, names, names.size(), true);
}

PathResolver::Resolved PathResolver::Walk(const std::string& root,
                                          const std::vector<std::string>& names, size_t n,
                                          bool exact_tried) {
  Resolved r;
  if (!exact_tried) {
    r.host = root;
    for (size_t i = 0; i < n; ++i) r.host += "/" + names[i];
    if (r.host.empty()) r.host = "/";
    if (::stat(r.host.c_str(), &r.st) == 0) {
      r.exists = true;
      return r;
    }
    if (n == 0) return r;
  }
  Resolved parent = Walk(root, names, n - 1, false);
  const std::string& name = names[n - 1];
  std::string dir = parent.host == "/" ? "" : parent.host;
  r.host = dir + "/" + name;
  r.exists = false;
  if (!parent.exists || !S_ISDIR(parent.st.st_mode)) return r;
  auto actual = Lookup(parent.host, parent.st, name);
  if (!actual && name.find('~') != std::string::npos) {
    actual = short_names_.Find(parent.host, AnsiName(name));
  }
  if (actual) {
    r.host = dir + "/" + *actual;
    r.exists = ::stat(r.host.c_str(), &r.st) == 0;
  }
  return r;
}

std::optional<std::string> PathResolver::Lookup(const std::string& dir, const struct stat& dir_st,
                                                const std::string& name) {
  auto found = listings_.find(dir);
  if (found == listings_.end() || found->second.ino != dir_st.st_ino ||
      found->second.mtime.tv_sec != dir_st.st_mtim.tv_sec ||
      found->second.mtime.tv_nsec != dir_st.st_mtim.tv_nsec) {
    // Bounded: a long run through many folders keeps only the recent ones.
    if (found == listings_.end() && listings_.size() >= 256) listings_.clear();
    Listing& fresh = listings_[dir];
    fresh.names.clear();
    fresh.ino = dir_st.st_ino;
    fresh.mtime = dir_st.st_mtim;
    if (DIR* d = ::opendir(dir.c_str())) {
      while (dirent* e = ::readdir(d)) {
        std::string_view n = e->d_name;
        if (IsDotEntry(n)) continue;
        fresh.names.emplace(Fold(AnsiName(n)), std::string(n));
      }
      ::closedir(d);
    }
  }
  const Listing& current = listings_[dir];
  auto it = current.names.find(Fold(AnsiName(name)));
  if (it == current.names.end()) return std::nullopt;
  return it->second;
}

void PathResolver::NoteAdded(const std::string& host_path) {
  size_t slash = host_path.find_last_of('/');
  if (slash == std::string::npos) return;
  std::string dir = slash == 0 ? "/" : host_path.substr(0, slash);
  auto it = listings_.find(dir);
  if (it == listings_.end()) return;
  struct stat st;
  if (::stat(dir.c_str(), &st) != 0) {
    listings_.erase(it);
    return;
  }
  std::string name = host_path.substr(slash + 1);
  it->second.names.emplace(Fold(AnsiName(name)), name);
  it->second.ino = st.st_ino;
  it->second.mtime = st.st_mtim;
}

void PathResolver::NoteRemoved(const std::string& host_path) {
  size_t slash = host_path.find_last_of('/');
  if (slash == std::string::npos) return;
  std::string dir = slash == 0 ? "/" : host_path.substr(0, slash);
  auto it = listings_.find(dir);
  if (it == listings_.end()) return;
  struct stat st;
  std::string fold = Fold(AnsiName(host_path.substr(slash + 1)));
  auto name = it->second.names.find(fold);
  if (::stat(dir.c_str(), &st) != 0) {
    listings_.erase(it);
    return;
  }
  if (name != it->second.names.end() && name->second == host_path.substr(slash + 1)) {
    it->second.names.erase(name);
  }
  it->second.ino = st.st_ino;
  it->second.mtime = st.st_mtim;
}

std::optional<std::string> PathResolver::ToWindows(std::string_view host_path) const {
  char best = 0;
  size_t best_len = 0;
  for (const auto& [letter, drive] : config_.drives) {
    // A drive folder is known by its path as written and by its real path (without links).
    std::string written = DriveRoot(drive);
    std::error_code ec;
    std::string real =
        written.empty() ? "" : std::filesystem::weakly_canonical(written, ec).string();
    for (const std::string& root : {written, ec ? written : real}) {
      bool inside = host_path.size() == root.size()
                        ? host_path == root
                        : host_path.size() > root.size() &&
                              host_path.substr(0, root.size()) == root &&
                              host_path[root.size()] == '/';
      if (inside && (best == 0 || root.size() > best_len)) {
        best = letter;
        best_len = root.size();
      }
    }
  }
  if (best == 0) return std::nullopt;
  std::string rest = ansi_.FromUtf8(host_path.substr(best_len), '?');
  for (char& c : rest) c = c == '/' ? '\\' : c;
  if (rest.empty()) rest = "\\";
  return std::string(1, best) + ":" + rest;
}

}  // namespace vl4::platform::sandbox
