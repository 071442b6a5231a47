// Short (8.3) names of the sandbox PC, made the Windows way ("PROGRA~1") and kept in
// <sandbox>/shortnames, so that a name stays the same for a folder's life and across processes.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "platform/sandbox/code_page.h"
#include "platform/sandbox/host_io.h"

namespace vl4::platform::sandbox {

class ShortNames {
 public:
  ShortNames(std::string file, const CodePage& ansi) : file_(std::move(file)), ansi_(ansi) {}

  // True when the ANSI name is a valid 8.3 name as it stands (Windows gives it no other).
  static bool IsShortName(std::string_view name);
  // The short name Windows would first try for an upper-cased long name ("DOCUME~1.HTM").
  static std::string FirstCandidate(std::string_view upper_name);

  // The short name (ANSI) of the existing entry host_dir/host_name: its own name when that is
  // 8.3 already, else the one assigned to it, assigning one on the first request.
  std::string Of(const std::string& host_dir, const std::string& host_name);
  // The host name of the entry of host_dir that was given the short name `short_name`.
  std::optional<std::string> Find(const std::string& host_dir, std::string_view short_name);

 private:
  void Refresh();
  bool Save();
  std::string Make(const std::string& host_dir, const std::string& host_name);
  std::optional<std::string> Assigned(const std::string& host_dir,
                                      const std::string& host_name) const;

  StoreFile file_;
  const CodePage& ansi_;
  std::map<std::string, std::map<std::string, std::string>> dirs_;  // dir -> host name -> short
};

}  // namespace vl4::platform::sandbox
