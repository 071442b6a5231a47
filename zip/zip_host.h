// What the zip reader asks of the program around it: message boxes, the two file dialogs, the
// GUI's pending messages and the wait cursor. The reader knows no GUI; its owner installs these.
#pragma once

#include <functional>
#include <optional>
#include <string>

namespace vl4::zip {

enum class ZipMsgKind { kError, kWarning, kInformation, kConfirmation };
enum class ZipMsgButtons { kOK, kOKCancel, kYesNo };
enum class ZipMsgResult { kOK, kCancel, kYes, kNo };

struct ZipOpenFileRequest {
  std::string title;
  std::string filter;  // "Zip Files (*.ZIP)|*.zip|..." as the open-file dialog takes it
  std::string initial_dir;
};

// Every callback may be left empty; the reader then behaves as told on each.
struct ZipReaderHost {
  // Shows a modal message box. Empty: the box counts as answered with Cancel (OK/Cancel) or No
  // (Yes/No); an OK box is simply not shown.
  std::function<ZipMsgResult(const std::string& text, const std::string& caption, ZipMsgKind kind,
                             ZipMsgButtons buttons)>
      message_box = {};
  // The open-file dialog; nothing when cancelled. Empty: cancelled.
  std::function<std::optional<std::string>(const ZipOpenFileRequest& request)> open_file = {};
  // The directory chooser (creating a new directory allowed), opening at `start`; nothing when
  // cancelled. Empty: cancelled.
  std::function<std::optional<std::string>(const std::string& start)> select_directory = {};
  // Lets the GUI handle its pending messages (a handler may then set the reader's Cancel).
  // Empty: nothing happens.
  std::function<void()> process_messages = {};
  // Shows the wait cursor (true) or the normal one (false). Empty: nothing happens.
  std::function<void(bool wait)> wait_cursor = {};
};

}  // namespace vl4::zip
