// The uninstall log: the list of what an installation put on the PC, read by the separate
// uninstaller. A text file in the ANSI code page, lines ended by CR LF: a header line of the
// uninstaller's four texts, each followed by "|", then one full path per line.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace vl4::platform {
class Files;
}

namespace vl4 {

// Saves this installation's `lines` (the header first) as the uninstall log `log`. A log of an
// earlier installation keeps its lines: its header is replaced and every new line is added once
// (compared without regard to case); an empty one is written anew. A log that exists but cannot
// be read is never written: the lines go to a new file beside it (`log` followed by 2, 3, ...).
// A write that fails leaves what was there as it was.
// Returns the file that now holds this installation's lines: `log`, or the file beside it;
// nothing when no file could be written.
std::optional<std::string> SaveUninstallLog(platform::Files& files, const std::string& log,
                                            const std::vector<std::string>& lines);

}  // namespace vl4
