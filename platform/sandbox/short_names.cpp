#include "platform/sandbox/short_names.h"

#include <dirent.h>
#include <sys/stat.h>

#include <set>

#include "platform/file_tree.h"
#include "platform/text_file.h"

namespace vl4::platform::sandbox {

namespace {
bool Forbidden(char c) {
  return static_cast<unsigned char>(c) <= ' ' ||
         std::string_view("\"*+,/:;<=>?[\\]|.").find(c) != std::string_view::npos;
}
// "BASE~n.EXT": the name without blanks and dots, "+,;=[]" as "_", at most 8 characters before
// the dot with the "~n", and the first three characters of the last extension.
std::string Candidate(std::string_view upper, int n) {
  size_t first = upper.find_first_not_of('.');
  upper = first == std::string_view::npos ? "" : upper.substr(first);
  size_t last_dot = upper.rfind('.');
  auto clean = [](std::string_view s) {
    std::string r;
    for (char c : s) {
      if (c == ' ' || c == '.') continue;
      r += std::string_view("+,;=[]").find(c) != std::string_view::npos ? '_' : c;
    }
    return r;
  };
  std::string base = clean(upper.substr(0, last_dot));
  std::string ext =
      last_dot == std::string_view::npos ? "" : clean(upper.substr(last_dot + 1)).substr(0, 3);
  if (base.empty()) base = "_";
  std::string suffix = "~" + std::to_string(n);
  std::string name = base.substr(0, 8 - suffix.size()) + suffix;
  return ext.empty() ? name : name + "." + ext;
}

}  // namespace

std::string ShortNames::FirstCandidate(std::string_view upper_name) {
  return Candidate(upper_name, 1);
}

bool ShortNames::IsShortName(std::string_view name) {
  if (name.empty() || IsDotEntry(name)) return false;
  size_t dot = name.find('.');
  std::string_view base = name.substr(0, dot);
  std::string_view ext = dot == std::string_view::npos ? "" : name.substr(dot + 1);
  if (base.empty() || base.size() > 8 || ext.size() > 3) return false;
  if (dot != std::string_view::npos && ext.empty()) return false;
  for (char c : base)
    if (Forbidden(c)) return false;
  for (char c : ext)
    if (Forbidden(c)) return false;
  return true;
}

void ShortNames::Refresh() {
  auto text = file_.ReadIfChanged();
  if (!text) return;
  dirs_.clear();
  for (const std::string& line : SplitLines(*text)) {
    size_t tab = line.find('\t');
    size_t slash = line.find_last_of('/');
    if (tab == std::string::npos || slash == std::string::npos || slash < tab) continue;
    std::string dir = line.substr(tab + 1, slash - tab - 1);
    dirs_[dir.empty() ? "/" : dir][line.substr(slash + 1)] = line.substr(0, tab);
  }
}

bool ShortNames::Save() {
  std::string out;
  for (const auto& [dir, names] : dirs_) {
    for (const auto& [name, short_name] : names) {
      out += short_name + "\t" + (dir == "/" ? "" : dir) + "/" + name + "\n";
    }
  }
  return file_.Write(out);
}

std::string ShortNames::Of(const std::string& host_dir, const std::string& host_name) {
  std::string ansi = ansi_.FromUtf8(host_name, '_');
  if (IsShortName(ansi)) return ansi;
  Refresh();
  if (auto known = Assigned(host_dir, host_name)) return *known;
  // Made under the lock, after a second look: another process may have just made it.
  auto lock = file_.Lock();
  Refresh();
  if (auto known = Assigned(host_dir, host_name)) return *known;
  return Make(host_dir, host_name);
}

std::optional<std::string> ShortNames::Assigned(const std::string& host_dir,
                                                const std::string& host_name) const {
  auto dir = dirs_.find(host_dir);
  if (dir == dirs_.end()) return std::nullopt;
  auto it = dir->second.find(host_name);
  if (it == dir->second.end()) return std::nullopt;
  return it->second;
}

std::string ShortNames::Make(const std::string& host_dir, const std::string& host_name) {
  // Names taken in the folder: 8.3 names of its entries, and the short names given before to
  // entries that still exist (those of gone entries are dropped).
  std::set<std::string> taken, present;
  if (DIR* d = ::opendir(host_dir.c_str())) {
    while (dirent* e = ::readdir(d)) {
      present.insert(e->d_name);
      std::string ansi = ansi_.FromUtf8(e->d_name, '_');
      if (IsShortName(ansi)) taken.insert(ansi_.UpperCase(ansi));
    }
    ::closedir(d);
  }
  auto& names = dirs_[host_dir];
  for (auto it = names.begin(); it != names.end();) {
    if (!present.count(it->first)) {
      it = names.erase(it);
    } else {
      taken.insert(ansi_.UpperCase(it->second));
      ++it;
    }
  }

  std::string upper = ansi_.UpperCase(ansi_.FromUtf8(host_name, '_'));
  std::string result;
  for (int n = 1;; ++n) {
    std::string candidate = Candidate(upper, n);
    if (!taken.count(candidate)) {
      result = candidate;
      break;
    }
  }
  names[host_name] = result;
  Save();
  return result;
}

std::optional<std::string> ShortNames::Find(const std::string& host_dir,
                                            std::string_view short_name) {
  Refresh();
  auto dir = dirs_.find(host_dir);
  if (dir == dirs_.end()) return std::nullopt;
  std::string wanted = ansi_.UpperCase(short_name);
  for (const auto& [name, given] : dir->second) {
    if (given == wanted) return name;
  }
  return std::nullopt;
}

}  // namespace vl4::platform::sandbox
