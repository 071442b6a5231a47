// The location values of the install run, found at start-up: the installer's own place, the
// Program Files directory, the system directory and the shell's Programs and Desktop folders.
#pragma once

#include <string>

#include "installer/install_script.h"

namespace vl4::platform {
class Platform;
}

namespace vl4 {

// The registry's "ProgramFilesDir"; else the first drive from C to Z with a "Program Files"
// directory; else the first drive from C to Z whose root exists, as "X:"; else "".
std::string FindProgramFilesDir(platform::Platform& platform);

Locations FindLocations(platform::Platform& platform);

}  // namespace vl4
