#include "platform/sandbox/sandbox_system.h"

#include "platform/embedded_resource.h"

namespace vl4::platform::sandbox {

std::string SandboxSystem::ExePath() {
  return m_.exe_host_path.empty() ? "" : m_.WindowsPathOf(m_.exe_host_path).value_or("");
}

std::vector<std::string> SandboxSystem::Arguments() {
  std::vector<std::string> args;
  for (const std::string& arg : m_.arguments) args.push_back(m_.ansi.FromUtf8(arg, '?'));
  return args;
}

std::optional<std::string_view> SandboxSystem::Resource(const std::string& type,
                                                        const std::string& name) {
  std::string_view data = FindEmbeddedResource(type, name);
  if (data.data() == nullptr) return std::nullopt;
  return data;
}

}  // namespace vl4::platform::sandbox
