// REGEDIT4 text, the sandbox registry's file format: parsing with errors that name file and line,
// and writing.
#include <cstdio>

#include "platform/exception.h"
#include "platform/sandbox/sandbox_registry.h"
#include "platform/text.h"

namespace vl4::platform::sandbox {

namespace {

using Key = SandboxRegistry::Key;
using Value = SandboxRegistry::Value;

Key* Child(Key& key, const std::string& name) {
  for (auto& sub : key.subkeys) {
    if (SameText(sub->name, name)) return sub.get();
  }
  key.subkeys.push_back(std::make_unique<Key>());
  key.subkeys.back()->name = name;
  return key.subkeys.back().get();
}

class Parser {
 public:
  Parser(const std::string& text, const std::string& file) : text_(text), file_(file) {}

  std::unique_ptr<Key> Run() {
    auto top = std::make_unique<Key>();
    Key* current = nullptr;
    bool header_seen = false;
    while (NextLine()) {
      std::string line = Trim(line_);
      if (line.empty() || line[0] == ';') continue;
      if (!header_seen) {
        if (line != "REGEDIT4") Fail("the file does not start with \"REGEDIT4\"");
        header_seen = true;
        continue;
      }
      if (line[0] == '[') {
        if (line.back() != ']') Fail("a key line lacks its \"]\"");
        std::string path = line.substr(1, line.size() - 2);
        if (!path.empty() && path[0] == '-') Fail("key deletions are not kept in this file");
        current = top.get();
        size_t pos = 0;
        bool first = true;
        while (pos <= path.size()) {
          size_t end = path.find('\\', pos);
          if (end == std::string::npos) end = path.size();
          std::string part = path.substr(pos, end - pos);
          pos = end + 1;
          if (part.empty()) Fail("an empty key name in \"" + path + "\"");
          if (first) {
            if (SameText(part, "HKEY_CLASSES_ROOT")) {
              current = Child(*Child(*top, "HKEY_LOCAL_MACHINE"), "SOFTWARE");
              part = "Classes";
            } else if (!SameText(part, "HKEY_LOCAL_MACHINE") &&
                       !SameText(part, "HKEY_CURRENT_USER") && !SameText(part, "HKEY_USERS")) {
              Fail("unknown root key \"" + part + "\"");
            }
            first = false;
          }
          current = Child(*current, part);
        }
        continue;
      }
      if (!current) Fail("a value before the first key");
      current->values.push_back(ParseValue(line));
    }
    if (!header_seen && !text_.empty()) Fail("the file does not start with \"REGEDIT4\"");
    return top;
  }

 private:
  bool NextLine() {
    if (pos_ >= text_.size()) return false;
    size_t end = text_.find('\n', pos_);
    if (end == std::string::npos) end = text_.size();
    line_ = text_.substr(pos_, end - pos_);
    if (!line_.empty() && line_.back() == '\r') line_.pop_back();
    pos_ = end + 1;
    ++line_no_;
    return true;
  }

  [[noreturn]] void Fail(const std::string& what) {
    throw ERegistryException(Format("%s, line %d: %s", file_.c_str(), line_no_, what.c_str()));
  }

  // A quoted string with \\ and \" escapes starting at s[i] == '"'; i ends after the quote.
  std::string Quoted(const std::string& s, size_t& i) {
    std::string out;
    for (++i; i < s.size(); ++i) {
      if (s[i] == '"') {
        ++i;
        return out;
      }
      if (s[i] == '\\' && i + 1 < s.size()) ++i;
      out += s[i];
    }
    Fail("a string lacks its closing quote");
  }

