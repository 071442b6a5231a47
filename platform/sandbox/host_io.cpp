#include "platform/sandbox/host_io.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>

namespace vl4::platform::sandbox {

UniqueFd OpenHostFile(const std::string& path, int flags, mode_t mode) {
  return UniqueFd(::open(path.c_str(), flags | O_CLOEXEC, mode));
}

std::optional<std::string> ReadHostFile(const std::string& path) {
  UniqueFd fd = OpenHostFile(path, O_RDONLY);
  if (!fd) return std::nullopt;
  std::string data;
  char buffer[65536];
  for (;;) {
    ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    data.append(buffer, static_cast<size_t>(n));
  }
  return data;
}

bool ReplaceHostFile(const std::string& path, const std::string& content) {
  static std::atomic<unsigned> counter{0};
  std::string temp = path + ".tmp" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
  UniqueFd fd = OpenHostFile(temp, O_WRONLY | O_CREAT | O_TRUNC);
  if (!fd) return false;
  size_t done = 0;
  while (done < content.size()) {
    ssize_t n = ::write(fd.get(), content.data() + done, content.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<size_t>(n);
  }
  bool ok = fd.Close() && done == content.size();
  if (ok) ok = ::rename(temp.c_str(), path.c_str()) == 0;
  if (!ok) ::unlink(temp.c_str());
  return ok;
}

bool MakeHostDirectories(const std::string& path) {
  struct stat st;
  if (::stat(path.c_str(), &st) == 0) return S_ISDIR(st.st_mode);
  size_t slash = path.find_last_of('/');
  if (slash != std::string::npos && slash > 0 && !MakeHostDirectories(path.substr(0, slash))) {
    return false;
  }
  return ::mkdir(path.c_str(), 0755) == 0 || errno == EEXIST;
}

HostFileLock::HostFileLock(const std::string& path) : fd_(OpenHostFile(path, O_RDWR | O_CREAT)) {
  if (fd_) ::flock(fd_.get(), LOCK_EX);
}

FileStamp FileStamp::Of(const std::string& path) {
  FileStamp s;
  struct stat st;
  if (::stat(path.c_str(), &st) == 0) {
    s.ino = st.st_ino;
    s.size = st.st_size;
    s.mtime = st.st_mtim;
  }
  return s;
}

std::optional<std::string> StoreFile::ReadIfChanged() {
  FileStamp now = FileStamp::Of(path_);
  if (seen_ && *seen_ == now) return std::nullopt;
  seen_ = now;
  if (now.size < 0) return std::string();
  auto data = ReadHostFile(path_);
  return data ? *data : std::string();
}

bool StoreFile::Write(const std::string& content) {
  if (!ReplaceHostFile(path_, content)) return false;
  seen_ = FileStamp::Of(path_);
  return true;
}

}  // namespace vl4::platform::sandbox
