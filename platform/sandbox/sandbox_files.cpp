#include "platform/sandbox/sandbox_files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "platform/exception.h"
#include "platform/file_tree.h"
#include "platform/sandbox/dos_time.h"
#include "platform/sandbox/host_io.h"
#include "platform/sandbox/sandbox_file_stream.h"
#include "platform/sandbox/share_locks.h"

namespace vl4::platform::sandbox {

namespace {

constexpr uint32_t kKeptBits = kAttrReadOnly | kAttrHidden | kAttrSystem | kAttrArchive;

std::string ParentOf(const std::string& host) {
  size_t slash = host.find_last_of('/');
  return slash == 0 ? "/" : host.substr(0, slash);
}

bool IsDir(const PathResolver::Resolved& r) {
  return r.exists && S_ISDIR(r.st.st_mode);
}
bool IsFile(const PathResolver::Resolved& r) {
  return r.exists && !S_ISDIR(r.st.st_mode);
}

bool HostDirExists(const std::string& host) {
  struct stat st;
  return ::stat(host.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// FindFirstFile's mask matching: "*" runs, "?" one character, trailing "." and "*" of the mask
// match the end of the name ("*.*" thus matches every name).
bool MatchMask(std::string_view name, std::string_view mask) {
  size_t n = 0, m = 0;
  size_t star = std::string_view::npos, retry = 0;
  while (n < name.size()) {
    if (m < mask.size() && mask[m] == '*') {
      star = ++m;
      retry = n;
    } else if (m < mask.size() && (mask[m] == '?' || mask[m] == name[n])) {
      ++m;
      ++n;
    } else if (star != std::string_view::npos) {
      m = star;
      n = ++retry;
    } else {
      return false;
    }
  }
  while (m < mask.size() && (mask[m] == '*' || mask[m] == '.')) ++m;
  return m == mask.size();
}

// The whole FindFirstFile rule: a mask ending in "." ("*.", "name.") asks for names without an
// extension.
bool MatchPattern(std::string_view name, std::string_view mask) {
  if (mask.size() > 1 && mask.back() == '.' && mask != "..") {
    if (name.find('.') != std::string_view::npos && !IsDotEntry(name)) return false;
    mask.remove_suffix(1);
  }
  return MatchMask(name, mask);
}

}  // namespace

uint32_t SandboxFiles::AttributesOf(const PathResolver::Resolved& r) {
  auto stored = m_.attributes.Get(r.host);
  if (S_ISDIR(r.st.st_mode)) return kAttrDirectory | stored.value_or(0);
  uint32_t bits = stored.value_or(kAttrArchive);
  return bits == 0 ? kAttrNormal : bits;
}

bool SandboxFiles::InUse(const std::string& host) {
  return m_.locks.Contains(host) || ShareHeld(host.c_str(), Share::kDeniesDelete);
}

bool SandboxFiles::FileExists(const std::string& path) {
  auto r = m_.Resolve(path);
  return r && IsFile(*r);
}

bool SandboxFiles::DirectoryExists(const std::string& path) {
  auto r = m_.Resolve(path);
  return r && IsDir(*r);
}

bool SandboxFiles::CreateDirectory(const std::string& path) {
  auto r = m_.Resolve(path);
  if (!r || r->exists || !HostDirExists(ParentOf(r->host)) || !m_.MayChange(r->host)) return false;
  if (m_.faults.Hit(Fault::kCreateDirectory)) return false;
  if (::mkdir(r->host.c_str(), 0755) != 0) return false;
  m_.paths.NoteAdded(r->host);
  return true;
}

bool SandboxFiles::RemoveDirectory(const std::string& path) {
  auto r = m_.Resolve(path);
  if (!r || !IsDir(*r) || !m_.MayChange(r->host)) return false;
  // The current directory is held open, as Windows holds it.
  auto current = m_.paths.Resolve(m_.current_directory);
  if (current && current->exists && current->st.st_ino == r->st.st_ino &&
      current->st.st_dev == r->st.st_dev) {
    return false;
  }
  if (m_.faults.Hit(Fault::kRemoveDirectory)) return false;
  if (::rmdir(r->host.c_str()) != 0) return false;
  m_.attributes.Forget(r->host);
  if (m_.granted.Contains(r->host)) m_.granted.Remove(r->host);  // the access list goes with it
  m_.paths.NoteRemoved(r->host);
  return true;
}

bool SandboxFiles::DeleteFile(const std::string& path) {
  auto r = m_.Resolve(path);
  if (!r || !IsFile(*r) || ReadOnly(*r) || InUse(r->host) || !m_.MayChange(r->host)) return false;
  if (m_.faults.Hit(Fault::kDelete)) return false;
  if (::unlink(r->host.c_str()) != 0) return false;
  m_.attributes.Forget(r->host);
  m_.paths.NoteRemoved(r->host);
  return true;
}

bool SandboxFiles::CopyHostFile(const std::string& from, const std::string& to,
                                const struct stat& st) {
  UniqueFd in = OpenHostFile(from, O_RDONLY);
  if (!in) return false;
  UniqueFd out = OpenHostFile(to, O_WRONLY | O_CREAT, st.st_mode & 07777);
  bool ok =
      out && !ShareHeldByOther(out.get(), Share::kDeniesWrite) && ::ftruncate(out.get(), 0) == 0;
  while (ok) {
    ssize_t n = ::copy_file_range(in.get(), nullptr, out.get(), nullptr, 1 << 30, 0);
    if (n == 0) break;
    if (n < 0) {
      // Not every pair of file systems copies in the kernel: fall back to plain reads.
      if (errno != EXDEV && errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP) ok = false;
      char buffer[65536];
      while (ok) {
        ssize_t got = ::read(in.get(), buffer, sizeof buffer);
        if (got <= 0) {
          ok = got == 0;
          break;
        }
        ok = ::write(out.get(), buffer, static_cast<size_t>(got)) == got;
      }
      break;
    }
  }
  if (ok) {
    ::fchmod(out.get(), st.st_mode & 07777);
    timespec times[2] = {{0, UTIME_OMIT}, st.st_mtim};
    ::futimens(out.get(), times);
  }
  return out.Close() && ok;
}

bool SandboxFiles::CopyFile(const std::string& from, const std::string& to, bool fail_if_exists) {
  auto src = m_.Resolve(from);
  auto dst = m_.Resolve(to);
  if (!src || !dst || !IsFile(*src) || !m_.MayChange(dst->host)) return false;
  if (m_.locks.Contains(src->host)) return false;
  if (dst->exists) {
    if (fail_if_exists || IsDir(*dst) || ReadOnly(*dst) || m_.locks.Contains(dst->host)) {
      return false;
    }
    if (dst->st.st_ino == src->st.st_ino && dst->st.st_dev == src->st.st_dev) return false;
  } else if (!HostDirExists(ParentOf(dst->host))) {
    return false;
  }
  if (m_.faults.Hit(Fault::kWrite)) return false;
  if (!CopyHostFile(src->host, dst->host, src->st)) return false;
  if (!dst->exists) m_.paths.NoteAdded(dst->host);
  uint32_t bits = AttributesOf(*src) & kKeptBits;
  m_.attributes.Set(dst->host, bits == kAttrArchive ? std::nullopt
                                                    : std::optional<uint32_t>(bits | kAttrArchive));
  return true;
}

bool SandboxFiles::MoveFile(const std::string& from, const std::string& to) {
  auto src = m_.Resolve(from);
  auto dst = m_.Resolve(to);
  if (!src || !dst || !src->exists || !m_.MayChange(src->host) || !m_.MayChange(dst->host)) {
    return false;
  }
  bool same_entry =
      dst->exists && dst->st.st_ino == src->st.st_ino && dst->st.st_dev == src->st.st_dev;
  if (dst->exists && !same_entry) return false;
  if (!HostDirExists(ParentOf(dst->host))) return false;
  if (IsFile(*src) && InUse(src->host)) return false;
  if (m_.faults.Hit(Fault::kMove)) return false;
  // A case-only rename of one entry: the new name is the one given.
  std::string target = dst->host;
  if (same_entry) {
    auto full = m_.FullPath(to);
    std::string name = full->substr(full->find_last_of('\\') + 1);
    target = ParentOf(dst->host) + (ParentOf(dst->host) == "/" ? "" : "/") + m_.ansi.ToUtf8(name);
  }
  if (::rename(src->host.c_str(), target.c_str()) != 0) {
    if (errno != EXDEV || IsDir(*src)) return false;
    // Another host file system: copy and delete, as Windows moves across volumes.
    if (!CopyHostFile(src->host, target, src->st)) {
      ::unlink(target.c_str());
      return false;
    }
    ::unlink(src->host.c_str());
  }
  m_.attributes.Rename(src->host, target);
  m_.paths.NoteRemoved(src->host);
  m_.paths.NoteAdded(target);
  return true;
}

std::optional<uint32_t> SandboxFiles::GetAttributes(const std::string& path) {
  auto r = m_.Resolve(path);
  if (!r || !r->exists) return std::nullopt;
  return AttributesOf(*r);
}

bool SandboxFiles::SetAttributes(const std::string& path, uint32_t attributes) {
  auto r = m_.Resolve(path);
  if (!r || !r->exists || !m_.MayChange(r->host)) return false;
  uint32_t bits = attributes & kKeptBits;
  bool is_default = IsDir(*r) ? bits == 0 : bits == kAttrArchive;
  return m_.attributes.Set(r->host, is_default ? std::nullopt : std::optional<uint32_t>(bits));
}

std::optional<uint32_t> SandboxFiles::GetFileTime(const std::string& path) {
  auto r = m_.Resolve(path);
  if (!r || !r->exists) return std::nullopt;
  return DosTimeFromUnix(r->st.st_mtime);
}

bool SandboxFiles::SetFileTime(const std::string& path, uint32_t dos_time) {
  auto r = m_.Resolve(path);
  auto t = UnixFromDosTime(dos_time);
  if (!r || !r->exists || !t || !m_.MayChange(r->host)) return false;
  if (IsFile(*r) && (ReadOnly(*r) || m_.locks.Contains(r->host))) return false;
  timespec times[2] = {{0, UTIME_OMIT}, {*t, 0}};
  return ::utimensat(AT_FDCWD, r->host.c_str(), times, 0) == 0;
}

std::vector<FindEntry> SandboxFiles::FindFiles(const std::string& pattern) {
  std::vector<FindEntry> found;
  // The mask is taken as written (a final "." means something to it); the folder is normalised.
  size_t cut = pattern.find_last_of("\\/");
  if (cut == std::string::npos && pattern.size() >= 2 && pattern[1] == ':') cut = 1;
  std::string mask = m_.paths.Fold(cut == std::string::npos ? pattern : pattern.substr(cut + 1));
  auto dir_full = m_.FullPath(cut == std::string::npos ? "." : pattern.substr(0, cut + 1));
  if (mask.empty() || !dir_full) return found;
  std::string dir_path = *dir_full;
  if (dir_path.size() > 3 && dir_path.back() == '\\') dir_path.pop_back();
  auto dir = m_.paths.Resolve(dir_path);
  if (!dir || !IsDir(*dir)) return found;

  auto add = [&](const std::string& ansi, const struct stat& st, const std::string& host) {
    PathResolver::Resolved r{host, true, st};
    found.push_back({ansi, AttributesOf(r), S_ISDIR(st.st_mode) ? 0 : st.st_size,
                     DosTimeFromUnix(st.st_mtime)});
  };
  bool root = dir_path.size() == 3;
  std::string base = dir->host == "/" ? "" : dir->host;
  bool wild = mask.find_first_of("*?") != std::string::npos;
  if (!wild) {
    // One name: the entry of that name, whatever its case.
    auto full = m_.FullPath(dir_path + (dir_path.back() == '\\' ? "" : "\\") + mask);
    auto r = full ? m_.paths.Resolve(*full) : std::nullopt;
    if (r && r->exists) {
      std::string host_name = r->host.substr(r->host.find_last_of('/') + 1);
      add(m_.paths.AnsiName(host_name), r->st, r->host);
    }
    return found;
  }
  std::vector<FindEntry> entries;
  if (DIR* d = ::opendir(dir->host.c_str())) {
    while (dirent* e = ::readdir(d)) {
      std::string_view name = e->d_name;
      bool dots = IsDotEntry(name);
      if (dots && root) continue;  // a drive root has no "." and ".."
      std::string ansi = m_.paths.AnsiName(name);
      // As on Windows, a name is also found through its short name ("*.htm" finds "a.html").
      std::string fold = m_.paths.Fold(ansi);
      bool match = MatchPattern(fold, mask);
      if (!match && !dots && !ShortNames::IsShortName(ansi)) {
        std::string short_name = mask.find('~') == std::string::npos
                                     ? ShortNames::FirstCandidate(fold)
                                     : m_.short_names.Of(dir->host, std::string(name));
        match = MatchPattern(m_.paths.Fold(short_name), mask);
      }
      if (!match) continue;
      std::string host = base + "/" + std::string(name);
      struct stat st;
      if (::stat(host.c_str(), &st) != 0) continue;
      add(ansi, st, host);
    }
    ::closedir(d);
  }
  // The order an NTFS folder lists in: "." and ".." first, then by upper-cased name.
  std::sort(found.begin(), found.end(), [&](const FindEntry& a, const FindEntry& b) {
    bool a_dots = IsDotEntry(a.name), b_dots = IsDotEntry(b.name);
    if (a_dots != b_dots) return a_dots;
    return m_.paths.Fold(a.name) < m_.paths.Fold(b.name);
  });
  return found;
}

std::string SandboxFiles::ShortPath(const std::string& path) {
  bool relative = !(path.size() >= 2 && path[1] == ':') &&
                  !(!path.empty() && (path[0] == '\\' || path[0] == '/'));
  if (relative) {
    // A relative path stays relative when it lies below the current directory.
    std::string all = ShortPath(FullPath(path));
    std::string base = ShortPath(m_.current_directory);
    if (base.empty() || all.empty()) return all;
    if (base.back() != '\\') base += '\\';
    return all.compare(0, base.size(), base) == 0 ? all.substr(base.size()) : all;
  }
  auto full = m_.FullPath(path);
  if (!full) return "";
  auto r = m_.paths.Resolve(*full);
  if (!r || !r->exists) return "";
  std::string out = full->substr(0, 2);
  std::string host = r->host;
  // Walk the Windows components against the host path's components from the drive root on.
  std::vector<std::string> parts;
  for (size_t pos = 3; pos < full->size();) {
    size_t end = full->find('\\', pos);
    if (end == std::string::npos) end = full->size();
    if (end > pos) parts.push_back(full->substr(pos, end - pos));
    pos = end + 1;
  }
  std::vector<std::string> host_names;
  std::string h = host;
  for (size_t i = 0; i < parts.size(); ++i) {
    size_t slash = h.find_last_of('/');
    host_names.insert(host_names.begin(), h.substr(slash + 1));
    h = slash == 0 ? "/" : h.substr(0, slash);
  }
  std::string dir = h;
  for (size_t i = 0; i < parts.size(); ++i) {
    std::string name =
        ShortNames::IsShortName(parts[i]) ? parts[i] : m_.short_names.Of(dir, host_names[i]);
    out += "\\" + name;
    dir = (dir == "/" ? "" : dir) + "/" + host_names[i];
  }
  if (parts.empty() || full->back() == '\\') out += "\\";
  return out;
}

std::string SandboxFiles::FullPath(const std::string& path) {
  return m_.FullPath(path).value_or("");
}

const DriveConfig* SandboxFiles::DriveOf(const std::string& root, char* letter) {
  char l;
  if (root.empty()) {
    l = m_.current_directory[0];
  } else if ((root.size() == 2 || (root.size() == 3 && (root[2] == '\\' || root[2] == '/'))) &&
             root[1] == ':') {
    l = static_cast<char>(std::toupper(static_cast<unsigned char>(root[0])));
  } else {
    return nullptr;
  }
  if (letter) *letter = l;
  auto it = m_.config.drives.find(l);
  return it == m_.config.drives.end() ? nullptr : &it->second;
}

DriveType SandboxFiles::GetDriveType(const std::string& root) {
  const DriveConfig* drive = DriveOf(root);
  return drive ? drive->type : DriveType::kNoRootDir;
}

std::optional<std::string> SandboxFiles::VolumeLabel(const std::string& root) {
  const DriveConfig* drive = DriveOf(root);
  if (!drive || !HostDirExists(drive->host)) return std::nullopt;  // no medium
  return drive->label;
}

int64_t SandboxFiles::DiskSize(char drive_letter) {
  const DriveConfig* drive = DriveOf(std::string(1, drive_letter) + ":");
  struct statvfs vfs;
  if (!drive || ::statvfs(drive->host.c_str(), &vfs) != 0) return -1;
  return static_cast<int64_t>(vfs.f_blocks) * static_cast<int64_t>(vfs.f_frsize);
}

int64_t SandboxFiles::FreeSpace(const std::string& path) {
  auto full = m_.FullPath(path);
  const DriveConfig* drive = full ? DriveOf(full->substr(0, 2)) : nullptr;
  if (!drive) return -1;
  if (drive->free_space) return *drive->free_space;
  struct statvfs vfs;
  if (::statvfs(drive->host.c_str(), &vfs) != 0) return -1;
  return static_cast<int64_t>(vfs.f_bavail) * static_cast<int64_t>(vfs.f_frsize);
}

std::string SandboxFiles::CurrentDirectory() {
  return m_.current_directory;
}

bool SandboxFiles::SetCurrentDirectory(const std::string& path) {
  auto full = m_.FullPath(path);
  if (!full) return false;
  auto r = m_.paths.Resolve(*full);
  if (!r || !IsDir(*r)) return false;
  while (full->size() > 3 && full->back() == '\\') full->pop_back();
  m_.current_directory = *full;
  return true;
}

bool SandboxFiles::AllowUsersToModify(const std::string& dir) {
  auto r = m_.Resolve(dir);
  // Changing a folder's access list takes the rights to change the folder.
  if (!r || !IsDir(*r) || !m_.MayChange(r->host)) return false;
  return m_.granted.Add(r->host);
}

bool SandboxFiles::UsersMayModify(const std::string& dir) {
  auto r = m_.Resolve(dir);
  return r && r->exists && m_.Granted(r->host);
}

std::unique_ptr<FileStream> SandboxFiles::OpenFile(const std::string& path, OpenMode mode) {
  bool create = mode == OpenMode::kCreate;
  bool write = create || mode == OpenMode::kReadWrite;
  auto fail = [&]() -> std::unique_ptr<FileStream> {
    if (create) throw EFCreateError("Cannot create file \"" + path + "\"");
    throw EFOpenError("Cannot open file \"" + path + "\"");
  };
  auto r = m_.Resolve(path);
  if (!r || IsDir(*r)) return fail();
  if (r->exists && write && (ReadOnly(*r) || m_.locks.Contains(r->host))) return fail();
  if (write && !m_.MayChange(r->host)) return fail();
  if (!r->exists && !create) return fail();

  UniqueFd fd = OpenHostFile(r->host, (write ? O_RDWR : O_RDONLY) | (create ? O_CREAT : 0));
  if (!fd) return fail();
  // Windows sharing: writers need nobody to deny writing; a handle that denies writing needs
  // no writer. Every handle denies deletion.
  bool denied = (write && ShareHeldByOther(fd.get(), Share::kDeniesWrite)) ||
                (mode != OpenMode::kRead && ShareHeldByOther(fd.get(), Share::kHasWriter));
  bool held = !denied && (!write || HoldShare(fd.get(), Share::kHasWriter)) &&
              (mode == OpenMode::kRead || HoldShare(fd.get(), Share::kDeniesWrite)) &&
              HoldShare(fd.get(), Share::kDeniesDelete);
  if (!held || (create && ::ftruncate(fd.get(), 0) != 0)) {
    fd.Close();
    if (create && !r->exists) ::unlink(r->host.c_str());
    return fail();
  }
  if (create && !r->exists) m_.paths.NoteAdded(r->host);
  return std::make_unique<SandboxFileStream>(std::move(fd), m_.faults);
}

}  // namespace vl4::platform::sandbox
