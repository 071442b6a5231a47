#include "platform/win32/win32_platform.h"

#include "platform/win32/windows_api.h"

#include "platform/win32/win32_services.h"

namespace vl4::platform {

Win32Platform::Win32Platform()
    : com_initialised_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))),
      registry_(win32::CreateRegistry()),
      profile_(win32::CreateProfile()),
      files_(win32::CreateFiles()),
      shell_(win32::CreateShell()),
      system_(win32::CreateSystem()) {}

Win32Platform::~Win32Platform() {
  if (com_initialised_) CoUninitialize();
}

Registry& Win32Platform::NativeRegistry() {
  if (!native_registry_) native_registry_ = win32::CreateRegistry(win32::RegistryView::kNative);
  return *native_registry_;
}

bool Win32Platform::Windows64() {
  BOOL wow64 = FALSE;
  return IsWow64Process(GetCurrentProcess(), &wow64) && wow64;
}

std::unique_ptr<Platform> CreateDefaultPlatform(int, char**) {
  return std::make_unique<Win32Platform>();
}

}  // namespace vl4::platform
