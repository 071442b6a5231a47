#include "tools/vl4unzip/console.h"

#include <algorithm>
#include <cstdio>

#include "platform/text.h"
#include "tools/vl4unzip/terminal.h"

namespace vl4::unzip_tool {

namespace {

constexpr auto kBarDelay = std::chrono::milliseconds(500);
constexpr auto kBarInterval = std::chrono::milliseconds(100);

std::string Megabytes(int64_t bytes) {
  return Format("%.1f MB", static_cast<double>(bytes) / 1e6);
}

}  // namespace

// The text with its control characters replaced by "?": C0 and DEL, and natively (UTF-8) the C1
// controls U+0080 to U+009F, which some terminals obey as well. On Windows the text is in a code
// page whose upper half holds letters only.
std::string Printable(std::string_view text) {
  std::string shown;
  shown.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c < 0x20 || c == 0x7F) {
      shown += '?';
      continue;
    }
#ifndef _WIN32
    if (c == 0xC2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
        static_cast<unsigned char>(text[i + 1]) <= 0x9F) {
      shown += '?';
      ++i;
      continue;
    }
#endif
    shown += static_cast<char>(c);
  }
  return shown;
}

Console::Console(platform::System& system)
    : system_(system), terminal_(StdoutIsTerminal()), start_(std::chrono::steady_clock::now()) {}

Console::~Console() {
  EndProgress();
}

std::string Console::Show(std::string_view ansi) const {
#ifdef _WIN32
  std::string shown = terminal_ ? system_.AnsiToOem(ansi) : std::string(ansi);
#else
  std::string shown = system_.AnsiToUtf8(ansi);
#endif
  std::replace(shown.begin(), shown.end(), '\\', '/');
  return shown;
}

std::string Console::FromHost(std::string_view text) const {
#ifdef _WIN32
  return std::string(text);
#else
  return system_.Utf8ToAnsi(text);
#endif
}

void Console::Line(const std::string& text) {
  ClearBar();
  std::fputs(Printable(text).c_str(), stdout);
  std::fputc('\n', stdout);
  if (bar_shown_) DrawBar();
}

void Console::Error(const std::string& text) {
  ClearBar();
  std::fflush(stdout);
  std::fputs(Printable(text).c_str(), stderr);
  std::fputc('\n', stderr);
  if (bar_shown_) DrawBar();
}

void Console::Prompt(const std::string& text) {
  EndProgress();
  std::fputs(Printable(text).c_str(), stdout);
  std::fflush(stdout);
}

void Console::Progress(int percent, int64_t done, int64_t total) {
  if (!terminal_) return;
  const bool changed = percent != percent_;
  percent_ = percent;
  done_ = done;
  total_ = total;
  const auto now = std::chrono::steady_clock::now();
  if (!bar_shown_) {
    if (now - start_ < kBarDelay) return;
    bar_shown_ = true;
  } else if (!changed || now - drawn_at_ < kBarInterval) {
    return;
  }
  drawn_at_ = now;
  DrawBar();
}

void Console::EndProgress() {
  ClearBar();
  bar_shown_ = false;
}

void Console::ClearBar() {
  if (!bar_shown_) return;
  std::printf("\r%*s\r", TerminalWidth() - 1, "");
}

void Console::DrawBar() {
  const std::string figures = Format(" %3d%%  %s / %s", std::max(percent_, 0),
                                     Megabytes(done_).c_str(), Megabytes(total_).c_str());
  const int width = std::clamp(TerminalWidth() - 1 - static_cast<int>(figures.size()) - 2, 10, 60);
  const int filled = width * std::clamp(percent_, 0, 100) / 100;
  std::printf("\r[%s%s]%s", std::string(static_cast<size_t>(filled), '#').c_str(),
              std::string(static_cast<size_t>(width - filled), '.').c_str(), figures.c_str());
  std::fflush(stdout);
}

}  // namespace vl4::unzip_tool
