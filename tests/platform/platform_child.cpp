// A small program the conformance suite starts through Shell::Execute. It writes what it sees
// (its arguments, current directory, a registry value and whether it has an administrator's
// rights) into a report file and ends with the exit code it was given:
//   vl4_platform_child <report> <exit code> <delay ms> <registry key> [arguments...]
#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#include "platform/exception.h"
#include "platform/platform.h"

int main(int argc, char** argv) {
  auto platform = vl4::platform::CreateDefaultPlatform(argc, argv);
  std::vector<std::string> args = platform->system().Arguments();
  if (args.size() < 4) return 2;
  std::this_thread::sleep_for(std::chrono::milliseconds(std::atoi(args[2].c_str())));
  std::string report = "cwd=" + platform->files().CurrentDirectory() + "\r\nargs=";
  for (size_t i = 4; i < args.size(); ++i) report += (i > 4 ? "|" : "") + args[i];
  std::optional<std::string> probe;
  try {
    probe = platform->registry().ReadString(vl4::platform::RootKey::kCurrentUser, args[3], "Probe");
  } catch (const vl4::Exception&) {
  }
  report += "\r\nprobe=" + probe.value_or("(none)") +
            "\r\nadministrator=" + (platform->system().IsAdministrator() ? "yes" : "no") + "\r\n";
  try {
    auto stream = platform->files().OpenFile(args[0], vl4::platform::OpenMode::kCreate);
    stream->Write(report.data(), report.size());
  } catch (const vl4::Exception&) {
    return 3;
  }
  return std::atoi(args[1].c_str());
}
