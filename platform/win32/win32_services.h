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
std::unique_ptr<Registry> CreateRegistry();
std::unique_ptr<Shell> CreateShell();
std::unique_ptr<System> CreateSystem();

}  // namespace vl4::platform::win32
