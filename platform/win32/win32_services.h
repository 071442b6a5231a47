// The Win32 backend's services; each is defined in its own file.
#pragma once

#include <memory>

#include "platform/files.h"
#include "platform/profile.h"
#include "platform/registry.h"
#include "platform/shell.h"
#include "platform/system.h"

namespace vl4::platform::win32 {

std::unique_ptr<Files> CreateFiles();
std::unique_ptr<Profile> CreateProfile();
// kProgram: the registry as this program sees it (on 64-bit Windows the 32-bit view);
// kNative: as a 64-bit program sees it. The same on 32-bit Windows.
enum class RegistryView { kProgram, kNative };
std::unique_ptr<Registry> CreateRegistry(RegistryView view = RegistryView::kProgram);
std::unique_ptr<Shell> CreateShell();
std::unique_ptr<System> CreateSystem();

}  // namespace vl4::platform::win32
