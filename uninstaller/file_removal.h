// Deleting the product's files the way the uninstaller must: the read-only attribute cleared
// first, a file in use brings the installer's Repeat/Next question, the places the IDE undo had to
// leave are spared, and every folder something went from is noted, so that the folders left empty
// can go at the end, up to the installation and never the student's working directory.
#pragma once

#include <string>
#include <unordered_set>
#include <vector>

#include "installer/install_transaction.h"

namespace vl4::platform {
class Files;
}

namespace vl4 {

class FileRemoval {
 public:
  enum class Result {
    kGone,    // deleted now, or not there (a folder is left for RemoveEmptyFolders)
    kStayed,  // it could not be deleted (the user gave up on it) and is as it was
    kSpared,  // it must stay: something that stays still uses it
  };

  // `work_dir`: the student's working directory, never removed (empty: none).
  FileRemoval(platform::Files& files, FileInUseQuestion ask, std::string work_dir);

  // The file at `path` (any case) must stay.
  void Spare(const std::string& path);

  Result Remove(const std::string& path);
  // Removes the folder with everything in it, asking about the files that cannot be deleted.
  // Returns what stayed: files, and folders whose contents went but which could not be removed.
  std::vector<std::string> RemoveTree(const std::string& dir);
  // A folder to remove at the end when it is empty by then.
  void NoteFolder(const std::string& dir);

  // Removes each folder noted, and then its parents, while they are empty: inside `top` up to
  // and including `top`; outside it only the folders of `others` (program groups), never their
  // parents.
  void RemoveEmptyFolders(const std::string& top, const std::vector<std::string>& others);

 private:
  bool IsWorkDir(const std::string& dir) const;

  platform::Files& files_;
  FileInUseQuestion ask_;
  std::string work_dir_;
  std::unordered_set<std::string> spared_;  // upper-cased
  std::vector<std::string> folders_;
};

}  // namespace vl4
