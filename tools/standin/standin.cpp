// vl4standin: the stand-in IDE tools (the Delphi command-line compiler, the Visual Basic build,
// regsvr32), one program that behaves by the name it is started under. Test equipment.
#ifdef _WIN32
#include <windows.h>  // first, as everywhere in the Windows build
#endif

#include <cstdlib>
#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/exception.h"
#include "platform/path.h"
#include "platform/platform.h"
#include "platform/text.h"

namespace vl4 {
namespace {

using platform::Platform;

constexpr char kRegisteredKey[] = "\\SOFTWARE\\VL4 Stand-in\\Registered Libraries";
constexpr char kDelayMarker[] = "vl4standin-delay=";

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

// VB /makedll "<p>.vbp" /out "<p>.inf": the library the project names, and the build log.
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
  std::string library = ValueAfter(*source, "ExeName32=\"");
  if (library.empty()) library = ExtractFileName(ChangeFileExt(project, ".dll"));
  const bool built = WriteWhole(pc, ExtractFilePath(project) + library,
                                "MZ VL4 stand-in ActiveX library " + library + "\r\n");
  if (!log.empty()) {
    WriteWhole(pc, log,
               "Build of '" + library + "' " + (built ? "succeeded." : "failed.") + "\r\n");
  }
  return built ? 0 : 1;
}

// regsvr32 [/s] [/u] "<library>": the registration, as a value under the stand-in's key.
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
  if (library.empty() || !pc.files().FileExists(library)) return 3;
  const std::string full = pc.files().FullPath(library);
  if (unregister) {
    pc.registry().DeleteValue(platform::RootKey::kLocalMachine, kRegisteredKey, full);
  } else {
    pc.registry().WriteString(platform::RootKey::kLocalMachine, kRegisteredKey, full, "registered");
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
