// The results file's text mapping between the Windows code page 1251 and the DOS code page 866:
// Cyrillic letters move, every other byte stays.
#pragma once

#include <string>
#include <string_view>

namespace vl4 {

std::string Win1251ToDos866(std::string_view text);
std::string Dos866ToWin1251(std::string_view text);

}  // namespace vl4
