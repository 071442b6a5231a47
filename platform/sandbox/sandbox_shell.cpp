#include "platform/sandbox/sandbox_shell.h"

#include <fcntl.h>
#include <spawn.h>
#include <unistd.h>

#include <cstring>
#include <thread>

#include "platform/command_line.h"
#include "platform/path.h"
#include "platform/sandbox/dos_time.h"
#include "platform/sandbox/host_io.h"
#include "platform/sandbox/sandbox_process.h"
#include "platform/shell_link_format.h"
#include "platform/text.h"

extern char** environ;

namespace vl4::platform::sandbox {

namespace {

bool IsUrl(const std::string& file) {
  return file.find("://") != std::string::npos || StartsText("mailto:", file) ||
         StartsText("www.", file);
}

uint64_t FileTimeOf(time_t t) {
  return (static_cast<uint64_t>(t) + 11644473600ULL) * 10000000ULL;
}

}  // namespace

std::string SandboxShell::GetSpecialFolder(SpecialFolder folder) {
  switch (folder) {
    case SpecialFolder::kPrograms:
      return m_.config.programs;
    case SpecialFolder::kDesktopDirectory:
      return m_.config.desktop;
  }
  return "";
}

bool SandboxShell::CreateShellLink(const std::string& target, const std::string& arguments,
                                   const std::string& working_directory,
                                   const std::string& link_path) {
  auto full = m_.FullPath(target);
  if (!full) return false;
  ShellLinkTarget t;
  t.path = *full;
  char letter = (*full)[0];
  if (auto drive = m_.config.drives.find(letter); drive != m_.config.drives.end()) {
    t.drive_type = drive->second.type;
    t.volume_label = drive->second.label;
  }
  t.drive_serial = 0x5D1C0000u | static_cast<unsigned char>(letter);
  auto resolved = m_.paths.Resolve(*full);
  if (resolved && resolved->exists) {
    t.attributes = *files_.GetAttributes(*full);
    t.size = S_ISDIR(resolved->st.st_mode) ? 0 : static_cast<uint32_t>(resolved->st.st_size);
    t.write_time = FileTimeOf(resolved->st.st_mtime);
    // Each folder on the way and the target itself, with the names as stored.
    std::string prefix = full->substr(0, 2);
    size_t pos = 3;
    while (pos < full->size()) {
      size_t end = full->find('\\', pos);
      if (end == std::string::npos) end = full->size();
      if (end > pos) {
        prefix += "\\" + full->substr(pos, end - pos);
        auto step = m_.paths.Resolve(prefix);
        if (!step || !step->exists) break;
        ShellLinkItem item;
        item.name = m_.paths.AnsiName(step->host.substr(step->host.find_last_of('/') + 1));
        item.directory = S_ISDIR(step->st.st_mode);
        item.size = item.directory ? 0 : static_cast<uint32_t>(step->st.st_size);
        item.dos_time = DosTimeFromUnix(step->st.st_mtime);
        item.attributes = *files_.GetAttributes(prefix);
        t.items.push_back(item);
      }
      pos = end + 1;
    }
  }
  std::string bytes = EncodeShellLink(t, arguments, working_directory,
                                      [&](std::string_view s) { return m_.ansi.ToUtf16(s); });
  try {
    auto stream = files_.OpenFile(link_path, OpenMode::kCreate);
    return stream->Write(bytes.data(), bytes.size()) == bytes.size();
  } catch (const Exception&) {
    return false;
  }
}

std::optional<ShellLinkInfo> SandboxShell::ReadShellLink(const std::string& link_path) {
  std::string bytes;
  try {
    auto stream = files_.OpenFile(link_path, OpenMode::kRead);
    char buffer[8192];
    while (size_t n = stream->Read(buffer, sizeof buffer)) bytes.append(buffer, n);
  } catch (const Exception&) {
    return std::nullopt;
  }
  auto link =
      DecodeShellLink(bytes, [&](std::u16string_view s) { return m_.ansi.FromUtf16(s, '?'); });
  if (!link) return std::nullopt;
  return ShellLinkInfo{link->target, link->arguments, link->working_directory};
}

std::optional<std::string> SandboxShell::FindProgram(const std::string& file,
                                                     const std::string& directory) {
  std::vector<std::string> candidates;
  if (file.find_first_of("\\/:") != std::string::npos) {
    candidates.push_back(file);
  } else {
    // A bare name: the given directory, the current one, then the system folders.
    for (const std::string& dir :
         {directory, m_.current_directory, m_.config.system_dir, m_.config.windows_dir}) {
      if (!dir.empty()) candidates.push_back(IncludeTrailingBackslash(dir) + file);
    }
  }
  for (const std::string& candidate : candidates) {
    for (const std::string& name : {candidate, candidate + ".exe"}) {
      // A folder is found too: the shell opens it (as a document).
      if (files_.FileExists(name) || files_.DirectoryExists(name)) return m_.FullPath(name);
      if (!ExtractFileExt(candidate).empty()) break;  // ".exe" is tried for bare names only
    }
  }
  return std::nullopt;
}

bool SandboxShell::IsHostProgram(const std::string& host) {
  UniqueFd fd = OpenHostFile(host, O_RDONLY);
  char head[4] = {};
  if (!fd || ::read(fd.get(), head, sizeof head) < 2) return false;
  return std::memcmp(head, "\177ELF", 4) == 0 || std::memcmp(head, "#!", 2) == 0;
}

void SandboxShell::Log(const std::string& line) {
  UniqueFd fd = OpenHostFile(m_.File("shell.log"), O_WRONLY | O_CREAT | O_APPEND);
  if (!fd) return;
  std::string text = line + "\n";
  ssize_t written = ::write(fd.get(), text.data(), text.size());
  (void)written;
}

std::unique_ptr<Process> SandboxShell::Execute(const std::string& verb, const std::string& file,
                                               const std::string& parameters,
                                               const std::string& directory, int show_command) {
  std::string record = (verb.empty() ? "open" : verb) + "\t" + file + "\t" + parameters + "\t" +
                       directory + "\t" + std::to_string(show_command);
  if (IsUrl(file)) {
    Log(record);  // the PC has no browser: the page is noted
    return std::make_unique<SandboxProcess>(0);
  }
  auto program = FindProgram(file, directory);
  if (!program) return nullptr;
  auto resolved = m_.paths.Resolve(*program);
  if (!resolved || !resolved->exists) return nullptr;
  bool runnable = S_ISREG(resolved->st.st_mode) && ::access(resolved->host.c_str(), X_OK) == 0;
  std::string ext = UpperCase(ExtractFileExt(*program));
  const bool program_name = ext == ".EXE" || ext == ".COM" || ext == ".BAT" || ext == ".CMD";
  if (!runnable && program_name && S_ISREG(resolved->st.st_mode) && IsHostProgram(resolved->host)) {
    // Windows runs a program by its name; a host program that arrived without the permission to
    // run (unpacked from a zip archive, which keeps DOS attributes only) gets it.
    runnable = ::chmod(resolved->host.c_str(), resolved->st.st_mode | 0111) == 0;
  }
  if (!runnable) {
    if (program_name) return nullptr;
    Log(record);  // a document or a folder: opening it is noted
    return std::make_unique<SandboxProcess>(0);
  }

  std::string work_dir = directory.empty() ? m_.current_directory : directory;
  auto work = m_.Resolve(work_dir);
  if (!work || !work->exists || !S_ISDIR(work->st.st_mode)) return nullptr;

  std::vector<std::string> args{resolved->host};
  for (const std::string& arg : SplitCommandLine(parameters)) args.push_back(m_.ansi.ToUtf8(arg));
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);

