// A set of host paths kept in a file of the sandbox, shared by every process of the PC:
// <sandbox>/locked, the files "another program" holds open (deleting, moving or writing them
// fails, as a file in use does on Windows), and <sandbox>/granted, the folders the Users group
// may modify although they lie where only an administrator writes.
#pragma once

#include <set>
#include <string>

#include "platform/sandbox/host_io.h"

namespace vl4::platform::sandbox {

class HostPathSet {
 public:
  explicit HostPathSet(std::string file) : file_(std::move(file)) {}
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
