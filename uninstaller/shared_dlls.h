// The product's files in the system directory, counted among Windows' shared DLLs:
// HKEY_LOCAL_MACHINE \Software\Microsoft\Windows\CurrentVersion\SharedDLLs, one REG_DWORD per file,
// named by the file's full path as this program names it (C:\Windows\System32\vl4.dll). The
// installer starts a count at 1 for a file it placed new and at 2 for a file that was there before
// (one for the earlier owner it does not know); a count that exists goes up by one. The uninstaller
// takes its one back, and the file goes only with the last count: a file another program or
// installation uses, or one that was there before the product, stays.
#pragma once

#include <functional>
#include <string>

#include "installer/uninstall_record.h"

namespace vl4::platform {
class Registry;
}

namespace vl4 {

enum class SharedDllRelease {
  kNotCounted,  // no count of the file (or one that is no count): file and counter stay as they are
  kStillShared,  // the count went down and is not 0: others use the file, which stays
  kReleased,     // that was the last count: the file (unless kept) and its count are gone
  kStayed,       // the file or its count could not be changed: both are as they were, or the
                 // file is gone and its count of 1 is left for a later run
};

// Gives back the installation's count of the file at `path`. With the last count, `remove`
// deletes the file (true when it is gone); `keep_file` leaves the file in place all the same.
SharedDllRelease ReleaseSharedDll(platform::Registry& registry, const std::string& path,
                                  bool keep_file,
                                  const std::function<bool(const std::string&)>& remove);

}  // namespace vl4
