// Mode choice from the executable's file name.
#include "app/mode.h"

#include "platform/path.h"
#include "platform/text.h"

namespace vl4 {

bool IsSetupModeName(std::string_view exe_path) {
  return UpperCase(ExtractFileName(exe_path)) == "VL4SETUP.EXE";
}

}  // namespace vl4
