// The program and the machine through GetModuleFileNameA, GetCommandLineA, GetSystemDirectoryA,
// GetUserNameA, FindResourceA, GetACP/GetOEMCP and the code page conversions.
#include "platform/win32/windows_api.h"

#include "platform/command_line.h"
#include "platform/win32/win32_services.h"

namespace vl4::platform::win32 {

namespace {

std::wstring ToWide(UINT code_page, std::string_view text) {
  if (text.empty()) return {};
  int n = MultiByteToWideChar(code_page, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(n, L'\0');
  MultiByteToWideChar(code_page, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
  return wide;
}

std::string FromWide(UINT code_page, const std::wstring& wide, const char* missing) {
  if (wide.empty()) return {};
  DWORD flags = missing ? WC_NO_BEST_FIT_CHARS : 0;
  int n = WideCharToMultiByte(code_page, flags, wide.data(), static_cast<int>(wide.size()), nullptr,
                              0, missing, nullptr);
  std::string text(n, '\0');
  WideCharToMultiByte(code_page, flags, wide.data(), static_cast<int>(wide.size()), text.data(), n,
                      missing, nullptr);
  return text;
}

class Win32System final : public System {
 public:
  std::string ExePath() override {
    std::string path(MAX_PATH + 1, '\0');
    for (;;) {
      DWORD n = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
      if (n < path.size()) return path.substr(0, n);
      path.resize(path.size() * 2);
    }
  }
  std::vector<std::string> Arguments() override {
    std::vector<std::string> args = SplitCommandLine(GetCommandLineA());
    if (!args.empty()) args.erase(args.begin());  // the program itself
    return args;
  }
  std::string SystemDirectory() override {
    char path[300];
    UINT n = GetSystemDirectoryA(path, sizeof path);
    return n < sizeof path ? std::string(path, n) : "";
  }
  std::string WindowsDirectory() override {
    char path[300];
    UINT n = GetWindowsDirectoryA(path, sizeof path);
    return n < sizeof path ? std::string(path, n) : "";
  }
  std::string Wow64SystemDirectory() override {
    char path[300];
    UINT n = GetSystemWow64DirectoryA(path, sizeof path);
    return n > 0 && n < sizeof path ? std::string(path, n) : "";
  }
  std::optional<std::string> UserName() override {
    char name[257];
    DWORD n = sizeof name;
    if (!GetUserNameA(name, &n)) return std::nullopt;
    return std::string(name);
  }
  bool IsAdministrator() override { return IsUserAnAdmin(); }
  std::optional<std::string_view> Resource(const std::string& type,
                                           const std::string& name) override {
    HRSRC info = FindResourceA(nullptr, name.c_str(), type.c_str());
    HGLOBAL data = info ? LoadResource(nullptr, info) : nullptr;
    const void* bytes = data ? LockResource(data) : nullptr;
    if (!bytes) return std::nullopt;
    return std::string_view(static_cast<const char*>(bytes), SizeofResource(nullptr, info));
  }
  unsigned AnsiCodePage() override { return GetACP(); }
  unsigned OemCodePage() override { return GetOEMCP(); }
  std::string OemToAnsi(std::string_view text) override {
    std::string out(text);
    if (!out.empty()) OemToCharBuffA(out.data(), out.data(), static_cast<DWORD>(out.size()));
    return out;
  }
  std::string AnsiToOem(std::string_view text) override {
    std::string out(text);
    if (!out.empty()) CharToOemBuffA(out.data(), out.data(), static_cast<DWORD>(out.size()));
    return out;
  }
  std::string Utf8ToAnsi(std::string_view text) override {
    return FromWide(CP_ACP, ToWide(CP_UTF8, text), "_");
  }
  std::string AnsiToUtf8(std::string_view text) override {
    return FromWide(CP_UTF8, ToWide(CP_ACP, text), nullptr);
  }
};

}  // namespace

std::unique_ptr<System> CreateSystem() {
  return std::make_unique<Win32System>();
}

}  // namespace vl4::platform::win32
