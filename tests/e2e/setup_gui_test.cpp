// The setup window on screen: the Windows program's setup window on the Win32 backends under
// Wine and Xvfb, its start-up on a prepared installation (Delphi 7 with the stand-in compiler, so
// that its tools package is compiled and registered), a real click on Next, and screenshots of
// the environments page, the Delphi 7 page and the working directory page (taken by
// tests/ui/gui_smoke.sh).
#include <windows.h>  // first: the program's headers must see the same names

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>

#include "platform/exception.h"
#include "platform/file_tree.h"
#include "platform/win32/win32_platform.h"
#include "setup/about_dialog.h"
#include "setup/dialogs/net_output_dialog.h"
#include "setup/dialogs/user_name_dialog.h"
#include "setup/setup_window.h"
#include "ui/win32/win32_backend.h"

namespace vl4 {
namespace {

constexpr char kBase[] = "C:\\vl4gui";

// The real Windows, except that the program runs from the installation made for the test.
class InstalledAt final : public platform::Platform {
 public:
  InstalledAt(platform::Platform& real, std::string exe_path)
      : real_(real), system_(real.system(), std::move(exe_path)) {}
  platform::Registry& registry() override { return real_.registry(); }
  platform::Profile& profile() override { return real_.profile(); }
  platform::Files& files() override { return real_.files(); }
  platform::Shell& shell() override { return real_.shell(); }
  platform::System& system() override { return system_; }

 private:
  class AtSystem final : public platform::System {
   public:
    AtSystem(platform::System& real, std::string exe) : real_(real), exe_(std::move(exe)) {}
    std::string ExePath() override { return exe_; }
    std::vector<std::string> Arguments() override { return {}; }
    std::string SystemDirectory() override { return real_.SystemDirectory(); }
    std::string WindowsDirectory() override { return real_.WindowsDirectory(); }
    std::string Wow64SystemDirectory() override { return real_.Wow64SystemDirectory(); }
    std::optional<std::string> UserName() override { return real_.UserName(); }
    bool IsAdministrator() override { return real_.IsAdministrator(); }
    std::optional<std::string_view> Resource(const std::string& type,
                                             const std::string& name) override {
      return real_.Resource(type, name);
    }
    unsigned AnsiCodePage() override { return real_.AnsiCodePage(); }
    unsigned OemCodePage() override { return real_.OemCodePage(); }
    std::string OemToAnsi(std::string_view text) override { return real_.OemToAnsi(text); }
    std::string AnsiToOem(std::string_view text) override { return real_.AnsiToOem(text); }
    std::string Utf8ToAnsi(std::string_view text) override { return real_.Utf8ToAnsi(text); }
    std::string AnsiToUtf8(std::string_view text) override { return real_.AnsiToUtf8(text); }

   private:
    platform::System& real_;
    std::string exe_;
  };

