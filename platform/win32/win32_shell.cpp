// The shell through SHGetSpecialFolderLocation, the shell link object (IShellLinkA with
// IPersistFile) and ShellExecuteExA with a kept process handle.
#include "platform/win32/windows_api.h"

#include <string>

#include "platform/win32/win32_services.h"

namespace vl4::platform::win32 {

namespace {

// A COM interface pointer released by its owner.
template <class T>
class ComRef {
 public:
  ComRef() = default;
  ~ComRef() {
    if (p_) p_->Release();
  }
  ComRef(const ComRef&) = delete;
  ComRef& operator=(const ComRef&) = delete;
  T** out() { return &p_; }
  void** out_void() { return reinterpret_cast<void**>(&p_); }
  T* operator->() const { return p_; }

 private:
  T* p_ = nullptr;
};

std::wstring Wide(const std::string& ansi) {
  int n = MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), -1, nullptr, 0);
  std::wstring wide(n > 0 ? n : 1, L'\0');
  MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), -1, wide.data(), n);
  wide.resize(wide.size() - 1);
  return wide;
}

class Win32Process final : public Process {
 public:
  explicit Win32Process(HANDLE handle) : handle_(handle) {}
  ~Win32Process() override {
    if (handle_) CloseHandle(handle_);
  }
  Win32Process(const Win32Process&) = delete;
  Win32Process& operator=(const Win32Process&) = delete;

  bool StillActive() override {
    DWORD code;
    return handle_ && GetExitCodeProcess(handle_, &code) && code == STILL_ACTIVE;
  }
  std::optional<uint32_t> ExitCode() override {
    DWORD code;
    if (!handle_ || !GetExitCodeProcess(handle_, &code) || code == STILL_ACTIVE) {
      return std::nullopt;
    }
    return code;
  }
  void Wait() override {
    if (handle_) WaitForSingleObject(handle_, INFINITE);
  }

 private:
  HANDLE handle_;
};

class Win32Shell final : public Shell {
 public:
  std::string GetSpecialFolder(SpecialFolder folder) override {
    LPITEMIDLIST pidl = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, static_cast<int>(folder), &pidl))) return "";
    char path[MAX_PATH + 1] = {};
    BOOL ok = SHGetPathFromIDListA(pidl, path);
    CoTaskMemFree(pidl);
    return ok ? path : "";
  }

  bool CreateShellLink(const std::string& target, const std::string& arguments,
                       const std::string& working_directory,
                       const std::string& link_path) override {
    ComRef<IShellLinkA> link;
    ComRef<IPersistFile> file;
    return SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                      IID_IShellLinkA, link.out_void())) &&
           SUCCEEDED(link->SetPath(target.c_str())) &&
           SUCCEEDED(link->SetArguments(arguments.c_str())) &&
           SUCCEEDED(link->SetWorkingDirectory(working_directory.c_str())) &&
           SUCCEEDED(link->QueryInterface(IID_IPersistFile, file.out_void())) &&
           SUCCEEDED(file->Save(Wide(link_path).c_str(), TRUE));
  }

  std::optional<ShellLinkInfo> ReadShellLink(const std::string& link_path) override {
    ComRef<IShellLinkA> link;
    ComRef<IPersistFile> file;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                link.out_void())) ||
        FAILED(link->QueryInterface(IID_IPersistFile, file.out_void())) ||
        FAILED(file->Load(Wide(link_path).c_str(), STGM_READ))) {
      return std::nullopt;
    }
    char target[MAX_PATH + 1] = {}, arguments[4096] = {}, directory[MAX_PATH + 1] = {};
    if (FAILED(link->GetPath(target, sizeof target, nullptr, SLGP_RAWPATH)) ||
        FAILED(link->GetArguments(arguments, sizeof arguments)) ||
        FAILED(link->GetWorkingDirectory(directory, sizeof directory))) {
      return std::nullopt;
    }
    return ShellLinkInfo{target, arguments, directory};
  }

  std::unique_ptr<Process> Execute(const std::string& verb, const std::string& file,
                                   const std::string& parameters, const std::string& directory,
                                   int show_command) override {
    SHELLEXECUTEINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    info.lpVerb = verb.empty() ? nullptr : verb.c_str();
    info.lpFile = file.c_str();
    info.lpParameters = parameters.empty() ? nullptr : parameters.c_str();
    info.lpDirectory = directory.empty() ? nullptr : directory.c_str();
    info.nShow = show_command;
    if (!ShellExecuteExA(&info)) return nullptr;
    return std::make_unique<Win32Process>(info.hProcess);
  }

  void Sleep(uint32_t milliseconds) override { ::Sleep(milliseconds); }
};

}  // namespace

std::unique_ptr<Shell> CreateShell() {
  return std::make_unique<Win32Shell>();
}

}  // namespace vl4::platform::win32
