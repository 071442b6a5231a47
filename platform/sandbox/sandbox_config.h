// sandbox.ini: the drives, drive types, labels, system folders and code pages of a sandbox PC.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
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
  std::optional<int64_t> free_space;  // bytes; otherwise what the host folder's file system has
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
  // A 64-bit Windows as this 32-bit program sees it (WoW64): its system directory and
  // HKLM\SOFTWARE are redirected to where 64-bit Windows keeps a 32-bit program's files and keys.
  // Otherwise a 32-bit Windows, where nothing is redirected.
  bool windows64 = false;
  // Whether its programs run with an administrator's rights. Without them, Program Files and the
  // Windows folder can be written only where the Users group was allowed to, and HKEY_LOCAL_MACHINE
  // not at all; a program started with the verb "runas" (and what it starts) has them.
  bool administrator = true;

  // Reads <root>/sandbox.ini; a missing one is created with the defaults (drive C: in <root>/C
  // with its system folders, Z: on the host's "/"). ESandboxError names file and line of a fault.
  static SandboxConfig Load(const std::string& root);
  // Writes sandbox.ini (atomically) and creates the host folders of the system folders.
  void Save() const;
  std::string IniPath() const { return root + "/sandbox.ini"; }

  // Where a 64-bit Windows keeps a 32-bit program's system directory and Program Files.
  std::string SysWow64Dir() const { return windows_dir + "\\SysWOW64"; }
  static constexpr char kProgramFiles[] = "C:\\Program Files";
  static constexpr char kProgramFilesX86[] = "C:\\Program Files (x86)";
};

const char* DriveTypeName(DriveType type);

}  // namespace vl4::platform::sandbox
