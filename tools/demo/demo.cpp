// vl4demo: the typical road of a student on a fresh sandbox PC with Delphi 7 and Visual Basic 6.
// It builds the demo distribution (tools/demo/make_distribution.sh), runs Inst.exe headless with
// AutoRun (the environment window answered by a UI script), lets the installer launch the setup
// tool it placed, and prints a report of what the two programs showed and left on the PC. The
// report ends with the uninstall, started as Windows' list of installed programs starts it, and
// the PC before the install and after the uninstall side by side.
//   vl4demo [--keep]    (--keep leaves the sandbox folder for a look inside)
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "platform/command_line.h"
#include "platform/exception.h"
#include "platform/file_tree.h"
#include "platform/path.h"
#include "platform/sandbox/sandbox_platform.h"
#include "platform/text.h"
#include "platform/text_file.h"
#include "setup/results/code_page.h"
#include "setup/results/seal.h"

namespace {

namespace fs = std::filesystem;
using vl4::platform::RootKey;
using vl4::platform::SandboxPlatform;

constexpr char kDistrib[] = "C:\\Distrib";
// The PC is a 64-bit Windows: the 32-bit program and IDEs live in Program Files (x86), and the
// program's system directory is stored in SysWOW64.
constexpr char kDest[] = "C:\\Program Files (x86)\\VL4";
constexpr char kDelphi[] = "C:\\Program Files (x86)\\Borland\\Delphi7";
constexpr char kVb[] = "C:\\Program Files (x86)\\Microsoft Visual Studio\\VB98";
constexpr char kSystem[] = "C:\\Windows\\System32";
constexpr char kWorkDir[] = "C:\\VL4Work";
// Windows' list of installed programs: the installer's entry, where a 64-bit Windows keeps the
// entries of 32-bit programs.
constexpr char kEntry[] =
    "\\SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Veltoria 4";
// Visual Basic's list of add-ins, with its own entry before the product's.
constexpr char kAddInList[] = "C:\\Windows\\vbaddin.ini";
constexpr char kVbAddIns[] = "[Add-Ins32]\r\nAppWizard.Wizard=0\r\n";

// The student's answers: the installer's environment window keeps Delphi 7 and Visual Basic 6;
// in the setup tool the student picks Delphi 7 on the working directory page and closes.
constexpr char kInstallerScript[] =
    "render\n"
    "wait 200\n"
    "TInstF4: uncheck CheckListBox1 \"Borland Delphi 3\"\n"
    "TInstF4: uncheck CheckListBox1 \"Borland Delphi 4\"\n"
    "TInstF4: uncheck CheckListBox1 \"Borland Delphi 5\"\n"
    "TInstF4: uncheck CheckListBox1 \"Borland Delphi 6\"\n"
    "TInstF4: uncheck CheckListBox1 \"Borland Delphi 2006\"\n"
    "TInstF4: uncheck CheckListBox1 \"Free Pascal Lazarus 0.9\"\n"
    "TInstF4: uncheck CheckListBox1 \"Microsoft Visual Basic 5\"\n"
    "TInstF4: uncheck CheckListBox1 \"Microsoft Visual Basic 2003\"\n"
    "TInstF4: uncheck CheckListBox1 \"Microsoft Visual Basic 2005\"\n"
    "TInstF4: uncheck CheckListBox1 \"Microsoft Visual Basic 2008\"\n"
    "TInstF4: uncheck CheckListBox1 \"Microsoft Visual Basic .NET 2003\"\n"
    "TInstF4: uncheck CheckListBox1 \"Microsoft Visual Basic .NET 2005\"\n"
    "TInstF4: uncheck CheckListBox1 \"Microsoft Visual Basic .NET 2008\"\n"
    "TInstF4: uncheck CheckListBox1 \"Borland C++Builder 4\"\n"
    "TInstF4: uncheck CheckListBox1 \"Borland C++Builder 5\"\n"
    "TInstF4: uncheck CheckListBox1 \"Microsoft Visual C++ 6\"\n"
    "TInstF4: uncheck CheckListBox1 \"Microsoft Visual C++ 2003\"\n"
    "TInstF4: uncheck CheckListBox1 \"Microsoft Visual C++ 2005\"\n"
    "TInstF4: uncheck CheckListBox1 \"Microsoft Visual C++ 2008\"\n"
    "TInstF4: uncheck CheckListBox1 \"Microsoft Visual C# .NET 2003\"\n"
    "TInstF4: uncheck CheckListBox1 \"Microsoft Visual C# .NET 2005\"\n"
    "TInstF4: uncheck CheckListBox1 \"Microsoft Visual C# .NET 2008\"\n"
    "TInstF4: click OK\n"
    "message \"installed successfully\" => OK\n";
constexpr char kSetupScript[] =
    "menu \"Working directory setup\"\n"
    "select ComboEnvironment \"Borland Delphi 7\"\n"
    "render\n"
    "click ButtonExit\n";

std::string ReadHost(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteHost(const fs::path& path, const std::string& text) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << text;
}

std::string Quote(const std::string& s) {
  return "'" + s + "'";
}

void Section(const std::string& title) {
  std::printf("\n== %s\n", title.c_str());
}

// A program's transcript as the report shows it: the script's path left out of the user's
// actions, a run of the same action on several entries told once, the progress on one line.
void ShowTranscript(const std::string& text) {
  std::istringstream in(text);
  std::string line, last_kind, progress;
  int repeats = 0;
  auto flush = [&] {
    if (repeats > 0) std::printf("    (and %d more of these)\n", repeats);
    if (!progress.empty()) std::printf("  %s\n", progress.c_str());
    repeats = 0;
    progress.clear();
  };
  while (std::getline(in, line)) {
    if (line.rfind("progress ", 0) == 0) {
      // "progress <form>.<bar> <position>/<max>" -> one line of positions
      const size_t value = line.rfind(' ') + 1;
      if (progress.empty()) {
        flush();
        progress = line.substr(0, value - 1) + ":";
      }
      progress += " " + line.substr(value);
      continue;
    }
    if (line.rfind("action: ", 0) == 0) {
      // "action: <script>:<line>: <what>" -> "user: <what>"
      size_t at = line.find(": ", line.find(':', line.find(':', 8) + 1));
      line = "user: " + (at == std::string::npos ? line.substr(8) : line.substr(at + 2));
      if (line == "user: render") continue;  // the rendering follows
      const std::string kind = line.substr(0, line.find('"'));
      if (kind == last_kind) {
        ++repeats;
        continue;
      }
      flush();
      last_kind = kind;
    } else {
      flush();
      last_kind.clear();
    }
    std::printf("  %s\n", line.c_str());
  }
  flush();
}

// The files under a directory of the PC, with their sizes; those the uninstall log does not
// list were made after the installer, by the setup tool.
void ListFiles(SandboxPlatform& pc, const std::string& dir, const std::string& prefix,
               const std::set<std::string>& logged, int& count) {
  std::vector<vl4::platform::FindEntry> entries = pc.files().FindFiles(dir + "\\*.*");
  std::sort(entries.begin(), entries.end(),
            [](const auto& a, const auto& b) { return vl4::CompareText(a.name, b.name) < 0; });
  for (const auto& e : entries) {
    if (vl4::platform::IsDotEntry(e.name)) continue;
    if (e.attributes & vl4::platform::kAttrDirectory) {
      ListFiles(pc, dir + "\\" + e.name, prefix + e.name + "\\", logged, count);
    } else {
      const std::string path = vl4::UpperCase(dir + "\\" + e.name);
      const char* note = logged.count(path) != 0               ? ""
                         : path.ends_with("\\UNINST\\VL4.LOG") ? "   (the uninstall log)"
                         : path.ends_with("\\UNINST\\VL4.SYS")
                             ? "   (the installation's system files, for the uninstaller)"
                             : "   (made by the setup tool)";
      std::printf("  %-36s %9lld bytes%s\n", (prefix + e.name).c_str(),
                  static_cast<long long>(e.size), note);
      ++count;
    }
  }
}

// What lnkinfo, an independent reader of shell links, says the link starts.
std::string LnkinfoTarget(const std::string& host_path) {
  std::string command = "lnkinfo " + Quote(host_path) + " 2>/dev/null";
  FILE* pipe = ::popen(command.c_str(), "r");
  if (!pipe) return "";
  char buffer[1024];
  std::string target;
  while (std::fgets(buffer, sizeof buffer, pipe)) {
    const char* at = std::strstr(buffer, "Local path");
    if (at == nullptr) continue;
    target = vl4::Trim(std::strchr(at, ':') + 1);
  }
  ::pclose(pipe);
  return target;
}

void ShowLinks(SandboxPlatform& pc, const std::string& dir, const std::string& label, int& agreed,
               int& total) {
  for (const auto& e : pc.files().FindFiles(dir + "\\*.lnk")) {
    const std::string path = dir + "\\" + e.name;
    auto link = pc.shell().ReadShellLink(path);
    if (!link) continue;
    std::string line = link->target;
    if (!link->arguments.empty()) line += " " + link->arguments;
    if (!link->working_directory.empty()) line += "   (in " + link->working_directory + ")";
    std::printf("  %-11s %-18s -> %s\n", label.c_str(), e.name.c_str(), line.c_str());
    ++total;
    if (vl4::SameText(LnkinfoTarget(*pc.HostPath(path)), link->target)) ++agreed;
  }
}

// REGEDIT4 text as key -> value lines.
std::map<std::string, std::set<std::string>> RegistryValues(const std::string& text) {
  std::map<std::string, std::set<std::string>> keys;
  std::string key;
  for (const std::string& line : vl4::platform::SplitLines(text)) {
    if (line.empty() || line[0] == ';' || line.rfind("REGEDIT4", 0) == 0) continue;
    if (line[0] == '[') {
      key = line.substr(1, line.size() - 2);
      keys[key];
    } else {
      std::string value = line;
      for (size_t at = 0; (at = value.find("\\\\", at)) != std::string::npos; ++at) {
        value.erase(at, 1);
      }
      keys[key].insert(value);
    }
  }
  return keys;
}

void ShowResultsFile(SandboxPlatform& pc, const std::string& path) {
  std::string data;
  try {
    auto stream = pc.files().OpenFile(path, vl4::platform::OpenMode::kRead);
    data.resize(static_cast<size_t>(stream->Size()));
    data.resize(stream->Read(data.data(), data.size()));
  } catch (const vl4::Exception&) {
    std::printf("  (no results file)\n");
    return;
  }
  std::printf("  %s: %zu bytes, %zu records of 79 bytes\n", path.c_str(), data.size(),
              data.size() / 79);
  const char* names[] = {"header", "installation", "sealed"};
  for (size_t r = 0; r < 3 && (r + 1) * 79 <= data.size(); ++r) {
    const std::string record = data.substr(r * 79, 79);
    if (r == 2) {
      vl4::SealedRecord sealed{};
      std::copy(record.begin(), record.end(), sealed.begin());
      auto name = vl4::UnsealName(sealed);
      std::printf(
          "  %-13s %s\n", names[r],
          name ? ("verifies; the name is \"" + vl4::TrimRight(vl4::Dos866ToWin1251(*name)) + "\"")
                     .c_str()
               : "fails its check");
    } else {
      const size_t length = std::min<size_t>(static_cast<uint8_t>(record[0]), 78);
      std::printf("  %-13s \"%s\"\n", names[r],
                  vl4::TrimRight(vl4::Dos866ToWin1251(record.substr(1, length))).c_str());
    }
  }
}

// What the PC holds, as the report compares it: every file of drive C by its Windows path as the
// PC stores it (a 64-bit Windows: the program's system directory is SysWOW64) with its bytes (a
// program of megabytes by its size and time, which keeps the demo quick), every registry key with
// its values, and the lines of Visual Basic's add-in list.
struct PcState {
  std::map<std::string, std::string> files;
  std::map<std::string, std::set<std::string>> registry;
  std::vector<std::string> add_ins;
};

PcState StateOf(const fs::path& sandbox) {
  PcState state;
  const fs::path drive = sandbox / "C";
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(drive)) {
    if (!entry.is_regular_file()) continue;
    std::string path = "C:\\" + fs::relative(entry.path(), drive).string();
    std::replace(path.begin(), path.end(), '/', '\\');
    const uintmax_t size = entry.file_size();
    state.files[path] =
        size < (1u << 20) ? ReadHost(entry.path())
                          : std::to_string(size) + " bytes of " +
                                std::to_string(entry.last_write_time().time_since_epoch().count());
  }
  state.registry = RegistryValues(ReadHost(sandbox / "registry.reg"));
  for (const std::string& line :
       vl4::platform::SplitLines(ReadHost(drive / "Windows" / "vbaddin.ini"))) {
    if (!vl4::Trim(line).empty()) state.add_ins.push_back(line);
  }
  return state;
}

