// The file system as Windows offers it to the program: Windows paths, attributes, DOS times.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/file_stream.h"

namespace vl4::platform {

// Windows file attribute bits.
enum : uint32_t {
  kAttrReadOnly = 0x01,
  kAttrHidden = 0x02,
  kAttrSystem = 0x04,
  kAttrDirectory = 0x10,
  kAttrArchive = 0x20,
  kAttrNormal = 0x80,
};

enum class DriveType {
  kUnknown = 0,
  kNoRootDir = 1,
  kRemovable = 2,
  kFixed = 3,
  kRemote = 4,
  kCdRom = 5,
  kRamDisk = 6
};

struct FindEntry {
  std::string name;  // long name as stored
  uint32_t attributes = 0;
  int64_t size = 0;
  uint32_t dos_time = 0;
};

// All paths are Windows paths (ANSI); relative paths are taken from the current directory.
// Operations report failure by their result, as the Win32 calls do; only OpenFile raises.
class Files {
 public:
  virtual ~Files() = default;

  virtual bool FileExists(const std::string& path) = 0;       // a file, not a directory
  virtual bool DirectoryExists(const std::string& path) = 0;  // "C:" and "C:\" are the root
  virtual bool CreateDirectory(const std::string& path) = 0;  // one level
  virtual bool RemoveDirectory(const std::string& path) = 0;  // empty directories only
  virtual bool DeleteFile(const std::string& path) = 0;       // fails on read-only/locked files
  // CopyFile: copies contents, attributes and time; fails when the target exists and
  // fail_if_exists is set, or when the target is read-only or locked.
  virtual bool CopyFile(const std::string& from, const std::string& to, bool fail_if_exists) = 0;
  // MoveFile: fails when the target exists; moves across drives by copy and delete.
  virtual bool MoveFile(const std::string& from, const std::string& to) = 0;

  virtual std::optional<uint32_t> GetAttributes(const std::string& path) = 0;
  virtual bool SetAttributes(const std::string& path, uint32_t attributes) = 0;
  virtual std::optional<uint32_t> GetFileTime(const std::string& path) = 0;  // DOS date/time
  virtual bool SetFileTime(const std::string& path, uint32_t dos_time) = 0;

  // FindFirstFile/FindNextFile over a pattern such as "C:\dir\*.*" ("*" and "?", Windows rules:
  // "*.*" matches every name). Returns every match, "." and ".." included where Windows returns
  // them, in the order the backend lists them; callers filter by attributes.
  virtual std::vector<FindEntry> FindFiles(const std::string& pattern) = 0;

  virtual std::string ShortPath(const std::string& path) = 0;   // GetShortPathName; "" on failure
  virtual std::string FullPath(const std::string& path) = 0;    // GetFullPathName
  virtual DriveType GetDriveType(const std::string& root) = 0;  // root such as "C:\"
  virtual std::optional<std::string> VolumeLabel(const std::string& root) = 0;
  virtual int64_t DiskSize(char drive_letter) = 0;  // -1 when the drive is not ready
  // GetDiskFreeSpaceEx: the bytes this program may still write on the volume that holds `path`
  // (a drive path or a UNC one); -1 when that cannot be told.
  virtual int64_t FreeSpace(const std::string& path) = 0;
  virtual std::string CurrentDirectory() = 0;
  virtual bool SetCurrentDirectory(const std::string& path) = 0;

  // Gives the Users group the right to modify the directory and everything in it, now and made
  // later (an inherited entry in its access list), as installers of lab software do for the
  // folders their programs write; false when that is refused. UsersMayModify tells whether the
  // Users group has that right.
  virtual bool AllowUsersToModify(const std::string& dir) = 0;
  virtual bool UsersMayModify(const std::string& dir) = 0;

  // Raises EFOpenError ("Cannot open file "%s"") or EFCreateError ("Cannot create file "%s"").
  virtual std::unique_ptr<FileStream> OpenFile(const std::string& path, OpenMode mode) = 0;
};

}  // namespace vl4::platform
