// The Windows shell link file format (.lnk, MS-SHLLINK): what the sandbox writes when a program
// saves a shortcut, and reads back. Plain bytes; the caller converts the text.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/files.h"

namespace vl4::platform {

// One folder or file on the way from the drive root to the target (the target last).
struct ShellLinkItem {
  std::string name;  // ANSI, as stored
  bool directory = false;
  uint32_t size = 0;
  uint32_t dos_time = 0;
  uint32_t attributes = 0;
};

struct ShellLinkTarget {
  std::string path;                  // full ANSI path "C:\dir\file.exe"
  std::vector<ShellLinkItem> items;  // empty when the target does not exist
  uint32_t attributes = 0;
  uint32_t size = 0;
  uint64_t write_time = 0;  // FILETIME of the target, 0 when unknown
  DriveType drive_type = DriveType::kFixed;
  uint32_t drive_serial = 0;
  std::string volume_label;
};

using ToUtf16 = std::function<std::u16string(std::string_view)>;
using FromUtf16 = std::function<std::string(std::u16string_view)>;

// A link with the target's ID list and link information, and the arguments and working
// directory as Unicode string data.
std::string EncodeShellLink(const ShellLinkTarget& target, std::string_view arguments,
                            std::string_view working_directory, const ToUtf16& to_utf16);

struct DecodedShellLink {
  std::string target;  // from the link information, else from the ID list, else relative path
  std::string arguments;
  std::string working_directory;
};
// Nothing when the bytes are no shell link or are cut short.
std::optional<DecodedShellLink> DecodeShellLink(std::string_view bytes,
                                                const FromUtf16& from_utf16);

}  // namespace vl4::platform
