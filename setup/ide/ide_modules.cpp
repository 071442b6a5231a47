// The IDE operations' common part: the choice by installation family and the programs they
// start and wait for.
#include "setup/ide/ide_modules.h"

#include "platform/platform.h"
#include "setup/ide/ide_family.h"

namespace vl4 {

namespace {

constexpr uint32_t kPollInterval = 100;  // ms

}  // namespace

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

}  // namespace vl4
