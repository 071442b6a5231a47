// What only the sandbox PC has: its own files (sandbox.ini, registry.reg, attributes, locks),
// the mapping to host folders, Windows short names, locks and fault injection for tests, and
// processes seen across program ends.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <set>

#include "platform/exception.h"
#include "platform/file_tree.h"
#include "platform/sandbox/sandbox_config.h"
#include "platform/sandbox/sandbox_platform.h"
#include "platform/text.h"
#include "tests/support/test_world.h"

namespace vl4::platform {
namespace {

namespace fs = std::filesystem;
using test::TestWorld;

// A host folder of its own for a sandbox the test builds by hand.
class HostDir {
 public:
  HostDir() {
    std::string pattern = (fs::temp_directory_path() / "vl4-sandbox-test-XXXXXX").string();
    path_ = ::mkdtemp(pattern.data());
  }
  ~HostDir() {
    std::error_code ec;
    fs::remove_all(path_, ec);
  }
  const std::string& path() const { return path_; }
  void Write(const std::string& name, const std::string& text) const {
    std::ofstream(path_ + "/" + name, std::ios::binary) << text;
  }
  std::string Read(const std::string& name) const {
    std::ifstream in(path_ + "/" + name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

 private:
  std::string path_;
};

template <class E>
std::string ErrorOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const E& e) {
    const Exception& base = e;  // the program's own base class
    return base.Message();
  }
  return "(no error)";
}

TEST(Sandbox, ANewPcHasDefaultDrivesAndFolders) {
  HostDir dir;
  SandboxPlatform pc(dir.path() + "/pc");
  std::string ini = dir.Read("pc/sandbox.ini");
  EXPECT_NE(ini.find("[Drives]\nC=C\nZ=/\n"), std::string::npos) << ini;
  EXPECT_NE(ini.find("CodePage=1251\nOemCodePage=866"), std::string::npos) << ini;
  for (const char* folder : {"C:\\Windows", "C:\\Windows\\System32", "C:\\Program Files"}) {
    EXPECT_TRUE(pc.files().DirectoryExists(folder)) << folder;
  }
  EXPECT_TRUE(pc.files().DirectoryExists(pc.shell().GetSpecialFolder(SpecialFolder::kPrograms)));
  EXPECT_EQ(pc.HostPath("c:\\windows\\SYSTEM32"), dir.path() + "/pc/C/Windows/System32");
  EXPECT_EQ(pc.files().GetDriveType("Z:\\"), DriveType::kFixed);
  EXPECT_TRUE(pc.files().DirectoryExists("Z:\\tmp"));
}

TEST(Sandbox, AMalformedSandboxIniNamesFileAndLine) {
  HostDir dir;
  struct Case {
    const char* ini;
    const char* error;
  } cases[] = {
      {"[Drives]\nC=C\nthis line is wrong\n", "sandbox.ini, line 3: \"this line is wrong\""},
      {"[Drives]\nCC=C\n", "sandbox.ini, line 2: \"CC\" is no drive letter"},
      {"[DriveTypes]\n\nC=floppy\n", "sandbox.ini, line 3: unknown drive type \"floppy\""},
      {"[System]\nCodePage=65001\n", "sandbox.ini, line 2: code page \"65001\""},
      {"[Drives\n", "sandbox.ini, line 1: a section header"},
      {"[System]\nArchitecture=arm64\n",
       "sandbox.ini, line 2: architecture \"arm64\" is neither x86 nor x64"},
  };
  for (const Case& c : cases) {
    dir.Write("sandbox.ini", c.ini);
    std::string error = ErrorOf<sandbox::ESandboxError>([&] { SandboxPlatform pc(dir.path()); });
    EXPECT_NE(error.find(dir.path() + "/" + c.error), std::string::npos) << error;
  }
}

// A 64-bit PC keeps what the 32-bit program writes where 64-bit Windows does, visible to host
// tools there (the conformance suite pins down which keys and folders); a 32-bit PC redirects
// nothing. The choice is kept in sandbox.ini and holds for every process of the PC.
TEST(Sandbox, A64BitPcStoresTheProgramsSystemFilesAndKeysWhereWow64Does) {
  HostDir dir;
  for (bool windows64 : {false, true}) {
    SCOPED_TRACE(windows64 ? "x64" : "x86");
    const std::string root = dir.path() + (windows64 ? "/x64" : "/x86");
    {
      SandboxPlatform pc(root);
      pc.SetWindows64(windows64);
    }
    SandboxPlatform pc(root);  // as the next process finds it
    EXPECT_EQ(pc.Windows64(), windows64);
    EXPECT_EQ(pc.system().Wow64SystemDirectory(), windows64 ? "C:\\Windows\\SysWOW64" : "");
    ASSERT_TRUE(test::WriteWholeFile(pc.files(), "C:\\Windows\\System32\\vl4.dll", "x"));
    EXPECT_TRUE(fs::exists(
        root + (windows64 ? "/C/Windows/SysWOW64/vl4.dll" : "/C/Windows/System32/vl4.dll")));
    pc.registry().WriteString(RootKey::kLocalMachine, "SOFTWARE\\Veltoria 4", "Install Directory",
                              "C:\\VL4");
    const std::string reg = dir.Read((windows64 ? "x64" : "x86") + std::string("/registry.reg"));
    const char* stored = windows64 ? "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\Veltoria 4]"
                                   : "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Veltoria 4]";
    EXPECT_NE(reg.find(stored), std::string::npos) << reg;
    EXPECT_EQ(pc.files().DirectoryExists("C:\\Program Files (x86)"), windows64);
  }
}

TEST(Sandbox, TheRegistryIsRegeditTextSharedBetweenProcesses) {
  HostDir dir;
  SandboxPlatform a(dir.path());
  SandboxPlatform b(dir.path());  // another process on the same PC
  a.registry().WriteString(RootKey::kLocalMachine, "\\SOFTWARE\\Veltoria 4", "Install Directory",
                           "C:\\VL4\\");
  a.registry().WriteDword(RootKey::kCurrentUser, "Software\\X", "n", 42);
  EXPECT_EQ(
      b.registry().ReadString(RootKey::kLocalMachine, "software\\veltoria 4", "install directory"),
      "C:\\VL4\\");
  EXPECT_EQ(
      dir.Read("registry.reg"),
      "REGEDIT4\n\n[HKEY_LOCAL_MACHINE]\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE]\n\n"
      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Veltoria 4]\n\"Install Directory\"=\"C:\\\\VL4\\\\\"\n\n"
      "[HKEY_CURRENT_USER]\n\n[HKEY_CURRENT_USER\\Software]\n\n"
      "[HKEY_CURRENT_USER\\Software\\X]\n\"n\"=dword:0000002a\n");

