// The uninstall log the installer leaves in the installation's UNINST directory: a header line of
// the uninstaller's four texts, each followed by "|", then one full path per line; ANSI text,
// lines ended by CR LF. Beside it, the installation's system files (vl4.sys): the same text, one
// full path per line, without a header.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vl4::platform {
class Files;
}

namespace vl4 {

struct UninstallLog {
  std::string path;
  // The header: the title of the uninstaller's boxes, its confirmation question, its success
  // message and the heading of the list of what stayed.
  std::string title;
  std::string question;
  std::string success;
  std::string stayed_heading;
  // The full paths the log lists, in its order; blank lines left out.
  std::vector<std::string> entries;

  std::string HeaderLine() const;
};

// Why a log cannot be used. Nothing is changed then.
enum class LogFault { kMissing, kUnreadable, kEmpty, kMalformed, kMisplaced };

struct LogReading {
  std::optional<UninstallLog> log;  // set when the log can be used
  LogFault fault = LogFault::kMissing;
  int line = 0;  // kMalformed: the first line (from 1) that is not what the installer writes
};

// Reads the log at the full path `path`. It must lie in a directory named UNINST with the
// installation above it; its header must hold exactly four texts, each followed by "|"; every
// other line that is not blank must be a full path (a drive's or a network share's), so that no
// line can name a file relative to wherever the uninstaller runs.
LogReading ReadUninstallLog(platform::Files& files, const std::string& path);

// The installation a log belongs to: the directory above its UNINST directory.
std::string InstallationOf(const std::string& log_path);

// "C:\..." or "\\server\share\...".
bool IsFullPath(std::string_view path);

// The full paths of a list file such as vl4.sys, blank lines and other lines left out; empty when
// the file is missing or unreadable.
std::vector<std::string> ReadPathList(platform::Files& files, const std::string& path);

// Writes the lines in place of the file so that the old file stays whole until the new one is
// complete: the new text goes to path + ".NEW", which then takes the file's place with the setup
// tool's ReplaceFile (the old file aside as path + ".OLD" until then). False when the new text is
// not in place.
bool ReplaceTextFile(platform::Files& files, const std::string& path,
                     const std::vector<std::string>& lines);
// The names ReplaceTextFile uses for a moment, which an interruption may leave behind.
std::vector<std::string> ReplacementNames(const std::string& path);

}  // namespace vl4
