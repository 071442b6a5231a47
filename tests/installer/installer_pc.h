// A sandbox PC with the installer in C:\dist (Inst.exe, its data parts and settings file) and
// the installer's windows on the headless UI: tests build the distribution, run the wizard and
// look at what the run leaves on the PC.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "installer/install_wizard.h"
#include "platform/sandbox/sandbox_platform.h"
#include "ui/application.h"
#include "ui/headless/headless_backend.h"

namespace vl4::test {

// DOS file times: 1 January 2024, 2025 and 2026, 09:33.
inline constexpr uint32_t kJan2024 = 0x58214C20;
inline constexpr uint32_t kJan2025 = 0x5A214C20;
inline constexpr uint32_t kJan2026 = 0x5C214C20;

// A member of a data file: its stored path ("\" or "/"), its bytes, time and attributes. A path
// ending in "/" is a directory entry.
struct DataMember {
  std::string path;
  std::string data;
  uint32_t dos_time = kJan2025;
  uint32_t attributes = 0x20;
};

// A zip archive of stored members, as the installer's data file.
std::string BuildDataFile(const std::vector<DataMember>& members);

// Every file and directory under `dir`: relative upper-case path -> contents and attributes
// ("<dir>" for directories).
std::map<std::string, std::string> Snapshot(platform::Files& files, const std::string& dir);

// The registry of a sandbox PC as it stores it (REGEDIT4 text).
std::string RegistryText(platform::SandboxPlatform& pc);

// The files of a PC, except that those named in `unreadable` (any case) cannot be read: neither
// opened for reading nor copied, as when their access list lets the user write them but not
// read them. Creating them anew works.
class UnreadableFiles final : public platform::Files {
 public:
  UnreadableFiles(platform::Files& files, const std::vector<std::string>& unreadable)
      : files_(files), unreadable_(unreadable) {}

  bool FileExists(const std::string& path) override { return files_.FileExists(path); }
  bool DirectoryExists(const std::string& path) override { return files_.DirectoryExists(path); }
  bool CreateDirectory(const std::string& path) override { return files_.CreateDirectory(path); }
  bool RemoveDirectory(const std::string& path) override { return files_.RemoveDirectory(path); }
  bool DeleteFile(const std::string& path) override { return files_.DeleteFile(path); }
  bool CopyFile(const std::string& from, const std::string& to, bool fail_if_exists) override {
    return !Unreadable(from) && files_.CopyFile(from, to, fail_if_exists);
  }
  bool MoveFile(const std::string& from, const std::string& to) override {
    return files_.MoveFile(from, to);
  }
  std::optional<uint32_t> GetAttributes(const std::string& path) override {
    return files_.GetAttributes(path);
  }
  bool SetAttributes(const std::string& path, uint32_t attributes) override {
    return files_.SetAttributes(path, attributes);
  }
  std::optional<uint32_t> GetFileTime(const std::string& path) override {
    return files_.GetFileTime(path);
  }
  bool SetFileTime(const std::string& path, uint32_t dos_time) override {
    return files_.SetFileTime(path, dos_time);
  }
  std::vector<platform::FindEntry> FindFiles(const std::string& pattern) override {
    return files_.FindFiles(pattern);
  }
  std::string ShortPath(const std::string& path) override { return files_.ShortPath(path); }
  std::string FullPath(const std::string& path) override { return files_.FullPath(path); }
  platform::DriveType GetDriveType(const std::string& root) override {
    return files_.GetDriveType(root);
  }
  std::optional<std::string> VolumeLabel(const std::string& root) override {
    return files_.VolumeLabel(root);
  }
  int64_t DiskSize(char drive_letter) override { return files_.DiskSize(drive_letter); }
  int64_t FreeSpace(const std::string& path) override { return files_.FreeSpace(path); }
  std::string CurrentDirectory() override { return files_.CurrentDirectory(); }
  bool SetCurrentDirectory(const std::string& path) override {
    return files_.SetCurrentDirectory(path);
  }
  bool AllowUsersToModify(const std::string& dir) override {
    return files_.AllowUsersToModify(dir);
  }
  bool UsersMayModify(const std::string& dir) override { return files_.UsersMayModify(dir); }
  std::unique_ptr<platform::FileStream> OpenFile(const std::string& path,
                                                 platform::OpenMode mode) override;

 private:
  bool Unreadable(const std::string& path);

  platform::Files& files_;
  const std::vector<std::string>& unreadable_;
};

class InstallerPc {
 public:
  static constexpr char kDist[] = "C:\\dist";
  static constexpr char kDest[] = "C:\\Apps\\VL4";
  static constexpr char kSystem[] = "C:\\Windows\\System32";
  static constexpr char kPrograms[] =
      "C:\\Users\\root\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs";
  static constexpr char kDesktop[] = "C:\\Users\\root\\Desktop";

  // The installer at `exe` (a Windows path on drive C or D; drive D is mapped when used). The
  // program itself is a script that, when the installer launches its self-copy, notes its
  // command line in "launched.txt" of its working directory.
  explicit InstallerPc(std::string exe = "C:\\dist\\Inst.exe");
  ~InstallerPc();

  platform::SandboxPlatform& pc() { return *pc_; }
  // The file stays, but the installer cannot read it (see UnreadableFiles).
  void MakeUnreadable(const std::string& path) { unreadable_.push_back(path); }
  // The Start menu's Programs folder as the PC's shell tells it; "" plays a PC whose shell does
  // not know it. Before Start.
  void SetProgramsFolder(const std::string& folder);
  platform::Files& files() { return pc_->files(); }
  ui::HeadlessBackend& ui() { return ui_; }
  ui::Application& app() { return app_; }
  const std::string& StartDir() const { return start_dir_; }

  // Whole files, with their parent directories created.
  void Put(const std::string& path, std::string_view bytes = "x");
  std::optional<std::string> Read(const std::string& path);
  // Data part n (1: Inst.dat, 2: Inst.dat2, ...) beside the installer.
  void PutData(const std::vector<DataMember>& members, int part = 1);
  void PutSettings(std::string_view ini_text);

  // Creates the wizard and runs its start-up.
  InstallWizard& Start(InstallWizard::ScriptMaker make_script = &InstallScript::ThisBuild);
  InstallWizard& wizard() { return *wizard_; }
  // Runs the message loop: the queued actions, then the timers, then the user closes the wizard.
  void Run();
  // Queues: the destination typed into the wizard and Install pressed.
  void QueueInstall(const std::string& destination = kDest);

  std::map<std::string, std::string> Snapshot(const std::string& dir) {
    return test::Snapshot(files(), dir);
  }
  // The launched self-copy's command line, once every started process has ended; nothing when
  // the installer launched nothing.
  std::optional<std::string> Launched(const std::string& working_dir = kDest);
  std::string Transcript() const { return ui_.TranscriptText(); }

 private:
  std::string root_;
  std::string exe_;
  std::string start_dir_;
  std::string exe_host_;
  std::unique_ptr<platform::SandboxPlatform> pc_;
  // The PC as the installer sees it: its unreadable files refuse it.
  class View;
  std::vector<std::string> unreadable_;
  std::unique_ptr<View> view_;
  ui::HeadlessBackend ui_;
  ui::Application app_{ui_};
  std::unique_ptr<InstallWizard> wizard_;
};

}  // namespace vl4::test
