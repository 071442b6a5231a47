#include "platform/win32/win32_file_stream.h"

#include <algorithm>

namespace vl4::platform::win32 {

size_t Win32FileStream::Read(void* buffer, size_t count) {
  size_t done = 0;
  while (done < count) {
    DWORD chunk = static_cast<DWORD>(std::min<size_t>(count - done, 1u << 30)), got = 0;
    if (!ReadFile(handle_, static_cast<char*>(buffer) + done, chunk, &got, nullptr) || got == 0) {
      break;
    }
    done += got;
  }
  return done;
}

size_t Win32FileStream::Write(const void* buffer, size_t count) {
  size_t done = 0;
  while (done < count) {
    DWORD chunk = static_cast<DWORD>(std::min<size_t>(count - done, 1u << 30)), put = 0;
    if (!WriteFile(handle_, static_cast<const char*>(buffer) + done, chunk, &put, nullptr) ||
        put == 0) {
      break;
    }
    done += put;
  }
  return done;
}

int64_t Win32FileStream::Seek(int64_t offset, SeekOrigin origin) {
  LARGE_INTEGER distance, position;
  distance.QuadPart = offset;
  if (!SetFilePointerEx(handle_, distance, &position, static_cast<DWORD>(origin))) return -1;
  return position.QuadPart;
}

int64_t Win32FileStream::Size() {
  LARGE_INTEGER size;
  return GetFileSizeEx(handle_, &size) ? size.QuadPart : -1;
}

uint32_t Win32FileStream::DosTime() {
  FILETIME write, local;
  WORD date, time;
  if (!GetFileTime(handle_, nullptr, nullptr, &write) || !FileTimeToLocalFileTime(&write, &local) ||
      !FileTimeToDosDateTime(&local, &date, &time)) {
    return 0;
  }
  return (static_cast<uint32_t>(date) << 16) | time;
}

}  // namespace vl4::platform::win32
