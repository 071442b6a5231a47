// vl4guidriver: plays the student at the real installer's windows (Windows build, under Wine):
// it waits for each window of the road, asks for a screenshot of it and acts on it with input
// sent to its real controls: Install on the wizard, the environment window down to Delphi 7 and
// Visual Basic 6, OK on the completion message, and closes the setup tool the installer launched.
// Screenshots are taken by gui_road.sh: the driver writes a shot's name into <folder>\request and
// waits until the file is gone.
//   vl4guidriver <screenshot folder>
#include <windows.h>  // first: the other Windows headers need its types

#include <commctrl.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

std::string shots;

void Log(const std::string& what) {
  std::printf("driver: %s\n", what.c_str());
  std::fflush(stdout);
}

bool WaitFor(const std::function<bool()>& done, DWORD ms) {
  for (const DWORD start = GetTickCount(); GetTickCount() - start < ms; Sleep(20)) {
    if (done()) return true;
  }
  return done();
}

void Screenshot(const std::string& name) {
  const std::string request = shots + "\\request", partial = request + ".part";
  HANDLE file = CreateFileA(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(file, name.data(), static_cast<DWORD>(name.size()), &written, nullptr);
  CloseHandle(file);
  MoveFileExA(partial.c_str(), request.c_str(), MOVEFILE_REPLACE_EXISTING);
  WaitFor([&] { return GetFileAttributesA(request.c_str()) == INVALID_FILE_ATTRIBUTES; }, 30000);
  Log("screenshot " + name);
}

std::string TextOf(HWND hwnd) {
  char text[512] = {};
  GetWindowTextA(hwnd, text, sizeof text);
  return text;
}

std::string ClassOf(HWND hwnd) {
  char name[128] = {};
  GetClassNameA(hwnd, name, sizeof name);
  return name;
}

struct WindowSearch {
  const std::string* caption;
  DWORD process;
  HWND found;
};

// Enumeration callbacks are named functions: the 32-bit build needs their stdcall convention.
BOOL CALLBACK MatchTopWindow(HWND hwnd, LPARAM param) {
  auto* s = reinterpret_cast<WindowSearch*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  if (!IsWindowVisible(hwnd) || TextOf(hwnd) != *s->caption) return TRUE;
  if (s->process != 0 && pid != s->process) return TRUE;
  s->found = hwnd;
  return FALSE;
}

BOOL CALLBACK CollectChild(HWND hwnd, LPARAM param) {
  reinterpret_cast<std::vector<HWND>*>(param)->push_back(hwnd);
  return TRUE;
}

// A visible top-level window with this caption (and of this process, when given).
HWND TopWindow(const std::string& caption, DWORD process = 0) {
  WindowSearch search{&caption, process, nullptr};
  EnumWindows(MatchTopWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::vector<HWND> Children(HWND parent) {
  std::vector<HWND> out;
  EnumChildWindows(parent, CollectChild, reinterpret_cast<LPARAM>(&out));
  return out;
}

HWND Child(HWND parent, const std::function<bool(HWND)>& match) {
  for (HWND hwnd : Children(parent)) {
    if (match(hwnd)) return hwnd;
  }
  return nullptr;
}

// A user's click on a button.
bool Click(HWND window, const std::string& caption) {
  HWND button = Child(window, [&](HWND h) { return TextOf(h) == caption; });
  if (button == nullptr) return false;
  PostMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  PostMessageA(button, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  return true;
}

int Fail(const std::string& what) {
  Log("FAILED: " + what);
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: vl4guidriver <screenshot folder>\n");
    return 2;
  }
  shots = argv[1];

  // The wizard.
  HWND wizard = nullptr;
  if (!WaitFor([&] { return (wizard = TopWindow("RA4Zuva-250 Install")) != nullptr; }, 60000)) {
    return Fail("no install wizard");
  }
  DWORD installer = 0;
  const DWORD gui_thread = GetWindowThreadProcessId(wizard, &installer);
  Sleep(500);
  Screenshot("install-wizard");
  if (!Click(wizard, "Install")) return Fail("no Install button");

  // The environment window: only Delphi 7 and Visual Basic 6 stay ticked.
  HWND envs = nullptr;
  if (!WaitFor([&] { return (envs = TopWindow("Environments", installer)) != nullptr; }, 20000)) {
    return Fail("no environment window");
  }
  Sleep(300);
  HWND list = Child(envs, [](HWND h) { return ClassOf(h) == "ListBox"; });
  if (list == nullptr) return Fail("no check list");
  const int count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
  const int height = static_cast<int>(SendMessageA(list, LB_GETITEMHEIGHT, 0, 0));
  for (int i = 0; i < count; ++i) {
    if (i == 4 || i == 8) continue;  // Borland Delphi 7, Microsoft Visual Basic 6
    SendMessageA(list, LB_SETTOPINDEX, i, 0);
    const int top = static_cast<int>(SendMessageA(list, LB_GETTOPINDEX, 0, 0));
    const LPARAM at = MAKELPARAM(5, (i - top) * height + height / 2);
    SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(list, WM_LBUTTONUP, 0, at);
  }
  SendMessageA(list, LB_SETTOPINDEX, 0, 0);
  Sleep(300);
  Screenshot("install-environments");
  if (!Click(envs, "OK")) return Fail("no OK button on the environment window");

  // The progress window: caught once the data is unpacked and the shortcuts are being made, and
  // held still (its thread suspended) for the screenshot.
  HWND progress_bar = nullptr;
  auto find_bar = [&] {
    for (HWND top = GetTopWindow(nullptr); top != nullptr; top = GetWindow(top, GW_HWNDNEXT)) {
      DWORD pid = 0;
      GetWindowThreadProcessId(top, &pid);
      if (pid != installer || !IsWindowVisible(top)) continue;
      progress_bar = Child(top, [](HWND h) { return ClassOf(h) == PROGRESS_CLASSA; });
      if (progress_bar != nullptr) return true;
    }
    return false;
  };
  bool held = false;
  if (WaitFor(find_bar, 20000)) {
    WaitFor(
        [&] {
          DWORD_PTR position = 0;
          if (!IsWindowVisible(progress_bar)) return true;
          SendMessageTimeoutA(progress_bar, PBM_GETPOS, 0, 0, SMTO_ABORTIFHUNG, 200, &position);
          if (position < 100) return false;
          HANDLE thread = OpenThread(THREAD_SUSPEND_RESUME, FALSE, gui_thread);
          if (thread == nullptr) return true;
          SuspendThread(thread);
          Screenshot("install-progress");
          ResumeThread(thread);
          CloseHandle(thread);
          held = true;
          return true;
        },
        20000);
  }
  if (!held) Log("the progress window went by too fast for a screenshot");

  // The completion message.
  HWND message = nullptr;
  if (!WaitFor([&] { return (message = TopWindow("Information", installer)) != nullptr; }, 60000)) {
    return Fail("no completion message");
  }
  Sleep(300);
  Screenshot("install-complete");
  PostMessageA(message, WM_COMMAND, IDOK, 0);

  // The setup tool the installer launched, once the installer has ended: shown, then closed by
  // the student.
  WaitFor([&] { return !IsWindow(wizard); }, 20000);
  HWND setup = nullptr;
  if (!WaitFor([&] { return (setup = TopWindow("VL4 Setup")) != nullptr; }, 120000)) {
    return Fail("the setup tool did not come up");
  }
  Sleep(1000);
  Screenshot("install-setup-tool");
  PostMessageA(setup, WM_CLOSE, 0, 0);
  WaitFor([&] { return !IsWindow(setup); }, 20000);
  Log("done");
  return 0;
}
