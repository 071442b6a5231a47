// Small host file helpers of the sandbox: whole-file read, atomic replace, change stamps.
#pragma once

#include <sys/stat.h>
#include <unistd.h>

#include <optional>
#include <string>
#include <utility>

namespace vl4::platform::sandbox {

// A host file descriptor, closed by its owner on every path.
class UniqueFd {
 public:
  UniqueFd() = default;
  explicit UniqueFd(int fd) : fd_(fd) {}
  UniqueFd(UniqueFd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
  UniqueFd& operator=(UniqueFd&& other) noexcept {
    if (this != &other) {
      Close();
      fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
  }
  ~UniqueFd() { Close(); }

  int get() const { return fd_; }
  explicit operator bool() const { return fd_ >= 0; }
  // Closes now; false when close reports an error (a write that did not reach the disk).
  bool Close() {
    int fd = std::exchange(fd_, -1);
    return fd < 0 || ::close(fd) == 0;
  }

 private:
  int fd_ = -1;
};

// open(2) with O_CLOEXEC; an empty holder when it failed.
UniqueFd OpenHostFile(const std::string& path, int flags, mode_t mode = 0644);

std::optional<std::string> ReadHostFile(const std::string& path);
// Writes a temporary file beside `path` and renames it over `path`: readers see the old or the
// new content, never a torn one.
bool ReplaceHostFile(const std::string& path, const std::string& content);
bool MakeHostDirectories(const std::string& path);  // mkdir -p

// An exclusive lock on a lock file: serialises the changes of the processes of one sandbox PC.
class HostFileLock {
 public:
  explicit HostFileLock(const std::string& path);

 private:
  UniqueFd fd_;
};

// What tells whether another process has replaced or changed a file since it was last read.
struct FileStamp {
  ino_t ino = 0;
  off_t size = -1;
  timespec mtime{};
  bool operator==(const FileStamp& o) const {
    return ino == o.ino && size == o.size && mtime.tv_sec == o.mtime.tv_sec &&
           mtime.tv_nsec == o.mtime.tv_nsec;
  }
  static FileStamp Of(const std::string& path);  // size -1 when missing
};

// A text file of the sandbox's own (attributes, locks, short names): cached, re-read when it
// changed on disk, replaced atomically when written. One entry per line; entries hold host paths
// made from Windows names, which never contain CR or LF.
class StoreFile {
 public:
  explicit StoreFile(std::string path) : path_(std::move(path)) {}
  const std::string& Path() const { return path_; }
  // The content when it changed since the last call (or on the first call), else nothing.
  std::optional<std::string> ReadIfChanged();
  bool Write(const std::string& content);
  // Held while a change is read, made and written, so that no other process's change is lost.
  HostFileLock Lock() const { return HostFileLock(path_ + ".lock"); }

 private:
  std::string path_;
  std::optional<FileStamp> seen_;
};

}  // namespace vl4::platform::sandbox
