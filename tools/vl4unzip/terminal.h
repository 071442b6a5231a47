// What vl4unzip needs of the terminal it runs in: whether output goes to one and how wide it is,
// lines and hidden passwords read from the user, Ctrl-C turned into a request to stop.
#pragma once

#include <optional>
#include <string>

namespace vl4::unzip_tool {

bool StdoutIsTerminal();
bool StdinIsTerminal();
// Columns of the terminal on stdout; 80 when unknown.
int TerminalWidth();

// A line from stdin without its line end; nothing at the end of input, or when Ctrl-C broke the
// read off (Interrupted() then tells).
std::optional<std::string> ReadLine();
// Shows the prompt and reads a line without echoing it; nothing as ReadLine.
std::optional<std::string> ReadHidden(const std::string& prompt);

// From now on Ctrl-C does not end the program but sets the flag that Interrupted() reports (clear
// until then), and breaks off a read from the terminal that waits for the user.
void CatchInterrupt();
bool Interrupted();

}  // namespace vl4::unzip_tool
