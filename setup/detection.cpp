// IDE detection by row group. Registry errors are swallowed: they end the registry look-ups of
// the row for this call, and the fixed places of the row are still tried.
#include "setup/detection.h"

#include "platform/exception.h"
#include "platform/files.h"
#include "platform/path.h"
#include "platform/registry.h"
#include "platform/text.h"

namespace vl4 {

namespace {

using platform::RootKey;

bool InRange(int row, int first, int last) {
  return row >= first && row <= last;
}

bool IsDelphi(int row) {
  return InRange(row, 3, 9);
}
bool IsCppBuilder(int row) {
  return row == 19 || row == 20;
}
bool IsBorlandDotNet(int row) {
  return InRange(row, 28, 31);
}

// The Borland key of a Delphi-family row: BDS numbering from version 9 on.
std::string BorlandKey(const EnvRow& row) {
  if (row.version > 7) return "\\SOFTWARE\\Borland\\BDS\\" + std::to_string(row.version - 6) + ".0";
  return "\\SOFTWARE\\Borland\\Delphi\\" + row.version_text + ".0";
}

std::string CppBuilderKey(const EnvRow& row) {
  return "\\SOFTWARE\\Borland\\C++Builder\\" + row.version_text + ".0";
}

std::string ReadValue(platform::Registry& registry, RootKey root, const std::string& key,
                      const std::string& name) {
  return registry.ReadString(root, key, name).value_or(std::string());
}

// Lazarus document classes store "<exe> "%1"": the program is what stands before the quote.
std::string ProgramOfCommand(const std::string& command) {
  size_t quote = command.find("\"%1");
  return quote == std::string::npos ? command : Trim(command.substr(0, quote));
}

}  // namespace

IdeDetector::IdeDetector(const Catalogue& catalogue, platform::Registry& registry,
                         platform::Files& files, std::string install_dir)
    : catalogue_(catalogue),
      registry_(registry),
      files_(files),
      install_dir_(std::move(install_dir)) {}

std::string IdeDetector::KeepIfExists(const std::string& path) {
  return !path.empty() && files_.FileExists(path) ? path : std::string();
}

std::string IdeDetector::DetectExecutable(const EnvRow& row) {
  std::string found;
  try {
    found = FromRegistry(row);
  } catch (const Exception&) {
    found.clear();
  }
  return found.empty() ? FromFixedPlaces(row) : found;
}

std::string IdeDetector::FromRegistry(const EnvRow& row) {
  const int n = row.version;
  const std::string& v = row.version_text;
  if (IsDelphi(row.number) || IsBorlandDotNet(row.number)) {
    return KeepIfExists(ReadValue(registry_, RootKey::kLocalMachine, BorlandKey(row),
                                  n >= 5 ? "App" : "Delphi " + v));
  }
  if (IsCppBuilder(row.number)) {
    return KeepIfExists(ReadValue(registry_, RootKey::kLocalMachine, CppBuilderKey(row), "App"));
  }
  if (row.number == 10) {
    std::string dir = ReadValue(registry_, RootKey::kLocalMachine,
                                "\\SOFTWARE\\Microsoft\\Visual Basic\\" + v + ".0", "InstallDir");
    return dir.empty() ? std::string() : KeepIfExists(dir + "\\VB" + v + ".exe");
  }
  if (row.number == 11) {
    std::string dir = ReadValue(
        registry_, RootKey::kLocalMachine,
        "\\SOFTWARE\\Microsoft\\Visual Studio\\" + v + ".0\\Setup\\Microsoft Visual Basic",
        "ProductDir");
    return dir.empty() ? std::string() : KeepIfExists(dir + "\\VB" + v + ".exe");
  }
  if (row.number == 21) {
    for (RootKey root : {RootKey::kCurrentUser, RootKey::kLocalMachine}) {
      std::string dir = ReadValue(registry_, root, "Environment", "MSDevDir");
      if (dir.empty()) continue;
      if (std::string exe = KeepIfExists(dir + "\\Bin\\MSDev.exe"); !exe.empty()) return exe;
    }
    return std::string();
  }
  if (InRange(row.number, 12, 17) || InRange(row.number, 22, 27)) {
    // 2003, 2005 and 2008 editions: Visual Studio 7.1, 8.0 and 9.0.
    const int edition = InRange(row.number, 12, 14) ? n - 6 : n;
    const std::string version = std::to_string(edition + 6) + (edition == 1 ? ".1" : ".0");
    const std::string vs_key = "\\SOFTWARE\\Microsoft\\VisualStudio\\" + version + "\\Setup\\VS";
    std::string exe =
        KeepIfExists(ReadValue(registry_, RootKey::kLocalMachine, vs_key, "EnvironmentPath"));
    if (!exe.empty()) return exe;
    // Then a directory (with its final "\") and a program name, kept apart: the Express editions
    // of Visual Basic and Visual C# in keys of their own, the other rows in the same key.
    std::string second_key = vs_key;
    if (row.number == 13 || row.number == 14 || row.number == 16 || row.number == 17) {
      second_key = "\\SOFTWARE\\Microsoft\\VBExpress\\" + version;
    } else if (row.number == 26 || row.number == 27) {
      second_key = "\\SOFTWARE\\Microsoft\\VCSExpress\\" + version;
    }
    std::string install_dir =
        ReadValue(registry_, RootKey::kLocalMachine, second_key, "InstallDir");
    std::string app_id = ReadValue(registry_, RootKey::kLocalMachine, second_key, "ApplicationID");
    return install_dir.empty() ? std::string() : KeepIfExists(install_dir + app_id + ".exe");
  }
  if (row.number == 32) {
    for (const char* document_class : {"LazarusForm", "LazarusPackage", "LazarusProject",
                                       "LazarusProjectSource", "LazarusUnit"}) {
      std::string command =
          ReadValue(registry_, RootKey::kClassesRoot,
                    std::string("\\") + document_class + "\\shell\\open\\command", "");
      if (std::string exe = KeepIfExists(ProgramOfCommand(command)); !exe.empty()) return exe;
    }
  }
  return std::string();
}

std::string IdeDetector::FromFixedPlaces(const EnvRow& row) {
  auto first_existing = [this](std::initializer_list<std::string> paths) {
    for (const std::string& path : paths) {
      if (files_.FileExists(path)) return path;
    }
    return std::string();
  };
  if (row.number == 10 || row.number == 11) {
    const std::string w = "vb" + row.version_text;
    return first_existing(
        {"C:\\" + w + "\\" + w + ".exe", "C:\\Program files\\" + w + "\\" + w + ".exe",
         "C:\\" + w + "cce\\" + w + "cce.exe", "C:\\Program files\\" + w + "cce\\" + w + "cce.exe",
         "D:\\" + w + "\\" + w + ".exe", "D:\\Program files\\" + w + "\\" + w + ".exe",
         "D:\\" + w + "cce\\" + w + "cce.exe",
         "D:\\Program files\\" + w + "cce\\" + w + "cce.exe"});
  }
  if (row.number == 21) {
    return first_existing(
        {"C:\\Program Files\\Microsoft Visual Studio\\Common\\MSDev98\\Bin\\MSDev.exe",
         "D:\\Program Files\\Microsoft Visual Studio\\Common\\MSDev98\\Bin\\MSDev.exe"});
  }
  if (row.number == 32) {
    return first_existing(
        {"c:\\lazarus\\lazarus.exe", "d:\\lazarus\\lazarus.exe", "e:\\lazarus\\lazarus.exe",
         "f:\\lazarus\\lazarus.exe", "g:\\lazarus\\lazarus.exe",
         "c:\\Program files\\lazarus\\lazarus.exe", "d:\\Program files\\lazarus\\lazarus.exe",
         "e:\\Program files\\lazarus\\lazarus.exe", "f:\\Program files\\lazarus\\lazarus.exe",
         "g:\\Program files\\lazarus\\lazarus.exe"});
  }
  return std::string();
}

std::string IdeDetector::DetectLibraryDir(const EnvRow& row) {
  std::string dir;
  try {
    if (IsDelphi(row.number)) {
      std::string root = ReadValue(registry_, RootKey::kLocalMachine, BorlandKey(row), "RootDir");
      if (!root.empty()) dir = ExcludeTrailingBackslash(root) + "\\Lib";
    } else if (IsCppBuilder(row.number)) {
      // C++Builder keeps its "RootDir" as written, trailing "\" and all.
      std::string root =
          ReadValue(registry_, RootKey::kLocalMachine, CppBuilderKey(row), "RootDir");
      if (!root.empty()) dir = root + "\\Lib";
    }
  } catch (const Exception&) {
    return std::string();
  }
  return !dir.empty() && LibraryDirCheck(row, dir) ? dir : std::string();
}

bool IdeDetector::LibraryDirCheck(const EnvRow& row, const std::string& dir) {
  const std::string upper = UpperCase(dir);
  for (int r = 3; r <= 9; ++r) {
    if (upper == UpperCase(install_dir_ + "DELPHI" + catalogue_.Row(r).version_text)) return false;
  }
  if (!IsDelphi(row.number)) return true;
  for (const platform::FindEntry& entry :
       files_.FindFiles(IncludeTrailingBackslash(dir) + "*.dcu")) {
    if ((entry.attributes & platform::kAttrDirectory) == 0) return true;
  }
  return false;
}

std::string IdeDetector::LibraryDirFromExe(const EnvRow& row, const std::string& exe_path) {
  if (!IsDelphi(row.number) && !IsCppBuilder(row.number) && !IsBorlandDotNet(row.number)) {
    return std::string();
  }
  if (!files_.FileExists(exe_path)) return std::string();
  size_t bin = UpperCase(exe_path).find("\\BIN");
  if (bin == std::string::npos) return std::string();
  std::string dir = exe_path.substr(0, bin + 1) + "Lib";
  return files_.DirectoryExists(dir) ? dir : std::string();
}

bool BrowseRule(const EnvRow& row, std::string_view chosen_file) {
  const std::string name = UpperCase(ExtractFileName(chosen_file));
  auto has = [&name](const char* word) { return name.find(word) != std::string::npos; };
  const int r = row.number;
  if (InRange(r, 3, 7)) return has("DELPHI32");
  if (r == 8 || r == 9 || IsBorlandDotNet(r)) return has("BDS");
  if (r == 10 || r == 11) return has("VB");
  if (IsCppBuilder(r)) return has("BCB");
  if (r == 21) return has("DEV");
  if (InRange(r, 12, 17) || InRange(r, 22, 27)) {
    if (has("DEVENV")) return true;
    if (r == 13 || r == 14 || r == 16 || r == 17) return has("VBEXPRESS");
    if (r == 23 || r == 24) return has("VCEXPRESS");
    if (r == 26 || r == 27) return has("VCSEXPRESS");
    return false;
  }
  if (r == 32) return has("LAZARUS.EXE");
  return false;
}

}  // namespace vl4
