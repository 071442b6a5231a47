// The Win32 backend on screen: a form with every kind of control, driven with input posted to
// its real windows (which the backend's loop routes through the form's keyboard preview), its
// model checked after each step, and screenshots taken (see gui_smoke.sh).
#include <gtest/gtest.h>

#include <windows.h>  // before the other Windows headers, which need its types

#include <commctrl.h>

#include <cstdlib>
#include <functional>
#include <string>

#include "ui/controls.h"
#include "ui/form.h"
#include "ui/win32/win32_backend.h"

namespace vl4::ui {
namespace {

class SmokeForm : public Form {
 public:
  explicit SmokeForm(Application& app) : Form(app, "SmokeForm") {
    SetCaption("VL4 Setup");
    SetBorderStyle(BorderStyle::kDialog);
    SetMaximizeBox(false);
    SetClientWidth(560);
    SetClientHeight(380);
    SetPosition(FormPosition::kScreenCenter);
    SetKeyPreview(true);
    OnKeyDown = [this](Control&, uint16_t& key, unsigned) {
      if (key == kKeyF2) {
        ++f2_presses;
        key = 0;
      }
    };

    const Font title{"Arial", 27, true, true, kDarkBlue};
    Shadow.SetFont({"Arial", 27, true, true, kGray});
    Shadow.SetTransparent(true);
    Shadow.SetBounds(14, 7, 0, 32);
    Shadow.SetCaption("Veltoria 4");
    Title.SetFont(title);
    Title.SetTransparent(true);
    Title.SetBounds(12, 6, 0, 32);
    Title.SetCaption("Veltoria 4");
    Author.SetFont({"Arial", 13, false, false, kDarkBlue});
    Author.SetAlignment(Alignment::kRight);
    Author.SetBounds(300, 24, 248, 16);
    Author.SetCaption("Right-aligned author line");
    Line.SetBounds(8, 42, 544, 4);

    Prompt.SetBounds(12, 56, 150, 16);
    Prompt.SetCaption("Destination:");
    Path.SetBounds(120, 52, 320, 22);
    Path.SetMaxLength(25);
    Path.OnChange = [this](Control&) { ++path_changes; };
    Path.SetHint("A hint for the path");
    Browse.SetBounds(450, 50, 98, 26);
    Browse.SetCaption("Browse...");
    Browse.OnClick = [this](Control&) { ++browse_clicks; };

    List.SetBounds(12, 86, 260, 100);
    for (const char* e : {"Borland Delphi 7", "Microsoft Visual Basic 6", "Free Pascal Lazarus"}) {
      List.AddItem(e);
    }
    List.SetChecked(0, true);
    List.OnClickCheck = [this](Control&) { ++check_clicks; };
    Environments.SetBounds(290, 86, 258, 22);
    for (const char* e : {"Not defined", "Borland Delphi 7", "Microsoft Visual Basic 6"}) {
      Environments.AddItem(e);
    }
    Environments.SetItemIndex(0);
    Environments.OnChange = [this](Control&) { ++combo_changes; };
    Local.SetBounds(290, 118, 258, 20);
    Local.SetCaption("Use a local output directory");
    Header.SetBounds(290, 146, 258, 40);
    Header.SetCaption("A static text that wraps its words over two lines of the form.");

    Pages.SetBounds(12, 196, 536, 60);
    First.SetCaption("First");
    Second.SetCaption("Second");
    Status.SetBounds(0, 4, 536, 36);
    Status.SetAlignment(Alignment::kCenter);
    Status.SetAutoSize(false);
    Status.SetFont({"MS Sans Serif", 15});
    Status.SetFontColor(kRed);
    Status.SetCaption("\r\nA file of results is not found at the working directory.");
    OnSecond.SetBounds(0, 10, 200, 26);
    OnSecond.SetCaption("On the second page");
    Pages.SetActivePage(&First);

    Text.SetBounds(12, 262, 536, 60);
    Text.SetReadOnly(true);
    Text.SetVerticalScrollBar(true);
    Text.SetLines({"A read-only memo with word wrap and a vertical scroll bar.",
                   "- a list item on its own line"});

    Bottom.SetBounds(0, 330, 560, 50);
    Bottom.SetAlign(Align::kBottom);
    Bottom.SetBevelWidth(2);
    Progress.SetBounds(8, 14, 300, 20);
    Progress.SetRange(0, 155);
    Progress.SetPosition(45);
    Install.SetBounds(380, 11, 80, 27);
    Install.SetCaption("Install");
    Install.SetDefault(true);
    Install.OnClick = [this](Control&) { ++install_clicks; };
    Exit.SetBounds(470, 11, 80, 27);
    Exit.SetCaption("Exit");
    Exit.OnClick = [this](Control&) { Close(); };

    Tick.SetEnabled(false);
    Tick.SetInterval(50);
    Tick.OnTimer = [this](Control&) {
      ++ticks;
      Tick.SetEnabled(false);
    };
    for (const char* page : {"Veltoria setup for available IDEs", "Working directory setup"}) {
      MenuItem& item = Menu.Add(page);
      item.SetRadioItem(true);
      item.SetTag(Menu.Count());
      item.OnClick = [this](MenuItem& chosen) {
        chosen.SetChecked(true);
        Pages.SetActivePage(chosen.Tag() == 1 ? &First : &Second);
      };
    }
    Menu.Item(0).SetChecked(true);
    SetPopupMenu(&Menu);
    SetActiveControl(&Path);
  }

