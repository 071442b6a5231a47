#include "platform/sandbox/sandbox_file_stream.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/sandbox/dos_time.h"

namespace vl4::platform::sandbox {

size_t SandboxFileStream::Read(void* buffer, size_t count) {
  size_t done = 0;
  while (done < count) {
    ssize_t n = ::read(fd_.get(), static_cast<char*>(buffer) + done, count - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<size_t>(n);
  }
  return done;
}

size_t SandboxFileStream::Write(const void* buffer, size_t count) {
  if (faults_.Hit(Fault::kWrite)) return 0;  // as a full disk refuses
  size_t done = 0;
  while (done < count) {
    ssize_t n = ::write(fd_.get(), static_cast<const char*>(buffer) + done, count - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<size_t>(n);
  }
  return done;
}

int64_t SandboxFileStream::Seek(int64_t offset, SeekOrigin origin) {
  int whence = origin == SeekOrigin::kBegin     ? SEEK_SET
               : origin == SeekOrigin::kCurrent ? SEEK_CUR
                                                : SEEK_END;
  return ::lseek(fd_.get(), static_cast<off_t>(offset), whence);
}

int64_t SandboxFileStream::Size() {
  struct stat st;
  return ::fstat(fd_.get(), &st) == 0 ? st.st_size : -1;
}

uint32_t SandboxFileStream::DosTime() {
  struct stat st;
  return ::fstat(fd_.get(), &st) == 0 ? DosTimeFromUnix(st.st_mtime) : 0;
}

}  // namespace vl4::platform::sandbox
