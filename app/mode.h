// The program's mode comes from the name it was started under: "VL4SETUP.EXE" in any letter
// case is the setup tool, any other name the installer.
#pragma once

#include <string_view>

namespace vl4 {

bool IsSetupModeName(std::string_view exe_path);

}  // namespace vl4