// Why a file is on the PC after the uninstall that was not there before the install.
const char* WhyItStays(const std::string& path) {
  if (vl4::SameText(vl4::ExtractFileName(path), "uninvl32.exe")) {
    return "the uninstaller stays: it serves any installation's log";
  }
  if (vl4::StartsText(std::string(kWorkDir) + "\\", path)) {
    return "the student's working directory stays";
  }
  if (vl4::SameText(vl4::ExtractFileName(path), "RESULTS.DAT")) {
    return "it may hold a class's results: a quiet uninstall keeps it";
  }
  if (vl4::SameText(path, "C:\\Windows\\vl4standin.log")) {
    return "the stand-in IDE tools' own log (test equipment)";
  }
  return "unexpected";
}

// One row of a side-by-side table: what the three states hold of `name`, "-" for nothing.
void Row(const std::string& before, const std::string& installed, const std::string& after,
         const std::string& name) {
  std::printf("  %7s %10s %8s   %s\n", before.c_str(), installed.c_str(), after.c_str(),
              name.c_str());
}

// The folders of the files, the installation and the program group each as one.
std::map<std::string, int> FilesByFolder(const PcState& state, const std::string& group) {
  std::map<std::string, int> folders;
  for (const auto& [path, bytes] : state.files) {
    const std::string folder = vl4::StartsText(std::string(kDest) + "\\", path)
                                   ? std::string(kDest) + " (with its folders)"
                               : vl4::StartsText(group + "\\", path) ? group
                                                                     : vl4::ExtractFileDir(path);
    ++folders[folder];
  }
  return folders;
}

