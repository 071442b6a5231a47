// What the sandbox PC tells a program about itself and the machine; its code pages.
#pragma once

#include "platform/sandbox/machine.h"
#include "platform/system.h"

namespace vl4::platform::sandbox {

class SandboxSystem final : public System {
 public:
  explicit SandboxSystem(Machine& machine) : m_(machine) {}

  std::string ExePath() override;
  std::vector<std::string> Arguments() override;
  std::string SystemDirectory() override { return m_.config.system_dir; }
  std::string WindowsDirectory() override { return m_.config.windows_dir; }
  std::string Wow64SystemDirectory() override {
    return m_.config.windows64 ? m_.config.SysWow64Dir() : "";
  }
  std::optional<std::string> UserName() override { return m_.config.user; }
  bool IsAdministrator() override { return m_.Elevated(); }
  std::optional<std::string_view> Resource(const std::string& type,
                                           const std::string& name) override;
  unsigned AnsiCodePage() override { return m_.ansi.Number(); }
  unsigned OemCodePage() override { return m_.oem.Number(); }
  std::string OemToAnsi(std::string_view text) override {
    return Recode(m_.oem, m_.ansi, text, '?');
  }
  std::string AnsiToOem(std::string_view text) override {
    return Recode(m_.ansi, m_.oem, text, '?');
  }
  std::string Utf8ToAnsi(std::string_view text) override { return m_.ansi.FromUtf8(text, '_'); }
  std::string AnsiToUtf8(std::string_view text) override { return m_.ansi.ToUtf8(text); }

 private:
  Machine& m_;
};

}  // namespace vl4::platform::sandbox
