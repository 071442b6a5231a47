// The registry through RegOpenKeyExA, RegCreateKeyExA, RegQueryValueExA, RegSetValueExA and
// RegDeleteTreeA, in the program's own view or in a 64-bit program's (KEY_WOW64_64KEY).
#include "platform/win32/windows_api.h"

#include "platform/exception.h"
#include "platform/win32/win32_services.h"

namespace vl4::platform::win32 {

namespace {

HKEY RootOf(RootKey root) {
  switch (root) {
    case RootKey::kLocalMachine:
      return HKEY_LOCAL_MACHINE;
    case RootKey::kCurrentUser:
      return HKEY_CURRENT_USER;
    case RootKey::kClassesRoot:
      return HKEY_CLASSES_ROOT;
  }
  return HKEY_CURRENT_USER;
}

std::string Relative(const std::string& key) {
  size_t start = key.find_first_not_of('\\');
  return start == std::string::npos ? "" : key.substr(start);
}

[[noreturn]] void Fail(const char* what, const std::string& key, LONG code) {
  throw ERegistryException(std::string(what) + " \"" + key + "\" (error " + std::to_string(code) +
                           ")");
}

// An open key, closed by its owner.
class Key {
 public:
  Key() = default;
  ~Key() {
    if (hkey_) RegCloseKey(hkey_);
  }
  Key(const Key&) = delete;
  Key& operator=(const Key&) = delete;
  HKEY* out() { return &hkey_; }
  HKEY get() const { return hkey_; }

 private:
  HKEY hkey_ = nullptr;
};

class Win32Registry final : public Registry {
 public:
  explicit Win32Registry(REGSAM view) : view_(view) {}

  bool KeyExists(RootKey root, const std::string& key) override {
    Key k;
    return Open(root, key, KEY_READ, k);
  }
  void CreateKey(RootKey root, const std::string& key) override {
    Key k;
    Create(root, key, k);
  }
  bool ValueExists(RootKey root, const std::string& key, const std::string& name) override {
    Key k;
    return Open(root, key, KEY_READ, k) && RegQueryValueExA(k.get(), name.c_str(), nullptr, nullptr,
                                                            nullptr, nullptr) == ERROR_SUCCESS;
  }
  std::optional<std::string> ReadString(RootKey root, const std::string& key,
                                        const std::string& name) override {
    auto value = Query(root, key, name);
    if (!value) return std::nullopt;
    if (value->first != REG_SZ && value->first != REG_EXPAND_SZ) {
      throw ERegistryException("Invalid data type for '" + name + "'");
    }
    std::string& data = value->second;
    size_t end = data.find('\0');
    return end == std::string::npos ? data : data.substr(0, end);
  }
  std::optional<uint32_t> ReadDword(RootKey root, const std::string& key,
                                    const std::string& name) override {
    auto value = Query(root, key, name);
    if (!value) return std::nullopt;
    if (value->first != REG_DWORD || value->second.size() != 4) {
      throw ERegistryException("Invalid data type for '" + name + "'");
    }
    DWORD n;
    memcpy(&n, value->second.data(), 4);
    return n;
  }
  void WriteString(RootKey root, const std::string& key, const std::string& name,
                   const std::string& value) override {
    Set(root, key, name, REG_SZ, value.c_str(), value.size() + 1);
  }
  void WriteDword(RootKey root, const std::string& key, const std::string& name,
                  uint32_t value) override {
    DWORD n = value;
    Set(root, key, name, REG_DWORD, &n, sizeof n);
  }
  void DeleteValue(RootKey root, const std::string& key, const std::string& name) override {
    Key k;
    if (!Open(root, key, KEY_SET_VALUE, k)) return;
    LONG rc = RegDeleteValueA(k.get(), name.c_str());
    if (rc != ERROR_SUCCESS && rc != ERROR_FILE_NOT_FOUND) Fail("Failed to delete value", key, rc);
  }
  void DeleteKey(RootKey root, const std::string& key) override {
    std::string path = Relative(key);
    while (!path.empty() && path.back() == '\\') path.pop_back();
    if (path.empty()) return;
    // Through the parent, which is opened in this registry's view.
    const size_t slash = path.find_last_of('\\');
    const std::string parent = slash == std::string::npos ? "" : path.substr(0, slash);
    Key k;
    if (!Open(root, parent, KEY_READ | KEY_WRITE, k)) return;
    LONG rc = RegDeleteTreeA(k.get(), path.substr(slash + 1).c_str());
    if (rc != ERROR_SUCCESS && rc != ERROR_FILE_NOT_FOUND) Fail("Failed to delete key", key, rc);
  }

 private:
  // Opens the key; false when it does not exist, an exception for other failures.
  bool Open(RootKey root, const std::string& key, REGSAM access, Key& out) {
    LONG rc = RegOpenKeyExA(RootOf(root), Relative(key).c_str(), 0, access | view_, out.out());
    if (rc == ERROR_FILE_NOT_FOUND) return false;
    if (rc != ERROR_SUCCESS) Fail("Failed to open key", key, rc);
    return true;
  }
  void Create(RootKey root, const std::string& key, Key& out) {
    LONG rc = RegCreateKeyExA(RootOf(root), Relative(key).c_str(), 0, nullptr, 0,
                              KEY_READ | KEY_WRITE | view_, nullptr, out.out(), nullptr);
    if (rc != ERROR_SUCCESS) Fail("Failed to create key", key, rc);
  }

  std::optional<std::pair<DWORD, std::string>> Query(RootKey root, const std::string& key,
                                                     const std::string& name) {
    Key k;
    if (!Open(root, key, KEY_READ, k)) return std::nullopt;
    for (;;) {
      DWORD type = 0, size = 0;
      LONG rc = RegQueryValueExA(k.get(), name.c_str(), nullptr, &type, nullptr, &size);
      if (rc == ERROR_FILE_NOT_FOUND) return std::nullopt;
      if (rc != ERROR_SUCCESS) Fail("Failed to get data for", name, rc);
      std::string data(size, '\0');
      rc = RegQueryValueExA(k.get(), name.c_str(), nullptr, &type,
                            reinterpret_cast<BYTE*>(data.data()), &size);
      if (rc == ERROR_MORE_DATA) continue;  // changed between the two calls
      if (rc != ERROR_SUCCESS) Fail("Failed to get data for", name, rc);
      data.resize(size);
      return std::make_pair(type, std::move(data));
    }
  }

  REGSAM view_;
  void Set(RootKey root, const std::string& key, const std::string& name, DWORD type,
           const void* data, size_t size) {
    Key k;
    Create(root, key, k);
    LONG rc = RegSetValueExA(k.get(), name.c_str(), 0, type, static_cast<const BYTE*>(data),
                             static_cast<DWORD>(size));
    if (rc != ERROR_SUCCESS) Fail("Failed to set data for", name, rc);
  }
};

}  // namespace

std::unique_ptr<Registry> CreateRegistry(RegistryView view) {
  return std::make_unique<Win32Registry>(view == RegistryView::kNative ? KEY_WOW64_64KEY : 0);
}

}  // namespace vl4::platform::win32
