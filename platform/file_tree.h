// Whole directory trees over the Files service: making a path with its parents, removing a
// folder with everything in it. One implementation for every backend.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/files.h"

namespace vl4::platform {

// "." and "..", which FindFiles lists in every folder but a drive root.
inline bool IsDotEntry(std::string_view name) {
  return name == "." || name == "..";
}

// Creates the directory with all its missing parents; true when it exists afterwards as a
// directory. A file anywhere on the way makes it fail.
bool ForceDirectories(Files& files, const std::string& path);

// Removes the directory and everything in it; read-only files and folders are cleared first.
// Returns the full paths of what stayed: files that could not be deleted, and folders that could
// not be removed although everything in them went. Empty when the whole tree is gone (or was not
// there).
std::vector<std::string> RemoveTree(Files& files, const std::string& dir);

}  // namespace vl4::platform