  Label Shadow{this, "Label2"};
  Label Title{this, "Label1"};
  Label Author{this, "Label4"};
  Bevel Line{this, "Bevel1"};
  Label Prompt{this, "Label5"};
  Edit Path{this, "Edit1"};
  Button Browse{this, "Button1"};
  CheckListBox List{this, "CheckListBox1"};
  ComboBox Environments{this, "ComboBox1"};
  CheckBox Local{this, "CheckBox1"};
  StaticText Header{this, "StaticText1"};
  PageControl Pages{this, "PageControl1"};
  TabSheet First{&Pages, "TabSheet1"};
  TabSheet Second{&Pages, "TabSheet2"};
  Label Status{&First, "Status"};
  Button OnSecond{&Second, "Button6"};
  Memo Text{this, "Memo1"};
  Panel Bottom{this, "Panel1"};
  ProgressBar Progress{&Bottom, "ProgressBar1"};
  Button Install{&Bottom, "Button4"};
  Button Exit{&Bottom, "Button5"};
  Timer Tick{this, "Timer1"};
  PopupMenu Menu{this, "PopupMenu1"};

  int f2_presses = 0, path_changes = 0, browse_clicks = 0, check_clicks = 0, combo_changes = 0,
      install_clicks = 0, ticks = 0;
};

// A small dialog shown modally over the form.
class NameDialog : public Form {
 public:
  explicit NameDialog(Application& app) : Form(app, "NameDialog") {
    SetCaption("Creation of the results file");
    SetBorderStyle(BorderStyle::kDialog);
    SetClientWidth(300);
    SetClientHeight(90);
    SetPosition(FormPosition::kScreenCenter);
    Name.SetBounds(10, 10, 280, 22);
    Name.SetMaxLength(25);
    Name.OnChange = [this](Control&) { OK.SetEnabled(!Name.Text().empty()); };
    OK.SetBounds(130, 50, 75, 27);
    OK.SetCaption("OK");
    OK.SetDefault(true);
    OK.SetModalResult(ModalResult::kOK);
    OK.SetEnabled(false);
    Cancel.SetBounds(215, 50, 75, 27);
    Cancel.SetCaption("Cancel");
    Cancel.SetCancel(true);
    Cancel.SetModalResult(ModalResult::kCancel);
  }
  Edit Name{this, "Edit1"};
  Button OK{this, "Button1"};
  Button Cancel{this, "Button2"};
};

bool PumpUntil(Backend& ui, const std::function<bool()>& done, DWORD timeout_ms = 5000) {
  const DWORD start = GetTickCount();
  while (!done()) {
    ui.ProcessMessages();
    if (GetTickCount() - start > timeout_ms) return false;
    Sleep(5);
  }
  return true;
}

void Settle(Backend& ui) {
  PumpUntil(
      ui, [] { return false; }, 150);
}

// Asks gui_smoke.sh for a screenshot of the screen and waits until it is taken, keeping the
// windows painted meanwhile. Without the script (VL4_SMOKE_DIR unset) nothing happens.
void Screenshot(const std::string& name) {
  const char* dir = std::getenv("VL4_SMOKE_DIR");
  if (dir == nullptr || *dir == '\0') return;
  // Let the windows finish painting first.
  for (const DWORD start = GetTickCount(); GetTickCount() - start < 300;) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
  const std::string request = std::string(dir) + "/request", partial = request + ".part";
  HANDLE file = CreateFileA(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  WriteFile(file, name.data(), static_cast<DWORD>(name.size()), &written, nullptr);
  CloseHandle(file);
  ASSERT_TRUE(MoveFileExA(partial.c_str(), request.c_str(), MOVEFILE_REPLACE_EXISTING));
  const DWORD start = GetTickCount();
  while (GetFileAttributesA(request.c_str()) != INVALID_FILE_ATTRIBUTES) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    ASSERT_LT(GetTickCount() - start, 30000u) << "no screenshot taken: " << name;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
  }
}

void Click(HWND hwnd, int x = 5, int y = 5) {
  PostMessageA(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
  PostMessageA(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}

void Key(HWND hwnd, WPARAM key) {
  PostMessageA(hwnd, WM_KEYDOWN, key, 1);
  PostMessageA(hwnd, WM_KEYUP, key, 1 | (1u << 30) | (1u << 31));
}

std::string TextOf(HWND hwnd) {
  char text[256] = {};
  GetWindowTextA(hwnd, text, sizeof text);
  return text;
}

struct Box {
  std::string repeat, next;
};

// Answers the message box that is up with its Next button, after reading its buttons and
// asking for a screenshot of it.
Box* current_box = nullptr;
void CALLBACK AnswerBox(HWND, UINT, UINT_PTR id, DWORD) {
  HWND box = FindWindowA("#32770", "Warning");
  if (box == nullptr) return;
  KillTimer(nullptr, id);
  char text[64] = {};
  GetDlgItemTextA(box, IDRETRY, text, sizeof text);
  current_box->repeat = text;
  GetDlgItemTextA(box, IDCANCEL, text, sizeof text);
  current_box->next = text;
  Screenshot("ui_smoke_message");
  PostMessageA(box, WM_COMMAND, IDCANCEL, 0);
}

TEST(Win32Smoke, FormWithEveryControlFollowsRealInput) {
  Win32Backend ui;
  Application app(ui);
  SmokeForm form(app);
  app.SetMainForm(&form);
  form.Show();
  HWND window = ui.WindowOf(form);
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(PumpUntil(ui, [&] { return IsWindowVisible(window) != FALSE; }));
  Settle(ui);

  // Model and window agree on the frame and the client area; labels have no window.
  RECT r;
  GetWindowRect(window, &r);
  EXPECT_EQ((Rect{r.left, r.top, r.right - r.left, r.bottom - r.top}), form.BoundsRect());
  GetClientRect(window, &r);
  EXPECT_EQ(r.right, 560);
  EXPECT_EQ(r.bottom, 380);
  EXPECT_EQ(ui.WindowOf(form.Title), nullptr);
  EXPECT_EQ(TextOf(ui.WindowOf(form.Install)), "Install");
  EXPECT_GT(form.Title.Width(), ui.TextWidth({"Arial", 27}, "Veltoria"));  // auto-sized
  EXPECT_EQ(GetFocus(), ui.WindowOf(form.Path));

  // Typing into the edit, a key seen by the form first, Tab, Enter on the default button.
  HWND path = ui.WindowOf(form.Path);
  for (char c : std::string("C:\\VL4")) PostMessageA(path, WM_CHAR, static_cast<WPARAM>(c), 1);
  Key(path, VK_F2);
  ASSERT_TRUE(PumpUntil(ui, [&] { return form.f2_presses == 1; }));
  EXPECT_EQ(form.Path.Text(), "C:\\VL4");
  EXPECT_EQ(form.path_changes, 6);
  Key(path, VK_RETURN);
  ASSERT_TRUE(PumpUntil(ui, [&] { return form.install_clicks == 1; }));
  Key(path, VK_TAB);
  ASSERT_TRUE(PumpUntil(ui, [&] { return form.ActiveControl() == &form.Browse; }));
  EXPECT_EQ(GetFocus(), ui.WindowOf(form.Browse));

  // A mouse click on a button, on a check box, on an entry's check mark of the check list.
  Click(ui.WindowOf(form.Browse));
  ASSERT_TRUE(PumpUntil(ui, [&] { return form.browse_clicks == 1; }));
  Click(ui.WindowOf(form.Local));
  ASSERT_TRUE(PumpUntil(ui, [&] { return form.Local.Checked(); }));
  HWND list = ui.WindowOf(form.List);
  const auto item_height = static_cast<int>(SendMessageA(list, LB_GETITEMHEIGHT, 0, 0));
  Click(list, 8, item_height + item_height / 2);
  ASSERT_TRUE(PumpUntil(ui, [&] { return form.check_clicks == 1; }));
  EXPECT_TRUE(form.List.Checked(1));
  EXPECT_EQ(form.List.ItemIndex(), 1);
  EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), 1);
  Key(list, VK_SPACE);  // the space toggles the selected entry
  ASSERT_TRUE(PumpUntil(ui, [&] { return form.check_clicks == 2; }));
  EXPECT_FALSE(form.List.Checked(1));
  Click(list, 8, item_height + item_height / 2);
  ASSERT_TRUE(PumpUntil(ui, [&] { return form.check_clicks == 3; }));

  // A choice in the drop-down list by keyboard.
  form.Environments.SetFocus();
  Key(ui.WindowOf(form.Environments), VK_DOWN);
  ASSERT_TRUE(PumpUntil(ui, [&] { return form.combo_changes == 1; }));
  EXPECT_EQ(form.Environments.Text(), "Borland Delphi 7");

  // The popup menu's radio items, chosen with the keyboard; the pages follow.
  EXPECT_TRUE(IsWindowVisible(ui.WindowOf(form.First)));
  PostMessageA(window, WM_KEYDOWN, VK_DOWN, 1);
  PostMessageA(window, WM_KEYDOWN, VK_DOWN, 1);
  PostMessageA(window, WM_KEYDOWN, VK_RETURN, 1);
  SendMessageA(window, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(window), MAKELPARAM(200, 200));
  ASSERT_TRUE(PumpUntil(ui, [&] { return form.Menu.Item(1).Checked(); }));
  EXPECT_FALSE(form.Menu.Item(0).Checked());
  EXPECT_TRUE(IsWindowVisible(ui.WindowOf(form.OnSecond)));
  EXPECT_FALSE(IsWindowVisible(ui.WindowOf(form.First)));
  form.Pages.SetActivePage(&form.First);

  // Model to window.
  form.Progress.SetPosition(90);
  EXPECT_EQ(SendMessageA(ui.WindowOf(form.Progress), PBM_GETPOS, 0, 0), 90);
  form.Browse.SetEnabled(false);
  EXPECT_FALSE(IsWindowEnabled(ui.WindowOf(form.Browse)));
  form.Browse.SetEnabled(true);
  form.Environments.AddItem("Microsoft Visual C# .NET 2008");
  EXPECT_EQ(SendMessageA(ui.WindowOf(form.Environments), CB_GETCOUNT, 0, 0), 4);
  form.Tick.SetEnabled(true);
  ASSERT_TRUE(PumpUntil(ui, [&] { return form.ticks == 1; }));

  // The user resizes nothing here, but moves the window: the model follows.
  SetWindowPos(window, nullptr, 10, 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  EXPECT_EQ(form.Left(), 10);
  EXPECT_EQ(form.Top(), 20);
  form.SetPosition(FormPosition::kScreenCenter);
  const Size screen = ui.ScreenSize();
  form.SetBounds((screen.width - form.Width()) / 2, (screen.height - form.Height()) / 2,
                 form.Width(), form.Height());
  Settle(ui);
  Screenshot("ui_smoke");

  // A modal dialog, typed into and confirmed while the form waits disabled.
  NameDialog dialog(app);
  bool owner_disabled = false;
  dialog.OnActivate = [&](Control&) {
    owner_disabled = !IsWindowEnabled(window);
    HWND name = ui.WindowOf(dialog.Name);
    for (char c : std::string("Ann Lee")) PostMessageA(name, WM_CHAR, static_cast<WPARAM>(c), 1);
    Key(name, VK_RETURN);
  };
  EXPECT_EQ(dialog.ShowModal(), ModalResult::kOK);
  EXPECT_EQ(dialog.Name.Text(), "Ann Lee");
  EXPECT_TRUE(owner_disabled);
  EXPECT_TRUE(IsWindowEnabled(window));
  EXPECT_FALSE(IsWindowVisible(ui.WindowOf(dialog)));

  // The Repeat/Next question is the system's box with renamed buttons.
  Box box;
  current_box = &box;
  SetTimer(nullptr, 0, 100, AnswerBox);
  EXPECT_EQ(app.MessageDlg("Could not update the \"C:\\VL4\\x.dll\" file.", MsgKind::kWarning,
                           MsgButtons::kRepeatNext),
            ModalResult::kNext);
  EXPECT_EQ(box.repeat, "&Repeat");
  EXPECT_EQ(box.next, "&Next");

  // Closing the main window ends the application's loop.
  PostMessageA(window, WM_CLOSE, 0, 0);
  app.Run(form);
  EXPECT_TRUE(app.Terminated());
  EXPECT_FALSE(form.Visible());
  EXPECT_FALSE(IsWindowVisible(window));
}

// The text viewer's shape: a sizeable window whose memo fills what the bottom panel leaves and
// whose OK button keeps its distance to the right edge.
class Viewer : public Form {
 public:
  explicit Viewer(Application& app) : Form(app, "Viewer") {
    SetCaption("License agreement [license.txt]");
    SetClientWidth(696);
    SetClientHeight(480);
    SetMinimumSize({300, 300});
    Bottom.SetHeight(46);
    Bottom.SetAlign(Align::kBottom);
    Text.SetAlign(Align::kClient);
    Text.SetReadOnly(true);
    Text.SetVerticalScrollBar(true);
    Text.SetLines({"First paragraph of the licence."});
    OK.SetBounds(696 - 15 - 75, 10, 75, 25);
    OK.SetAnchors(kAnchorTop | kAnchorRight);
    OK.SetCaption("OK");
  }
  Panel Bottom{this, "Panel1"};
  Memo Text{this, "Memo1"};
  Button OK{&Bottom, "Button1"};
};

TEST(Win32Smoke, ResizingTheWindowLaysTheModelOut) {
  Win32Backend ui;
  Application app(ui);
  Viewer viewer(app);
  viewer.Show();
  HWND window = ui.WindowOf(viewer);
  ASSERT_TRUE(PumpUntil(ui, [&] { return IsWindowVisible(window) != FALSE; }));
  SetWindowPos(window, nullptr, 0, 0, viewer.Width() + 100, viewer.Height() - 80,
               SWP_NOMOVE | SWP_NOZORDER);
  EXPECT_EQ(viewer.ClientWidth(), 796);
  EXPECT_EQ(viewer.ClientHeight(), 400);
  EXPECT_EQ(viewer.Text.BoundsRect(), (Rect{0, 0, 796, 400 - 46}));
  RECT r;
  GetWindowRect(ui.WindowOf(viewer.Text), &r);
  EXPECT_EQ(r.right - r.left, 796);
  GetWindowRect(ui.WindowOf(viewer.OK), &r);
  POINT ok{r.right, r.top};
  ScreenToClient(ui.WindowOf(viewer.Bottom), &ok);
  EXPECT_EQ(ok.x, 796 - 15);
  SetWindowPos(window, nullptr, 0, 0, 100, 100, SWP_NOMOVE | SWP_NOZORDER);
  EXPECT_EQ(viewer.Width(), 300);
  EXPECT_EQ(viewer.Height(), 300);
}

// The dialogs of the system, answered by a timer that finds them on the screen.
struct DialogScript {
  int stage = 0;
  std::string typed;  // what to type into the folder browser's edit box
  bool saw_question = false;
};
DialogScript* dialog_script = nullptr;

struct ClassSearch {
  const char* window_class;
  HWND found = nullptr;
};

BOOL CALLBACK MatchClass(HWND child, LPARAM data) {
  auto* search = reinterpret_cast<ClassSearch*>(data);
  char name[64] = {};
  GetClassNameA(child, name, sizeof name);
  if (lstrcmpiA(name, search->window_class) != 0) return TRUE;
  search->found = child;
  return FALSE;
}

HWND FindChildOfClass(HWND parent, const char* window_class) {
  ClassSearch search{window_class};
  EnumChildWindows(parent, MatchClass, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

void CALLBACK DriveFolderBrowser(HWND, UINT, UINT_PTR id, DWORD) {
  HWND dialog = GetForegroundWindow();
  char name[16] = {};
  GetClassNameA(dialog, name, sizeof name);
  if (lstrcmpA(name, "#32770") != 0) return;
  if (dialog_script->stage == 0 && FindChildOfClass(dialog, "SysTreeView32") != nullptr) {
    HWND edit = FindChildOfClass(dialog, "Edit");
    if (edit == nullptr) return;
    dialog_script->stage = -1;  // the screenshot's wait lets this timer come again meanwhile
    Screenshot("ui_smoke_directory");
    SetFocus(edit);  // as a user typing
    SetWindowTextA(edit, dialog_script->typed.c_str());
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    dialog_script->stage = 1;
  } else if (dialog_script->stage == 1 && GetDlgItem(dialog, IDYES) != nullptr) {
    char text[256] = {};
    GetWindowTextA(dialog, text, sizeof text);
    dialog_script->saw_question = std::string(text) == "Confirm";
    PostMessageA(dialog, WM_COMMAND, IDYES, 0);
    KillTimer(nullptr, id);
  }
}

void CALLBACK CancelFileDialog(HWND, UINT, UINT_PTR id, DWORD) {
  HWND dialog = GetForegroundWindow();
  char name[16] = {};
  GetClassNameA(dialog, name, sizeof name);
  if (lstrcmpA(name, "#32770") != 0) return;
  KillTimer(nullptr, id);
  PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
}

TEST(Win32Dialogs, FolderBrowserCreatesATypedDirectoryAfterAsking) {
  Win32Backend ui;
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  const std::string parent = std::string(temp) + "vl4_smoke_browse";
  const std::string typed = parent + "\\new\\deeper";
  RemoveDirectoryA((parent + "\\new\\deeper").c_str());
  RemoveDirectoryA((parent + "\\new").c_str());
  CreateDirectoryA(parent.c_str(), nullptr);

  DialogScript script;
  script.typed = typed;
  dialog_script = &script;
  const UINT_PTR timer = SetTimer(nullptr, 0, 200, DriveFolderBrowser);
  const std::optional<std::string> chosen =
      ui.SelectDirectory({"Select the working directory", parent, true, {}, {}});
  KillTimer(nullptr, timer);
  EXPECT_EQ(chosen, typed);
  EXPECT_TRUE(script.saw_question);
  const DWORD attributes = GetFileAttributesA(typed.c_str());
  EXPECT_TRUE(attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY));
  RemoveDirectoryA(typed.c_str());
  RemoveDirectoryA((parent + "\\new").c_str());
  RemoveDirectoryA(parent.c_str());

  SetTimer(nullptr, 0, 200, CancelFileDialog);
  EXPECT_EQ(ui.OpenFile({"Open", "Zip Files (*.ZIP)|*.zip|All Files (*.*)|*.*", temp, ""}),
            std::nullopt);
}

}  // namespace
}  // namespace vl4::ui
