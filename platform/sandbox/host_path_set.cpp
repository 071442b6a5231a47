#include "platform/sandbox/host_path_set.h"

#include "platform/text_file.h"

namespace vl4::platform::sandbox {

void HostPathSet::Refresh() {
  auto text = file_.ReadIfChanged();
  if (!text) return;
  hosts_.clear();
  for (std::string& host : SplitLines(*text))
    if (!host.empty()) hosts_.insert(std::move(host));
}

bool HostPathSet::Save() {
  std::string out;
  for (const std::string& host : hosts_) out += host + "\n";
  return file_.Write(out);
}

bool HostPathSet::Contains(const std::string& host) {
  Refresh();
  return hosts_.count(host) > 0;
}

bool HostPathSet::Add(const std::string& host) {
  auto lock = file_.Lock();
  Refresh();
  return !hosts_.insert(host).second || Save();
}

bool HostPathSet::Remove(const std::string& host) {
  auto lock = file_.Lock();
  Refresh();
  return hosts_.erase(host) == 0 || Save();
}

}  // namespace vl4::platform::sandbox
