#include "platform/sandbox/lock_list.h"

#include "platform/text_file.h"

namespace vl4::platform::sandbox {

void LockList::Refresh() {
  auto text = file_.ReadIfChanged();
  if (!text) return;
  hosts_.clear();
  for (std::string& host : SplitLines(*text))
    if (!host.empty()) hosts_.insert(std::move(host));
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
