// <sandbox>/attributes: the file attributes Windows keeps and the host does not (read-only,
// hidden, system, a cleared archive bit), by host path, shared by every process of the PC.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>

#include "platform/sandbox/host_io.h"

namespace vl4::platform::sandbox {

class AttributeStore {
 public:
  explicit AttributeStore(std::string file) : file_(std::move(file)) {}

  // The attribute bits other than "directory" stored for the entry; nothing when it has the
  // defaults (a file: archive; a folder: none).
  std::optional<uint32_t> Get(const std::string& host);
  // Stores the bits (nothing = the defaults). False when the store cannot be written.
  bool Set(const std::string& host, std::optional<uint32_t> bits);
  // The entry is gone (a folder: with everything below it).
  void Forget(const std::string& host);
  // The entry moved (a folder: with everything below it).
  void Rename(const std::string& from, const std::string& to);

 private:
  void Refresh();
  bool Save();

  StoreFile file_;
  std::map<std::string, uint32_t> entries_;
};

}  // namespace vl4::platform::sandbox
