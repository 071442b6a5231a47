// The Windows shell: special folders, shell links and ShellExecuteEx with a process handle.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace vl4::platform {

enum class SpecialFolder { kPrograms = 2, kDesktopDirectory = 16 };

// SW_ show commands as ShellExecuteEx takes them.
enum ShowCommand : int { kSwHide = 0, kSwShowNormal = 1, kSwShowMinimized = 2,
                         kSwShowMaximized = 3, kSwShowMinNoActive = 7 };

struct ShellLinkInfo {
  std::string target;
  std::string arguments;
  std::string working_directory;
};

// A started process, as kept from ShellExecuteEx with SEE_MASK_NOCLOSEPROCESS.
class Process {
 public:
  virtual ~Process() = default;
  virtual bool StillActive() = 0;  // GetExitCodeProcess returns STILL_ACTIVE
  virtual std::optional<uint32_t> ExitCode() = 0;  // nothing while running
  virtual void Wait() = 0;  // blocks until it ends (for tools and tests; the Parts poll)
};

class Shell {
 public:
  virtual ~Shell() = default;

  virtual std::string GetSpecialFolder(SpecialFolder folder) = 0;  // "" when unavailable

  // IShellLinkA + IPersistFile: target, arguments and working directory set, nothing else;
  // saved under link_path. True only when every step succeeded.
  virtual bool CreateShellLink(const std::string& target, const std::string& arguments,
                               const std::string& working_directory,
                               const std::string& link_path) = 0;
  virtual std::optional<ShellLinkInfo> ReadShellLink(const std::string& link_path) = 0;

  // ShellExecuteEx with the given verb (empty = default verb), no owner window. A program file
  // is started; a document or URL is opened with its handler. nullptr when the call failed; a
  // handle-less success (a URL) gives a process that is not active.
  virtual std::unique_ptr<Process> Execute(const std::string& verb, const std::string& file,
                                           const std::string& parameters,
                                           const std::string& directory, int show_command) = 0;

  virtual void Sleep(uint32_t milliseconds) = 0;
};

}  // namespace vl4::platform
