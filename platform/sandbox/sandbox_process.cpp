#include "platform/sandbox/sandbox_process.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <thread>
#include <vector>

#include "platform/sandbox/host_io.h"

namespace vl4::platform::sandbox {

namespace {

// The start time of a live process (field 22 of /proc/<pid>/stat); nothing when it is gone or
// has ended (a zombie).
std::optional<unsigned long long> StartTime(pid_t pid) {
  auto stat = ReadHostFile("/proc/" + std::to_string(pid) + "/stat");
  if (!stat) return std::nullopt;
  size_t close = stat->rfind(')');
  if (close == std::string::npos || close + 2 >= stat->size()) return std::nullopt;
  char state = (*stat)[close + 2];
  if (state == 'Z' || state == 'X') return std::nullopt;
  size_t pos = close + 2;
  for (int field = 3; field < 22; ++field) {
    pos = stat->find(' ', pos);
    if (pos == std::string::npos) return std::nullopt;
    ++pos;
  }
  return std::strtoull(stat->c_str() + pos, nullptr, 10);
}

}  // namespace

SandboxProcess::~SandboxProcess() {
  if (pid_ > 0 && !exit_code_) Reap(false);
}

void SandboxProcess::Reap(bool block) {
  if (pid_ <= 0 || exit_code_) return;
  int status = 0;
  pid_t r;
  do {
    r = ::waitpid(pid_, &status, block ? 0 : WNOHANG);
  } while (r < 0 && errno == EINTR);
  if (r == pid_) {
    exit_code_ = WIFEXITED(status) ? static_cast<uint32_t>(WEXITSTATUS(status))
                                   : 0xC0000000u | static_cast<uint32_t>(WTERMSIG(status));
  } else if (r < 0) {
    exit_code_ = 0;  // reaped elsewhere: the process is gone, its code unknown
  }
}

bool SandboxProcess::StillActive() {
  Reap(false);
  return pid_ > 0 && !exit_code_;
}

std::optional<uint32_t> SandboxProcess::ExitCode() {
  Reap(false);
  return exit_code_;
}

void SandboxProcess::Wait() {
  Reap(true);
}

void RecordStartedProcess(const std::string& record_file, pid_t pid, int show_command,
                          const std::string& command) {
  std::string line = std::to_string(pid) + "\t" + std::to_string(StartTime(pid).value_or(0)) +
                     "\t" + std::to_string(show_command) + "\t" + command + "\n";
  UniqueFd fd = OpenHostFile(record_file, O_WRONLY | O_CREAT | O_APPEND);
  if (!fd) return;
  ssize_t written = ::write(fd.get(), line.data(), line.size());  // one append: whole lines
  (void)written;
}

bool WaitForRecordedProcesses(const std::string& record_file, std::chrono::milliseconds timeout) {
  auto deadline = std::chrono::steady_clock::now() + timeout;
  // A process waited for may start others before it ends: the record is read again until no new
  // line came while waiting.
  size_t waited_up_to = 0;
  for (;;) {
    const std::string text = ReadHostFile(record_file).value_or("");
    if (text.size() <= waited_up_to) return true;
    size_t pos = waited_up_to;
    while (pos < text.size()) {
      size_t end = text.find('\n', pos);
      if (end == std::string::npos) break;
      std::string line = text.substr(pos, end - pos);
      pos = end + 1;
      char* rest = nullptr;
      pid_t pid = static_cast<pid_t>(std::strtol(line.c_str(), &rest, 10));
      unsigned long long start = std::strtoull(rest, nullptr, 10);
      while (pid > 0) {
        // Our own child would stay a zombie until reaped.
        int status;
        ::waitpid(pid, &status, WNOHANG);
        auto now_start = StartTime(pid);
        if (!now_start || (start != 0 && *now_start != start)) break;  // ended (or pid reused)
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
      }
    }
    waited_up_to = pos;
  }
}

}  // namespace vl4::platform::sandbox
