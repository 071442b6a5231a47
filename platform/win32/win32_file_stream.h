// An open file of the Win32 backend: a HANDLE from CreateFileA.
#pragma once

#include "platform/win32/windows_api.h"

#include "platform/file_stream.h"

namespace vl4::platform::win32 {

class Win32FileStream final : public FileStream {
 public:
  explicit Win32FileStream(HANDLE handle) : handle_(handle) {}
  ~Win32FileStream() override { CloseHandle(handle_); }
  Win32FileStream(const Win32FileStream&) = delete;
  Win32FileStream& operator=(const Win32FileStream&) = delete;

  size_t Read(void* buffer, size_t count) override;
  size_t Write(const void* buffer, size_t count) override;
  int64_t Seek(int64_t offset, SeekOrigin origin) override;
  int64_t Size() override;
  uint32_t DosTime() override;

 private:
  HANDLE handle_;
};

}  // namespace vl4::platform::win32
