// The shell of the sandbox PC: special folders, genuine .lnk shortcuts, and Execute, which runs
// host programs and scripts and logs what it would merely open (web pages, documents).
#pragma once

#include "platform/sandbox/machine.h"
#include "platform/sandbox/sandbox_files.h"
#include "platform/shell.h"

namespace vl4::platform::sandbox {

class SandboxShell final : public Shell {
 public:
  SandboxShell(Machine& machine, SandboxFiles& files) : m_(machine), files_(files) {}

  std::string GetSpecialFolder(SpecialFolder folder) override;
  bool CreateShellLink(const std::string& target, const std::string& arguments,
                       const std::string& working_directory, const std::string& link_path) override;
  std::optional<ShellLinkInfo> ReadShellLink(const std::string& link_path) override;
  std::unique_ptr<Process> Execute(const std::string& verb, const std::string& file,
                                   const std::string& parameters, const std::string& directory,
                                   int show_command) override;
  void Sleep(uint32_t milliseconds) override;

 private:
  std::optional<std::string> FindProgram(const std::string& file, const std::string& directory);
  // An ELF program or a script: what the host can run.
  static bool IsHostProgram(const std::string& host);
  void Log(const std::string& line);

  Machine& m_;
  SandboxFiles& files_;
};

}  // namespace vl4::platform::sandbox