  // Values written by hand, as regedit exports them.
  dir.Write("registry.reg",
            "REGEDIT4\r\n\r\n; by hand\r\n[HKEY_CLASSES_ROOT\\.vl4]\r\n@=\"VL4.File\"\r\n"
            "\"Path\"=hex(2):43,3a,5c,00\r\n\"Bin\"=hex:01,02,\\\r\n  03\r\n");
  EXPECT_EQ(b.registry().ReadString(RootKey::kClassesRoot, ".vl4", ""), "VL4.File");
  EXPECT_EQ(b.registry().ReadString(RootKey::kLocalMachine, "SOFTWARE\\Classes\\.vl4", "path"),
            "C:\\");
  EXPECT_THROW(b.registry().ReadString(RootKey::kClassesRoot, ".vl4", "Bin"), ERegistryException);
  b.registry().WriteString(RootKey::kClassesRoot, ".vl4", "x", "y");
  EXPECT_NE(dir.Read("registry.reg").find("\"Bin\"=hex:01,02,03\n"), std::string::npos);
}

TEST(Sandbox, AMalformedRegistryNamesFileAndLine) {
  HostDir dir;
  struct Case {
    const char* reg;
    const char* error;
  } cases[] = {
      {"REGEDIT4\n\n[HKEY_CURRENT_USER\\A]\n\"v\"=dword:xyz\n",
       "registry.reg, line 4: \"dword:xyz\""},
      {"REGEDIT4\n\"v\"=\"x\"\n", "registry.reg, line 2: a value before the first key"},
      {"Windows Registry Editor Version 5.00\n", "registry.reg, line 1: the file does not start"},
      {"REGEDIT4\n[HKEY_NOWHERE\\A]\n", "registry.reg, line 2: unknown root key"},
      {"REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"v\"=\"open\n", "registry.reg, line 3: a string lacks"},
  };
  for (const Case& c : cases) {
    dir.Write("registry.reg", c.reg);
    std::string error = ErrorOf<ERegistryException>([&] { SandboxPlatform pc(dir.path()); });
    EXPECT_NE(error.find(dir.path() + "/" + c.error), std::string::npos) << error;
  }
  // Spoilt while a program runs: the next registry call reports it.
  dir.Write("registry.reg", "REGEDIT4\n");
  SandboxPlatform pc(dir.path());
  dir.Write("registry.reg", "REGEDIT4\n[HKEY_CURRENT_USER\\A]\ngarbage\n");
  std::string error =
      ErrorOf<ERegistryException>([&] { pc.registry().KeyExists(RootKey::kCurrentUser, "A"); });
  EXPECT_NE(error.find("registry.reg, line 3"), std::string::npos) << error;
}

TEST(Sandbox, NoWindowsPathLeavesItsDrive) {
  TestWorld w;
  SandboxPlatform& pc = *w.sandbox();
  std::string drive_d = pc.Root() + "/D";
  fs::create_directories(drive_d);
  pc.MapDrive('D', drive_d);
  EXPECT_EQ(pc.HostPath("D:\\..\\..\\etc\\passwd"), drive_d + "/etc/passwd");
  EXPECT_EQ(pc.HostPath("D:..\\x"), drive_d + "/x");
  EXPECT_EQ(pc.HostPath("D:/a/../../../b"), drive_d + "/b");
  EXPECT_FALSE(pc.files().FileExists("D:\\..\\sandbox.ini"));
  EXPECT_EQ(pc.HostPath("\\\\server\\share\\x"), std::nullopt);
  EXPECT_EQ(pc.HostPath("Q:\\x"), std::nullopt);     // not mapped
  EXPECT_EQ(pc.HostPath("C:\\a\"b"), std::nullopt);  // not a Windows name
  EXPECT_EQ(pc.WindowsPath(drive_d + "/sub/file"), "D:\\sub\\file");
  EXPECT_EQ(pc.WindowsPath("/usr/bin"), "Z:\\usr\\bin");
}

TEST(Sandbox, NamesAreAnsiInTheCodePageAndMatchWithoutRegardToCase) {
  TestWorld w;
  SandboxPlatform& pc = *w.sandbox();
  // "Привет.txt" in code page 1251; the host sees UTF-8.
  ASSERT_TRUE(w.WriteFile(w.Path("\xCF\xF0\xE8\xE2\xE5\xF2.txt"), "hi"));
  EXPECT_TRUE(fs::exists(pc.Root() + "/C/Scratch/Привет.txt"));
  EXPECT_EQ(w.ReadFile(w.Path("\xCF\xD0\xC8\xC2\xC5\xD2.TXT")), "hi");  // "ПРИВЕТ.TXT"
  auto found = w.files().FindFiles(w.Path("*.txt"));
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0].name, "\xCF\xF0\xE8\xE2\xE5\xF2.txt");
}

