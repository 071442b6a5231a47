// A fresh Windows world for a test: the platform of this build with an empty scratch folder
// (natively a new sandbox PC in a temporary host folder; on Windows the real system and a new
// folder under the temporary directory), removed again when the world ends.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/platform.h"

namespace vl4::platform {
class SandboxPlatform;
}

namespace vl4::test {

class TestWorld {
 public:
  // Natively the sandbox PC is a 32-bit Windows unless asked for a 64-bit one; on Windows the
  // world is the system the tests run on (under Wine a 64-bit prefix).
  enum class Windows { kAsBuilt, k64 };
  explicit TestWorld(Windows windows = Windows::kAsBuilt);
  ~TestWorld();
  TestWorld(const TestWorld&) = delete;
  TestWorld& operator=(const TestWorld&) = delete;

  platform::Platform& platform() { return *platform_; }
  platform::Files& files() { return platform_->files(); }
  platform::Profile& profile() { return platform_->profile(); }
  platform::Registry& registry() { return platform_->registry(); }
  platform::Shell& shell() { return platform_->shell(); }
  platform::System& system() { return platform_->system(); }

  // The sandbox PC behind the platform; nullptr on Windows.
  platform::SandboxPlatform* sandbox();

  // A 64-bit Windows, where this 32-bit program runs through WoW64.
  bool Windows64();
  // The registry as a 64-bit program sees it: where the keys this program writes are stored.
  platform::Registry& NativeRegistry();

  // The empty scratch folder, a full Windows path without a final "\" (also the current
  // directory when the world starts).
  const std::string& Scratch() const { return scratch_; }
  // Scratch() + "\" + relative.
  std::string Path(std::string_view relative) const;
  // A key under HKEY_CURRENT_USER of this world alone, deleted when the world ends.
  const std::string& RegistryKey() const { return registry_key_; }

  // Whole-file access through the platform.
  bool WriteFile(const std::string& path, std::string_view bytes);
  std::optional<std::string> ReadFile(const std::string& path);

  // The Windows path of a host path: on both builds the host's "/x/y" is "Z:\x\y".
  std::string HostToWindows(const std::string& host_path);
  // Copies a host file into the world.
  bool ImportHostFile(const std::string& host_path, const std::string& windows_path);

 private:
  std::string host_root_;  // natively: the temporary sandbox folder
  std::unique_ptr<platform::Platform> platform_;
  std::string scratch_;
  std::string registry_key_;
};

// Whole-file access through any platform's files: false or nothing when the platform refuses.
bool WriteWholeFile(platform::Files& files, const std::string& path, std::string_view bytes);
std::optional<std::string> ReadWholeFile(platform::Files& files, const std::string& path);

// The zip corpus folder from VL4_CORPUS (a host path); nothing when it is not there, and the
// tests that need it skip.
std::optional<std::string> CorpusDir();

// True when the test runs under Wine rather than on Windows or the sandbox. Wine started by
// root lets a program write read-only files (it keeps that attribute in the host's permission
// bits, which root passes); tests of such Windows rules skip that part there.
bool RunsUnderWine();

// What the backend under test must give where Wine and Windows differ: Windows' value on Windows
// and natively (the sandbox follows Windows), Wine's under Wine. Both are held to their value, so
// a change on either side shows.
template <class T>
T WindowsOrWine(T windows, T wine) {
  return RunsUnderWine() ? wine : windows;
}

// A program built beside the running test executable (".exe" added on Windows), as a Windows path.
std::string SiblingProgram(platform::System& system, const std::string& name);

}  // namespace vl4::test