  Value ParseValue(const std::string& line) {
    Value v;
    size_t i = 0;
    if (line[0] == '@') {
      i = 1;
    } else if (line[0] == '"') {
      v.name = Quoted(line, i);
    } else {
      Fail("\"" + line + "\" is neither a key nor a value");
    }
    while (i < line.size() && line[i] == ' ') ++i;
    if (i >= line.size() || line[i] != '=') Fail("a value name is not followed by \"=\"");
    std::string rest = Trim(line.substr(i + 1));
    if (!rest.empty() && rest[0] == '"') {
      size_t j = 0;
      v.type = 1;
      v.data = Quoted(rest, j);
      if (!Trim(rest.substr(j)).empty()) Fail("text after a string value");
    } else if (StartsText("dword:", rest)) {
      std::string hex = rest.substr(6);
      char* end = nullptr;
      unsigned long n = std::strtoul(hex.c_str(), &end, 16);
      if (hex.empty() || hex.size() > 8 || *end != '\0') Fail("\"" + rest + "\" is no dword");
      v.type = 4;
      for (int b = 0; b < 4; ++b) v.data += static_cast<char>((n >> (8 * b)) & 0xFF);
    } else if (StartsText("hex", rest)) {
      size_t colon = rest.find(':');
      if (colon == std::string::npos) Fail("\"" + rest + "\" lacks its \":\"");
      std::string kind = rest.substr(3, colon - 3);
      v.type = 3;
      if (!kind.empty()) {
        char* end = nullptr;
        if (kind.size() < 3 || kind[0] != '(' || kind.back() != ')') Fail("bad hex type " + kind);
        v.type = static_cast<uint32_t>(std::strtoul(kind.c_str() + 1, &end, 16));
        if (*end != ')') Fail("bad hex type " + kind);
      }
      std::string bytes = rest.substr(colon + 1);
      // Long binary values continue on the next lines after a final "\".
      while (!bytes.empty() && Trim(bytes).back() == '\\') {
        bytes = Trim(bytes);
        bytes.pop_back();
        if (!NextLine()) Fail("the file ends inside a hex value");
        bytes += Trim(line_);
      }
      size_t p = 0;
      bytes = Trim(bytes);
      while (p < bytes.size()) {
        size_t comma = bytes.find(',', p);
        if (comma == std::string::npos) comma = bytes.size();
        std::string byte = Trim(bytes.substr(p, comma - p));
        char* end = nullptr;
        unsigned long b = std::strtoul(byte.c_str(), &end, 16);
        if (byte.empty() || byte.size() > 2 || *end != '\0')
          Fail("\"" + byte + "\" is no hex byte");
        v.data += static_cast<char>(b);
        p = comma + 1;
      }
      // Strings stored as hex carry their terminating zero.
      if ((v.type == 1 || v.type == 2) && !v.data.empty() && v.data.back() == '\0')
        v.data.pop_back();
    } else {
      Fail("\"" + rest + "\" is no value");
    }
    return v;
  }

  const std::string& text_;
  const std::string& file_;
  size_t pos_ = 0;
  int line_no_ = 0;
  std::string line_;
};

std::string Escaped(const std::string& s) {
  std::string out = "\"";
  for (char c : s) {
    if (c == '\\' || c == '"') out += '\\';
    out += c;
  }
  return out + "\"";
}

void FormatKey(const Key& key, const std::string& path, std::string& out) {
  out += "\n[" + path + "]\n";
  for (const Value& v : key.values) {
    out += v.name.empty() ? "@" : Escaped(v.name);
    out += "=";
    if (v.type == 1) {
      out += Escaped(v.data);
    } else if (v.type == 4 && v.data.size() == 4) {
      uint32_t n = 0;
      for (int b = 3; b >= 0; --b) n = (n << 8) | static_cast<unsigned char>(v.data[b]);
      out += Format("dword:%08x", n);
    } else {
      out += v.type == 3 ? "hex:" : Format("hex(%x):", v.type);
      std::string data = v.data;
      if (v.type == 2) data += '\0';
      for (size_t i = 0; i < data.size(); ++i) {
        out += Format(i ? ",%02x" : "%02x", static_cast<unsigned char>(data[i]));
      }
    }
    out += "\n";
  }
  for (const auto& sub : key.subkeys) FormatKey(*sub, path + "\\" + sub->name, out);
}

}  // namespace

std::unique_ptr<SandboxRegistry::Key> ParseRegFile(const std::string& text,
                                                   const std::string& file) {
  return Parser(text, file).Run();
}

std::string FormatRegFile(const SandboxRegistry::Key& top) {
  std::string out = "REGEDIT4\n";
  for (const auto& root : top.subkeys) FormatKey(*root, root->name, out);
  return out;
}

}  // namespace vl4::platform::sandbox
