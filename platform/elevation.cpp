#include "platform/elevation.h"

#include <algorithm>

#include "platform/path.h"
#include "platform/text.h"

namespace vl4::platform {

std::unique_ptr<Process> StartElevatedCopy(Platform& platform, const std::string& parameters) {
  System& system = platform.system();
  if (system.IsAdministrator()) return nullptr;
  const std::vector<std::string> arguments = system.Arguments();
  if (std::any_of(arguments.begin(), arguments.end(),
                  [](const std::string& a) { return SameText(a, kElevatedArgument); })) {
    return nullptr;
  }
  const std::string exe = system.ExePath();
  return platform.shell().Execute(
      "runas", exe, std::string(kElevatedArgument) + (parameters.empty() ? "" : " " + parameters),
      ExtractFileDir(exe), kSwShowNormal);
}

}  // namespace vl4::platform
