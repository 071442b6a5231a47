// <sandbox>/locked: files that "another program" holds open, so that deleting, moving or writing
// them fails on every process of the sandbox PC, as a file in use does on Windows.
#pragma once

#include <set>
#include <string>

#include "platform/sandbox/host_io.h"

namespace vl4::platform::sandbox {

class LockList {
 public:
  explicit LockList(std::string file) : file_(std::move(file)) {}
  bool Contains(const std::string& host);
  bool Add(const std::string& host);
  bool Remove(const std::string& host);

 private:
  void Refresh();
  bool Save();

  StoreFile file_;
  std::set<std::string> hosts_;
};

}  // namespace vl4::platform::sandbox
