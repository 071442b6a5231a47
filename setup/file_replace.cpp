// Replacing a file by a new copy, keeping the old one until the new one has its name.
#include "setup/file_replace.h"

#include "platform/files.h"

namespace vl4 {

bool ReplaceFile(platform::Files& files, const std::string& path, const std::string& fresh,
                 const std::string& aside) {
  files.DeleteFile(aside);  // left by an earlier replacement
  const bool had_file = files.FileExists(path);
  if (had_file && !files.MoveFile(path, aside)) {
    files.DeleteFile(fresh);
    return false;
  }
  if (files.MoveFile(fresh, path)) {
    files.DeleteFile(aside);
    return true;
  }
  if (!had_file || files.MoveFile(aside, path)) files.DeleteFile(fresh);
  return false;
}

}  // namespace vl4
