// The file system through the Win32 "A" functions: GetFileAttributesA, CreateDirectoryA,
// CopyFileA, MoveFileExA, FindFirstFileA, GetShortPathNameA, GetDriveTypeA, CreateFileA, ...
#include "platform/win32/windows_api.h"

#include "platform/exception.h"
#include "platform/path.h"
#include "platform/win32/win32_file_stream.h"
#include "platform/win32/win32_services.h"

namespace vl4::platform::win32 {

namespace {

uint32_t ToDos(const FILETIME& utc) {
  FILETIME local;
  WORD date, time;
  if (!FileTimeToLocalFileTime(&utc, &local) || !FileTimeToDosDateTime(&local, &date, &time)) {
    return 0;
  }
  return (static_cast<uint32_t>(date) << 16) | time;
}

// A string filled by a call that tells the size it needs.
template <class Call>
std::string Grown(Call call) {
  std::string buffer(MAX_PATH + 1, '\0');
  DWORD n = call(buffer.data(), static_cast<DWORD>(buffer.size()));
  if (n >= buffer.size()) {
    buffer.assign(n + 1, '\0');
    n = call(buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n >= buffer.size()) return "";
  }
  buffer.resize(n);
  return buffer;
}

// "Modify": read, write, run and delete, but not change the rights or take ownership.
constexpr ACCESS_MASK kModify =
    FILE_GENERIC_READ | FILE_GENERIC_WRITE | FILE_GENERIC_EXECUTE | DELETE;

// The SID of BUILTIN\Users, freed by its owner.
struct UsersSid {
  UsersSid() {
    SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
    if (!AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_USERS, 0, 0,
                                  0, 0, 0, 0, &sid)) {
      sid = nullptr;
    }
  }
  ~UsersSid() {
    if (sid) FreeSid(sid);
  }
  UsersSid(const UsersSid&) = delete;
  UsersSid& operator=(const UsersSid&) = delete;
  PSID sid = nullptr;
};

// A file's access list as GetNamedSecurityInfo gives it (acl points into the descriptor).
struct Dacl {
  explicit Dacl(const std::string& path)
      : ok(GetNamedSecurityInfoA(path.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                                 nullptr, &acl, nullptr, &descriptor) == ERROR_SUCCESS) {}
  ~Dacl() {
    if (descriptor) LocalFree(descriptor);
  }
  Dacl(const Dacl&) = delete;
  Dacl& operator=(const Dacl&) = delete;
  PACL acl = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  bool ok;
};

class Win32Files final : public Files {
 public:
  bool FileExists(const std::string& path) override {
    DWORD a = ::GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
  }
  bool DirectoryExists(const std::string& path) override {
    DWORD a = ::GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
  }
  bool CreateDirectory(const std::string& path) override {
    return ::CreateDirectoryA(path.c_str(), nullptr);
  }
  bool RemoveDirectory(const std::string& path) override {
    return ::RemoveDirectoryA(path.c_str());
  }
  bool DeleteFile(const std::string& path) override { return ::DeleteFileA(path.c_str()); }
  bool CopyFile(const std::string& from, const std::string& to, bool fail_if_exists) override {
    return ::CopyFileA(from.c_str(), to.c_str(), fail_if_exists);
  }
  bool MoveFile(const std::string& from, const std::string& to) override {
    return ::MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_COPY_ALLOWED);
  }
  std::optional<uint32_t> GetAttributes(const std::string& path) override {
    DWORD a = ::GetFileAttributesA(path.c_str());
    if (a == INVALID_FILE_ATTRIBUTES) return std::nullopt;
    return a;
  }
  bool SetAttributes(const std::string& path, uint32_t attributes) override {
    return ::SetFileAttributesA(path.c_str(), attributes);
  }
  std::optional<uint32_t> GetFileTime(const std::string& path) override {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
    return ToDos(data.ftLastWriteTime);
  }
  bool SetFileTime(const std::string& path, uint32_t dos_time) override {
    FILETIME local, utc;
    if (!DosDateTimeToFileTime(static_cast<WORD>(dos_time >> 16),
                               static_cast<WORD>(dos_time & 0xFFFF), &local) ||
        !LocalFileTimeToFileTime(&local, &utc)) {
      return false;
    }
    HANDLE h =
        ::CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    bool ok = ::SetFileTime(h, nullptr, nullptr, &utc);
    ::CloseHandle(h);
    return ok;
  }
  std::vector<FindEntry> FindFiles(const std::string& pattern) override {
    std::vector<FindEntry> found;
    WIN32_FIND_DATAA data;
    HANDLE h = ::FindFirstFileA(pattern.c_str(), &data);
    if (h == INVALID_HANDLE_VALUE) return found;
    do {
      found.push_back({data.cFileName, data.dwFileAttributes,
                       (static_cast<int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow,
                       ToDos(data.ftLastWriteTime)});
    } while (::FindNextFileA(h, &data));
    ::FindClose(h);
    return found;
  }
  std::string ShortPath(const std::string& path) override {
    return Grown([&](char* b, DWORD n) { return ::GetShortPathNameA(path.c_str(), b, n); });
  }
  std::string FullPath(const std::string& path) override {
    return Grown([&](char* b, DWORD n) { return ::GetFullPathNameA(path.c_str(), n, b, nullptr); });
  }
  DriveType GetDriveType(const std::string& root) override {
    return static_cast<DriveType>(::GetDriveTypeA(root.empty() ? nullptr : root.c_str()));
  }
  std::optional<std::string> VolumeLabel(const std::string& root) override {
    char label[MAX_PATH + 1] = {};
    if (!::GetVolumeInformationA(root.c_str(), label, sizeof label, nullptr, nullptr, nullptr,
                                 nullptr, 0)) {
      return std::nullopt;
    }
    return std::string(label);
  }
  int64_t DiskSize(char drive_letter) override {
    std::string root = std::string(1, drive_letter) + ":\\";
    ULARGE_INTEGER total;
    if (!::GetDiskFreeSpaceExA(root.c_str(), nullptr, &total, nullptr)) return -1;
    return static_cast<int64_t>(total.QuadPart);
  }
  int64_t FreeSpace(const std::string& path) override {
    // The volume of the nearest folder that exists: the path itself may not be made yet.
    std::string dir = FullPath(path);
    while (!dir.empty() && !DirectoryExists(dir)) {
      const std::string parent = ExtractFileDir(dir);
      if (parent == dir) return -1;
      dir = parent;
    }
    ULARGE_INTEGER available;
    if (!::GetDiskFreeSpaceExA(IncludeTrailingBackslash(dir).c_str(), &available, nullptr,
                               nullptr)) {
      return -1;
    }
    return static_cast<int64_t>(available.QuadPart);
  }
  std::string CurrentDirectory() override {
    return Grown([](char* b, DWORD n) { return ::GetCurrentDirectoryA(n, b); });
  }
  bool SetCurrentDirectory(const std::string& path) override {
    return ::SetCurrentDirectoryA(path.c_str());
  }
  bool AllowUsersToModify(const std::string& dir) override {
    UsersSid users;
    Dacl dacl(dir);
    if (!users.sid || !dacl.ok) return false;
    EXPLICIT_ACCESSA entry{};
    entry.grfAccessPermissions = kModify;
    entry.grfAccessMode = GRANT_ACCESS;
    entry.grfInheritance = SUB_CONTAINERS_AND_OBJECTS_INHERIT;
    entry.Trustee.TrusteeForm = TRUSTEE_IS_SID;
    entry.Trustee.TrusteeType = TRUSTEE_IS_WELL_KNOWN_GROUP;
    entry.Trustee.ptstrName = static_cast<LPSTR>(users.sid);
    PACL merged = nullptr;
    if (SetEntriesInAclA(1, &entry, dacl.acl, &merged) != ERROR_SUCCESS) return false;
    const DWORD rc =
        SetNamedSecurityInfoA(const_cast<char*>(dir.c_str()), SE_FILE_OBJECT,
                              DACL_SECURITY_INFORMATION, nullptr, nullptr, merged, nullptr);
    LocalFree(merged);
    return rc == ERROR_SUCCESS;
  }
  bool UsersMayModify(const std::string& dir) override {
    UsersSid users;
    Dacl dacl(dir);
    if (!users.sid || !dacl.ok) return false;
    if (!dacl.acl) return true;  // no access list: everybody may do everything
    TRUSTEE_A trustee{};
    trustee.TrusteeForm = TRUSTEE_IS_SID;
    trustee.TrusteeType = TRUSTEE_IS_WELL_KNOWN_GROUP;
    trustee.ptstrName = static_cast<LPSTR>(users.sid);
    ACCESS_MASK rights = 0;
    return GetEffectiveRightsFromAclA(dacl.acl, &trustee, &rights) == ERROR_SUCCESS &&
           (rights & kModify) == kModify;
  }
  std::unique_ptr<FileStream> OpenFile(const std::string& path, OpenMode mode) override {
    DWORD access = GENERIC_READ, share = FILE_SHARE_READ, disposition = OPEN_EXISTING;
    switch (mode) {
      case OpenMode::kReadDenyWrite:
        break;
      case OpenMode::kRead:
        share = FILE_SHARE_READ | FILE_SHARE_WRITE;
        break;
      case OpenMode::kReadWrite:
        access |= GENERIC_WRITE;
        break;
      case OpenMode::kCreate:
        access |= GENERIC_WRITE;
        disposition = CREATE_ALWAYS;
        break;
    }
    HANDLE h = ::CreateFileA(path.c_str(), access, share, nullptr, disposition,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
      if (mode == OpenMode::kCreate) throw EFCreateError("Cannot create file \"" + path + "\"");
      throw EFOpenError("Cannot open file \"" + path + "\"");
    }
    return std::make_unique<Win32FileStream>(h);
  }
};

}  // namespace

std::unique_ptr<Files> CreateFiles() {
  return std::make_unique<Win32Files>();
}

}  // namespace vl4::platform::win32
