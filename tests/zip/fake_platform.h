// A small Windows world for the zip reader's unit tests: files held in memory, drive types, volume
// labels, and the Cyrillic letters of the OEM 866 and ANSI 1251 code pages. Only what the reader
// asks for is real; the rest fails. (The corpus tests use the platform of the build.)
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "platform/files.h"
#include "platform/system.h"

namespace vl4::zip::test {

inline constexpr uint32_t kSomeDosTime = 0x5A214C20;  // 2025-01-01 09:33:00

class MemoryFiles : public platform::Files {
 public:
  struct File {
    std::string data;
    int64_t hole = 0;  // zero bytes before `data` that take no memory (a sparse file)
    uint32_t dos_time = kSomeDosTime;
    bool locked_for_write = false;                  // while opened with kReadDenyWrite
    std::function<void(int64_t position)> on_read;  // called before each read of the file
  };

  // Puts (or replaces) a file.
  void Put(const std::string& path, std::string data, uint32_t dos_time = kSomeDosTime);
  // Puts a file of `hole` zero bytes followed by `data`, without holding the zeros.
  void PutSparse(const std::string& path, int64_t hole, std::string data);
  // The file, or nullptr.
  File* Find(const std::string& path);
  void SetDriveType(char drive, platform::DriveType type) { drive_types_[drive] = type; }
  void SetVolumeLabel(char drive, std::string label) { labels_[drive] = std::move(label); }
  int open_count = 0;

  bool FileExists(const std::string& path) override;
  bool DirectoryExists(const std::string& path) override;
  bool CreateDirectory(const std::string&) override { return false; }
  bool RemoveDirectory(const std::string&) override { return false; }
  bool DeleteFile(const std::string& path) override;
  bool CopyFile(const std::string&, const std::string&, bool) override { return false; }
  bool MoveFile(const std::string&, const std::string&) override { return false; }
  std::optional<uint32_t> GetAttributes(const std::string& path) override;
  bool SetAttributes(const std::string&, uint32_t) override { return false; }
  std::optional<uint32_t> GetFileTime(const std::string& path) override;
  bool SetFileTime(const std::string& path, uint32_t dos_time) override;
  std::vector<platform::FindEntry> FindFiles(const std::string&) override { return {}; }
  std::string ShortPath(const std::string& path) override { return path; }
  std::string FullPath(const std::string& path) override { return path; }
  platform::DriveType GetDriveType(const std::string& root) override;
  std::optional<std::string> VolumeLabel(const std::string& root) override;
  int64_t DiskSize(char) override { return -1; }
  int64_t FreeSpace(const std::string&) override { return -1; }
  std::string CurrentDirectory() override { return "C:\\"; }
  bool SetCurrentDirectory(const std::string&) override { return false; }
  bool AllowUsersToModify(const std::string&) override { return false; }
  bool UsersMayModify(const std::string&) override { return false; }
  std::unique_ptr<platform::FileStream> OpenFile(const std::string& path,
                                                 platform::OpenMode mode) override;

 private:
  std::shared_ptr<File> Lookup(const std::string& path);
  std::map<std::string, std::shared_ptr<File>> files_;  // by upper-cased path
  std::map<char, platform::DriveType> drive_types_;
  std::map<char, std::string> labels_;
};

class FakeSystem : public platform::System {
 public:
  std::string ExePath() override { return "C:\\TEST.EXE"; }
  std::vector<std::string> Arguments() override { return {}; }
  std::string SystemDirectory() override { return "C:\\Windows\\System32"; }
  std::string WindowsDirectory() override { return "C:\\Windows"; }
  std::string Wow64SystemDirectory() override { return ""; }
  std::optional<std::string> UserName() override { return "test"; }
  bool IsAdministrator() override { return true; }
  // The program's own resources: the embedded ones natively, the real ones on Windows.
  std::optional<std::string_view> Resource(const std::string& type,
                                           const std::string& name) override;
  unsigned AnsiCodePage() override { return 1251; }
  unsigned OemCodePage() override { return 866; }
  std::string OemToAnsi(std::string_view text) override;
  std::string AnsiToOem(std::string_view text) override;
  std::string Utf8ToAnsi(std::string_view text) override;
  std::string AnsiToUtf8(std::string_view text) override;
};

// The program's own resource: a real one on Windows (windows.h stays out of this header and of
// the fakes, whose method names it would rename), an embedded one natively.
std::optional<std::string_view> OwnResource(const std::string& type, const std::string& name);

}  // namespace vl4::zip::test
