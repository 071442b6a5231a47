// Conformance of the shell: special folders, shell links, and starting a program and waiting
// for it.
#include <gtest/gtest.h>

#include <cstdio>

#include "platform/path.h"
#include "platform/shell_link_format.h"
#include "platform/text.h"
#include "tests/support/test_world.h"

#ifndef _WIN32
#include "platform/sandbox/sandbox_platform.h"
#endif

namespace vl4::platform {
namespace {

using test::TestWorld;

TEST(Shell, SpecialFoldersExist) {
  TestWorld w;
  for (SpecialFolder folder : {SpecialFolder::kPrograms, SpecialFolder::kDesktopDirectory}) {
    std::string path = w.shell().GetSpecialFolder(folder);
    EXPECT_FALSE(path.empty());
    EXPECT_TRUE(w.files().DirectoryExists(path)) << path;
  }
}

TEST(Shell, ShellLinksRoundTrip) {
  TestWorld w;
  ASSERT_TRUE(w.files().CreateDirectory(w.Path("Program Dir")));
  const std::string target = w.Path("Program Dir\\Tool.exe");
  ASSERT_TRUE(w.WriteFile(target, "MZ"));
  const std::string link = w.Path("Tool.lnk");
  ASSERT_TRUE(w.shell().CreateShellLink(target, "-open \"a b\"", w.Path("Program Dir"), link));
  auto info = w.shell().ReadShellLink(link);
  ASSERT_TRUE(info.has_value());
  EXPECT_TRUE(SameText(info->target, target)) << info->target;
  EXPECT_EQ(info->arguments, "-open \"a b\"");
  EXPECT_TRUE(SameText(info->working_directory, w.Path("Program Dir")));

  // A link whose folder is missing is not made; a file that is no link reads as nothing.
  EXPECT_FALSE(w.shell().CreateShellLink(target, "", "", w.Path("missing\\x.lnk")));
  EXPECT_FALSE(w.shell().ReadShellLink(target).has_value());
  EXPECT_FALSE(w.shell().ReadShellLink(w.Path("missing.lnk")).has_value());
}

std::u16string Widen(std::string_view s) {
  return std::u16string(s.begin(), s.end());
}
std::string Narrow(std::u16string_view s) {
  std::string r;
  for (char16_t c : s) r += static_cast<char>(c < 0x80 ? c : '?');
  return r;
}

// Our own .lnk writer against the system's reader, and the system's writer against our reader:
// under Wine this is the Windows shell on both sides.
TEST(Shell, TheLinkFormatIsTheSystemsFormat) {
  TestWorld w;
  const std::string target = w.Path("target.txt");
  ASSERT_TRUE(w.WriteFile(target, "t"));
  ShellLinkTarget t;
  t.path = target;
  std::string bytes = EncodeShellLink(t, "/x \"y z\"", w.Scratch(), Widen);
  ASSERT_TRUE(w.WriteFile(w.Path("ours.lnk"), bytes));
  auto info = w.shell().ReadShellLink(w.Path("ours.lnk"));
  ASSERT_TRUE(info.has_value());
  EXPECT_TRUE(SameText(info->target, target)) << info->target;
  EXPECT_EQ(info->arguments, "/x \"y z\"");
  EXPECT_TRUE(SameText(info->working_directory, w.Scratch()));

  ASSERT_TRUE(w.shell().CreateShellLink(target, "args", w.Scratch(), w.Path("system.lnk")));
  auto decoded = DecodeShellLink(*w.ReadFile(w.Path("system.lnk")), Narrow);
  ASSERT_TRUE(decoded.has_value());
  EXPECT_TRUE(SameText(decoded->target, target)) << decoded->target;
  EXPECT_EQ(decoded->arguments, "args");
  EXPECT_TRUE(SameText(decoded->working_directory, w.Scratch()));
  EXPECT_FALSE(DecodeShellLink(bytes.substr(0, bytes.size() / 2), Narrow).has_value());
}

#ifndef _WIN32
// An independent parser reads the sandbox's links (liblnk's lnkinfo, when installed).
TEST(Shell, LnkinfoReadsTheSandboxLinks) {
  if (std::system("command -v lnkinfo >/dev/null 2>&1") != 0) GTEST_SKIP() << "no lnkinfo";
  TestWorld w;
  ASSERT_TRUE(w.files().CreateDirectory(w.Path("App")));
  ASSERT_TRUE(w.WriteFile(w.Path("App\\Run.exe"), "MZ"));
  ASSERT_TRUE(w.shell().CreateShellLink(w.Path("App\\Run.exe"), "-fast \"C:\\Work Dir\"",
                                        w.Path("App"), w.Path("Run.lnk")));
  std::string command = "lnkinfo '" + *w.sandbox()->HostPath(w.Path("Run.lnk")) + "' 2>&1";
  std::string output;
  if (FILE* pipe = ::popen(command.c_str(), "r")) {
    char buffer[4096];
    while (size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) output.append(buffer, n);
    EXPECT_EQ(::pclose(pipe), 0) << output;
  }
  EXPECT_NE(output.find("Local path\t\t\t: C:\\Scratch\\App\\Run.exe"), std::string::npos)
      << output;
  EXPECT_NE(output.find("Working directory\t\t: C:\\Scratch\\App"), std::string::npos) << output;
  EXPECT_NE(output.find("Command line arguments\t\t: -fast \"C:\\Work Dir\""), std::string::npos)
      << output;
}
#endif

TEST(Shell, ExecuteStartsAProgramThatCanBeWaitedFor) {
  TestWorld w;
  const std::string child = test::SiblingProgram(w.system(), "vl4_platform_child");
  ASSERT_TRUE(w.files().FileExists(child)) << child;
  w.registry().WriteString(RootKey::kCurrentUser, w.RegistryKey(), "Probe", "from parent");
  ASSERT_TRUE(w.files().CreateDirectory(w.Path("work dir")));

  const std::string report = w.Path("report.txt");
  std::string params =
      "\"" + report + "\" 7 300 \"" + w.RegistryKey() + "\" plain \"two words\" C:\\dir\\ \"\"";
  auto process = w.shell().Execute("", child, params, w.Path("work dir"), kSwShowMinNoActive);
  ASSERT_NE(process, nullptr);
  EXPECT_TRUE(process->StillActive());
  EXPECT_EQ(process->ExitCode(), std::nullopt);
  process->Wait();
  EXPECT_FALSE(process->StillActive());
  EXPECT_EQ(process->ExitCode(), 7u);
  EXPECT_EQ(w.ReadFile(report), "cwd=" + w.Path("work dir") +
                                    "\r\nargs=plain|two words|C:\\dir\\\r\nprobe=from parent\r\n"
                                    "administrator=yes\r\n");

  EXPECT_EQ(w.shell().Execute("open", w.Path("missing.exe"), "", "", kSwShowNormal), nullptr);
}

}  // namespace
}  // namespace vl4::platform
