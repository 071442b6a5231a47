// The uninstaller as a program: its command line, its rights, and the road from the log to the
// last message (or, in quiet mode, to the exit status and the report file).
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace vl4::platform {
class Platform;
}
namespace vl4::ui {
class Application;
}

namespace vl4 {

// How a run ended, as the process's exit status.
enum UninstallStatus : int {
  kEverythingWent = 0,
  kSomethingStayed = 1,  // also when the user did not confirm: everything stayed
  kNoUsableLog = 2,      // missing, empty, unreadable or malformed: nothing was changed
};

// `uninvl32.exe [/S] "<full path of the log>"`. "/S" (any case) asks for quiet mode; the other
// arguments are the log's path (a path split at its blanks is joined again).
struct UninstallCommand {
  bool quiet = false;
  bool elevated = false;  // started by an uninstaller that lacked an administrator's rights
  std::string log_path;
};
UninstallCommand ParseUninstallCommand(const std::vector<std::string>& arguments);

// The uninstaller changes Program Files, HKEY_LOCAL_MACHINE and the system directory: without an
// administrator's rights it starts a copy of itself with them (the verb "runas"), before any
// window, and waits for it. Returns the copy's exit status; nothing when this process goes on
// (it has the rights, it is the copy, or the copy could not be started).
std::optional<int> RunElevatedCopy(platform::Platform& platform, const UninstallCommand& command);

// Returns the exit status.
int RunUninstallMode(platform::Platform& platform, ui::Application& app,
                     const UninstallCommand& command);

}  // namespace vl4
