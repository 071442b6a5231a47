// An open file of the sandbox PC: a host file descriptor with Windows sharing and fault injection.
#pragma once

#include "platform/file_stream.h"
#include "platform/sandbox/faults.h"

namespace vl4::platform::sandbox {

class SandboxFileStream final : public FileStream {
 public:
  SandboxFileStream(int fd, Faults& faults) : fd_(fd), faults_(faults) {}
  ~SandboxFileStream() override;
  SandboxFileStream(const SandboxFileStream&) = delete;
  SandboxFileStream& operator=(const SandboxFileStream&) = delete;

  size_t Read(void* buffer, size_t count) override;
  size_t Write(const void* buffer, size_t count) override;
  int64_t Seek(int64_t offset, SeekOrigin origin) override;
  int64_t Size() override;
  uint32_t DosTime() override;

 private:
  int fd_;
  Faults& faults_;
};

}  // namespace vl4::platform::sandbox
