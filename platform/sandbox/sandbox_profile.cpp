#include "platform/sandbox/sandbox_profile.h"

#include <algorithm>

#include "platform/text.h"

namespace vl4::platform::sandbox {

namespace {

bool Same(const Machine& m, std::string_view a, std::string_view b) {
  return a.size() == b.size() && m.ansi.UpperCase(a) == m.ansi.UpperCase(b);
}

// Windows takes blanks and tabs (and stray carriage returns) around names and values as padding.
bool IsPad(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}
std::string Strip(std::string_view s) {
  size_t b = 0, e = s.size();
  while (b < e && IsPad(s[b])) ++b;
  while (e > b && IsPad(s[e - 1])) --e;
  return std::string(s.substr(b, e - b));
}

}  // namespace

std::string SandboxProfile::FileOf(const std::string& path) {
  // A bare file name lives in the Windows directory, as Windows looks for it there.
  if (path.find_first_of("\\/") == std::string::npos) return m_.config.windows_dir + "\\" + path;
  return path;
}

std::optional<std::vector<SandboxProfile::Section>> SandboxProfile::Load(const std::string& file) {
  std::string text;
  try {
    auto stream = files_.OpenFile(file, OpenMode::kRead);
    char buffer[16384];
    while (size_t n = stream->Read(buffer, sizeof buffer)) text.append(buffer, n);
  } catch (const Exception&) {
    return std::nullopt;
  }
  std::vector<Section> sections(1);
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find_first_of("\r\n", pos);
    if (end == std::string::npos) end = text.size();
    std::string line = Strip(std::string_view(text).substr(pos, end - pos));
    pos = end + 1;
    if (end < text.size() && text[end] == '\r' && pos < text.size() && text[pos] == '\n') ++pos;
    if (line.empty()) continue;
    if (line[0] == '[') {
      size_t close = line.find_last_of(']');
      if (close != std::string::npos && close > 0) {
        sections.push_back({Strip(line.substr(1, close - 1)), true, {}});
        continue;
      }
    }
    size_t eq = line.find('=');
    if (eq == std::string::npos) {
      sections.back().entries.push_back({line, std::nullopt});
    } else {
      sections.back().entries.push_back({Strip(line.substr(0, eq)), Strip(line.substr(eq + 1))});
    }
  }
  return sections;
}

bool SandboxProfile::Save(const std::string& file, const std::vector<Section>& sections) {
  std::string out;
  for (const Section& section : sections) {
    if (section.header) out += "[" + section.name + "]\r\n";
    for (const Entry& entry : section.entries) {
      out += entry.name;
      if (entry.value) out += "=" + *entry.value;
      out += "\r\n";
    }
  }
  try {
    auto stream = files_.OpenFile(file, OpenMode::kCreate);
    return stream->Write(out.data(), out.size()) == out.size();
  } catch (const Exception&) {
    return false;
  }
}

std::optional<std::optional<std::string>> SandboxProfile::Find(const std::string& path,
                                                               const std::string& section,
                                                               const std::string& key) {
  auto sections = Load(FileOf(path));
  if (!sections) return std::nullopt;
  std::string want_section = Strip(section), want_key = Strip(key);
  for (const Section& s : *sections) {
    // The lines before the first header form a section without a name.
    if (s.header ? !Same(m_, s.name, want_section) : !want_section.empty()) continue;
    // Only the first section of that name counts.
    for (const Entry& e : s.entries) {
      if (Same(m_, e.name, want_key)) return e.value;
    }
    return std::nullopt;
  }
  return std::nullopt;
}

std::string SandboxProfile::ReadString(const std::string& path, const std::string& section,
                                       const std::string& key, const std::string& def) {
  auto found = Find(path, section, key);
  if (!found || !*found) {  // a line without "=" gives no value either
    std::string d = def;
    while (!d.empty() && d.back() == ' ') d.pop_back();
    return d;
  }
  std::string value = **found;
  // A value in matching quotes loses them.
  if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0]) {
    value = value.substr(1, value.size() - 2);
  }
  return value;
}

int SandboxProfile::ReadInt(const std::string& path, const std::string& section,
                            const std::string& key, int def) {
  std::string value = ReadString(path, section, key, "");
  if (value.empty()) return def;
  // As Windows reads a number with base prefixes: "0x" hexadecimal, "0o" octal, "0b" binary.
  size_t i = 0;
  while (i < value.size() && IsPad(value[i])) ++i;
  bool negative = false;
  if (i < value.size() && (value[i] == '-' || value[i] == '+')) negative = value[i++] == '-';
  uint32_t base = 10;
  if (i + 1 < value.size() && value[i] == '0') {
    char p = static_cast<char>(value[i + 1] | 0x20);
    base = p == 'x' ? 16 : p == 'o' ? 8 : p == 'b' ? 2 : 10;
    if (base != 10) i += 2;
  }
  uint32_t n = 0;
  for (; i < value.size(); ++i) {
    char c = static_cast<char>(value[i] | 0x20);
    uint32_t digit = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : 99;
    if (digit >= base) break;
    n = n * base + digit;  // wraps as Windows does
  }
  return static_cast<int>(negative ? 0u - n : n);
}

bool SandboxProfile::Change(const std::string& path, const std::string& section,
                            const std::string* key, const std::string* value) {
  std::string file = FileOf(path);
  auto loaded = Load(file);
  std::vector<Section> sections = loaded ? std::move(*loaded) : std::vector<Section>(1);
  std::string want_section = Strip(section);
  Section* target = nullptr;
  size_t target_index = 0;
  for (size_t i = 0; i < sections.size() && !target; ++i) {
    if (sections[i].header && Same(m_, sections[i].name, want_section)) {
      target = &sections[i];
      target_index = i;
    }
  }
  if (!key) {  // delete the section
    if (!target) return true;
    sections.erase(sections.begin() + static_cast<ptrdiff_t>(target_index));
    return Save(file, sections);
  }
  std::string want_key = Strip(*key);
  if (!value) {  // delete the key
    if (!target) return true;
    for (auto it = target->entries.begin(); it != target->entries.end(); ++it) {
      if (Same(m_, it->name, want_key)) {
        target->entries.erase(it);
        return Save(file, sections);
      }
    }
    return true;
  }
  // Leading blanks of a written value go; trailing ones stay (reading drops them).
  std::string new_value = *value;
  new_value.erase(0, std::min(new_value.size(), new_value.find_first_not_of(" \t\r\n")));
  if (!target) {
    sections.push_back({want_section, true, {}});
    target = &sections.back();
  }
  for (Entry& e : target->entries) {
    if (Same(m_, e.name, want_key)) {
      if (loaded && e.value == new_value) return true;
      e.value = new_value;
      return Save(file, sections);
    }
  }
  target->entries.push_back({want_key, new_value});
  return Save(file, sections);
}

bool SandboxProfile::WriteString(const std::string& path, const std::string& section,
                                 const std::string& key, const std::string& value) {
  return Change(path, section, &key, &value);
}

bool SandboxProfile::DeleteKey(const std::string& path, const std::string& section,
                               const std::string& key) {
  return Change(path, section, &key, nullptr);
}

bool SandboxProfile::DeleteSection(const std::string& path, const std::string& section) {
  return Change(path, section, nullptr, nullptr);
}

}  // namespace vl4::platform::sandbox
