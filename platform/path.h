// Windows path helpers on ANSI strings ("\" separators; "/" is also taken as a separator where
// Windows takes it). Pure functions: no file system access.
#pragma once

#include <string>
#include <string_view>

namespace vl4 {

std::string ExtractFilePath(std::string_view path);  // up to and including the last "\" or ":"
std::string ExtractFileName(std::string_view path);  // after the last "\" or ":"
std::string ExtractFileDir(std::string_view path);   // ExtractFilePath without the final "\"
                                                     // (kept for a root such as "C:\")
std::string ExtractFileExt(std::string_view path);   // from the last "." of the name, or empty
std::string ChangeFileExt(std::string_view path, std::string_view ext);
std::string IncludeTrailingBackslash(std::string_view path);
std::string ExcludeTrailingBackslash(std::string_view path);  // removes one trailing "\"

}  // namespace vl4
