// vl4standin: the stand-in IDE tools (the Delphi command-line compiler, the Visual Basic build,
// regsvr32), one program that behaves by the name it is started under. Test equipment.
#ifdef _WIN32
#include <windows.h>  // first, as everywhere in the Windows build
#endif

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/exception.h"
#include "platform/path.h"
#include "platform/platform.h"
#include "platform/text.h"
#include "platform/text_file.h"

namespace vl4 {
namespace {

using platform::Platform;

constexpr char kDelayMarker[] = "vl4standin-delay=";
// In a library the Visual Basic build made, each line that starts so names one of its classes:
// "class <program identifier> <class identifier>".
constexpr char kClassLine[] = "class ";

std::optional<std::string> ReadWhole(Platform& pc, const std::string& path) {
  try {
    auto stream = pc.files().OpenFile(path, platform::OpenMode::kRead);
    std::string data(static_cast<size_t>(stream->Size()), '\0');
    data.resize(stream->Read(data.data(), data.size()));
    return data;
  } catch (const Exception&) {
    return std::nullopt;
  }
}

bool WriteWhole(Platform& pc, const std::string& path, const std::string& bytes) {
  try {
    auto stream = pc.files().OpenFile(path, platform::OpenMode::kCreate);
    return stream->Write(bytes.data(), bytes.size()) == bytes.size();
  } catch (const Exception&) {
    return false;
  }
}

// One line per start in the Windows directory's vl4standin.log: name, directory, arguments.
void Log(Platform& pc, const std::string& name, const std::vector<std::string>& args) {
  std::string line = name + "\t" + pc.files().CurrentDirectory();
  for (const std::string& arg : args) line += "\t" + arg;
  line += "\r\n";
  const std::string log =
      IncludeTrailingBackslash(pc.system().WindowsDirectory()) + "vl4standin.log";
  try {
    auto stream = pc.files().OpenFile(log, platform::OpenMode::kReadWrite);
    stream->Seek(0, platform::SeekOrigin::kEnd);
    stream->Write(line.data(), line.size());
  } catch (const Exception&) {
    WriteWhole(pc, log, line);
  }
}

// A project may ask the build to take its time: "vl4standin-delay=<ms>".
void DelayAsAsked(Platform& pc, const std::string& project) {
  size_t at = project.find(kDelayMarker);
  if (at == std::string::npos) return;
  pc.shell().Sleep(
      static_cast<uint32_t>(std::strtoul(&project[at + sizeof kDelayMarker - 1], nullptr, 10)));
}

// The text of `quote`-delimited value after `key` in `text` ("ExeName32=\"x.dll\"" gives x.dll).
std::string ValueAfter(const std::string& text, const std::string& key) {
  size_t at = UpperCase(text).find(UpperCase(key));
  if (at == std::string::npos) return "";
  size_t begin = at + key.size();
  size_t end = text.find_first_of("\"}\r\n", begin);
  return Trim(text.substr(begin, end == std::string::npos ? std::string::npos : end - begin));
}

// dcc32 "<dir>\<name>.dpk": the unit and symbol files, then the package beside the project.
int Compile(Platform& pc, const std::vector<std::string>& args) {
  std::string project;
  for (const std::string& arg : args) {
    if (!arg.empty() && arg[0] != '-' && arg[0] != '/') project = arg;
  }
  std::optional<std::string> source = project.empty() ? std::nullopt : ReadWhole(pc, project);
  if (!source) return 1;
  DelayAsAsked(pc, *source);
  std::string ext = ValueAfter(*source, "{$E ");
  if (ext.empty()) ext = "bpl";
  const std::string base = ChangeFileExt(project, "");
  const std::string name = ExtractFileName(base);
  WriteWhole(pc, base + ".dcu", "VL4 stand-in unit " + name + "\r\n");
  WriteWhole(pc, base + ".dcp", "VL4 stand-in symbols " + name + "\r\n");
  return WriteWhole(pc, base + "." + ext, "MZ VL4 stand-in package " + name + "\r\n") ? 0 : 1;
}

// The values of `key` in a project's "key=value" lines, without their quotes.
std::vector<std::string> ProjectValues(const std::string& project, const std::string& key) {
  std::vector<std::string> values;
  for (const std::string& line : platform::SplitLines(project)) {
    const size_t equals = line.find('=');
    if (equals == std::string::npos || !SameText(Trim(line.substr(0, equals)), key)) continue;
    std::string value = Trim(line.substr(equals + 1));
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
      value = value.substr(1, value.size() - 2);
    }
    values.push_back(value);
  }
  return values;
}

// The class identifier Visual Basic keeps for a class across builds, made here from its program
// identifier: "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" from two FNV-1a hashes of it.
std::string ClassId(const std::string& prog_id) {
  auto fnv = [&prog_id](uint64_t hash) {
    for (unsigned char c : UpperCase(prog_id)) hash = (hash ^ c) * 0x100000001B3u;
    return hash;
  };
  char hex[33];
  std::snprintf(hex, sizeof hex, "%016llX%016llX",
                static_cast<unsigned long long>(fnv(0xCBF29CE484222325u)),
                static_cast<unsigned long long>(fnv(0x84222325CBF29CE4u)));
  const std::string h = hex;
  return "{" + h.substr(0, 8) + "-" + h.substr(8, 4) + "-" + h.substr(12, 4) + "-" +
         h.substr(16, 4) + "-" + h.substr(20) + "}";
}

// VB /makedll "<p>.vbp" /out "<p>.inf": the library the project names, with a line for each of
// its classes, and the build log. A class's program identifier is the project's name, a dot and
// the class's name ("Class=<name>; <file>").
int MakeDll(Platform& pc, const std::vector<std::string>& args) {
  std::string project, log;
  for (size_t i = 0; i + 1 < args.size(); ++i) {
    if (SameText(args[i], "/makedll")) project = args[i + 1];
    if (SameText(args[i], "/out")) log = args[i + 1];
  }
  std::optional<std::string> source = project.empty() ? std::nullopt : ReadWhole(pc, project);
  if (!source) {
    if (!log.empty()) WriteWhole(pc, log, "Could not open the project '" + project + "'.\r\n");
    return 1;
  }
  DelayAsAsked(pc, *source);
  const std::vector<std::string> exe_names = ProjectValues(*source, "ExeName32");
  const std::string library = exe_names.empty() || exe_names.front().empty()
                                  ? ExtractFileName(ChangeFileExt(project, ".dll"))
                                  : exe_names.front();
  const std::vector<std::string> names = ProjectValues(*source, "Name");
  const std::string project_name =
      names.empty() ? ExtractFileName(ChangeFileExt(project, "")) : names.front();
  std::string contents = "MZ VL4 stand-in ActiveX library " + library + "\r\n";
  for (const std::string& value : ProjectValues(*source, "Class")) {
    const std::string prog_id = project_name + "." + Trim(value.substr(0, value.find(';')));
    contents += kClassLine + prog_id + " " + ClassId(prog_id) + "\r\n";
  }
  const bool built = WriteWhole(pc, ExtractFilePath(project) + library, contents);
  if (!log.empty()) {
    WriteWhole(pc, log,
               "Build of '" + library + "' " + (built ? "succeeded." : "failed.") + "\r\n");
  }
  return built ? 0 : 1;
}

// regsvr32 [/s] [/u] "<library>": registers the library's classes with Windows as the library
// itself would (its program identifiers, their classes, the classes' in-process server) or, with
// /u, takes them away again. Exit codes as regsvr32's: 3 when the library cannot be loaded, 4
// when it offers nothing to register, 5 when the registry refuses.
int Register(Platform& pc, const std::vector<std::string>& args) {
  std::string library;
  bool unregister = false;
  for (const std::string& arg : args) {
    if (SameText(arg, "/u")) {
      unregister = true;
    } else if (!arg.empty() && arg[0] != '/' && arg[0] != '-') {
      library = arg;
    }
  }
  const std::optional<std::string> contents =
      library.empty() ? std::nullopt : ReadWhole(pc, library);
  if (!contents) return 3;
  std::vector<std::pair<std::string, std::string>> classes;  // program identifier, class
  for (const std::string& line : platform::SplitLines(*contents)) {
    if (!StartsText(kClassLine, line)) continue;
    const std::string rest = line.substr(sizeof kClassLine - 1);
    const size_t blank = rest.find(' ');
    if (blank != std::string::npos) {
      classes.emplace_back(rest.substr(0, blank), rest.substr(blank + 1));
    }
  }
  if (classes.empty()) return 4;
  const std::string server = pc.files().FullPath(library);
  platform::Registry& registry = pc.registry();
  constexpr platform::RootKey kClasses = platform::RootKey::kClassesRoot;
  try {
    for (const auto& [prog_id, clsid] : classes) {
      const std::string class_key = "\\CLSID\\" + clsid;
      if (unregister) {
        registry.DeleteKey(kClasses, class_key);
        registry.DeleteKey(kClasses, "\\" + prog_id);
        continue;
      }
      registry.WriteString(kClasses, "\\" + prog_id, "", prog_id);
      registry.WriteString(kClasses, "\\" + prog_id + "\\CLSID", "", clsid);
      registry.WriteString(kClasses, class_key, "", prog_id);
      registry.WriteString(kClasses, class_key + "\\InprocServer32", "", server);
      registry.WriteString(kClasses, class_key + "\\InprocServer32", "ThreadingModel", "Apartment");
      registry.WriteString(kClasses, class_key + "\\ProgID", "", prog_id);
    }
  } catch (const ERegistryException&) {
    return 5;
  }
  return 0;
}

int Run(int argc, char** argv) {
  std::unique_ptr<Platform> pc = platform::CreateDefaultPlatform(argc, argv);
  const std::string started_as = argc > 0 ? argv[0] : "";
  const std::string name =
      UpperCase(started_as.substr(started_as.find_last_of("\\/") + 1));  // npos + 1 == 0
  const std::vector<std::string> args = pc->system().Arguments();
  Log(*pc, name, args);
  if (name == "DCC32.EXE" || name == "DCC32") return Compile(*pc, args);
  if (name == "REGSVR32.EXE" || name == "REGSVR32") return Register(*pc, args);
  if (StartsText("VB", name)) {
    for (const std::string& arg : args) {
      if (SameText(arg, "/makedll")) return MakeDll(*pc, args);
    }
  }
  return 0;  // an IDE: nothing to do without a user
}

}  // namespace
}  // namespace vl4

int main(int argc, char** argv) {
  try {
    return vl4::Run(argc, argv);
  } catch (const std::exception&) {
    return 2;
  }
}
