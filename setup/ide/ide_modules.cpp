// The IDE operations' common part: the choice by installation family, the programs they start
// and wait for, and the deletion of what they placed.
#include "setup/ide/ide_modules.h"

#include "platform/platform.h"
#include "setup/ide/ide_family.h"

namespace vl4 {

namespace {

constexpr uint32_t kPollInterval = 100;  // ms

}  // namespace

void IdeRemoval::Append(const IdeRemoval& other) {
  removed.insert(removed.end(), other.removed.begin(), other.removed.end());
  left.insert(left.end(), other.left.begin(), other.left.end());
}

IdeModules::IdeModules(platform::Platform& platform, std::string install_dir)
    : platform_(platform), install_dir_(std::move(install_dir)) {}

IdeModules::~IdeModules() = default;

void IdeModules::Install(const EnvRow& row) {
  switch (FamilyOf(row)) {
    case IdeFamily::kDelphi:
    case IdeFamily::kCppBuilder:
    case IdeFamily::kBorlandNet:
      InstallPackage(row);
      break;
    case IdeFamily::kVisualBasic:
      InstallVbAddin(row);
      break;
    case IdeFamily::kOther:
      break;
  }
}

IdeRemoval IdeModules::Uninstall(const EnvRow& row) {
  switch (FamilyOf(row)) {
    case IdeFamily::kDelphi:
    case IdeFamily::kCppBuilder:
    case IdeFamily::kBorlandNet:
      return UninstallPackage(row);
    case IdeFamily::kVisualBasic:
      return UninstallVbAddin(row);
    case IdeFamily::kOther:
      break;
  }
  return {};
}

IdeRemoval IdeModules::Uninstall(const Catalogue& catalogue) {
  IdeRemoval removal;
  for (const EnvRow& row : catalogue.Rows()) {
    if (!row.Empty()) removal.Append(Uninstall(row));
  }
  return removal;
}

bool IdeModules::DeletePlacedFile(const std::string& path) {
  platform::Files& files = platform_.files();
  const std::optional<uint32_t> attributes = files.GetAttributes(path);
  const bool read_only = attributes && (*attributes & platform::kAttrReadOnly);
  if (read_only) files.SetAttributes(path, *attributes & ~uint32_t{platform::kAttrReadOnly});
  if (files.DeleteFile(path) || !files.FileExists(path)) return true;
  if (read_only) files.SetAttributes(path, *attributes);
  return false;
}

bool IdeModules::RunProgram(const std::string& exe, const std::string& parameters,
                            const std::string& dir, DisplayMode mode) {
  static constexpr int kShowCommands[] = {platform::kSwShowNormal, platform::kSwShowMaximized,
                                          platform::kSwShowMinimized, platform::kSwShowMinNoActive};
  process_ =
      platform_.shell().Execute("", exe, parameters, dir, kShowCommands[static_cast<int>(mode)]);
  return process_ != nullptr;
}

void IdeModules::WaitForProgram(int polls) {
  if (process_ == nullptr) return;
  platform::Shell& shell = platform_.shell();
  for (int poll = 0; poll < polls && process_->StillActive(); ++poll) shell.Sleep(kPollInterval);
  shell.Sleep(kPollInterval);
}

bool IdeModules::ProgramSucceeded() {
  if (process_ == nullptr || process_->StillActive()) return false;
  const std::optional<uint32_t> code = process_->ExitCode();
  return code && *code == 0;
}

}  // namespace vl4
