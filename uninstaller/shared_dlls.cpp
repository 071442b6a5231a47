// Giving back an installation's count of a shared system file.
#include "uninstaller/shared_dlls.h"

#include <optional>

#include "platform/exception.h"
#include "platform/registry.h"

namespace vl4 {

SharedDllRelease ReleaseSharedDll(platform::Registry& registry, const std::string& path,
                                  bool keep_file,
                                  const std::function<bool(const std::string&)>& remove) {
  constexpr auto kRoot = platform::RootKey::kLocalMachine;
  std::optional<uint32_t> count;
  try {
    count = registry.ReadDword(kRoot, kSharedDllsKey, path);
  } catch (const ERegistryException&) {
    // A value of another type is nobody's count that this program could keep honest.
  }
  if (!count || *count == 0) return SharedDllRelease::kNotCounted;
  try {
    if (*count > 1) {
      registry.WriteDword(kRoot, kSharedDllsKey, path, *count - 1);
      return SharedDllRelease::kStillShared;
    }
    // The count goes after the file: a file that stays keeps the count that stands for it.
    if (!keep_file && !remove(path)) return SharedDllRelease::kStayed;
    registry.DeleteValue(kRoot, kSharedDllsKey, path);
    return SharedDllRelease::kReleased;
  } catch (const ERegistryException&) {
    return SharedDllRelease::kStayed;
  }
}

}  // namespace vl4
