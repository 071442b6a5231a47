#include "platform/sandbox/sandbox_registry.h"

#include <fcntl.h>
#include <unistd.h>

#include <optional>
#include <string_view>
#include <vector>

#include "platform/exception.h"
#include "platform/text.h"

namespace vl4::platform::sandbox {

namespace {

constexpr uint32_t kRegSz = 1, kRegExpandSz = 2, kRegDword = 4;

SandboxRegistry::Key* FindChild(SandboxRegistry::Key& key, std::string_view name, bool create) {
  for (auto& sub : key.subkeys) {
    if (SameText(sub->name, name)) return sub.get();
  }
  if (!create) return nullptr;
  key.subkeys.push_back(std::make_unique<SandboxRegistry::Key>());
  key.subkeys.back()->name = std::string(name);
  return key.subkeys.back().get();
}

// The classes whose keys a 32-bit program finds in SOFTWARE\Classes\Wow6432Node on 64-bit
// Windows (the COM registrations); every other class key is shared by both kinds of program.
constexpr std::string_view kRedirectedClasses[] = {"CLSID", "Interface", "DirectShow", "Media Type",
                                                   "MediaFoundation"};
constexpr std::string_view kWow64Node = "Wow6432Node";

}  // namespace

SandboxRegistry::SandboxRegistry(Machine& machine, View view)
    : m_(machine), view_(view), path_(machine.File("registry.reg")), top_(std::make_unique<Key>()) {
  Refresh();  // a malformed file shows at once
}

// WoW64's registry redirection as Wine shows it: a 32-bit program's HKLM\SOFTWARE\<key> is
// HKLM\SOFTWARE\Wow6432Node\<key>; SOFTWARE\Classes (and so HKEY_CLASSES_ROOT) is shared but
// for the COM registrations; HKEY_CURRENT_USER and the rest of HKLM are shared.
std::string SandboxRegistry::Stored(RootKey root, const std::string& key) const {
  if (view_ == View::kNative || !m_.config.windows64 || root == RootKey::kCurrentUser) return key;
  std::vector<std::string_view> parts;
  for (size_t pos = 0; pos < key.size();) {
    size_t end = key.find('\\', pos);
    if (end == std::string::npos) end = key.size();
    if (end > pos) parts.push_back(std::string_view(key).substr(pos, end - pos));
    pos = end + 1;
  }
  auto redirected_class = [](std::string_view name) {
    for (std::string_view c : kRedirectedClasses) {
      if (SameText(c, name)) return true;
    }
    return false;
  };
  // The part before which "Wow6432Node" goes in; none when the key is shared.
  std::optional<size_t> node;
  if (root == RootKey::kClassesRoot) {
    if (!parts.empty() && redirected_class(parts[0])) node = 0;
  } else if (parts.size() >= 2 && SameText(parts[0], "SOFTWARE") &&
             !SameText(parts[1], kWow64Node)) {
    if (!SameText(parts[1], "Classes")) {
      node = 1;
    } else if (parts.size() >= 3 && redirected_class(parts[2])) {
      node = 2;
    }
  }
  if (!node) return key;
  parts.insert(parts.begin() + static_cast<std::ptrdiff_t>(*node), kWow64Node);
  std::string stored;
  for (std::string_view part : parts) {
    if (!stored.empty()) stored += '\\';
    stored += part;
  }
  return stored;
}

void SandboxRegistry::Refresh() {
  FileStamp now = FileStamp::Of(path_);
  if (seen_ && *seen_ == now) return;
  if (now.size < 0) {
    top_ = std::make_unique<Key>();
  } else {
    auto text = ReadHostFile(path_);
    top_ = ParseRegFile(text.value_or(""), path_);
  }
  seen_ = now;
}

template <class Change>
void SandboxRegistry::Mutate(Change change) {
  HostFileLock lock(path_ + ".lock");
  Refresh();
  change();
  if (!ReplaceHostFile(path_, FormatRegFile(*top_))) {
    seen_.reset();  // what is in memory is not what is on disk
    throw ERegistryException("Failed to set data: cannot write " + path_);
  }
  seen_ = FileStamp::Of(path_);
}

SandboxRegistry::Key* SandboxRegistry::Walk(RootKey root, const std::string& path, bool create) {
  Key* key = nullptr;
  switch (root) {
    case RootKey::kLocalMachine:
      key = FindChild(*top_, "HKEY_LOCAL_MACHINE", create);
      break;
    case RootKey::kCurrentUser:
      key = FindChild(*top_, "HKEY_CURRENT_USER", create);
      break;
    case RootKey::kClassesRoot:
      // As on Windows, the classes root is the machine's SOFTWARE\Classes.
      key = FindChild(*top_, "HKEY_LOCAL_MACHINE", create);
      if (key) key = FindChild(*key, "SOFTWARE", create);
      if (key) key = FindChild(*key, "Classes", create);
      break;
  }
  size_t pos = 0;
  while (key && pos < path.size()) {
    size_t end = path.find('\\', pos);
    if (end == std::string::npos) end = path.size();
    std::string_view part = std::string_view(path).substr(pos, end - pos);
    pos = end + 1;
    if (!part.empty()) key = FindChild(*key, part, create);
  }
  return key;
}

const SandboxRegistry::Value* SandboxRegistry::FindValue(RootKey root, const std::string& key,
                                                         const std::string& name) {
  Refresh();
  Key* k = Walk(root, Stored(root, key), false);
  if (!k) return nullptr;
  for (const Value& v : k->values) {
    if (SameText(v.name, name)) return &v;
  }
  return nullptr;
}

bool SandboxRegistry::KeyExists(RootKey root, const std::string& key) {
  Refresh();
  return Walk(root, Stored(root, key), false) != nullptr;
}

void SandboxRegistry::CreateKey(RootKey root, const std::string& key) {
  Refresh();
  const std::string stored = Stored(root, key);
  if (Walk(root, stored, false)) return;
  RequireRights(root, key);
  Mutate([&] { Walk(root, stored, true); });
}

void SandboxRegistry::RequireRights(RootKey root, const std::string& key) const {
  if (root != RootKey::kCurrentUser && !m_.Elevated()) {
    throw ERegistryException("Failed to open key \"" + key + "\" (access denied)");
  }
}

bool SandboxRegistry::ValueExists(RootKey root, const std::string& key, const std::string& name) {
  return FindValue(root, key, name) != nullptr;
}

std::optional<std::string> SandboxRegistry::ReadString(RootKey root, const std::string& key,
                                                       const std::string& name) {
  const Value* v = FindValue(root, key, name);
  if (!v) return std::nullopt;
  if (v->type != kRegSz && v->type != kRegExpandSz) {
    throw ERegistryException("Invalid data type for '" + name + "'");
  }
  return v->data;
}

std::optional<uint32_t> SandboxRegistry::ReadDword(RootKey root, const std::string& key,
                                                   const std::string& name) {
  const Value* v = FindValue(root, key, name);
  if (!v) return std::nullopt;
  if (v->type != kRegDword || v->data.size() != 4) {
    throw ERegistryException("Invalid data type for '" + name + "'");
  }
  uint32_t n = 0;
  for (int b = 3; b >= 0; --b) n = (n << 8) | static_cast<unsigned char>(v->data[b]);
  return n;
}

void SandboxRegistry::Put(RootKey root, const std::string& key, Value value) {
  RequireRights(root, key);
  Mutate([&] {
    Key* k = Walk(root, Stored(root, key), true);
    for (Value& v : k->values) {
      if (SameText(v.name, value.name)) {
        v.type = value.type;
        v.data = std::move(value.data);
        return;
      }
    }
    k->values.push_back(std::move(value));
  });
}

void SandboxRegistry::WriteString(RootKey root, const std::string& key, const std::string& name,
                                  const std::string& value) {
  Put(root, key, {name, kRegSz, value});
}

void SandboxRegistry::WriteDword(RootKey root, const std::string& key, const std::string& name,
                                 uint32_t value) {
  std::string data;
  for (int b = 0; b < 4; ++b) data += static_cast<char>((value >> (8 * b)) & 0xFF);
  Put(root, key, {name, kRegDword, data});
}

void SandboxRegistry::DeleteValue(RootKey root, const std::string& key, const std::string& name) {
  if (!FindValue(root, key, name)) return;
  RequireRights(root, key);
  Mutate([&] {
    Key* k = Walk(root, Stored(root, key), false);
    if (!k) return;
    for (auto it = k->values.begin(); it != k->values.end(); ++it) {
      if (SameText(it->name, name)) {
        k->values.erase(it);
        return;
      }
    }
  });
}

void SandboxRegistry::DeleteKey(RootKey root, const std::string& key) {
  Refresh();
  std::string path = Stored(root, key);
  while (!path.empty() && path.back() == '\\') path.pop_back();
  size_t slash = path.find_last_of('\\');
  std::string parent = slash == std::string::npos ? "" : path.substr(0, slash);
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  if (name.empty() || !Walk(root, path, false)) return;
  RequireRights(root, key);
  Mutate([&] {
    Key* p = Walk(root, parent, false);
    if (!p) return;
    for (auto it = p->subkeys.begin(); it != p->subkeys.end(); ++it) {
      if (SameText((*it)->name, name)) {
        p->subkeys.erase(it);
        return;
      }
    }
  });
}

}  // namespace vl4::platform::sandbox
