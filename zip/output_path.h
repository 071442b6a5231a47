// Where an extracted member goes: its stored directory and file name made safe to put under the
// destination directory, whatever the archive says.
#pragma once

#include <string>
#include <string_view>

namespace vl4::zip {

// The stored directory (with RootDir already removed) as a path relative to the destination,
// ending in "\" unless empty. Nothing in it can lead elsewhere: a drive ("C:", "C:\"), leading
// "\" and UNC prefixes ("\\server\share\" keeps server\share\) are dropped, so are empty, "." and
// ".." components (any component that is nothing but dots and blanks, as Windows reads those), and
// characters Windows refuses in names ("<>:\"|?*" and control characters) become "_" (":" would
// name a drive or a file stream; the others would end the run when the file cannot be created).
// A component that Windows takes for a device ("CON", "nul.txt", "COM1") gets a "_" in front.
std::string RelativeOutputDir(std::string_view stored_directory);

// The stored file name (it holds no "\" or ":") with the characters Windows refuses made "_", or
// "_" when it is nothing but dots and blanks ("." and ".." name directories, not files); a
// device name gets a "_" in front, as in directories.
std::string SafeFileName(std::string_view filename);

// The directory a member's file goes to: dest_dir + "\" + relative, or relative alone when
// dest_dir is empty (the current directory). Ends in "\" unless empty.
std::string JoinOutputDir(std::string_view dest_dir, std::string_view relative);

}  // namespace vl4::zip
