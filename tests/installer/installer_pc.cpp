// The sandbox PC of the installer tests.
#include "tests/installer/installer_pc.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "installer/macros.h"
#include "platform/exception.h"
#include "platform/file_tree.h"
#include "platform/path.h"
#include "platform/text.h"
#include "tests/support/test_world.h"
#include "tests/zip/zip_builder.h"
#include "zip/decompress/crc32.h"

namespace vl4::test {
namespace {

std::string NewRoot() {
  std::string pattern = (std::filesystem::temp_directory_path() / "vl4-inst-XXXXXX").string();
  if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
  return pattern;
}

// The installer "program": the self-copy it places and launches notes how it was started.
constexpr char kProgram[] = "#!/bin/sh\nprintf '%s\\n' \"$*\" > launched.txt\n";

}  // namespace

class InstallerPc::View final : public platform::Platform {
 public:
  View(platform::Platform& pc, const std::vector<std::string>& unreadable)
      : pc_(pc), files_(pc.files(), unreadable) {}
  platform::Registry& registry() override { return pc_.registry(); }
  platform::Profile& profile() override { return pc_.profile(); }
  platform::Files& files() override { return files_; }
  platform::Shell& shell() override { return pc_.shell(); }
  platform::System& system() override { return pc_.system(); }

 private:
  platform::Platform& pc_;
  UnreadableFiles files_;
};

std::unique_ptr<platform::FileStream> UnreadableFiles::OpenFile(const std::string& path,
                                                                platform::OpenMode mode) {
  if (mode != platform::OpenMode::kCreate && Unreadable(path)) {
    throw EFOpenError("Cannot open file \"" + path + "\"");
  }
  return files_.OpenFile(path, mode);
}

bool UnreadableFiles::Unreadable(const std::string& path) {
  return std::any_of(unreadable_.begin(), unreadable_.end(),
                     [&path](const std::string& name) { return SameText(name, path); });
}

std::string BuildDataFile(const std::vector<DataMember>& members) {
  zip::test::ArchivePlan plan;
  for (const DataMember& m : members) {
    zip::test::MemberPlan member;
    member.name = m.path;
    for (char& c : member.name) c = c == '\\' ? '/' : c;
    member.data = m.data;
    member.dos_time = m.dos_time;
    member.external_attributes = m.attributes;
    member.crc = zip::Crc32Update(0xFFFFFFFF, reinterpret_cast<const uint8_t*>(m.data.data()),
                                  m.data.size()) ^
                 0xFFFFFFFF;
    plan.members.push_back(member);
  }
  return zip::test::BuildZip(plan).bytes;
}

std::map<std::string, std::string> Snapshot(platform::Files& files, const std::string& dir) {
  std::map<std::string, std::string> out;
  for (const platform::FindEntry& e : files.FindFiles(dir + "\\*.*")) {
    if (platform::IsDotEntry(e.name)) continue;
    const std::string path = dir + "\\" + e.name;
    const std::string key = UpperCase(e.name);
    if (e.attributes & platform::kAttrDirectory) {
      out[key] = "<dir>";
      for (auto& [name, value] : Snapshot(files, path)) out[key + "\\" + name] = value;
    } else {
      out[key] = ReadWholeFile(files, path).value_or("<unreadable>") + " [" +
                 std::to_string(e.attributes) + " " + std::to_string(e.dos_time) + "]";
    }
  }
  return out;
}

std::string RegistryText(platform::SandboxPlatform& pc) {
  std::ifstream in(std::filesystem::path(pc.Root()) / "registry.reg", std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

InstallerPc::InstallerPc(std::string exe) : root_(NewRoot()), exe_(std::move(exe)) {
  start_dir_ = ExcludeTrailingBackslash(ExtractFilePath(exe_));
  {
    platform::SandboxPlatform first(root_);
    if (UpperCase(exe_.substr(0, 2)) == "D:") {
      std::filesystem::create_directories(root_ + "/D");
      first.MapDrive('D', root_ + "/D");
    }
    platform::ForceDirectories(first.files(), start_dir_);
    auto stream = first.files().OpenFile(exe_, platform::OpenMode::kCreate);
    stream->Write(kProgram, sizeof kProgram - 1);
  }
  platform::SandboxPlatform probe(root_);
  exe_host_ = *probe.HostPath(exe_);
  ::chmod(exe_host_.c_str(), 0755);
  pc_ = std::make_unique<platform::SandboxPlatform>(root_, exe_host_);
  view_ = std::make_unique<View>(*pc_, unreadable_);
  ui_.SetFailureHandler([](const std::string& what) { ADD_FAILURE() << what; });
  ui_.SetRenderOnShow(false);
}

InstallerPc::~InstallerPc() {
  ui_.Verify();
  pc_->WaitForStartedProcesses();  // a launched self-copy ends before its PC goes
  wizard_.reset();
  view_.reset();
  pc_.reset();
  std::error_code ec;
  std::filesystem::remove_all(root_, ec);
}

void InstallerPc::SetProgramsFolder(const std::string& folder) {
  const std::string ini = root_ + "/sandbox.ini";
  std::string text;
  {
    std::ifstream in(ini, std::ios::binary);
    text.assign(std::istreambuf_iterator<char>(in), {});
  }
  const size_t key = text.find("\nPrograms=");
  ASSERT_NE(key, std::string::npos);
  const size_t value = key + std::strlen("\nPrograms=");
  text.replace(value, text.find('\n', value) - value, folder);
  std::ofstream(ini, std::ios::binary | std::ios::trunc) << text;
  view_.reset();
  pc_ = std::make_unique<platform::SandboxPlatform>(root_, exe_host_);  // reads it again
  view_ = std::make_unique<View>(*pc_, unreadable_);
}

void InstallerPc::Put(const std::string& path, std::string_view bytes) {
  platform::ForceDirectories(files(), ExtractFileDir(path));
  ASSERT_TRUE(WriteWholeFile(files(), path, bytes)) << path;
}

std::optional<std::string> InstallerPc::Read(const std::string& path) {
  return ReadWholeFile(files(), path);
}

void InstallerPc::PutData(const std::vector<DataMember>& members, int part) {
  const std::string name = DataPartName(ChangeFileExt(ExtractFileName(exe_), ".dat"), part);
  Put(start_dir_ + "\\" + name, BuildDataFile(members));
}

void InstallerPc::PutSettings(std::string_view ini_text) {
  Put(ChangeFileExt(exe_, ".ini"), ini_text);
}

InstallWizard& InstallerPc::Start(InstallWizard::ScriptMaker make_script) {
  wizard_ = std::make_unique<InstallWizard>(app_, *view_, std::move(make_script));
  wizard_->StartUp();
  return *wizard_;
}

void InstallerPc::Run() {
  if (!app_.Terminated()) app_.Run(*wizard_);
}

void InstallerPc::QueueInstall(const std::string& destination) {
  ui_.QueueAction(
      [destination](ui::Form& form) {
        auto& wizard = static_cast<InstallWizard&>(form);
        wizard.DestinationEdit.UserSetText(destination);
        wizard.InstallButton.Click();
      },
      "TInstF1", "Install into " + destination);
}

std::optional<std::string> InstallerPc::Launched(const std::string& working_dir) {
  pc_->WaitForStartedProcesses();
  auto text = Read(working_dir + "\\launched.txt");
  if (text && !text->empty() && text->back() == '\n') text->pop_back();
  return text;
}

}  // namespace vl4::test
