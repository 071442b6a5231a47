#include "platform/sandbox/lock_list.h"

namespace vl4::platform::sandbox {

void LockList::Refresh() {
  auto text = file_.ReadIfChanged();
  if (!text) return;
  hosts_.clear();
  size_t pos = 0;
  while (pos < text->size()) {
    size_t end = text->find('\n', pos);
    if (end == std::string::npos) end = text->size();
    if (end > pos) hosts_.insert(text->substr(pos, end - pos));
    pos = end + 1;
  }
}

bool LockList::Save() {
  std::string out;
  for (const std::string& host : hosts_) out += host + "\n";
  return file_.Write(out);
}

bool LockList::Contains(const std::string& host) {
  Refresh();
  return hosts_.count(host) > 0;
}

bool LockList::Add(const std::string& host) {
  auto lock = file_.Lock();
  Refresh();
  return !hosts_.insert(host).second || Save();
}

bool LockList::Remove(const std::string& host) {
  auto lock = file_.Lock();
  Refresh();
  return hosts_.erase(host) == 0 || Save();
}

}  // namespace vl4::platform::sandbox
