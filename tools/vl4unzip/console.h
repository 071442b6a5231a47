// vl4unzip's output: one line per member, errors, and on a terminal a progress bar that stays below
// the lines; names are turned from the program's ANSI text into what the terminal shows.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/system.h"

namespace vl4::unzip_tool {

// The text with its control characters shown as "?" (see Console::Line).
std::string Printable(std::string_view text);

class Console {
 public:
  explicit Console(platform::System& system);
  ~Console();
  Console(const Console&) = delete;
  Console& operator=(const Console&) = delete;

  // An ANSI path as the user sees it, with "/" separators as unzip shows them: natively in UTF-8;
  // on Windows in the OEM code page on a console, as it is otherwise.
  std::string Show(std::string_view ansi) const;
  // Text from the command line or the keyboard in the program's ANSI code page: natively from
  // UTF-8 (characters the code page lacks become "_"); on Windows it already is.
  std::string FromHost(std::string_view text) const;

  // Control characters in the text (names and comments may hold escape sequences) are shown
  // as "?": nothing read from an archive steers the terminal.
  void Line(const std::string& text);    // to stdout
  void Error(const std::string& text);   // to stderr
  void Prompt(const std::string& text);  // to stdout, no line end: the answer follows

  // The run's progress. The bar appears on a terminal once a run has lasted half a second.
  void Progress(int percent, int64_t done, int64_t total);
  void EndProgress();

 private:
  void ClearBar();
  void DrawBar();

  platform::System& system_;
  const bool terminal_;
  const std::chrono::steady_clock::time_point start_;
  std::chrono::steady_clock::time_point drawn_at_{};
  bool bar_shown_ = false;
  int percent_ = -1;
  int64_t done_ = 0;
  int64_t total_ = 0;
};

}  // namespace vl4::unzip_tool
