#include "platform/file_tree.h"

#include "platform/path.h"

namespace vl4::platform {

bool ForceDirectories(Files& files, const std::string& path) {
  std::string dir = files.FullPath(path);
  while (dir.size() > 3 && dir.back() == '\\') dir.pop_back();
  if (dir.empty()) return false;
  if (files.DirectoryExists(dir)) return true;
  const std::string parent = ExtractFileDir(dir);
  if (parent.empty() || parent == dir) return false;  // a root that does not exist
  return ForceDirectories(files, parent) && files.CreateDirectory(dir);
}

namespace {

// Returns true when the directory itself went.
bool RemoveTreeInto(Files& files, const std::string& dir, std::vector<std::string>& stayed) {
  bool emptied = true;
  for (const FindEntry& entry : files.FindFiles(dir + "\\*.*")) {
    if (IsDotEntry(entry.name)) continue;
    const std::string child = dir + "\\" + entry.name;
    // Windows refuses to delete a read-only file or to remove a read-only folder.
    if (entry.attributes & kAttrReadOnly) {
      files.SetAttributes(child, entry.attributes & ~kAttrReadOnly);
    }
    if (entry.attributes & kAttrDirectory) {
      emptied = RemoveTreeInto(files, child, stayed) && emptied;
    } else if (!files.DeleteFile(child)) {
      stayed.push_back(child);
      emptied = false;
    }
  }
  if (files.RemoveDirectory(dir)) return true;
  if (emptied) stayed.push_back(dir);
  return false;
}

}  // namespace

std::vector<std::string> RemoveTree(Files& files, const std::string& dir) {
  std::vector<std::string> stayed;
  if (files.DirectoryExists(dir)) RemoveTreeInto(files, ExcludeTrailingBackslash(dir), stayed);
  return stayed;
}

}  // namespace vl4::platform
