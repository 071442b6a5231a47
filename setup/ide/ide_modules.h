// The product's modules in the IDEs, without a window: putting them in (the tools package
// compiled with the IDE's dcc32, copied into its library directory and listed among its Known
// Packages; the Visual Basic add-in built by the IDE, listed in vbaddin.ini and registered by
// regsvr32).
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "setup/catalogue.h"

namespace vl4::platform {
class Platform;
class Process;
}  // namespace vl4::platform

namespace vl4 {

// How registering the tools package among the IDE's Known Packages ended.
enum class KnownPackageResult {
  kNoKey,           // the IDE never ran (no Known Packages key): nothing was done
  kNotBuilt,        // the package is not in the module folder: the tools are not in the menu
  kRegistered,      // the value is there (written now or kept): the tools are in the menu
  kRegistryFailed,  // the registry refused
};

class IdeModules {
 public:
  // `install_dir` ends in "\"; each row's module folder lies in it.
  IdeModules(platform::Platform& platform, std::string install_dir);
  ~IdeModules();

  // Installs the row's modules by its family (nothing for rows without one), from its executable,
  // library directory and auxiliary files. Nothing in place is redone: an existing package or
  // add-in library is never rebuilt, copies replace older ones. Failures are silent; the next
  // registration or status refresh shows what is missing.
  void Install(const EnvRow& row);
  // Lists the tools package among the IDE's Known Packages (Delphi and C++Builder rows), keeping
  // a value that is already set; the key is never created.
  KnownPackageResult RegisterKnownPackage(const EnvRow& row);
  // Lists the Visual Basic add-in in vbaddin.ini and starts its registration by regsvr32 (not
  // waited for) when the library is built and not yet listed. Returns whether the tools are in
  // the IDE's menu: listed with the library present, or registration started now.
  bool RegisterVbAddin(const EnvRow& row);

 private:
  // An outside build (the compiler, the Visual Basic build) gets about two seconds.
  static constexpr int kBuildPolls = 20;
  // How a started program's window comes up.
  enum class DisplayMode { kNormal = 0, kMaximized = 1, kMinimized = 2, kMinimizedNoActivate = 3 };

  void InstallPackage(const EnvRow& row);
  void InstallVbAddin(const EnvRow& row);

  // Starts a program with the shell's default verb and keeps its process; false when it could
  // not be started.
  bool RunProgram(const std::string& exe, const std::string& parameters, const std::string& dir,
                  DisplayMode mode);
  // Waits for the kept process while it runs, at most `polls` times 100 ms; then another 100 ms.
  void WaitForProgram(int polls);

  platform::Platform& platform_;
  std::string install_dir_;
  std::unique_ptr<platform::Process> process_;  // the last program started
};

}  // namespace vl4
