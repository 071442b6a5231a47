#include "zip/stored_name.h"

#include <algorithm>

namespace vl4::zip {

namespace {

constexpr uint16_t kMadeOnUnix = 3;

// Well-formed UTF-8 (no overlong two-byte forms, nothing above U+10FFFF by its lead byte).
bool IsUtf8(const std::string& s) {
  constexpr size_t kInvalid = 4;
  for (size_t i = 0; i < s.size();) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    const size_t trail = c < 0x80                 ? 0
                         : c >= 0xC2 && c <= 0xDF ? 1
                         : c >= 0xE0 && c <= 0xEF ? 2
                         : c >= 0xF0 && c <= 0xF4 ? 3
                                                  : kInvalid;
    if (trail == kInvalid || i + trail >= s.size()) return false;
    for (size_t k = 1; k <= trail; ++k) {
      if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
    }
    i += trail + 1;
  }
  return true;
}

}  // namespace

std::string ConvertStoredName(std::string stored, uint16_t bit_flag, platform::System& system,
                              uint16_t version_made_by) {
  std::replace(stored.begin(), stored.end(), '/', '\\');
  // Both code pages agree with ASCII, so a plain ASCII name (nearly every name) needs no call.
  bool ascii = std::all_of(stored.begin(), stored.end(),
                           [](char c) { return static_cast<unsigned char>(c) < 0x80; });
  if (ascii) return stored;
  const bool utf8 =
      (bit_flag & kFlagUtf8) != 0 || (version_made_by >> 8 == kMadeOnUnix && IsUtf8(stored));
  return utf8 ? system.Utf8ToAnsi(stored) : system.OemToAnsi(stored);
}

void SplitStoredName(const std::string& name, std::string& directory, std::string& filename) {
  size_t at = name.find_last_of("\\:");
  if (at == std::string::npos) {
    directory.clear();
    filename = name;
  } else {
    directory.assign(name, 0, at + 1);
    filename.assign(name, at + 1);
  }
}

}  // namespace vl4::zip
