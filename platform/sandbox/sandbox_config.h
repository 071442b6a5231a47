// sandbox.ini: the drives, drive types, labels, system folders and code pages of a sandbox PC.
#pragma once

#include <map>
#include <string>

#include "platform/exception.h"
#include "platform/files.h"

namespace vl4::platform::sandbox {

// A sandbox PC whose own files (sandbox.ini, registry.reg, ...) are malformed or unusable.
VL4_DECLARE_EXCEPTION(ESandboxError, Exception);

struct DriveConfig {
  std::string host;  // absolute host folder
  DriveType type = DriveType::kFixed;
  std::string label;
};

struct SandboxConfig {
  std::string root;                    // host folder of the sandbox
  std::map<char, DriveConfig> drives;  // by upper-case letter
  std::string windows_dir = "C:\\Windows";
  std::string system_dir = "C:\\Windows\\System32";
  std::string user;
  std::string programs;
  std::string desktop;
  unsigned code_page = 1251;
  unsigned oem_code_page = 866;

  // Reads <root>/sandbox.ini; a missing one is created with the defaults (drive C: in <root>/C
  // with its system folders, Z: on the host's "/"). ESandboxError names file and line of a fault.
  static SandboxConfig Load(const std::string& root);
  // Writes sandbox.ini (atomically) and creates the host folders of the system folders.
  void Save() const;
  std::string IniPath() const { return root + "/sandbox.ini"; }
};

const char* DriveTypeName(DriveType type);

}  // namespace vl4::platform::sandbox
