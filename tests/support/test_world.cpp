#include "tests/support/test_world.h"

#include <atomic>
#include <cstdlib>
#include <filesystem>

#include "platform/exception.h"
#include "platform/file_tree.h"
#include "platform/path.h"

#ifdef _WIN32
#include "platform/win32/win32_platform.h"
#include "platform/win32/windows_api.h"
#else
#include <unistd.h>

#include "platform/sandbox/sandbox_platform.h"
#endif

namespace vl4::test {

namespace {
std::atomic<unsigned> world_counter{0};
}

TestWorld::TestWorld(Windows windows) {
  unsigned n = world_counter++;
#ifdef _WIN32
  (void)windows;  // the system is what it is
  platform_ = std::make_unique<platform::Win32Platform>();
  char temp[MAX_PATH + 1];
  DWORD len = GetTempPathA(sizeof temp, temp);
  std::string base = ExcludeTrailingBackslash(std::string(temp, len));
  scratch_ =
      base + "\\vl4-world-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(n);
  registry_key_ =
      "Software\\VL4 Tests\\" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(n);
  platform::RemoveTree(files(), scratch_);
#else
  std::string pattern = (std::filesystem::temp_directory_path() / "vl4-world-XXXXXX").string();
  if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
  host_root_ = pattern;
  platform_ = std::make_unique<platform::SandboxPlatform>(host_root_);
  if (windows == Windows::k64) sandbox()->SetWindows64(true);
  scratch_ = "C:\\Scratch";
  registry_key_ = "Software\\VL4 Tests\\World" + std::to_string(n);
#endif
  platform::ForceDirectories(files(), scratch_);
  files().SetCurrentDirectory(scratch_);
}

TestWorld::~TestWorld() {
#ifdef _WIN32
  try {
    registry().DeleteKey(platform::RootKey::kCurrentUser, registry_key_);
  } catch (...) {
  }
  files().SetCurrentDirectory(files().FullPath(scratch_ + "\\.."));
  platform::RemoveTree(files(), scratch_);
#else
  platform_.reset();
  std::error_code ec;
  std::filesystem::remove_all(host_root_, ec);
#endif
}

platform::SandboxPlatform* TestWorld::sandbox() {
#ifdef _WIN32
  return nullptr;
#else
  return static_cast<platform::SandboxPlatform*>(platform_.get());
#endif
}

bool TestWorld::Windows64() {
#ifdef _WIN32
  return platform::Win32Platform::Windows64();
#else
  return sandbox()->Windows64();
#endif
}

platform::Registry& TestWorld::NativeRegistry() {
#ifdef _WIN32
  return static_cast<platform::Win32Platform&>(*platform_).NativeRegistry();
#else
  return sandbox()->NativeRegistry();
#endif
}

std::string TestWorld::Path(std::string_view relative) const {
  return scratch_ + "\\" + std::string(relative);
}

bool TestWorld::WriteFile(const std::string& path, std::string_view bytes) {
  return WriteWholeFile(files(), path, bytes);
}

std::optional<std::string> TestWorld::ReadFile(const std::string& path) {
  return ReadWholeFile(files(), path);
}

bool WriteWholeFile(platform::Files& files, const std::string& path, std::string_view bytes) {
  try {
    auto stream = files.OpenFile(path, platform::OpenMode::kCreate);
    return stream->Write(bytes.data(), bytes.size()) == bytes.size();
  } catch (const Exception&) {
    return false;
  }
}

std::optional<std::string> ReadWholeFile(platform::Files& files, const std::string& path) {
  try {
    auto stream = files.OpenFile(path, platform::OpenMode::kRead);
    std::string data;
    char buffer[65536];
    while (size_t n = stream->Read(buffer, sizeof buffer)) data.append(buffer, n);
    return data;
  } catch (const Exception&) {
    return std::nullopt;
  }
}

std::string TestWorld::HostToWindows(const std::string& host_path) {
  std::string path = system().Utf8ToAnsi(host_path);
  for (char& c : path) c = c == '/' ? '\\' : c;
  return "Z:" + path;
}

bool TestWorld::ImportHostFile(const std::string& host_path, const std::string& windows_path) {
  return files().CopyFile(HostToWindows(host_path), windows_path, false);
}

std::optional<std::string> CorpusDir() {
  const char* corpus = std::getenv("VL4_CORPUS");
  if (!corpus || !*corpus) return std::nullopt;
#ifdef _WIN32
  // The variable holds a host path; under Wine the host's root is drive Z:.
  std::string windows_path = std::string("Z:") + corpus;
  for (char& c : windows_path) {
    if (c == '/') c = '\\';
  }
  DWORD attributes = GetFileAttributesA(windows_path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    return std::nullopt;
  }
#else
  std::error_code ec;
  if (!std::filesystem::is_directory(corpus, ec)) return std::nullopt;
#endif
  return std::string(corpus);
}

bool RunsUnderWine() {
#ifdef _WIN32
  HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  return ntdll && GetProcAddress(ntdll, "wine_get_version");
#else
  return false;
#endif
}

std::string SiblingProgram(platform::System& system, const std::string& name) {
#ifdef _WIN32
  return ExtractFilePath(system.ExePath()) + name + ".exe";
#else
  return ExtractFilePath(system.ExePath()) + name;
#endif
}

}  // namespace vl4::test
