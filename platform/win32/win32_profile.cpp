// Private-profile files through GetPrivateProfileStringA/IntA and WritePrivateProfileStringA.
#include "platform/win32/windows_api.h"

#include "platform/win32/win32_services.h"

namespace vl4::platform::win32 {

namespace {

class Win32Profile final : public Profile {
 public:
  std::string ReadString(const std::string& path, const std::string& section,
                         const std::string& key, const std::string& def) override {
    // The call cuts a value that does not fit; grow until it fits.
    for (DWORD size = 1024;; size *= 4) {
      std::string buffer(size, '\0');
      DWORD n = GetPrivateProfileStringA(section.c_str(), key.c_str(), def.c_str(), buffer.data(),
                                         size, path.c_str());
      if (n < size - 1 || size >= (1u << 24)) return buffer.substr(0, n);
    }
  }
  int ReadInt(const std::string& path, const std::string& section, const std::string& key,
              int def) override {
    return static_cast<int>(GetPrivateProfileIntA(section.c_str(), key.c_str(), def, path.c_str()));
  }
  bool WriteString(const std::string& path, const std::string& section, const std::string& key,
                   const std::string& value) override {
    return WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), path.c_str());
  }
  bool DeleteKey(const std::string& path, const std::string& section,
                 const std::string& key) override {
    return WritePrivateProfileStringA(section.c_str(), key.c_str(), nullptr, path.c_str());
  }
  bool DeleteSection(const std::string& path, const std::string& section) override {
    return WritePrivateProfileStringA(section.c_str(), nullptr, nullptr, path.c_str());
  }
};

}  // namespace

std::unique_ptr<Profile> CreateProfile() {
  return std::make_unique<Win32Profile>();
}

}  // namespace vl4::platform::win32
