// One Windows world: the five services a program of this system talks to. The program entry
// creates it (the real Win32 one or a sandbox PC) and hands it down; there is no global.
#pragma once

#include <memory>

#include "platform/files.h"
#include "platform/profile.h"
#include "platform/registry.h"
#include "platform/shell.h"
#include "platform/system.h"

namespace vl4::platform {

class Platform {
 public:
  virtual ~Platform() = default;
  virtual Registry& registry() = 0;
  virtual Profile& profile() = 0;
  virtual Files& files() = 0;
  virtual Shell& shell() = 0;
  virtual System& system() = 0;
};

// The platform of this build: Win32 on Windows; natively the sandbox PC named by VL4_SANDBOX
// (or the per-user default), created with defaults on first use.
std::unique_ptr<Platform> CreateDefaultPlatform(int argc, char** argv);

}  // namespace vl4::platform
