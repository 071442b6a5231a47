#include "platform/sandbox/machine.h"

#include <unistd.h>

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
      locks(File("locked")) {
  // A program starts in the host's working directory, seen through the drive that holds it
  // (Z: for the rest of the host), or at the root of C: when no drive does.
  std::error_code ec;
  auto cwd = std::filesystem::current_path(ec);
  auto windows = ec ? std::nullopt : WindowsPathOf(cwd.string());
  current_directory = windows ? *windows : "C:\\";
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