TEST(Sandbox, ShortNamesAreMadeTheWindowsWayAndKept) {
  TestWorld w;
  SandboxPlatform& pc = *w.sandbox();
  EXPECT_EQ(pc.files().ShortPath("C:\\Program Files"), "C:\\PROGRA~1");
  ASSERT_TRUE(w.files().CreateDirectory("C:\\Program Data"));
  ASSERT_TRUE(w.files().CreateDirectory("C:\\Program Files\\Veltoria 4"));
  EXPECT_EQ(pc.files().ShortPath("C:\\Program Data"), "C:\\PROGRA~2");
  EXPECT_EQ(pc.files().ShortPath("c:\\program files\\veltoria 4\\"), "c:\\PROGRA~1\\VELTOR~1\\");
  ASSERT_TRUE(w.WriteFile(w.Path("document file.html"), ""));
  ASSERT_TRUE(w.WriteFile(w.Path("a+b;c.longext"), ""));
  EXPECT_EQ(pc.files().ShortPath(w.Path("document file.html")), "C:\\Scratch\\DOCUME~1.HTM");
  EXPECT_EQ(pc.files().ShortPath(w.Path("a+b;c.longext")), "C:\\Scratch\\A_B_C~1.LON");
  // The short names lead to their entries, in this process and in another one.
  EXPECT_TRUE(w.files().DirectoryExists("C:\\PROGRA~1\\veltor~1"));
  SandboxPlatform other(pc.Root());
  EXPECT_EQ(other.files().ShortPath("C:\\Program Data"), "C:\\PROGRA~2");
  EXPECT_TRUE(other.files().FileExists("C:\\Scratch\\DOCUME~1.HTM"));
}

