// The product's modules in the IDEs, without a window: putting them in (the tools package
// compiled with the IDE's dcc32, copied into its library directory and listed among its Known
// Packages; the Visual Basic add-in built by the IDE, listed in vbaddin.ini and registered by
// regsvr32) and taking exactly that out again. The setup window installs; the uninstaller undoes.
#pragma once

#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <vector>

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

// One thing an installation put into an IDE, or the add-in library the IDE loads.
struct IdeItem {
  enum class Kind {
    kKnownPackage,       // place: the Known Packages key (HKEY_CURRENT_USER); name: the value
    kPackageCopy,        // place: the package's path in the IDE's library directory
    kAddInListEntry,     // place: vbaddin.ini; name: "Add-Ins32\" + the add-in's key
    kAddInListSection,   // place: vbaddin.ini; name: "Add-Ins32"
    kAddInRegistration,  // place: the add-in library registered with Windows
    kAddInLibrary,       // place: the add-in library in the module folder
  };
  Kind kind;
  std::string place;
  std::string name;
  bool operator==(const IdeItem&) const = default;
};

// What undoing an installation found: what it took out, and what it left with the reason. An item
// is left rather than leave an IDE pointing at something missing, so a caller that removes files
// afterwards must spare the places of the items left.
struct IdeRemoval {
  enum class Reason {
    kRefused,    // the registry, the list file, regsvr32 or the file system refused
    kStillUsed,  // something that stays (a Known Packages value, a registration) points at it
  };
  struct Left {
    IdeItem item;
    Reason reason;
    bool operator==(const Left&) const = default;
  };
  std::vector<IdeItem> removed;
  std::vector<Left> left;

  void Append(const IdeRemoval& other);
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
  // Registers the built Visual Basic add-in with Windows by regsvr32 (started, not waited for)
  // unless its program identifier already names this library or this object started that
  // before, and lists it in vbaddin.ini. Returns whether the tools are in the IDE's menu: the
  // library is registered (or its registration started) and listed.
  bool RegisterVbAddin(const EnvRow& row);

  // Undoes what Install and the registrations put into the row's IDE, judged from what is on the
  // PC: the Known Packages value that names the product's package in the row's library directory,
  // then the package copied there (kept while any Known Packages value still names it: the Borland
  // .NET rows share the Delphi row's copy); the add-in list's entry (and its section when nothing
  // else is left in it), then the registration when it names this add-in library, undone by
  // regsvr32 /u and waited for, then the add-in library (kept while it may still be registered).
  // `row` needs its library directory (empty: the IDE was not found); its other state is not
  // used.
  IdeRemoval Uninstall(const EnvRow& row);
  // Every row in catalogue order, so that the Delphi rows release their copies before the Borland
  // .NET rows of the same IDE look at them.
  IdeRemoval Uninstall(const Catalogue& catalogue);

 private:
  // An outside build (the compiler, the Visual Basic build) gets about two seconds.
  static constexpr int kBuildPolls = 20;
  // How a started program's window comes up.
  enum class DisplayMode { kNormal = 0, kMaximized = 1, kMinimized = 2, kMinimizedNoActivate = 3 };

  void InstallPackage(const EnvRow& row);
  void InstallVbAddin(const EnvRow& row);
  IdeRemoval UninstallPackage(const EnvRow& row);
  IdeRemoval UninstallVbAddin(const EnvRow& row);

  // Deletes a file the product placed, read-only or not; true when it is gone.
  bool DeletePlacedFile(const std::string& path);

  // Starts a program with the shell's default verb and keeps its process; false when it could
  // not be started.
  bool RunProgram(const std::string& exe, const std::string& parameters, const std::string& dir,
                  DisplayMode mode);
  // Starts the system directory's regsvr32 there, minimised without activation; false when it is
  // missing or could not be started.
  bool RunRegsvr32(const std::string& parameters);
  // Waits for the kept process while it runs, at most `polls` times 100 ms; then another 100 ms.
  void WaitForProgram(int polls);
  // Whether the kept process has ended with exit code 0.
  bool ProgramSucceeded();

  platform::Platform& platform_;
  std::string install_dir_;
  std::unique_ptr<platform::Process> process_;  // the last program started
  // The add-in libraries (upper case) whose registration this object started; regsvr32 is not
  // waited for, so the registry may not show them yet.
  std::set<std::string> registrations_started_;
};

}  // namespace vl4
