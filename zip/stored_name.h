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
// says so (characters the code page lacks become "_"), else from the OEM code page.
std::string ConvertStoredName(std::string stored, uint16_t bit_flag, platform::System& system);

// Splits at the last "\" or ":": up to and including it is the directory, the rest the file name.
void SplitStoredName(const std::string& name, std::string& directory, std::string& filename);

}  // namespace vl4::zip