// The PC before the install, after it (and the setup tool), and after the uninstall: the folders
// and registry keys the road touched side by side, then what differs from before, each with why.
void ShowSideBySide(const PcState& before, const PcState& installed, const PcState& after,
                    const std::string& group) {
  auto count = [](const std::map<std::string, int>& folders, const std::string& folder) {
    const auto it = folders.find(folder);
    return it == folders.end() ? std::string("-") : std::to_string(it->second);
  };
  const std::map<std::string, int> states[] = {
      FilesByFolder(before, group), FilesByFolder(installed, group), FilesByFolder(after, group)};
  std::set<std::string> folders;
  for (const auto& state : states) {
    for (const auto& [folder, n] : state) folders.insert(folder);
  }
  Row("before", "installed", "after", "files in");
  int untouched = 0;
  for (const std::string& folder : folders) {
    const std::string cells[] = {count(states[0], folder), count(states[1], folder),
                                 count(states[2], folder)};
    // A folder whose files and contents never changed is not shown.
    auto same = [&](const PcState& a, const PcState& b) {
      auto in = [&](const PcState& s) {
        std::map<std::string, std::string> files;
        for (const auto& [path, bytes] : s.files) {
          if (vl4::SameText(vl4::ExtractFileDir(path), folder)) files[path] = bytes;
        }
        return files;
      };
      return in(a) == in(b);
    };
    if (cells[0] == cells[1] && cells[1] == cells[2] && same(before, installed) &&
        same(installed, after)) {
      ++untouched;
      continue;
    }
    Row(cells[0], cells[1], cells[2], folder);
  }
  std::printf("  (and %d more folders the road did not touch)\n", untouched);

  std::printf("\n");
  Row("before", "installed", "after", "values in");
  auto values = [](const PcState& s, const std::string& key) {
    const auto it = s.registry.find(key);
    return it == s.registry.end() ? std::string("-") : std::to_string(it->second.size());
  };
  std::set<std::string> keys;
  for (const PcState* s : {&before, &installed, &after}) {
    for (const auto& [key, set] : s->registry) keys.insert(key);
  }
  untouched = 0;
  for (const std::string& key : keys) {
    auto of = [&key](const PcState& s) {
      const auto it = s.registry.find(key);
      return it == s.registry.end() ? std::optional<std::set<std::string>>() : it->second;
    };
    if (of(before) == of(installed) && of(installed) == of(after)) {
      ++untouched;
      continue;
    }
    Row(values(before, key), values(installed, key), values(after, key), "[" + key + "]");
  }
  std::printf("  (and %d more keys the road did not touch)\n", untouched);

  std::printf("\n");
  Row("before", "installed", "after", kAddInList);
  std::vector<std::string> lines;  // in the file's order
  for (const PcState* s : {&before, &installed, &after}) {
    for (const std::string& line : s->add_ins) {
      if (std::find(lines.begin(), lines.end(), line) == lines.end()) lines.push_back(line);
    }
  }
  auto has = [](const PcState& s, const std::string& line) {
    return std::find(s.add_ins.begin(), s.add_ins.end(), line) != s.add_ins.end() ? "yes" : "-";
  };
  for (const std::string& line : lines) {
    Row(has(before, line), has(installed, line), has(after, line), line);
  }

  std::printf("\n  What differs from before the install:\n");
  int differences = 0;
  int in_work_dir = 0;
  for (const auto& [path, bytes] : after.files) {
    const auto was = before.files.find(path);
    if (was != before.files.end() && was->second == bytes) continue;
    ++differences;
    if (vl4::StartsText(std::string(kWorkDir) + "\\", path)) {
      ++in_work_dir;  // told once, below
      continue;
    }
    std::printf("    %s %-48s %s\n", was == before.files.end() ? "+" : "changed", path.c_str(),
                WhyItStays(path));
  }
  if (in_work_dir > 0) {
    const std::string files = std::string(kWorkDir) + "\\ (" + std::to_string(in_work_dir) +
                              " files, results.dat among them)";
    std::printf("    + %-48s %s\n", files.c_str(), WhyItStays(std::string(kWorkDir) + "\\x"));
  }
  for (const auto& [path, bytes] : before.files) {
    if (after.files.count(path) != 0) continue;
    std::printf("    - %-48s unexpected\n", path.c_str());
    ++differences;
  }
  const bool registry_same = before.registry == after.registry;
  const bool add_ins_same = before.add_ins == after.add_ins;
  for (const std::string& key : keys) {
    const auto was = before.registry.find(key);
    const auto now = after.registry.find(key);
    const bool in_before = was != before.registry.end(), in_after = now != after.registry.end();
    if (in_before != in_after || (in_before && was->second != now->second)) {
      std::printf("    %s [%s]   unexpected\n",
                  !in_before  ? "+"
                  : !in_after ? "-"
                              : "changed",
                  key.c_str());
    }
  }
  if (!add_ins_same) std::printf("    %s (unexpected)\n", kAddInList);
  if (differences == 0 && registry_same && add_ins_same) std::printf("    nothing\n");
  size_t kept = 0, value_count = 0;
  for (const auto& [path, bytes] : before.files) {
    const auto now = after.files.find(path);
    kept += now != after.files.end() && now->second == bytes;
  }
  for (const auto& [key, set] : before.registry) value_count += set.size();
  std::printf(
      "  Everything else is as it was: %zu files, %zu registry keys with %zu values, %zu "
      "lines of %s.\n",
      kept, before.registry.size(), value_count, before.add_ins.size(), kAddInList);
}

