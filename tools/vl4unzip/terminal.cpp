#include "tools/vl4unzip/terminal.h"

#include <atomic>
#include <csignal>
#include <cstdio>
#include <iostream>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>
#endif

namespace vl4::unzip_tool {

namespace {

std::atomic<bool> interrupted{false};

extern "C" void OnInterrupt(int) {
  interrupted = true;
}

// Echo of typed characters off while alive.
class EchoOff {
 public:
  EchoOff() {
#ifdef _WIN32
    input_ = GetStdHandle(STD_INPUT_HANDLE);
    active_ = GetConsoleMode(input_, &mode_) &&
              SetConsoleMode(input_, mode_ & ~static_cast<DWORD>(ENABLE_ECHO_INPUT));
#else
    active_ = tcgetattr(STDIN_FILENO, &saved_) == 0;
    if (active_) {
      termios quiet = saved_;
      quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
      active_ = tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet) == 0;
    }
#endif
  }
  ~EchoOff() {
    if (!active_) return;
#ifdef _WIN32
    SetConsoleMode(input_, mode_);
#else
    tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved_);
#endif
  }
  EchoOff(const EchoOff&) = delete;
  EchoOff& operator=(const EchoOff&) = delete;

 private:
  bool active_ = false;
#ifdef _WIN32
  HANDLE input_;
  DWORD mode_ = 0;
#else
  termios saved_{};
#endif
};

}  // namespace

bool StdoutIsTerminal() {
#ifdef _WIN32
  return _isatty(_fileno(stdout)) != 0;
#else
  return isatty(STDOUT_FILENO) != 0;
#endif
}

bool StdinIsTerminal() {
#ifdef _WIN32
  return _isatty(_fileno(stdin)) != 0;
#else
  return isatty(STDIN_FILENO) != 0;
#endif
}

int TerminalWidth() {
#ifdef _WIN32
  CONSOLE_SCREEN_BUFFER_INFO info;
  if (GetConsoleScreenBufferInfo(GetStdHandle(STD_OUTPUT_HANDLE), &info)) {
    return info.srWindow.Right - info.srWindow.Left + 1;
  }
#else
  winsize size{};
  if (ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) return size.ws_col;
#endif
  return 80;
}

std::optional<std::string> ReadLine() {
  std::string line;
  if (!std::getline(std::cin, line)) {
#ifdef _WIN32
    // Ctrl-C ends a console read at once, while its handler runs a moment later on a thread of
    // its own: give it that moment, so that the caller sees the interrupt and not an end of input.
    for (int i = 0; i < 20 && !interrupted && StdinIsTerminal(); ++i) Sleep(10);
#endif
    return std::nullopt;
  }
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return line;
}

std::optional<std::string> ReadHidden(const std::string& prompt) {
  std::fputs(prompt.c_str(), stdout);
  std::fflush(stdout);
  std::optional<std::string> line;
  {
    EchoOff quiet;
    line = ReadLine();
  }
  std::fputs("\n", stdout);
  return line;
}

void CatchInterrupt() {
  interrupted = false;
#ifdef _WIN32
  std::signal(SIGINT, OnInterrupt);
#else
  // Without SA_RESTART: a read waiting at a question ends with EINTR instead of going on waiting.
  struct sigaction action {};
  action.sa_handler = OnInterrupt;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
#endif
}

bool Interrupted() {
  return interrupted;
}

}  // namespace vl4::unzip_tool
