// The sandbox PC as the program's platform, and what tests do to it from outside: map drives,
// see host paths, lock files, inject faults, wait for the processes it started.
#pragma once

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/sandbox/faults.h"

namespace vl4::platform {

namespace sandbox {
struct Machine;
class SandboxFiles;
class SandboxProfile;
class SandboxRegistry;
class SandboxShell;
class SandboxSystem;
}  // namespace sandbox

class SandboxPlatform final : public Platform {
 public:
  using Fault = sandbox::Fault;

  // The PC in host folder `root`, created with the defaults when it does not exist yet.
  // `exe_host_path` (default: this process's executable) and `arguments` (as the host passes
  // them) are what System reports. Raises sandbox::ESandboxError (sandbox.ini) or
  // ERegistryException (registry.reg) naming the file and line of a fault.
  explicit SandboxPlatform(const std::string& root, std::string exe_host_path = "",
                           std::vector<std::string> arguments = {});
  ~SandboxPlatform() override;

  Registry& registry() override;
  Profile& profile() override;
  Files& files() override;
  Shell& shell() override;
  System& system() override;

  const std::string& Root() const;
  // Maps (or remaps) a drive letter to a host folder; kept in sandbox.ini.
  void MapDrive(char letter, const std::string& host_folder, DriveType type = DriveType::kFixed,
                const std::string& label = "");
  void SetDriveType(char letter, DriveType type);
  void SetVolumeLabel(char letter, const std::string& label);
  // The bytes free on the drive (nothing: what its host folder's file system has).
  void SetFreeSpace(char letter, std::optional<int64_t> bytes);

  // Makes the PC a 64-bit Windows as this 32-bit program sees it (WoW64: its system directory is
  // SysWOW64, its HKLM\SOFTWARE is HKLM\SOFTWARE\Wow6432Node, its Program Files is "Program Files
  // (x86)"), or a 32-bit one; kept in sandbox.ini.
  void SetWindows64(bool windows64);
  bool Windows64() const;
  // Whether its programs run with an administrator's rights (see SandboxConfig::administrator);
  // kept in sandbox.ini.
  void SetAdministrator(bool administrator);
  // The registry as a 64-bit program sees it: every key where it is stored. The same as
  // registry() on a 32-bit PC.
  Registry& NativeRegistry();

  // The host path of a Windows path (existing names found whatever their case).
  std::optional<std::string> HostPath(const std::string& windows_path);
  // The Windows path of a host path (relative ones from the host's working directory).
  std::optional<std::string> WindowsPath(const std::string& host_path) const;

  // "Another program" holds the file: deleting, moving and writing it fail, in every process
  // of this PC, until unlocked.
  bool LockFile(const std::string& windows_path);
  bool UnlockFile(const std::string& windows_path);

  // The k-th write (FileStream::Write, CopyFile), move, delete, directory creation or removal
  // from now on fails, once.
  void FailNth(Fault kind, int k);
  void ClearFaults();

  // Waits for every process this PC has started (also by programs that have ended since).
  bool WaitForStartedProcesses(std::chrono::milliseconds timeout = std::chrono::seconds(30));

 private:
  void SaveConfig();
  // What every 64-bit Windows has: the Program Files folder of each kind of program named in
  // its registry view.
  void EnsureWindows64Layout();

  std::unique_ptr<sandbox::Machine> machine_;
  std::unique_ptr<sandbox::SandboxFiles> files_;
  std::unique_ptr<sandbox::SandboxProfile> profile_;
  std::unique_ptr<sandbox::SandboxRegistry> registry_;
  std::unique_ptr<sandbox::SandboxRegistry> native_registry_;
  std::unique_ptr<sandbox::SandboxShell> shell_;
  std::unique_ptr<sandbox::SandboxSystem> system_;
};

// The sandbox folder a program uses: VL4_SANDBOX, else ~/.vl4-sandbox.
std::string DefaultSandboxRoot();

}  // namespace vl4::platform
