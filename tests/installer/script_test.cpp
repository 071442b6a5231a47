// The installer's script values, macros, settings file and text viewer paragraphs, on the
// platform of this build.
#include <gtest/gtest.h>

#include "installer/install_script.h"
#include "installer/locations.h"
#include "installer/macros.h"
#include "installer/settings.h"
#include "installer/text_viewer.h"
#ifndef _WIN32
#include "platform/sandbox/sandbox_platform.h"
#endif
#include "tests/support/test_world.h"

namespace vl4 {
namespace {

TEST(Macros, ExpandWithoutRegardToCaseAndOnlyOnce) {
  struct Case {
    const char* text;
    std::string expanded;
  };
  const Case install_dir[] = {
      {"%InstallDir%\\vl4setup.exe", "C:\\VL4\\vl4setup.exe"},
      {"\"%INSTALLDIR%\\UNINST\\vl4.log\" %installdir%", "\"C:\\VL4\\UNINST\\vl4.log\" C:\\VL4"},
      {"%InstallDir", "%InstallDir"},
  };
  for (const Case& c : install_dir) EXPECT_EQ(ExpandInstallDir(c.text, "C:\\VL4"), c.expanded);
  // The inserted directory is not searched again.
  EXPECT_EQ(ExpandInstallDir("%INSTALLDIR%\\a", "C:\\%InstallDir%"), "C:\\%InstallDir%\\a");

  EXPECT_EQ(ExpandStartDir("%STARTDIR%\\a.txt", "D:"), "D:\\\\a.txt");  // a drive root
  EXPECT_EQ(ExpandStartDir("%StartDir%\\a.txt", "D:\\Dist"), "D:\\Dist\\a.txt");
  EXPECT_EQ(ExpandProgramFilesDir("%ProgramFilesDir%\\Work\\%PROGRAMFILESDIR%", "C:\\PF"),
            "C:\\PF\\Work\\%PROGRAMFILESDIR%");

  EXPECT_EQ(DataPartName("Inst.dat", 1), "Inst.dat");
  EXPECT_EQ(DataPartName("Inst.dat", 2), "Inst.dat2");
  EXPECT_EQ(DataPartName("Setup.dat", 12), "Setup.dat12");
}

TEST(Settings, IntegersAreDecimalOrHexadecimalWith0x) {
  const std::pair<const char*, std::optional<int32_t>> cases[] = {
      {"1", 1},
      {"0", 0},
      {"-2", -2},
      {"0x10", 16},
      {"0X1f", 31},
      {"$10", std::nullopt},
      {"yes", std::nullopt},
      {"", std::nullopt},
      {"1 2", std::nullopt},
      {"0x", std::nullopt},
  };
  for (const auto& [text, value] : cases) EXPECT_EQ(ParseSettingsInt(text), value) << text;
}

TEST(Settings, TheFileOverridesTheDefaults) {
  test::TestWorld world;
  const std::string ini = world.Path("Inst.ini");
  InstallSettings defaults =
      ReadSettingsFile(world.files(), world.profile(), ini, "C:\\Program Files");
  EXPECT_FALSE(defaults.auto_run);
  EXPECT_TRUE(defaults.select_dialog && defaults.final_message && defaults.start_menu &&
              defaults.desktop && defaults.run);

  ASSERT_TRUE(world.WriteFile(ini,
                              "[Main]\r\nInstallDir=%ProgramFilesDir%\\Work\r\nAutoRun=1\r\n"
                              "SelectDialog=no\r\nFinalMessage=0x0\r\n"
                              "[Links]\r\nStartMenu=0\r\nDesktop=7\r\n"
                              "[Setup]\r\nRun=0\r\nParams= -FAST %STARTDIR% \r\n"
                              "[ExcludeDir]\r\n1=VB6\r\n2=samples\r\n4=VC6\r\n"));
  InstallSettings s = ReadSettingsFile(world.files(), world.profile(), ini, "C:\\Program Files");
  EXPECT_EQ(s.install_dir, "C:\\Program Files\\Work");
  EXPECT_TRUE(s.auto_run);
  EXPECT_TRUE(s.select_dialog);  // not a number: the default stays
  EXPECT_FALSE(s.final_message);
  EXPECT_FALSE(s.start_menu);
  EXPECT_TRUE(s.desktop);
  EXPECT_FALSE(s.run);
  EXPECT_EQ(s.params, "-FAST %STARTDIR%");
  // Reading stops at the first missing key.
  EXPECT_EQ(s.exclude_dirs, (std::vector<std::string>{"VB6", "samples"}));
}

TEST(Script, LocationsGoIntoTheShortcutsAndDefaults) {
  Locations where;
  where.program_files_dir = "D:\\Programs";
  where.system_dir = "C:\\WINNT\\system32";
  where.programs_folder = "C:\\Menu\\Programs";
  where.desktop_folder = "C:\\Desk";
  const InstallScript s = InstallScript::ThisBuild(where);
  EXPECT_EQ(s.default_destination, "D:\\Programs\\VL4");
  EXPECT_EQ(s.previous_version_marker, "D:\\Programs\\VL4\\UNINST.VL4");
  ASSERT_EQ(s.shortcuts.Count(), 11u);
  EXPECT_EQ(s.shortcuts[0].target, "C:\\WINNT\\system32\\uninvl32.exe");
  EXPECT_EQ(s.shortcuts[0].arguments, "\"%InstallDir%\\UNINST\\vl4.log\"");
  EXPECT_EQ(s.shortcuts[0].folder, "%InstallDir%\\UNINST");
  EXPECT_EQ(s.shortcuts[1].folder, "C:\\Menu\\Programs\\Veltoria 4");
  EXPECT_EQ(s.shortcuts[7].folder, "C:\\Desk");
  EXPECT_EQ(s.GroupName(), "Veltoria 4");
  EXPECT_EQ(s.UninstallHeader(),
            "Uninstall Veltoria 4|Do you want to uninstall Veltoria 4?|Veltoria 4 has uninstalled "
            "completely.|Veltoria 4 has uninstalled but the following files have not removed:|");
  // A table takes no more rows than its capacity.
  ScriptTable<std::string, 2> table{"a", "b"};
  EXPECT_FALSE(table.Add("c"));
  EXPECT_EQ(table.Count(), 2u);
}

TEST(Locations, ProgramFilesComesFromTheRegistryElseTheDrives) {
  test::TestWorld world;
#ifdef _WIN32
  EXPECT_FALSE(FindProgramFilesDir(world.platform()).empty());  // Windows has the value
#else
  platform::SandboxPlatform& pc = *world.sandbox();
  EXPECT_EQ(FindProgramFilesDir(pc), "C:\\Program Files");
  ASSERT_TRUE(pc.files().RemoveDirectory("C:\\Program Files"));
  EXPECT_EQ(FindProgramFilesDir(pc), "C:");
  pc.registry().WriteString(platform::RootKey::kLocalMachine,
                            "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir",
                            "E:\\Programs");
  EXPECT_EQ(FindProgramFilesDir(pc), "E:\\Programs");
#endif
}

TEST(TextViewer, ParagraphsAreJoined) {
  const std::vector<std::string> file = {
      "  Veltoria 4", "is an exercise book.", "",           "- item one", "  goes on",
      "* item two",   "COPYRIGHT (C) 2025",   "all rights", "   ",        "last",
  };
  EXPECT_EQ(JoinParagraphs(file),
            (std::vector<std::string>{"  Veltoria 4 is an exercise book.", "", "- item one goes on",
                                      "* item two", "COPYRIGHT (C) 2025 all rights  last"}));
}

}  // namespace
}  // namespace vl4
