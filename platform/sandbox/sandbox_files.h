// The file system of the sandbox PC: Windows paths on the drive folders, with the attributes,
// sharing, locks, short names and faults Windows programs meet.
#pragma once

#include "platform/files.h"
#include "platform/sandbox/machine.h"

namespace vl4::platform::sandbox {

class SandboxFiles final : public Files {
 public:
  explicit SandboxFiles(Machine& machine) : m_(machine) {}

  bool FileExists(const std::string& path) override;
  bool DirectoryExists(const std::string& path) override;
  bool CreateDirectory(const std::string& path) override;
  bool RemoveDirectory(const std::string& path) override;
  bool DeleteFile(const std::string& path) override;
  bool CopyFile(const std::string& from, const std::string& to, bool fail_if_exists) override;
  bool MoveFile(const std::string& from, const std::string& to) override;
  std::optional<uint32_t> GetAttributes(const std::string& path) override;
  bool SetAttributes(const std::string& path, uint32_t attributes) override;
  std::optional<uint32_t> GetFileTime(const std::string& path) override;
  bool SetFileTime(const std::string& path, uint32_t dos_time) override;
  std::vector<FindEntry> FindFiles(const std::string& pattern) override;
  std::string ShortPath(const std::string& path) override;
  std::string FullPath(const std::string& path) override;
  DriveType GetDriveType(const std::string& root) override;
  std::optional<std::string> VolumeLabel(const std::string& root) override;
  int64_t DiskSize(char drive_letter) override;
  int64_t FreeSpace(const std::string& path) override;
  std::string CurrentDirectory() override;
  bool SetCurrentDirectory(const std::string& path) override;
  bool AllowUsersToModify(const std::string& dir) override;
  bool UsersMayModify(const std::string& dir) override;
  std::unique_ptr<FileStream> OpenFile(const std::string& path, OpenMode mode) override;

 private:
  uint32_t AttributesOf(const PathResolver::Resolved& r);
  bool ReadOnly(const PathResolver::Resolved& r) { return AttributesOf(r) & kAttrReadOnly; }
  // Another program holds the file: the test lock list, or an open handle without delete sharing.
  bool InUse(const std::string& host);
  bool CopyHostFile(const std::string& from, const std::string& to, const struct stat& st);
  const DriveConfig* DriveOf(const std::string& root, char* letter = nullptr);

  Machine& m_;
};

}  // namespace vl4::platform::sandbox
