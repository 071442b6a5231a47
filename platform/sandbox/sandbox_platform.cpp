#include "platform/sandbox/sandbox_platform.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/sandbox/machine.h"
#include "platform/sandbox/sandbox_files.h"
#include "platform/sandbox/sandbox_process.h"
#include "platform/sandbox/sandbox_profile.h"
#include "platform/sandbox/sandbox_registry.h"
#include "platform/sandbox/sandbox_shell.h"
#include "platform/sandbox/sandbox_system.h"

namespace vl4::platform {

using namespace sandbox;

namespace {
std::string OwnExecutable() {
  char buffer[4096];
  ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  return n > 0 ? std::string(buffer, static_cast<size_t>(n)) : std::string();
}
}  // namespace

SandboxPlatform::SandboxPlatform(const std::string& root, std::string exe_host_path,
                                 std::vector<std::string> arguments)
    : machine_(std::make_unique<Machine>(SandboxConfig::Load(root))) {
  machine_->exe_host_path = exe_host_path.empty() ? OwnExecutable() : std::move(exe_host_path);
  machine_->arguments = std::move(arguments);
  files_ = std::make_unique<SandboxFiles>(*machine_);
  profile_ = std::make_unique<SandboxProfile>(*machine_, *files_);
  registry_ = std::make_unique<SandboxRegistry>(*machine_);
  native_registry_ = std::make_unique<SandboxRegistry>(*machine_, SandboxRegistry::View::kNative);
  shell_ = std::make_unique<SandboxShell>(*machine_, *files_);
  system_ = std::make_unique<SandboxSystem>(*machine_);
  EnsureWindows64Layout();
}

SandboxPlatform::~SandboxPlatform() = default;

Registry& SandboxPlatform::registry() {
  return *registry_;
}
Profile& SandboxPlatform::profile() {
  return *profile_;
}
Files& SandboxPlatform::files() {
  return *files_;
}
Shell& SandboxPlatform::shell() {
  return *shell_;
}
System& SandboxPlatform::system() {
  return *system_;
}

const std::string& SandboxPlatform::Root() const {
  return machine_->config.root;
}

void SandboxPlatform::SaveConfig() {
  machine_->config.Save();
}

void SandboxPlatform::MapDrive(char letter, const std::string& host_folder, DriveType type,
                               const std::string& label) {
  DriveConfig& drive = machine_->config.drives[static_cast<char>(std::toupper(letter))];
  drive.host = host_folder;
  drive.type = type;
  drive.label = label;
  SaveConfig();
}

void SandboxPlatform::SetWindows64(bool windows64) {
  machine_->config.windows64 = windows64;
  SaveConfig();
  EnsureWindows64Layout();
}

void SandboxPlatform::SetAdministrator(bool administrator) {
  machine_->config.administrator = administrator;
  SaveConfig();
}

bool SandboxPlatform::Windows64() const {
  return machine_->config.windows64;
}

Registry& SandboxPlatform::NativeRegistry() {
  return *native_registry_;
}

void SandboxPlatform::EnsureWindows64Layout() {
  if (!machine_->config.windows64) return;
  constexpr char kKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
  constexpr char kValue[] = "ProgramFilesDir";
  const std::pair<Registry*, const char*> views[] = {
      {registry_.get(), SandboxConfig::kProgramFilesX86},
      {native_registry_.get(), SandboxConfig::kProgramFiles}};
  for (const auto& [view, folder] : views) {
    if (!view->ValueExists(RootKey::kLocalMachine, kKey, kValue)) {
      view->WriteString(RootKey::kLocalMachine, kKey, kValue, folder);
    }
  }
  // Windows made "Program Files" first: it is PROGRA~1, and the (x86) one PROGRA~2.
  files_->ShortPath(SandboxConfig::kProgramFiles);
  files_->ShortPath(SandboxConfig::kProgramFilesX86);
}

void SandboxPlatform::SetDriveType(char letter, DriveType type) {
  auto it = machine_->config.drives.find(static_cast<char>(std::toupper(letter)));
  if (it == machine_->config.drives.end()) return;
  it->second.type = type;
  SaveConfig();
}

void SandboxPlatform::SetFreeSpace(char letter, std::optional<int64_t> bytes) {
  auto it = machine_->config.drives.find(static_cast<char>(std::toupper(letter)));
  if (it == machine_->config.drives.end()) return;
  it->second.free_space = bytes;
  SaveConfig();
}

void SandboxPlatform::SetVolumeLabel(char letter, const std::string& label) {
  auto it = machine_->config.drives.find(static_cast<char>(std::toupper(letter)));
  if (it == machine_->config.drives.end()) return;
  it->second.label = label;
  SaveConfig();
}

std::optional<std::string> SandboxPlatform::HostPath(const std::string& windows_path) {
  auto r = machine_->Resolve(windows_path);
  if (!r) return std::nullopt;
  return r->host;
}

std::optional<std::string> SandboxPlatform::WindowsPath(const std::string& host_path) const {
  return machine_->WindowsPathOf(host_path);
}

bool SandboxPlatform::LockFile(const std::string& windows_path) {
  auto host = HostPath(windows_path);
  return host && machine_->locks.Add(*host);
}

bool SandboxPlatform::UnlockFile(const std::string& windows_path) {
  auto host = HostPath(windows_path);
  return host && machine_->locks.Remove(*host);
}

void SandboxPlatform::FailNth(Fault kind, int k) {
  machine_->faults.FailNth(kind, k);
}
void SandboxPlatform::ClearFaults() {
  machine_->faults.Clear();
}

bool SandboxPlatform::WaitForStartedProcesses(std::chrono::milliseconds timeout) {
  return WaitForRecordedProcesses(machine_->File("processes"), timeout);
}

std::string DefaultSandboxRoot() {
  if (const char* root = std::getenv("VL4_SANDBOX"); root && *root) return root;
  const char* home = std::getenv("HOME");
  if (!home || !*home) {
    const passwd* pw = ::getpwuid(::getuid());
    home = pw ? pw->pw_dir : "/tmp";
  }
  return std::string(home) + "/.vl4-sandbox";
}

std::unique_ptr<Platform> CreateDefaultPlatform(int argc, char** argv) {
  std::vector<std::string> arguments;
  for (int i = 1; i < argc; ++i) arguments.emplace_back(argv[i]);
  return std::make_unique<SandboxPlatform>(DefaultSandboxRoot(), "", std::move(arguments));
}

}  // namespace vl4::platform
