// The services a UI backend gives the control model: realising forms, modal loops, dialogs,
// text measurement, the message loop and timers. ui/headless and ui/win32 implement it.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "ui/types.h"

namespace vl4::ui {

class Control;
class Form;

// What changed on a control, so that a backend can bring its window in step.
enum class Property {
  kCaption, kText, kBounds, kVisible, kEnabled, kFont, kItems, kItemIndex, kChecked, kHint,
  kPosition, kRange, kReadOnly, kDefault, kAlignment, kTimer, kMenu, kActivePage, kWindowState,
  kColor, kLines, kChildren
};

struct DirectoryRequest {
  std::string caption;        // prompt shown in the chooser
  std::string start;          // directory the chooser opens at
  bool allow_create = false;  // a typed, non-existing directory is accepted (created after a prompt)
  // The file services the chooser checks and creates a typed directory with when allow_create is
  // set; the caller passes its platform's (the UI layer knows no file system of its own). Left
  // empty, a backend uses the host's own calls (Win32) or takes the typed path as it is (headless).
  std::function<bool(const std::string& path)> exists;
  std::function<bool(const std::string& path)> create;  // with missing parents; true on success
};

struct OpenFileRequest {
  std::string title;
  std::string filter;       // "Zip Files (*.ZIP)|*.zip|All Files (*.*)|*.*"
  std::string initial_dir;
  std::string file_name;
};

class Backend {
 public:
  virtual ~Backend() = default;

  virtual void FormCreated(Form& form) = 0;
  virtual void FormDestroyed(Form& form) = 0;
  // A control is being destroyed: its own destructor has run, only its base part is left, so a
  // backend may use its identity but must not call its virtual functions.
  virtual void ControlDestroyed(Control& /*control*/) {}
  virtual void Changed(Control& control, Property what) = 0;
  virtual void ShowForm(Form& form) = 0;
  virtual void HideForm(Form& form) = 0;
  virtual void FocusControl(Control& control) = 0;
  // Runs a modal loop until the form's ModalResult is set (or the application terminates).
  virtual ModalResult ShowModal(Form& form) = 0;

  // A message box. `owner` may be null.
  virtual ModalResult MessageBox(Form* owner, const std::string& text, const std::string& caption,
                                 MsgKind kind, MsgButtons buttons) = 0;
  virtual std::optional<std::string> SelectDirectory(const DirectoryRequest& request) = 0;
  virtual std::optional<std::string> OpenFile(const OpenFileRequest& request) = 0;

  virtual int TextWidth(const Font& font, std::string_view text) = 0;
  // The screen's work area forms are centred in, and the frame a window of a border style adds
  // around its client area. The defaults are the nominal metrics of a classic Windows desktop.
  virtual Size ScreenSize() const { return {1024, 768}; }
  virtual Insets FrameInsets(BorderStyle style) const;
  virtual void ProcessMessages() = 0;
  virtual void SetCursor(Cursor cursor) = 0;

  // The application's message loop: returns when the main form is closed or Terminate is asked.
  virtual void Run(Form& main_form) = 0;
  virtual void Terminate() = 0;
  virtual bool Terminated() const = 0;
};

}  // namespace vl4::ui
