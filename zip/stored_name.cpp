#include "zip/stored_name.h"

#include <algorithm>

namespace vl4::zip {

std::string ConvertStoredName(std::string stored, uint16_t bit_flag, platform::System& system) {
  std::replace(stored.begin(), stored.end(), '/', '\\');
  // Both code pages agree with ASCII, so a plain ASCII name (nearly every name) needs no call.
  bool ascii = std::all_of(stored.begin(), stored.end(),
                           [](char c) { return static_cast<unsigned char>(c) < 0x80; });
  if (ascii) return stored;
  return (bit_flag & kFlagUtf8) != 0 ? system.Utf8ToAnsi(stored) : system.OemToAnsi(stored);
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