// The uninstall as Windows' list of installed programs starts it: the installer's entry, read as
// a 64-bit Windows reads it, and its quiet command run. Returns the uninstaller's exit status.
int UninstallFromTheList(SandboxPlatform& pc, const fs::path& root) {
  vl4::platform::Registry& windows = pc.NativeRegistry();
  auto text = [&](const char* name) {
    return windows.ReadString(RootKey::kLocalMachine, kEntry, name).value_or("(none)");
  };
  const auto size = windows.ReadDword(RootKey::kLocalMachine, kEntry, "EstimatedSize");
  std::printf("  The list shows the installer's entry (its values above, under Wow6432Node):\n");
  std::printf("    %s %s, %s, %s KiB, in %s\n", text("DisplayName").c_str(),
              text("DisplayVersion").c_str(), text("Publisher").c_str(),
              size ? std::to_string(*size).c_str() : "?", text("InstallLocation").c_str());
  const std::string quiet =
      windows.ReadString(RootKey::kLocalMachine, kEntry, "QuietUninstallString").value_or("");
  const std::vector<std::string> command = vl4::SplitCommandLine(quiet);
  if (command.empty()) {
    std::printf("  (no command to start)\n");
    return -1;
  }
  std::string parameters;
  for (size_t i = 1; i < command.size(); ++i) {
    parameters += (i > 1 ? " " : "") + vl4::QuoteArgument(command[i]);
  }
  // Quiet, it shows nothing; a transcript would say otherwise.
  ::setenv("VL4_UI_TRANSCRIPT_UNINVL32", (root / "uninvl32.transcript").c_str(), 1);
  std::printf("  The list starts the QuietUninstallString from a 64-bit process:\n    %s\n",
              quiet.c_str());
  const std::unique_ptr<vl4::platform::Process> process =
      pc.shell().Execute("", command[0], parameters, kSystem, vl4::platform::kSwShowNormal);
  if (!process) {
    std::printf("  (it could not be started)\n");
    return -1;
  }
  process->Wait();
  pc.WaitForStartedProcesses(std::chrono::seconds(60));
  const int status = static_cast<int>(process->ExitCode().value_or(99));
  const char* meaning = status == 0   ? "everything went"
                        : status == 1 ? "something stayed"
                                      : "no usable log";
  std::printf("  exit status %d: %s\n", status, meaning);
  ShowTranscript(ReadHost(root / "uninvl32.transcript"));
  return status;
}

