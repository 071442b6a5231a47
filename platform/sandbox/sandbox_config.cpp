#include "platform/sandbox/sandbox_config.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

#include "platform/sandbox/code_page.h"
#include "platform/sandbox/host_io.h"
#include "platform/text.h"

namespace vl4::platform::sandbox {

namespace {

struct TypeName {
  DriveType type;
  const char* name;
};
constexpr TypeName kTypeNames[] = {
    {DriveType::kFixed, "fixed"},     {DriveType::kRemovable, "removable"},
    {DriveType::kRemote, "remote"},   {DriveType::kCdRom, "cdrom"},
    {DriveType::kRamDisk, "ramdisk"}, {DriveType::kUnknown, "unknown"},
};

std::string HostLogin() {
  if (const char* user = std::getenv("USER"); user && *user) return user;
  if (const passwd* pw = ::getpwuid(::getuid())) return pw->pw_name;
  return "user";
}

// The host folder of a Windows path on a drive of this configuration ("" when not mapped).
std::string HostFolderOf(const SandboxConfig& config, const std::string& windows_path) {
  if (windows_path.size() < 2 || windows_path[1] != ':') return "";
  auto drive = config.drives.find(static_cast<char>(std::toupper(windows_path[0])));
  if (drive == config.drives.end()) return "";
  std::string rest = windows_path.substr(2);
  for (char& c : rest) c = c == '\\' ? '/' : c;
  if (rest.empty() || rest[0] != '/') rest.insert(0, "/");
  std::string host = drive->second.host;
  if (!host.empty() && host.back() == '/') host.pop_back();
  return host + CodePage::Find(config.code_page)->ToUtf8(rest);
}

[[noreturn]] void Fail(const std::string& file, int line, const std::string& what) {
  throw ESandboxError(Format("%s, line %d: %s", file.c_str(), line, what.c_str()));
}

}  // namespace

const char* DriveTypeName(DriveType type) {
  for (const TypeName& t : kTypeNames) {
    if (t.type == type) return t.name;
  }
  return "unknown";
}

SandboxConfig SandboxConfig::Load(const std::string& root) {
  SandboxConfig config;
  config.root = root;
  std::string path = config.IniPath();
  auto text = ReadHostFile(path);
  if (!text) {
    config.user = HostLogin();
    config.drives['C'] = {root + "/C", DriveType::kFixed, "", std::nullopt};
    config.drives['Z'] = {"/", DriveType::kFixed, "", std::nullopt};
    config.programs = "C:\\Users\\" + config.user +
                      "\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs";
    config.desktop = "C:\\Users\\" + config.user + "\\Desktop";
    if (!MakeHostDirectories(root)) throw ESandboxError("Cannot create the sandbox folder " + root);
    config.Save();
    return config;
  }

  std::string section;
  int line_no = 0;
  size_t pos = 0;
  while (pos < text->size()) {
    size_t end = text->find('\n', pos);
    if (end == std::string::npos) end = text->size();
    std::string line = Trim(std::string_view(*text).substr(pos, end - pos));
    pos = end + 1;
    ++line_no;
    if (line.empty() || line[0] == ';' || line[0] == '#') continue;
    if (line[0] == '[') {
      if (line.back() != ']') Fail(path, line_no, "a section header lacks its \"]\"");
      section = Trim(line.substr(1, line.size() - 2));
      continue;
    }
    size_t eq = line.find('=');
    if (eq == std::string::npos) Fail(path, line_no, "\"" + line + "\" is no \"name=value\" line");
    std::string key = Trim(line.substr(0, eq));
    std::string value = Trim(line.substr(eq + 1));
    auto drive_letter = [&]() {
      if (key.size() != 1 || !std::isalpha(static_cast<unsigned char>(key[0]))) {
        Fail(path, line_no, "\"" + key + "\" is no drive letter");
      }
      return static_cast<char>(std::toupper(static_cast<unsigned char>(key[0])));
    };
    if (SameText(section, "Drives")) {
      if (value.empty()) Fail(path, line_no, "drive " + key + ": has no host folder");
      config.drives[drive_letter()].host = value[0] == '/' ? value : root + "/" + value;
    } else if (SameText(section, "DriveTypes")) {
      char letter = drive_letter();
      bool known = false;
      for (const TypeName& t : kTypeNames) {
        if (SameText(value, t.name)) {
          config.drives[letter].type = t.type;
          known = true;
        }
      }
      if (!known) Fail(path, line_no, "unknown drive type \"" + value + "\"");
    } else if (SameText(section, "Labels")) {
      config.drives[drive_letter()].label = value;
    } else if (SameText(section, "FreeSpace")) {
      char* end = nullptr;
      const long long bytes = std::strtoll(value.c_str(), &end, 10);
      if (value.empty() || *end != '\0' || bytes < 0) {
        Fail(path, line_no, "free space \"" + value + "\" is no number of bytes");
      }
      config.drives[drive_letter()].free_space = bytes;
    } else if (SameText(section, "System")) {
      if (SameText(key, "Windows")) {
        config.windows_dir = value;
      } else if (SameText(key, "System")) {
        config.system_dir = value;
      } else if (SameText(key, "User")) {
        config.user = value;
      } else if (SameText(key, "Programs")) {
        config.programs = value;
      } else if (SameText(key, "Desktop")) {
        config.desktop = value;
      } else if (SameText(key, "Architecture")) {
        if (!SameText(value, "x86") && !SameText(value, "x64")) {
          Fail(path, line_no, "architecture \"" + value + "\" is neither x86 nor x64");
        }
        config.windows64 = SameText(value, "x64");
      } else if (SameText(key, "Administrator")) {
        if (!SameText(value, "yes") && !SameText(value, "no")) {
          Fail(path, line_no, "administrator \"" + value + "\" is neither yes nor no");
        }
        config.administrator = SameText(value, "yes");
      } else if (SameText(key, "CodePage") || SameText(key, "OemCodePage")) {
        auto number = StrToInt(value);
        if (!number || !CodePage::Find(static_cast<unsigned>(*number))) {
          Fail(path, line_no,
               "code page \"" + value + "\" is not supported (1251, 866, 1252, 437)");
        }
        (SameText(key, "CodePage") ? config.code_page : config.oem_code_page) =
            static_cast<unsigned>(*number);
      } else {
        Fail(path, line_no, "unknown setting \"" + key + "\"");
      }
    } else {
      Fail(path, line_no, "unknown section \"" + section + "\"");
    }
  }
  for (auto it = config.drives.begin(); it != config.drives.end();) {
    // A type or label without a host folder names no drive.
    it = it->second.host.empty() ? config.drives.erase(it) : std::next(it);
  }
  if (config.user.empty()) config.user = HostLogin();
  return config;
}

void SandboxConfig::Save() const {
  std::string out =
      "; The sandbox PC: drive letters mapped to host folders, and its system.\n[Drives]\n";
  for (const auto& [letter, drive] : drives) {
    std::string host = drive.host;
    if (host.size() > root.size() && host.compare(0, root.size() + 1, root + "/") == 0) {
      host = host.substr(root.size() + 1);  // inside the sandbox: kept relative, so it can move
    }
    out += Format("%c=%s\n", letter, host.c_str());
  }
  out += "\n[DriveTypes]\n";
  for (const auto& [letter, drive] : drives)
    out += Format("%c=%s\n", letter, DriveTypeName(drive.type));
  out += "\n[Labels]\n";
  for (const auto& [letter, drive] : drives) {
    if (!drive.label.empty()) out += Format("%c=%s\n", letter, drive.label.c_str());
  }
  out +=
      "\n; Bytes free on a drive, instead of what its host folder's file system has\n"
      "[FreeSpace]\n";
  for (const auto& [letter, drive] : drives) {
    if (drive.free_space)
      out += Format("%c=%lld\n", letter, static_cast<long long>(*drive.free_space));
  }
  out += "\n[System]\nWindows=" + windows_dir + "\nSystem=" + system_dir + "\nUser=" + user +
         "\nPrograms=" + programs + "\nDesktop=" + desktop +
         Format("\nCodePage=%u\nOemCodePage=%u\n", code_page, oem_code_page) +
         "; x86: a 32-bit Windows; x64: a 64-bit one, as this 32-bit program sees it (WoW64)\n" +
         "Architecture=" + (windows64 ? "x64" : "x86") + "\n" +
         "; no: programs run with a standard user's rights (\"runas\" gives them an "
         "administrator's)\n" +
         "Administrator=" + (administrator ? "yes" : "no") + "\n";
  if (!ReplaceHostFile(IniPath(), out)) throw ESandboxError("Cannot write " + IniPath());
  std::vector<std::string> folders = {windows_dir, system_dir, programs, desktop, kProgramFiles};
  if (windows64) folders.insert(folders.end(), {SysWow64Dir(), kProgramFilesX86});
  for (const std::string& folder : folders) {
    std::string host = HostFolderOf(*this, folder);
    if (!host.empty() && host.compare(0, root.size(), root) == 0) MakeHostDirectories(host);
  }
}

}  // namespace vl4::platform::sandbox
