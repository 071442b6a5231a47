#include "platform/sandbox/attribute_store.h"

#include <cstdio>
#include <cstdlib>

#include "platform/text_file.h"

namespace vl4::platform::sandbox {

namespace {
bool Below(const std::string& path, const std::string& folder) {
  return path.size() > folder.size() && path.compare(0, folder.size(), folder) == 0 &&
         path[folder.size()] == '/';
}
}  // namespace

void AttributeStore::Refresh() {
  auto text = file_.ReadIfChanged();
  if (!text) return;
  entries_.clear();
  for (const std::string& line : SplitLines(*text)) {
    size_t tab = line.find('\t');
    if (tab == std::string::npos) continue;  // a torn or foreign line holds nothing for us
    entries_[line.substr(tab + 1)] =
        static_cast<uint32_t>(std::strtoul(line.substr(0, tab).c_str(), nullptr, 16));
  }
}

bool AttributeStore::Save() {
  std::string out;
  for (const auto& [path, bits] : entries_) {
    char hex[16];
    std::snprintf(hex, sizeof hex, "%04X\t", bits);
    out += hex + path + "\n";
  }
  return file_.Write(out);
}

std::optional<uint32_t> AttributeStore::Get(const std::string& host) {
  Refresh();
  auto it = entries_.find(host);
  if (it == entries_.end()) return std::nullopt;
  return it->second;
}

bool AttributeStore::Set(const std::string& host, std::optional<uint32_t> bits) {
  Refresh();
  auto known = entries_.find(host);
  if (known == entries_.end() ? !bits : bits && known->second == *bits) return true;  // no change
  auto lock = file_.Lock();
  Refresh();
  auto it = entries_.find(host);
  if (!bits) {
    if (it == entries_.end()) return true;
    entries_.erase(it);
  } else {
    if (it != entries_.end() && it->second == *bits) return true;
    entries_[host] = *bits;
  }
  return Save();
}

void AttributeStore::Forget(const std::string& host) {
  Refresh();
  if (entries_.empty()) return;
  auto lock = file_.Lock();
  Refresh();
  bool changed = entries_.erase(host) > 0;
  for (auto it = entries_.lower_bound(host + "/");
       it != entries_.end() && Below(it->first, host);) {
    it = entries_.erase(it);
    changed = true;
  }
  if (changed) Save();
}

void AttributeStore::Rename(const std::string& from, const std::string& to) {
  Refresh();
  if (entries_.empty()) return;
  auto lock = file_.Lock();
  Refresh();
  std::map<std::string, uint32_t> moved;
  if (auto it = entries_.find(from); it != entries_.end()) {
    moved[to] = it->second;
    entries_.erase(it);
  }
  for (auto it = entries_.lower_bound(from + "/");
       it != entries_.end() && Below(it->first, from);) {
    moved[to + it->first.substr(from.size())] = it->second;
    it = entries_.erase(it);
  }
  if (moved.empty()) return;
  for (auto& [path, bits] : moved) entries_.insert_or_assign(path, bits);
  Save();
}

}  // namespace vl4::platform::sandbox