// The demo PC: a 64-bit Windows with the distribution in C:\Distrib, Delphi 7 and Visual Basic 6
// with the stand-in tools and their keys where their 32-bit installers put them (Visual Basic's
// add-in list too), and regsvr32 in the system directory. The uninstaller comes with the
// distribution.
void PreparePc(SandboxPlatform& pc, const fs::path& dist, const fs::path& bin) {
  pc.SetWindows64(true);
  auto& files = pc.files();
  auto import = [&](const fs::path& host, const std::string& target) {
    vl4::platform::ForceDirectories(files, vl4::ExtractFileDir(target));
    if (!files.CopyFile("Z:" + host.string(), target, false)) {
      throw vl4::Exception("cannot copy " + host.string() + " to " + target);
    }
  };
  for (const char* name : {"Inst.dat", "Inst.ini", "readme.txt", "license.txt"}) {
    import(dist / name, std::string(kDistrib) + "\\" + name);
  }
  import(bin / "VL4Setup.exe", std::string(kDistrib) + "\\Inst.exe");

  const fs::path standin = bin / "vl4standin";
  const std::string delphi_bin = std::string(kDelphi) + "\\Bin\\";
  import(standin, delphi_bin + "delphi32.exe");
  import(standin, delphi_bin + "dcc32.exe");
  vl4::platform::ForceDirectories(files, std::string(kDelphi) + "\\Lib");
  import(dist / "product" / "DELPHI7" / "vl4.pas", std::string(kDelphi) + "\\Lib\\system.dcu");
  import(standin, std::string(kVb) + "\\VB6.EXE");
  import(standin, std::string(kSystem) + "\\regsvr32.exe");
  if (!vl4::platform::WriteTextFile(files, kAddInList, vl4::platform::SplitLines(kVbAddIns))) {
    throw vl4::Exception(std::string("cannot write ") + kAddInList);
  }

  vl4::platform::Registry& reg = pc.registry();
  // What every Windows has: the list of installed programs, the shared-DLL counter, COM classes.
  reg.CreateKey(RootKey::kLocalMachine,
                "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall");
  reg.CreateKey(RootKey::kLocalMachine,
                "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs");
  reg.CreateKey(RootKey::kClassesRoot, "CLSID");
  reg.WriteString(RootKey::kLocalMachine, "\\SOFTWARE\\Borland\\Delphi\\7.0", "App",
                  delphi_bin + "delphi32.exe");
  reg.WriteString(RootKey::kLocalMachine, "\\SOFTWARE\\Borland\\Delphi\\7.0", "RootDir",
                  std::string(kDelphi) + "\\");
  reg.CreateKey(RootKey::kCurrentUser, "\\Software\\Borland\\Delphi\\7.0\\Known Packages");
  reg.WriteString(RootKey::kLocalMachine,
                  "\\SOFTWARE\\Microsoft\\Visual Studio\\6.0\\Setup\\Microsoft Visual Basic",
                  "ProductDir", kVb);
}

