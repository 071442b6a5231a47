// Windows command lines split into arguments the way the program's own runtime reads them
// (ParamStr): blanks and control characters separate, double quotes group and are dropped, and
// a backslash is an ordinary character (so "C:\dir\" stays C:\dir\).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vl4 {

std::vector<std::string> SplitCommandLine(std::string_view command_line);
// One argument quoted for a command line when it holds blanks or quotes (quotes cannot be
// passed through and are dropped).
std::string QuoteArgument(std::string_view argument);

}  // namespace vl4