  platform::Platform& real_;
  AtSystem system_;
};

void Pump(const std::function<bool()>& done, DWORD ms) {
  for (const DWORD start = GetTickCount(); !done() && GetTickCount() - start < ms;) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
}

// Asks gui_smoke.sh for a screenshot and waits until it is taken; without it, nothing happens.
void Screenshot(const std::string& name) {
  const char* dir = std::getenv("VL4_SMOKE_DIR");
  if (dir == nullptr || *dir == '\0') return;
  Pump([] { return false; }, 400);
  const std::string request = std::string(dir) + "/request", partial = request + ".part";
  HANDLE file = CreateFileA(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  WriteFile(file, name.data(), static_cast<DWORD>(name.size()), &written, nullptr);
  CloseHandle(file);
  ASSERT_TRUE(MoveFileExA(partial.c_str(), request.c_str(), MOVEFILE_REPLACE_EXISTING));
  Pump([&] { return GetFileAttributesA(request.c_str()) == INVALID_FILE_ATTRIBUTES; }, 30000);
}

class SetupOnScreen : public ::testing::Test {
 protected:
  SetupOnScreen() {
    platform::RemoveTree(real.files(), kBase);
    for (const char* file :
         {"VL4\\VL4Demo.exe", "VL4\\VL4Load.exe", "VL4\\VL4Res.exe", "VL4\\DELPHI7\\vl4.pas",
          "VL4\\DELPHI7\\loaddpr.dat", "VL4\\VB6\\vl4.bas", "VL4\\VB6\\loadvb.dat",
          "VL4\\LAZARUS1\\vl4.pas", "VL4\\LAZARUS1\\loadlpr.dat",
          "VL4\\SAMPLES\\DELPHI7\\hello.dpr", "Borland\\Delphi7\\Bin\\delphi32.exe",
          "Borland\\Delphi7\\Lib\\System.dcu", "Lazarus\\lazarus.exe"}) {
      Put(std::string(kBase) + "\\" + file, "x");
    }
    Put(std::string(kBase) + "\\VL4\\DELPHI7\\vl4d7tls.dpk", "package vl4d7tls;\r\nend.\r\n");
    // The stand-in compiler is built beside this test.
    const std::string standin =
        real.system().ExePath().substr(0, real.system().ExePath().rfind('\\')) + "\\vl4standin.exe";
    EXPECT_TRUE(real.files().CopyFile(
        standin, std::string(kBase) + "\\Borland\\Delphi7\\Bin\\dcc32.exe", false));
    Put(std::string(kBase) + "\\VL4\\VL.INI",
        "[Work Directory]\r\nPath=C:\\vl4gui\\Students\\Ivan\r\nLabel=Ivan Petrov\r\n");
    real.registry().WriteString(platform::RootKey::kLocalMachine, kDelphiKey, "App",
                                std::string(kBase) + "\\Borland\\Delphi7\\Bin\\delphi32.exe");
    real.registry().WriteString(platform::RootKey::kLocalMachine, kDelphiKey, "RootDir",
                                std::string(kBase) + "\\Borland\\Delphi7");
    real.registry().CreateKey(platform::RootKey::kCurrentUser, kKnownPackagesKey);
    real.registry().WriteString(platform::RootKey::kClassesRoot, kLazarusKey, "",
                                std::string(kBase) + "\\Lazarus\\lazarus.exe \"%1\"");
  }
  ~SetupOnScreen() override {
    platform::RemoveTree(real.files(), kBase);
    real.files().DeleteFile(real.system().WindowsDirectory() + "\\vl4standin.log");
    const std::pair<platform::RootKey, const char*> keys[] = {
        {platform::RootKey::kLocalMachine, kDelphiKey},
        {platform::RootKey::kLocalMachine, "\\SOFTWARE\\Veltoria 4"},
        {platform::RootKey::kCurrentUser, "\\Software\\Borland\\Delphi\\7.0"},
        {platform::RootKey::kClassesRoot, "\\LazarusUnit"}};
    for (const auto& [root, key] : keys) {
      try {
        real.registry().DeleteKey(root, key);
      } catch (const Exception&) {
      }
    }
  }

  void Put(const std::string& path, std::string_view bytes) {
    platform::ForceDirectories(real.files(), path.substr(0, path.rfind('\\')));
    real.files().OpenFile(path, platform::OpenMode::kCreate)->Write(bytes.data(), bytes.size());
  }
  static constexpr char kDelphiKey[] = "\\SOFTWARE\\Borland\\Delphi\\7.0";
  static constexpr char kKnownPackagesKey[] = "\\Software\\Borland\\Delphi\\7.0\\Known Packages";
  static constexpr char kLazarusKey[] = "\\LazarusUnit\\shell\\open\\command";
  platform::Win32Platform real;
};

TEST_F(SetupOnScreen, TheEnvironmentsPageThenTheWorkingDirectoryPage) {
  InstalledAt platform(real, std::string(kBase) + "\\VL4\\VL4Setup.exe");
  ui::Win32Backend backend;
  ui::Application app(backend);
  app.SetTitle("VL4 Setup");
  SetupWindow form(app, platform);
  app.SetMainForm(&form);
  form.StartUp();
  AboutDialog about(app);
  UserNameDialog user_name(app);
  NetOutputDialog net_output(app, platform.files());
  form.AttachDialogs(about, user_name, net_output);
  ASSERT_FALSE(form.EndedEarly());
  ASSERT_EQ(form.PageCount(), 5);

  // Start-up compiled the Delphi tools package with the stand-in compiler and registered it.
  EXPECT_TRUE(real.files().FileExists(std::string(kBase) + "\\VL4\\DELPHI7\\vl4d7tls.bpl"));
  EXPECT_TRUE(
      real.files().FileExists(std::string(kBase) + "\\Borland\\Delphi7\\Lib\\vl4d7tls.bpl"));
  EXPECT_EQ(
      real.registry().ReadString(platform::RootKey::kCurrentUser, kKnownPackagesKey,
                                 std::string(kBase) + "\\Borland\\Delphi7\\Lib\\vl4d7tls.bpl"),
      "VL4 Tools for Delphi 7");
  const std::string installed =
      "Veltoria can be used with Borland Delphi 7.\r\nThe Veltoria tools are installed\r\ninto the "
      "menu \"Tools\" of the Borland Delphi 7 IDE.";

  form.Show();
  Pump([] { return false; }, 300);
  EXPECT_EQ(form.CurrentPage(), 1);
  EXPECT_EQ(form.LabelEnvsStatus.Caption(), installed);
  Screenshot("setup-environments");

  form.ShowPage(2);
  Pump([] { return false; }, 300);
  EXPECT_EQ(form.HeaderLabel.Caption(), "Veltoria setup for Borland Delphi 7");
  EXPECT_EQ(form.Envs().Row(7).page->Status.Caption(), installed);
  Screenshot("setup-delphi7");

  // A real click on Next reaches the working directory page.
  HWND next = backend.WindowOf(form.ButtonNext);
  ASSERT_NE(next, nullptr);
  PostMessageA(next, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  PostMessageA(next, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  Pump([&] { return form.CurrentPage() == 5; }, 5000);
  ASSERT_EQ(form.CurrentPage(), 5);
  EXPECT_EQ(form.ComboEnvironment.Items(),
            (std::vector<std::string>{"Borland Delphi 7", "Free Pascal Lazarus 0.9"}));
  EXPECT_EQ(form.LabelWorkStatus.GetFont().color, ui::kBlack);
  EXPECT_EQ(form.ButtonExit.Caption(), "Finish");
  EXPECT_TRUE(form.ButtonSamples.Visible());
  EXPECT_EQ(form.SampleList(), std::vector<std::string>{"hello.dpr"});
  Screenshot("setup-working-directory");

  form.Close();
  EXPECT_TRUE(real.files().FileExists(std::string(kBase) + "\\Students\\Ivan\\results.dat"));
  EXPECT_TRUE(real.files().FileExists(std::string(kBase) + "\\Students\\Ivan\\Demo.lnk"));
  EXPECT_TRUE(real.files().FileExists(std::string(kBase) + "\\VL4\\VL.INI"));
}

}  // namespace
}  // namespace vl4