int Run(const fs::path& root) {
  const fs::path bin = fs::canonical("/proc/self/exe").parent_path();
  const fs::path dist = root / "distribution";
  const fs::path sandbox = root / "pc";
  for (const char* needed : {"VL4Setup.exe", "uninvl32.exe", "vl4standin"}) {
    if (!fs::exists(bin / needed)) {
      std::fprintf(stderr, "vl4demo: %s is not built beside vl4demo\n", needed);
      return 1;
    }
  }
  fs::create_directories(dist);
  const std::string make = std::string(VL4_SOURCE_DIR) + "/tools/demo/make_distribution.sh";
  if (std::system(
          (Quote(make) + " " + Quote(dist.string()) + " " + Quote((bin / "uninvl32.exe").string()))
              .c_str()) != 0) {
    std::fprintf(stderr, "vl4demo: the distribution could not be built (is zip installed?)\n");
    return 1;
  }
  std::string registry_before;
  {
    SandboxPlatform pc(sandbox.string());
    PreparePc(pc, dist, bin);
    registry_before = ReadHost(sandbox / "registry.reg");
  }
  const PcState before_install = StateOf(sandbox);
  WriteHost(root / "inst.script", kInstallerScript);
  WriteHost(root / "setup.script", kSetupScript);

  std::printf("Veltoria 4 demo: a student installs the exercise book on a sandbox PC\n");
  std::printf(
      "  PC          %s, a 64-bit Windows (Delphi 7 and Visual Basic 6\n"
      "              installed, with stand-in tools; removed at the end unless --keep)\n",
      sandbox.c_str());
  std::printf(
      "  installer   C:\\Distrib\\Inst.exe, Inst.dat (%ju bytes, zip -P), Inst.ini: "
      "AutoRun=1\n",
      static_cast<uintmax_t>(fs::file_size(dist / "Inst.dat")));

  const std::string command =
      "cd " + Quote((sandbox / "C" / "Distrib").string()) +
      " && VL4_SANDBOX=" + Quote(sandbox.string()) + " VL4_UI_RENDER=0" +
      " VL4_UI_SCRIPT_INST=" + Quote((root / "inst.script").string()) +
      " VL4_UI_TRANSCRIPT_INST=" + Quote((root / "inst.transcript").string()) +
      " VL4_UI_SCRIPT_VL4SETUP=" + Quote((root / "setup.script").string()) +
      " VL4_UI_TRANSCRIPT_VL4SETUP=" + Quote((root / "setup.transcript").string()) + " ./Inst.exe";
  const int status = std::system(command.c_str());
  SandboxPlatform pc(sandbox.string());
  const bool ended = pc.WaitForStartedProcesses(std::chrono::seconds(60));

  Section("The installer, Inst.exe, as the student sees it");
  ShowTranscript(ReadHost(root / "inst.transcript"));
  if (status != 0) std::printf("  (Inst.exe ended with status %d)\n", status);

  auto log = vl4::platform::ReadTextFile(pc.files(), std::string(kDest) + "\\UNINST\\vl4.log")
                 .value_or(std::vector<std::string>{});
  std::set<std::string> logged;
  for (const std::string& line : log) logged.insert(vl4::UpperCase(line));

  Section("The installation directory");
  int count = 0;
  std::printf("  %s\n", kDest);
  ListFiles(pc, kDest, "  ", logged, count);
  std::printf("  %s (stored in C:\\Windows\\SysWOW64, as on 64-bit Windows)\n", kSystem);
  for (const char* name : {"vl4.dll", "uninvl32.exe"}) {
    std::printf("    %-34s %6s\n", name,
                pc.files().FileExists(std::string(kSystem) + "\\" + name) ? "placed" : "missing");
  }

  Section("Shortcuts (decoded; lnkinfo reads the same targets)");
  int agreed = 0, total = 0;
  const std::string programs = pc.shell().GetSpecialFolder(vl4::platform::SpecialFolder::kPrograms);
  const std::string desktop =
      pc.shell().GetSpecialFolder(vl4::platform::SpecialFolder::kDesktopDirectory);
  ShowLinks(pc, programs + "\\Veltoria 4", "Start menu", agreed, total);
  ShowLinks(pc, desktop, "Desktop", agreed, total);
  ShowLinks(pc, std::string(kDest) + "\\UNINST", "UNINST", agreed, total);
  ShowLinks(pc, "C:\\VL4Work", "C:\\VL4Work", agreed, total);
  if (std::system("command -v lnkinfo > /dev/null 2>&1") == 0) {
    std::printf("  lnkinfo agrees on %d of %d links\n", agreed, total);
  }

  Section(std::string("Uninstall log, ") + kDest + "\\UNINST\\vl4.log");
  for (const std::string& line : log) std::printf("  %s\n", line.c_str());

  Section("The setup tool, VL4Setup.exe, launched by the installer");
  if (!ended) std::printf("  (still running after 60 s)\n");
  ShowTranscript(ReadHost(root / "setup.transcript"));

  Section("Registry values written on the road");
  const auto before = RegistryValues(registry_before);
  for (const auto& [key, values] : RegistryValues(ReadHost(sandbox / "registry.reg"))) {
    std::vector<std::string> added;
    for (const std::string& value : values) {
      auto it = before.find(key);
      if (it == before.end() || it->second.count(value) == 0) added.push_back(value);
    }
    if (added.empty()) continue;
    std::printf("  [%s]\n", key.c_str());
    for (const std::string& value : added) std::printf("    %s\n", value.c_str());
  }

  Section("vl.ini, written when the setup tool closed");
  auto ini = vl4::platform::ReadTextFile(pc.files(), std::string(kDest) + "\\vl.ini");
  for (const std::string& line : ini.value_or(std::vector<std::string>{"(none)"})) {
    std::printf("  %s\n", line.c_str());
  }

  Section("The results file, decoded");
  ShowResultsFile(pc, "C:\\VL4Work\\results.dat");

  const PcState installed = StateOf(sandbox);
  Section("The uninstall, as Windows' list of installed programs starts it");
  const int uninstalled = UninstallFromTheList(pc, root);

  Section("The PC before the install and after the uninstall");
  ShowSideBySide(before_install, installed, StateOf(sandbox), programs + "\\Veltoria 4");
  std::printf(
      "\nDone: %d files in the installation directory, %d shortcuts, the working "
      "directory C:\\VL4Work; uninstalled with exit status %d.\n",
      count, total, uninstalled);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const bool keep = argc > 1 && std::strcmp(argv[1], "--keep") == 0;
  std::string root = (fs::temp_directory_path() / "vl4demo-XXXXXX").string();
  if (!::mkdtemp(root.data())) {
    std::perror("mkdtemp");
    return 1;
  }
  int status = 1;
  try {
    status = Run(root);
  } catch (const vl4::Exception& e) {
    std::fprintf(stderr, "vl4demo: %s\n", e.what());
  } catch (const std::exception& e) {
    std::fprintf(stderr, "vl4demo: %s\n", e.what());
  }
  if (keep) {
    std::printf("The demo's folder stays: %s\n", root.c_str());
  } else {
    std::error_code ec;
    fs::remove_all(root, ec);
  }
  return status;
}
