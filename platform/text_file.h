// Text files as lists of lines over the Files interface: on reading, CR LF, LF or CR ends a line;
// lines are written with CR LF, the last one too. Text is ANSI bytes.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include <string_view>

#include "platform/files.h"

namespace vl4::platform {

// The lines of the file (a final line break adds no empty line); nothing when it cannot be read.
std::optional<std::vector<std::string>> ReadTextFile(Files& files, const std::string& path);
// Creates or truncates the file; false when it cannot be created or fully written.
bool WriteTextFile(Files& files, const std::string& path, const std::vector<std::string>& lines);

// The same split on text already in memory.
std::vector<std::string> SplitLines(std::string_view text);

}  // namespace vl4::platform
