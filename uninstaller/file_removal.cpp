// File and folder removal with the file-in-use question, and the sweep of the folders left empty.
#include "uninstaller/file_removal.h"

#include <algorithm>

#include "platform/file_tree.h"
#include "platform/files.h"
#include "platform/path.h"
#include "platform/text.h"

namespace vl4 {

FileRemoval::FileRemoval(platform::Files& files, FileInUseQuestion ask, std::string work_dir)
    : files_(files), ask_(std::move(ask)), work_dir_(ExcludeTrailingBackslash(work_dir)) {}

void FileRemoval::Spare(const std::string& path) {
  spared_.insert(UpperCase(path));
}

bool FileRemoval::IsWorkDir(const std::string& dir) const {
  return !work_dir_.empty() && SameText(ExcludeTrailingBackslash(dir), work_dir_);
}

void FileRemoval::NoteFolder(const std::string& dir) {
  folders_.push_back(dir);
}

FileRemoval::Result FileRemoval::Remove(const std::string& path) {
  if (spared_.count(UpperCase(path)) != 0) return Result::kSpared;
  if (!files_.FileExists(path)) {
    NoteFolder(files_.DirectoryExists(path) ? path : ExtractFileDir(path));
    return Result::kGone;
  }
  const std::optional<uint32_t> attributes = files_.GetAttributes(path);
  const bool read_only = attributes && (*attributes & platform::kAttrReadOnly);
  if (read_only) files_.SetAttributes(path, *attributes & ~uint32_t{platform::kAttrReadOnly});
  if (RepeatWhileInUse(path, ask_,
                       [&] { return files_.DeleteFile(path) || !files_.FileExists(path); })) {
    NoteFolder(ExtractFileDir(path));
    return Result::kGone;
  }
  if (read_only) files_.SetAttributes(path, *attributes);
  return Result::kStayed;
}

std::vector<std::string> FileRemoval::RemoveTree(const std::string& dir) {
  std::vector<std::string> stayed = platform::RemoveTree(files_, dir);
  // The files that would not go get the question, one by one; whatever went then lets the
  // folders go too.
  bool retry = false;
  for (const std::string& path : stayed) {
    if (files_.FileExists(path) && Remove(path) == Result::kGone) retry = true;
  }
  if (retry) stayed = platform::RemoveTree(files_, dir);
  if (stayed.empty()) NoteFolder(ExtractFileDir(dir));
  return stayed;
}

void FileRemoval::RemoveEmptyFolders(const std::string& top,
                                     const std::vector<std::string>& others) {
  const std::string inside = IncludeTrailingBackslash(top);
  for (const std::string& folder : folders_) {
    if (std::any_of(others.begin(), others.end(),
                    [&](const std::string& other) { return SameText(folder, other); })) {
      if (!IsWorkDir(folder)) files_.RemoveDirectory(folder);
      continue;
    }
    if (!SameText(folder, top) && !StartsText(inside, folder)) continue;
    for (std::string dir = folder;; dir = ExtractFileDir(dir)) {
      if (IsWorkDir(dir)) break;
      if (files_.DirectoryExists(dir) && !files_.RemoveDirectory(dir)) break;
      if (SameText(dir, top) || !StartsText(inside, dir)) break;
    }
  }
}

}  // namespace vl4
