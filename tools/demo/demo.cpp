// vl4demo: builds a sandbox PC in a temporary folder and, through the platform seam only, writes
// a registry value, an INI file and a desktop shortcut, then shows what came of it.
//   vl4demo [--keep]    (--keep leaves the sandbox folder for a look inside)
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "platform/exception.h"
#include "platform/sandbox/sandbox_platform.h"
#include "platform/text_file.h"

namespace {

using vl4::platform::RootKey;
using vl4::platform::SpecialFolder;

void Show(const char* label, const std::string& value) {
  std::printf("  %-20s %s\n", label, value.c_str());
}

// lnkinfo's view of the link: the lines that name target, arguments and working directory.
void ShowLnkinfo(const std::string& host_path) {
  if (std::system("command -v lnkinfo >/dev/null 2>&1") != 0) {
    std::printf("  (lnkinfo is not installed: apt-get install liblnk-utils)\n");
    return;
  }
  std::string command = "lnkinfo '" + host_path + "' 2>&1";
  FILE* pipe = ::popen(command.c_str(), "r");
  if (!pipe) return;
  char line[1024];
  while (std::fgets(line, sizeof line, pipe)) {
    for (const char* wanted : {"Local path", "Working directory", "Command line arguments"}) {
      if (std::strstr(line, wanted)) std::printf("  lnkinfo:%s", line);
    }
  }
  ::pclose(pipe);
}

}  // namespace

int main(int argc, char** argv) {
  bool keep = argc > 1 && std::strcmp(argv[1], "--keep") == 0;
  std::string root = (std::filesystem::temp_directory_path() / "vl4demo-XXXXXX").string();
  if (!::mkdtemp(root.data())) {
    std::perror("mkdtemp");
    return 1;
  }
  int status = 0;
  try {
    vl4::platform::SandboxPlatform pc(root);
    auto& files = pc.files();
    std::printf("A sandbox PC in %s\n", root.c_str());
    Show("drive C: is", *pc.HostPath("C:\\"));
    Show("code pages", "ANSI " + std::to_string(pc.system().AnsiCodePage()) + ", OEM " +
                           std::to_string(pc.system().OemCodePage()));

    const std::string install = "C:\\Program Files\\Veltoria 4";
    files.ForceDirectories(install);
    vl4::platform::WriteTextFile(files, install + "\\VL4Setup.exe", {"(the setup tool)"});

    std::printf("\nRegistry\n");
    pc.registry().WriteString(RootKey::kLocalMachine, "\\SOFTWARE\\Veltoria 4", "Install Directory",
                              install + "\\");
    Show("written", "HKLM\\SOFTWARE\\Veltoria 4, \"Install Directory\"");
    Show("read back",
         pc.registry()
             .ReadString(RootKey::kLocalMachine, "software\\veltoria 4", "install directory")
             .value_or("(missing)"));
    Show("kept in", root + "/registry.reg");

    std::printf("\nINI file\n");
    const std::string ini = install + "\\vl.ini";
    pc.profile().WriteString(ini, "Main", "WorkDir", "C:\\VL4Work");
    pc.profile().WriteString(ini, "Main", "DefaultEnvir", "DELPHI7");
    Show("written", ini);
    auto lines = vl4::platform::ReadTextFile(files, ini);
    for (const std::string& line : lines.value_or(std::vector<std::string>{})) Show("", line);
    Show("WorkDir reads", pc.profile().ReadString(ini, "MAIN", "workdir", ""));

    std::printf("\nShortcut\n");
    const std::string link =
        pc.shell().GetSpecialFolder(SpecialFolder::kDesktopDirectory) + "\\Veltoria 4 Setup.lnk";
    bool made =
        pc.shell().CreateShellLink(install + "\\VL4Setup.exe", "-FAST DELPHI7", install, link);
    Show("written", made ? link : "(failed)");
    if (auto info = pc.shell().ReadShellLink(link)) {
      Show("target", info->target);
      Show("arguments", info->arguments);
      Show("working directory", info->working_directory);
    }
    Show("short path", files.ShortPath(install + "\\VL4Setup.exe"));
    ShowLnkinfo(*pc.HostPath(link));
  } catch (const vl4::Exception& e) {
    std::fprintf(stderr, "vl4demo: %s\n", e.what());
    status = 1;
  }
  if (keep) {
    std::printf("\nThe sandbox stays in %s\n", root.c_str());
  } else {
    std::error_code ec;
    std::filesystem::remove_all(root, ec);
  }
  return status;
}