TEST(Sandbox, LockedFilesAreInUseForEveryProcess) {
  TestWorld w;
  SandboxPlatform& pc = *w.sandbox();
  const std::string f = w.Path("in use.dll");
  ASSERT_TRUE(w.WriteFile(f, "old"));
  ASSERT_TRUE(pc.LockFile(f));
  SandboxPlatform other(pc.Root());
  for (SandboxPlatform* p : {&pc, &other}) {
    EXPECT_FALSE(p->files().DeleteFile(f));
    EXPECT_FALSE(p->files().MoveFile(f, w.Path("moved.dll")));
    EXPECT_THROW(p->files().OpenFile(f, OpenMode::kCreate), EFCreateError);
    EXPECT_EQ(w.ReadFile(f), "old");
  }
  EXPECT_TRUE(pc.UnlockFile(f));
  EXPECT_TRUE(other.files().DeleteFile(f));
}

TEST(Sandbox, FaultsHitTheKthOperation) {
  TestWorld w;
  SandboxPlatform& pc = *w.sandbox();
  using F = SandboxPlatform::Fault;
  pc.FailNth(F::kWrite, 2);
  {
    auto s = w.files().OpenFile(w.Path("f"), OpenMode::kCreate);
    EXPECT_EQ(s->Write("a", 1), 1u);
    EXPECT_EQ(s->Write("b", 1), 0u);
    EXPECT_EQ(s->Write("c", 1), 1u);
  }
  pc.FailNth(F::kCreateDirectory, 2);
  EXPECT_FALSE(platform::ForceDirectories(w.files(), w.Path("x\\y\\z")));
  EXPECT_TRUE(w.files().DirectoryExists(w.Path("x")));
  EXPECT_FALSE(w.files().DirectoryExists(w.Path("x\\y")));
  pc.FailNth(F::kMove, 1);
  EXPECT_FALSE(w.files().MoveFile(w.Path("f"), w.Path("g")));
  EXPECT_TRUE(w.files().MoveFile(w.Path("f"), w.Path("g")));
  pc.FailNth(F::kDelete, 1);
  EXPECT_FALSE(w.files().DeleteFile(w.Path("g")));
  pc.FailNth(F::kRemoveDirectory, 1);
  EXPECT_FALSE(w.files().RemoveDirectory(w.Path("x")));
  pc.FailNth(F::kWrite, 1);
  pc.ClearFaults();
  EXPECT_TRUE(w.files().CopyFile(w.Path("g"), w.Path("h"), false));
  EXPECT_TRUE(w.files().DeleteFile(w.Path("g")));
  EXPECT_TRUE(w.files().RemoveDirectory(w.Path("x")));
}

