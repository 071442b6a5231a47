// A program that must change what only an administrator may (Program Files, HKEY_LOCAL_MACHINE,
// the system directory) starts a copy of itself with an administrator's rights.
#pragma once

#include <memory>
#include <string>

#include "platform/platform.h"

namespace vl4::platform {

// The argument that marks the copy: it never asks again, so a refusal cannot loop.
inline constexpr char kElevatedArgument[] = "/elevated";

// Without an administrator's rights, and unless this is such a copy already, starts this program
// again with the verb "runas" (Windows asks once) and `parameters` after kElevatedArgument, in
// the program's folder. The started copy, or nullptr when this process goes on itself: it has the
// rights, it is the copy, or the start was refused.
std::unique_ptr<Process> StartElevatedCopy(Platform& platform, const std::string& parameters = "");

}  // namespace vl4::platform
