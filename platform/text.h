// Small text helpers on ANSI byte strings, with the framework's semantics: the case functions
// change ASCII letters only, Trim removes blanks and control characters at both ends.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vl4 {

std::string UpperCase(std::string_view s);
std::string LowerCase(std::string_view s);
bool SameText(std::string_view a, std::string_view b);  // ASCII case-insensitive equality
int CompareText(std::string_view a, std::string_view b);  // ASCII case-insensitive, <0, 0, >0
std::string Trim(std::string_view s);                     // drops bytes <= ' ' at both ends
std::string TrimLeft(std::string_view s);
std::string TrimRight(std::string_view s);
bool ContainsText(std::string_view haystack, std::string_view needle);  // case-insensitive
bool StartsText(std::string_view prefix, std::string_view s);          // case-insensitive

// StrToInt of the framework: optional sign, decimal digits, or hexadecimal written with "$" or
// "0x"; blanks around are not allowed. Returns nothing when the text is not such a number or
// does not fit in 32 bits.
std::optional<int32_t> StrToInt(std::string_view s);
int32_t StrToIntDef(std::string_view s, int32_t def);

// printf-style formatting into a std::string.
std::string Format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));

}  // namespace vl4
