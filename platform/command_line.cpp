#include "platform/command_line.h"

namespace vl4 {

namespace {
bool IsBlank(char c) {
  return static_cast<unsigned char>(c) <= ' ';
}
}  // namespace

std::vector<std::string> SplitCommandLine(std::string_view command_line) {
  std::vector<std::string> args;
  size_t i = 0;
  for (;;) {
    // Blanks and empty quote pairs between arguments are skipped.
    for (;;) {
      while (i < command_line.size() && IsBlank(command_line[i])) ++i;
      if (i + 1 < command_line.size() && command_line[i] == '"' && command_line[i + 1] == '"') {
        i += 2;
      } else {
        break;
      }
    }
    if (i >= command_line.size()) break;
    std::string arg;
    while (i < command_line.size() && !IsBlank(command_line[i])) {
      if (command_line[i] == '"') {
        ++i;
        while (i < command_line.size() && command_line[i] != '"') arg += command_line[i++];
        if (i < command_line.size()) ++i;
      } else {
        arg += command_line[i++];
      }
    }
    args.push_back(std::move(arg));
  }
  return args;
}

std::string QuoteArgument(std::string_view argument) {
  std::string plain;
  bool blank = argument.empty();
  for (char c : argument) {
    if (c == '"') continue;
    blank = blank || IsBlank(c);
    plain += c;
  }
  return blank ? "\"" + plain + "\"" : plain;
}

}  // namespace vl4
