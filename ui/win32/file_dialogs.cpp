// The shell's folder browser and the common open-file dialog.
#include "ui/win32/file_dialogs.h"

#include <commctrl.h>
#include <commdlg.h>
#include <shlobj.h>

#include <vector>

#include "ui/win32/message_box.h"

namespace vl4::ui {
namespace {

struct BrowseState {
  const DirectoryRequest* request;
  std::string selected;              // the folder selected in the tree
  HWND edit = nullptr;               // the edit box of a chooser that may create a directory
  bool typed_by_user = false;        // the edit box holds what the user typed, not the selection
  std::optional<std::string> typed;  // the typed directory chosen
};

bool DirectoryExists(const DirectoryRequest& request, const std::string& path) {
  if (request.exists) return request.exists(path);
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool CreateDirectoryWithParents(const DirectoryRequest& request, const std::string& path) {
  if (request.create) return request.create(path);
  const int result = SHCreateDirectoryExA(nullptr, path.c_str(), nullptr);
  return result == ERROR_SUCCESS || result == ERROR_ALREADY_EXISTS;
}

// A typed name is taken relative to the folder selected in the tree unless it is absolute.
std::string Absolute(const std::string& typed, const std::string& selected) {
  if (typed.size() >= 2 && (typed[1] == ':' || (typed[0] == '\\' && typed[1] == '\\'))) {
    return typed;
  }
  if (!typed.empty() && typed[0] == '\\') return selected.substr(0, 2) + typed;
  if (selected.empty()) return typed;
  return selected.back() == '\\' ? selected + typed : selected + "\\" + typed;
}

std::string Trimmed(std::string text) {
  text.erase(0, text.find_first_not_of(' '));
  text.erase(text.find_last_not_of(' ') + 1);
  return text;
}

BOOL CALLBACK TakeEditBox(HWND child, LPARAM found) {
  char name[16] = {};
  GetClassNameA(child, name, sizeof name);
  if (lstrcmpiA(name, "Edit") != 0) return TRUE;
  *reinterpret_cast<HWND*>(found) = child;
  return FALSE;
}

HWND FindEditBox(HWND dialog) {
  HWND found = nullptr;
  EnumChildWindows(dialog, TakeEditBox, reinterpret_cast<LPARAM>(&found));
  return found;
}

// OK with a typed directory: the chooser takes it itself (asking before it creates a directory)
// rather than leaving it to the shell, whose validation of typed names not every system has.
LRESULT CALLBACK BrowseDialogProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam,
                                  UINT_PTR /*id*/, DWORD_PTR data) {
  auto* state = reinterpret_cast<BrowseState*>(data);
  if (message == WM_COMMAND && reinterpret_cast<HWND>(lparam) == state->edit &&
      HIWORD(wparam) == EN_CHANGE) {
    state->typed_by_user = GetFocus() == state->edit;
  } else if (message == WM_COMMAND && LOWORD(wparam) == IDOK && state->typed_by_user) {
    char text[MAX_PATH] = {};
    GetWindowTextA(state->edit, text, sizeof text);
    const std::string typed = Trimmed(text);
    if (!typed.empty()) {
      const std::string path = Absolute(typed, state->selected);
      if (!DirectoryExists(*state->request, path)) {
        if (ShowMessageBox(dialog, "The directory \"" + path + "\" does not exist. Create it?",
                           "Confirm", MsgKind::kConfirmation,
                           MsgButtons::kYesNo) != ModalResult::kYes) {
          return 0;  // the chooser stays open
        }
        CreateDirectoryWithParents(*state->request, path);
      }
      state->typed = path;
      EndDialog(dialog, 0);
      return 0;
    }
  } else if (message == WM_NCDESTROY) {
    RemoveWindowSubclass(dialog, BrowseDialogProc, 1);
  }
  return DefSubclassProc(dialog, message, wparam, lparam);
}

int CALLBACK BrowseCallback(HWND dialog, UINT message, LPARAM lparam, LPARAM data) {
  auto* state = reinterpret_cast<BrowseState*>(data);
  if (message == BFFM_INITIALIZED) {
    if (!state->request->start.empty()) {
      SendMessageA(dialog, BFFM_SETSELECTIONA, TRUE,
                   reinterpret_cast<LPARAM>(state->request->start.c_str()));
    }
    if (state->request->allow_create) {
      state->edit = FindEditBox(dialog);
      if (state->edit != nullptr) {
        SetWindowSubclass(dialog, BrowseDialogProc, 1, reinterpret_cast<DWORD_PTR>(state));
      }
    }
  } else if (message == BFFM_SELCHANGED) {
    char path[MAX_PATH] = {};
    state->selected =
        SHGetPathFromIDListA(reinterpret_cast<PCIDLIST_ABSOLUTE>(lparam), path) ? path : "";
    state->typed_by_user = false;
  }
  return 0;
}

}  // namespace

std::optional<std::string> BrowseForDirectory(HWND owner, const DirectoryRequest& request) {
  BrowseState state{&request, request.start, nullptr, false, std::nullopt};
  BROWSEINFOA info{};
  info.hwndOwner = owner;
  info.lpszTitle = request.caption.c_str();
  info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
  info.ulFlags |= request.allow_create ? BIF_EDITBOX : BIF_NONEWFOLDERBUTTON;
  info.lpfn = BrowseCallback;
  info.lParam = reinterpret_cast<LPARAM>(&state);
  PIDLIST_ABSOLUTE chosen = SHBrowseForFolderA(&info);
  if (chosen == nullptr) return state.typed;
  char path[MAX_PATH] = {};
  const bool ok = SHGetPathFromIDListA(chosen, path) != FALSE;
  CoTaskMemFree(chosen);
  if (!ok) return std::nullopt;
  return std::string(path);
}

std::optional<std::string> ChooseOpenFile(HWND owner, const OpenFileRequest& request) {
  // "Zip Files (*.ZIP)|*.zip|All Files (*.*)|*.*" becomes the dialog's pairs of texts.
  std::string filter = request.filter;
  for (char& c : filter) {
    if (c == '|') c = '\0';
  }
  filter.append(2, '\0');
  std::vector<char> file(4 * MAX_PATH, '\0');
  request.file_name.copy(file.data(), file.size() - 1);
  OPENFILENAMEA ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = filter.c_str();
  ofn.lpstrFile = file.data();
  ofn.nMaxFile = static_cast<DWORD>(file.size());
  ofn.lpstrInitialDir = request.initial_dir.empty() ? nullptr : request.initial_dir.c_str();
  ofn.lpstrTitle = request.title.empty() ? nullptr : request.title.c_str();
  ofn.Flags =
      OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
  if (!GetOpenFileNameA(&ofn)) return std::nullopt;
  return std::string(file.data());
}

}  // namespace vl4::ui
