#include "platform/sandbox/code_page.h"

#include <algorithm>

namespace vl4::platform::sandbox {

extern const char16_t kCp1251High[128];
extern const char16_t kCp866High[128];
extern const char16_t kCp1252High[128];
extern const char16_t kCp437High[128];

namespace {

// Simple upper-case mapping of the letters these code pages hold (Latin-1 and Cyrillic).
char32_t UnicodeUpper(char32_t u) {
  if (u >= 'a' && u <= 'z') return u - 32;
  if ((u >= 0xE0 && u <= 0xFE && u != 0xF7)) return u - 32;
  if (u == 0xFF) return 0x178;
  if (u >= 0x430 && u <= 0x44F) return u - 32;
  if (u >= 0x450 && u <= 0x45F) return u - 80;
  if (u == 0x491) return 0x490;
  if (u == 0x153 || u == 0x161 || u == 0x17E) return u - 1;  // oe, s and z with caron
  return u;
}

}  // namespace

CodePage::CodePage(unsigned number, const char16_t* high) : number_(number), high_(high) {
  for (unsigned c = 0; c < 256; ++c)
    reverse_.emplace_back(ToUnicode(static_cast<unsigned char>(c)), static_cast<unsigned char>(c));
  std::sort(reverse_.begin(), reverse_.end());
  for (unsigned c = 0; c < 256; ++c) {
    auto up = FromUnicode(UnicodeUpper(ToUnicode(static_cast<unsigned char>(c))));
    upper_[c] = up ? *up : static_cast<unsigned char>(c);
  }
}

const CodePage* CodePage::Find(unsigned number) {
  static const CodePage k1251(1251, kCp1251High), k866(866, kCp866High), k1252(1252, kCp1252High),
      k437(437, kCp437High);
  switch (number) {
    case 1251:
      return &k1251;
    case 866:
      return &k866;
    case 1252:
      return &k1252;
    case 437:
      return &k437;
    default:
      return nullptr;
  }
}

std::optional<unsigned char> CodePage::FromUnicode(char32_t u) const {
  if (u < 0x80) return static_cast<unsigned char>(u);
  auto it = std::lower_bound(reverse_.begin(), reverse_.end(), std::make_pair(u, '\0'),
                             [](const auto& a, const auto& b) { return a.first < b.first; });
  if (it == reverse_.end() || it->first != u) return std::nullopt;
  return it->second;
}

std::string CodePage::UpperCase(std::string_view text) const {
  std::string r(text);
  for (char& c : r) c = static_cast<char>(upper_[static_cast<unsigned char>(c)]);
  return r;
}

std::optional<char32_t> DecodeUtf8(std::string_view text, size_t& pos) {
  auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
  unsigned char c = byte(pos);
  if (c < 0x80) {
    ++pos;
    return c;
  }
  int extra = c >= 0xF0 && c < 0xF5   ? 3
              : c >= 0xE0 && c < 0xF0 ? 2
              : c >= 0xC2 && c < 0xE0 ? 1
                                      : -1;
  if (extra < 0 || pos + extra >= text.size()) {
    ++pos;
    return std::nullopt;
  }
  char32_t u = c & (0x3F >> extra);
  for (int i = 1; i <= extra; ++i) {
    unsigned char d = byte(pos + i);
    if ((d & 0xC0) != 0x80) {
      ++pos;
      return std::nullopt;
    }
    u = (u << 6) | (d & 0x3F);
  }
  static const char32_t kMin[] = {0, 0x80, 0x800, 0x10000};
  if (u < kMin[extra] || u > 0x10FFFF || (u >= 0xD800 && u <= 0xDFFF)) {
    ++pos;
    return std::nullopt;
  }
  pos += extra + 1;
  return u;
}

void AppendUtf8(std::string& out, char32_t u) {
  if (u < 0x80) {
    out += static_cast<char>(u);
  } else if (u < 0x800) {
    out += static_cast<char>(0xC0 | (u >> 6));
    out += static_cast<char>(0x80 | (u & 0x3F));
  } else if (u < 0x10000) {
    out += static_cast<char>(0xE0 | (u >> 12));
    out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (u & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (u >> 18));
    out += static_cast<char>(0x80 | ((u >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (u & 0x3F));
  }
}

std::string CodePage::ToUtf8(std::string_view text) const {
  std::string out;
  out.reserve(text.size());
  for (char c : text) AppendUtf8(out, ToUnicode(static_cast<unsigned char>(c)));
  return out;
}

std::string CodePage::FromUtf8(std::string_view utf8, char missing) const {
  std::string out;
  out.reserve(utf8.size());
  for (size_t pos = 0; pos < utf8.size();) {
    auto u = DecodeUtf8(utf8, pos);
    auto c = u ? FromUnicode(*u) : std::nullopt;
    out += c ? static_cast<char>(*c) : missing;
  }
  return out;
}

std::u16string CodePage::ToUtf16(std::string_view text) const {
  std::u16string out;
  out.reserve(text.size());
  for (char c : text) out += static_cast<char16_t>(ToUnicode(static_cast<unsigned char>(c)));
  return out;
}

std::string CodePage::FromUtf16(std::u16string_view text, char missing) const {
  std::string out;
  out.reserve(text.size());
  for (char16_t u : text) {
    auto c = FromUnicode(u);
    out += c ? static_cast<char>(*c) : missing;
  }
  return out;
}

std::string Recode(const CodePage& from, const CodePage& to, std::string_view text, char missing) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    auto r = to.FromUnicode(from.ToUnicode(static_cast<unsigned char>(c)));
    out += r ? static_cast<char>(*r) : missing;
  }
  return out;
}

}  // namespace vl4::platform::sandbox
