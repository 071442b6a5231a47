// Member names as archives store them, turned into the program's form: ANSI text with "\"
// separators, split into a directory part and a file name.
#pragma once

#include <cstdint>
#include <string>

#include "platform/system.h"

namespace vl4::zip {

// General purpose flag bit 11: the name (and comment) are UTF-8.
inline constexpr uint16_t kFlagUtf8 = 0x0800;

// "/" becomes "\"; then the bytes are converted to the ANSI code page: from UTF-8 when the flag
// says so (characters the code page lacks become "_"), else from the OEM code page. Archives made
// on Unix (the high byte of `version_made_by` 3) store names in their maker's character set,
// nowadays UTF-8, without the flag: such a name that is valid UTF-8 is converted from UTF-8 too.
std::string ConvertStoredName(std::string stored, uint16_t bit_flag, platform::System& system,
                              uint16_t version_made_by = 0);

// Splits at the last "\" or ":": up to and including it is the directory, the rest the file name.
void SplitStoredName(const std::string& name, std::string& directory, std::string& filename);

}  // namespace vl4::zip
