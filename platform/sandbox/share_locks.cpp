#include "platform/sandbox/share_locks.h"

#include <fcntl.h>
#include <unistd.h>

#include "platform/sandbox/host_io.h"

namespace vl4::platform::sandbox {

namespace {
constexpr off_t kMarkBase = static_cast<off_t>(0x7FFFFFFF00000000LL);

struct flock MarkLock(Share mark, short type) {
  struct flock lock {};
  lock.l_type = type;
  lock.l_whence = SEEK_SET;
  lock.l_start = kMarkBase + static_cast<off_t>(mark);
  lock.l_len = 1;
  return lock;
}
}  // namespace

bool ShareHeldByOther(int fd, Share mark) {
  struct flock lock = MarkLock(mark, F_WRLCK);
  if (::fcntl(fd, F_OFD_GETLK, &lock) != 0) return false;
  return lock.l_type != F_UNLCK;
}

bool HoldShare(int fd, Share mark) {
  struct flock lock = MarkLock(mark, F_RDLCK);
  return ::fcntl(fd, F_OFD_SETLK, &lock) == 0;
}

bool ShareHeld(const char* host_path, Share mark) {
  UniqueFd fd = OpenHostFile(host_path, O_RDONLY | O_NONBLOCK);
  return fd && ShareHeldByOther(fd.get(), mark);
}

}  // namespace vl4::platform::sandbox
