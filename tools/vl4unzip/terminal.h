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

// A line from stdin without its line end; nothing at the end of input.
std::optional<std::string> ReadLine();
// Shows the prompt and reads a line without echoing it; nothing at the end of input.
std::optional<std::string> ReadHidden(const std::string& prompt);

// From now on Ctrl-C does not end the program but sets the flag that Interrupted() reports.
void CatchInterrupt();
bool Interrupted();

}  // namespace vl4::unzip_tool
