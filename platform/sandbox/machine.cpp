#include "platform/sandbox/machine.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

namespace vl4::platform::sandbox {

namespace {
const CodePage& CodePageOf(unsigned number) {
  const CodePage* cp = CodePage::Find(number);
  if (!cp) throw ESandboxError("The sandbox does not know the code page " + std::to_string(number));
  return *cp;
}
}  // namespace

Machine::Machine(SandboxConfig loaded)
    : config(std::move(loaded)),
      ansi(CodePageOf(config.code_page)),
      oem(CodePageOf(config.oem_code_page)),
      short_names(File("shortnames"), ansi),
      paths(config, ansi, short_names),
      attributes(File("attributes")),
      locks(File("locked")),
      granted(File("granted")) {
  // A program starts in the host's working directory, seen through the drive that holds it
  // (Z: for the rest of the host), or at the root of C: when no drive does.
  std::error_code ec;
  auto cwd = std::filesystem::current_path(ec);
  auto windows = ec ? std::nullopt : WindowsPathOf(cwd.string());
  current_directory = windows ? *windows : "C:\\";
  // A program started by another of this PC gets the name its directory was given, when that
  // still leads here (C:\Windows\System32 rather than the SysWOW64 folder that holds it).
  if (const char* given = std::getenv(kDirectoryVariable); given && *given && !ec) {
    const std::string name = ansi.FromUtf8(given, '?');
    auto r = paths.Resolve(name);
    std::error_code same_ec;
    if (r && r->exists && std::filesystem::equivalent(r->host, cwd, same_ec)) {
      current_directory = name;
      while (current_directory.size() > 3 && current_directory.back() == '\\') {
        current_directory.pop_back();
      }
    }
  }
}

bool Machine::Elevated() const {
  const char* elevated = std::getenv(kElevatedVariable);
  return config.administrator || (elevated && *elevated == '1');
}

bool Machine::MayChange(const std::string& host) {
  if (Elevated()) return true;
  const auto within = [&](const std::string& folder) {
    return host.compare(0, folder.size(), folder) == 0 &&
           (host.size() == folder.size() || host[folder.size()] == '/');
  };
  bool protected_place = false;
  for (const char* folder : {SandboxConfig::kProgramFiles, SandboxConfig::kProgramFilesX86}) {
    if (auto r = paths.Resolve(folder); r && within(r->host)) protected_place = true;
  }
  if (auto r = paths.Resolve(config.windows_dir); r && within(r->host)) protected_place = true;
  return !protected_place || Granted(host);
}

bool Machine::Granted(const std::string& host) {
  for (std::string folder = host; !folder.empty() && folder != "/";
       folder = folder.substr(0, std::max<size_t>(folder.find_last_of('/'), 1))) {
    if (granted.Contains(folder)) return true;
  }
  return false;
}

std::optional<std::string> Machine::WindowsPathOf(const std::string& host_path) const {
  std::filesystem::path p(host_path);
  std::error_code ec;
  if (p.is_relative()) p = std::filesystem::current_path(ec) / p;
  std::string normal = p.lexically_normal().string();
  while (normal.size() > 1 && normal.back() == '/') normal.pop_back();
  auto windows = paths.ToWindows(normal);
  if (!windows || (*windows)[0] == 'Z') {
    // The same folder through links (a sandbox named through a linked folder, getcwd's real path).
    std::string real = std::filesystem::weakly_canonical(normal, ec).string();
    if (auto through_links = ec ? std::nullopt : paths.ToWindows(real)) {
      if (!windows || (*through_links)[0] != 'Z') windows = through_links;
    }
  }
  return windows;
}

}  // namespace vl4::platform::sandbox
