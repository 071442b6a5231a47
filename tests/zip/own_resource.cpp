// The test program's own resources, as the platform's System::Resource finds them.
#include "tests/zip/fake_platform.h"

#ifdef _WIN32
#include <windows.h>
#else
#include "platform/embedded_resource.h"
#endif

namespace vl4::zip::test {

std::optional<std::string_view> OwnResource(const std::string& type, const std::string& name) {
#ifdef _WIN32
  HRSRC found = FindResourceA(nullptr, name.c_str(), type.c_str());
  if (!found) return std::nullopt;
  HGLOBAL loaded = LoadResource(nullptr, found);
  if (!loaded) return std::nullopt;
  return std::string_view(static_cast<const char*>(LockResource(loaded)),
                          SizeofResource(nullptr, found));
#else
  std::string_view data = platform::FindEmbeddedResource(type, name);
  if (data.data() == nullptr) return std::nullopt;
  return data;
#endif
}

}  // namespace vl4::zip::test
