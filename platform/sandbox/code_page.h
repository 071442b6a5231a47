// The single-byte code pages of the sandbox PC (ANSI 1251/1252, OEM 866/437) and the
// conversions through them: ANSI names to UTF-8 host names, OEM <-> ANSI, UTF-16 for links.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vl4::platform::sandbox {

class CodePage {
 public:
  // The code page of that number, nullptr when the sandbox does not know it.
  static const CodePage* Find(unsigned number);

  unsigned Number() const { return number_; }
  char32_t ToUnicode(unsigned char c) const { return c < 0x80 ? c : high_[c - 0x80]; }
  std::optional<unsigned char> FromUnicode(char32_t u) const;
  // The upper-case byte of a letter of this code page (ASCII and national letters alike).
  unsigned char Upper(unsigned char c) const { return upper_[c]; }
  std::string UpperCase(std::string_view text) const;

  std::string ToUtf8(std::string_view text) const;
  // Characters the code page lacks, and bytes that are no UTF-8, become `missing`.
  std::string FromUtf8(std::string_view utf8, char missing) const;
  std::u16string ToUtf16(std::string_view text) const;
  std::string FromUtf16(std::u16string_view text, char missing) const;

  CodePage(unsigned number, const char16_t* high);

 private:
  unsigned number_;
  const char16_t* high_;
  std::array<unsigned char, 256> upper_{};
  std::vector<std::pair<char32_t, unsigned char>> reverse_;  // sorted by code point
};

// Text from one code page to another; characters the target lacks become `missing`.
std::string Recode(const CodePage& from, const CodePage& to, std::string_view text, char missing);

// Decodes one UTF-8 sequence at text[pos]; advances pos. Nothing for a malformed sequence
// (pos then moves past one byte).
std::optional<char32_t> DecodeUtf8(std::string_view text, size_t& pos);
void AppendUtf8(std::string& out, char32_t u);

}  // namespace vl4::platform::sandbox