TEST(Sandbox, AttributesAndDrivesAreSharedThroughTheSandboxFiles) {
  TestWorld w;
  SandboxPlatform& pc = *w.sandbox();
  ASSERT_TRUE(w.WriteFile(w.Path("ro"), ""));
  ASSERT_TRUE(w.files().SetAttributes(w.Path("ro"), kAttrReadOnly | kAttrHidden));
  ASSERT_TRUE(w.files().SetAttributes(w.Path("plain"), kAttrReadOnly) == false);
  std::string floppy = pc.Root() + "/floppy";
  pc.MapDrive('A', floppy, DriveType::kRemovable, "VL4_001");

  SandboxPlatform other(pc.Root());
  EXPECT_EQ(other.files().GetAttributes(w.Path("RO")), kAttrReadOnly | kAttrHidden);
  EXPECT_FALSE(other.files().DeleteFile(w.Path("ro")));
  EXPECT_EQ(other.files().GetDriveType("a:\\"), DriveType::kRemovable);
  EXPECT_EQ(other.files().VolumeLabel("A:\\"), std::nullopt);  // no disk in the drive
  EXPECT_EQ(other.files().DiskSize('A'), -1);
  fs::create_directories(floppy);
  EXPECT_EQ(other.files().VolumeLabel("A:\\"), "VL4_001");
  EXPECT_GT(other.files().DiskSize('a'), 0);
  // Moving a folder takes its entries' attributes along.
  ASSERT_TRUE(w.files().CreateDirectory(w.Path("dir")));
  ASSERT_TRUE(w.files().MoveFile(w.Path("ro"), w.Path("dir\\ro")));
  ASSERT_TRUE(w.files().MoveFile(w.Path("dir"), w.Path("dir2")));
  EXPECT_EQ(other.files().GetAttributes(w.Path("dir2\\ro")), kAttrReadOnly | kAttrHidden);
}

TEST(Sandbox, AProgramStartsInTheFolderItWasStartedFrom) {
  HostDir outside;
  HostDir pc_dir;
  std::string saved = fs::current_path().string();
  fs::create_directories(pc_dir.path() + "/C/Work");
  {
    fs::current_path(outside.path());
    SandboxPlatform pc(pc_dir.path());
    EXPECT_EQ(pc.files().CurrentDirectory(), pc.WindowsPath(outside.path()));
    EXPECT_EQ(pc.files().CurrentDirectory().substr(0, 3), "Z:\\");
    ASSERT_TRUE(pc.files().CreateDirectory("out"));  // lands in the host folder
    EXPECT_TRUE(fs::is_directory(outside.path() + "/out"));
  }
  {
    fs::current_path(pc_dir.path() + "/C/Work");
    SandboxPlatform pc(pc_dir.path());
    EXPECT_EQ(pc.files().CurrentDirectory(), "C:\\Work");
  }
  fs::current_path(saved);
}

// A PC whose programs run with a standard user's rights: Program Files, the Windows folder and
// HKEY_LOCAL_MACHINE refuse changes, except in a folder an administrator allowed the Users group
// to modify; a program started "runas" has an administrator's rights.
TEST(Sandbox, AStandardUserChangesOnlyWhatTheUsersGroupMayModify) {
  HostDir dir;
  {
    SandboxPlatform admin(dir.path());
    for (const char* folder : {"C:\\Program Files\\VL4", "C:\\Program Files\\Other"}) {
      ASSERT_TRUE(platform::ForceDirectories(admin.files(), folder));
    }
    ASSERT_TRUE(admin.files().AllowUsersToModify("C:\\Program Files\\VL4"));
    dir.Write("sandbox.ini", dir.Read("sandbox.ini") + "Administrator=no\n");
  }
  SandboxPlatform pc(dir.path());
  EXPECT_FALSE(pc.system().IsAdministrator());
  EXPECT_TRUE(test::WriteWholeFile(pc.files(), "C:\\Program Files\\VL4\\VL.INI", "[x]"));
  EXPECT_TRUE(platform::ForceDirectories(pc.files(), "C:\\Program Files\\VL4\\LIB\\sub"));
  EXPECT_TRUE(pc.files().UsersMayModify("C:\\Program Files\\VL4\\LIB"));
  EXPECT_FALSE(test::WriteWholeFile(pc.files(), "C:\\Program Files\\Other\\x", "x"));
  EXPECT_FALSE(pc.files().CreateDirectory("C:\\Program Files\\New"));
  EXPECT_FALSE(pc.files().AllowUsersToModify("C:\\Program Files\\Other"));
  EXPECT_FALSE(test::WriteWholeFile(pc.files(), "C:\\Windows\\System32\\vl4.dll", "x"));
  EXPECT_TRUE(test::WriteWholeFile(pc.files(), "C:\\Users\\x.txt", "anywhere else"));
  EXPECT_THROW(pc.registry().WriteString(RootKey::kLocalMachine, "SOFTWARE\\Veltoria 4", "v", "x"),
               ERegistryException);
  EXPECT_NO_THROW(pc.registry().WriteString(RootKey::kCurrentUser, "Software\\VL4", "v", "x"));

  for (const char* verb : {"open", "runas"}) {
    const std::string report = std::string("C:\\Users\\") + verb + ".txt";
    auto p = pc.shell().Execute(verb, test::SiblingProgram(pc.system(), "vl4_platform_child"),
                                "\"" + report + "\" 0 0 none", "", kSwShowNormal);
    ASSERT_NE(p, nullptr);
    p->Wait();
    auto text = test::ReadWholeFile(pc.files(), report).value_or("");
    EXPECT_NE(text.find(std::string("administrator=") + (SameText(verb, "runas") ? "yes" : "no")),
              std::string::npos)
        << verb << ": " << text;
  }
}