  // The child sees the same PC; "runas" gives it an administrator's rights, which the programs it
  // starts inherit through the environment, as they inherit an elevated token on Windows.
  std::string sandbox_var = "VL4_SANDBOX=" + m_.config.root;
  std::string elevated_var = std::string(Machine::kElevatedVariable) + "=1";
  // The working directory by the name it was given: on a 64-bit PC the system directory's host
  // folder is SysWOW64, yet the program started there is in C:\Windows\System32.
  std::string directory_var = std::string(Machine::kDirectoryVariable) + "=" +
                              m_.ansi.ToUtf8(m_.FullPath(work_dir).value_or(work_dir));
  std::vector<char*> envp;
  for (char** e = environ; *e; ++e) {
    if (std::strncmp(*e, "VL4_SANDBOX=", 12) != 0 &&
        std::strncmp(*e, Machine::kDirectoryVariable, std::strlen(Machine::kDirectoryVariable)) !=
            0) {
      envp.push_back(*e);
    }
  }
  envp.push_back(sandbox_var.data());
  envp.push_back(directory_var.data());
  if (SameText(verb, "runas")) envp.push_back(elevated_var.data());
  envp.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addchdir_np(&actions, work->host.c_str());
  pid_t pid = 0;
  int rc = ::posix_spawn(&pid, resolved->host.c_str(), &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) return nullptr;
  RecordStartedProcess(m_.File("processes"), pid, show_command,
                       QuoteArgument(*program) + (parameters.empty() ? "" : " " + parameters));
  return std::make_unique<SandboxProcess>(pid);
}

void SandboxShell::Sleep(uint32_t milliseconds) {
  std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

}  // namespace vl4::platform::sandbox
