// The real Windows as the program's platform: thin calls of the Win32 "A" functions.
#pragma once

#include <memory>

#include "platform/platform.h"

namespace vl4::platform {

class Win32Platform final : public Platform {
 public:
  Win32Platform();  // initialises COM for this thread (shell links)
  ~Win32Platform() override;
  Win32Platform(const Win32Platform&) = delete;
  Win32Platform& operator=(const Win32Platform&) = delete;

  Registry& registry() override { return *registry_; }
  Profile& profile() override { return *profile_; }
  Files& files() override { return *files_; }
  Shell& shell() override { return *shell_; }
  System& system() override { return *system_; }

  // The registry as a 64-bit program sees it (KEY_WOW64_64KEY): where 64-bit Windows stores the
  // keys this 32-bit program writes. The same as registry() on 32-bit Windows.
  Registry& NativeRegistry();
  // True on 64-bit Windows (this program then runs through WoW64).
  static bool Windows64();

 private:
  bool com_initialised_;
  std::unique_ptr<Registry> registry_;
  std::unique_ptr<Registry> native_registry_;
  std::unique_ptr<Profile> profile_;
  std::unique_ptr<Files> files_;
  std::unique_ptr<Shell> shell_;
  std::unique_ptr<System> system_;
};

}  // namespace vl4::platform