TEST(Sandbox, ProgramsDocumentsAndPagesAreRecorded) {
  TestWorld w;
  SandboxPlatform& pc = *w.sandbox();
  const std::string child = test::SiblingProgram(w.system(), "vl4_platform_child");
  {
    auto p = w.shell().Execute("", child, "\"" + w.Path("r.txt") + "\" 0 300 none", "", 3);
    ASSERT_NE(p, nullptr);
  }  // the handle is gone, the process runs on
  EXPECT_FALSE(w.files().FileExists(w.Path("r.txt")));
  EXPECT_TRUE(pc.WaitForStartedProcesses());
  EXPECT_TRUE(w.files().FileExists(w.Path("r.txt")));
  std::ifstream record(pc.Root() + "/processes");
  std::string line;
  std::getline(record, line);
  EXPECT_NE(line.find("\t3\t" + child + " \"C:\\Scratch\\r.txt\" 0 300 none"), std::string::npos)
      << line;

  auto page = w.shell().Execute("open", "https://example.org/vl4", "", "", kSwShowNormal);
  ASSERT_NE(page, nullptr);
  EXPECT_FALSE(page->StillActive());
  ASSERT_TRUE(w.WriteFile(w.Path("readme.txt"), "doc"));
  EXPECT_NE(w.shell().Execute("", w.Path("readme.txt"), "", "", kSwShowNormal), nullptr);
  EXPECT_NE(w.shell().Execute("open", w.Scratch(), "", "", kSwShowNormal), nullptr);
  // A program unpacked from a zip archive has no permission to run on the host; Windows runs it
  // by its name all the same.
  const std::string unpacked = w.Path("unpacked.exe");
  ASSERT_TRUE(w.files().CopyFile(child, unpacked, false));
  ASSERT_EQ(::chmod(pc.HostPath(unpacked)->c_str(), 0644), 0);
  auto run = w.shell().Execute("", unpacked, "\"" + w.Path("u.txt") + "\" 0 0 none", "", 1);
  ASSERT_NE(run, nullptr);
  run->Wait();
  EXPECT_TRUE(w.files().FileExists(w.Path("u.txt")));
  ASSERT_TRUE(w.WriteFile(w.Path("broken.exe"), "not a host program"));
  EXPECT_EQ(w.shell().Execute("", w.Path("broken.exe"), "", "", kSwShowNormal), nullptr);
  std::ifstream log(pc.Root() + "/shell.log");
  std::string log_text(std::istreambuf_iterator<char>(log), {});
  EXPECT_EQ(log_text,
            "open\thttps://example.org/vl4\t\t\t1\nopen\tC:\\Scratch\\readme.txt\t\t\t1\n"
            "open\tC:\\Scratch\t\t\t1\n");
}

}  // namespace
}  // namespace vl4::platform
