// What the program asks Windows about itself and the machine; code pages and conversions.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vl4::platform {

class System {
 public:
  virtual ~System() = default;

  virtual std::string ExePath() = 0;                 // full Windows path of the running program
  virtual std::vector<std::string> Arguments() = 0;  // ParamStr(1) .. ParamStr(ParamCount)
  virtual std::string SystemDirectory() = 0;         // GetSystemDirectory
  virtual std::string WindowsDirectory() = 0;        // GetWindowsDirectory
  // GetSystemWow64Directory: on 64-bit Windows the folder where 64-bit programs find this 32-bit
  // program's system directory (SysWOW64); "" on 32-bit Windows, where both are the same.
  virtual std::string Wow64SystemDirectory() = 0;
  virtual std::optional<std::string> UserName() = 0;  // GetUserName
  // True when the program runs with an administrator's rights (with UAC: elevated); only then
  // may it write Program Files, the Windows folders and HKEY_LOCAL_MACHINE.
  virtual bool IsAdministrator() = 0;
  // The program's own resource of the given type and name (raw bytes), nothing when missing.
  virtual std::optional<std::string_view> Resource(const std::string& type,
                                                   const std::string& name) = 0;

  virtual unsigned AnsiCodePage() = 0;
  virtual unsigned OemCodePage() = 0;
  virtual std::string OemToAnsi(std::string_view text) = 0;
  virtual std::string AnsiToOem(std::string_view text) = 0;
  // UTF-8 to the ANSI code page; characters the code page lacks become "_".
  virtual std::string Utf8ToAnsi(std::string_view text) = 0;
  virtual std::string AnsiToUtf8(std::string_view text) = 0;
};

}  // namespace vl4::platform
