// Processes the sandbox PC starts: a handle on a host child, and the record of every started
// process in <sandbox>/processes, so that a test can wait for the children of a program that has
// already ended.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>

#include "platform/shell.h"

namespace vl4::platform::sandbox {

class SandboxProcess final : public Process {
 public:
  explicit SandboxProcess(pid_t pid) : pid_(pid) {}  // pid 0: started nothing (a document)
  ~SandboxProcess() override;
  SandboxProcess(const SandboxProcess&) = delete;
  SandboxProcess& operator=(const SandboxProcess&) = delete;

  bool StillActive() override;
  std::optional<uint32_t> ExitCode() override;
  void Wait() override;

 private:
  void Reap(bool block);

  pid_t pid_;
  std::optional<uint32_t> exit_code_;
};

// Appends "pid start-time show command" to the sandbox's process record.
void RecordStartedProcess(const std::string& record_file, pid_t pid, int show_command,
                          const std::string& command);
// Waits until every process of the record has ended; false when the time ran out first.
bool WaitForRecordedProcesses(const std::string& record_file, std::chrono::milliseconds timeout);

}  // namespace vl4::platform::sandbox
