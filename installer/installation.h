// What the installer's windows share: the PC, the location values, the settings file and the
// script. The wizard owns it for the whole run; its dialogs and the progress window use it.
#pragma once

#include "installer/install_script.h"
#include "installer/settings.h"

namespace vl4::platform {
class Platform;
}

namespace vl4 {

struct Installation {
  explicit Installation(platform::Platform& pc) : platform(pc) {}

  platform::Platform& platform;
  Locations where;
  InstallSettings settings;
  InstallScript script;
};

}  // namespace vl4
