// An open file of the sandbox PC: a host file descriptor with Windows sharing and fault injection.
#pragma once

#include "platform/file_stream.h"
#include "platform/sandbox/faults.h"
#include "platform/sandbox/host_io.h"

namespace vl4::platform::sandbox {

class SandboxFileStream final : public FileStream {
 public:
  SandboxFileStream(UniqueFd fd, Faults& faults) : fd_(std::move(fd)), faults_(faults) {}

  size_t Read(void* buffer, size_t count) override;
  size_t Write(const void* buffer, size_t count) override;
  int64_t Seek(int64_t offset, SeekOrigin origin) override;
  int64_t Size() override;
  uint32_t DosTime() override;

 private:
  UniqueFd fd_;
  Faults& faults_;
};

}  // namespace vl4::platform::sandbox
