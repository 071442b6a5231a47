// Windows sharing between the open files of every process of the sandbox PC, kept as
// open-file-description byte locks far beyond any real data of the host file: they vanish with
// the handle, also when a process dies.
#pragma once

namespace vl4::platform::sandbox {

enum class Share {
  kHasWriter,     // this handle may write
  kDeniesWrite,   // this handle lets others only read
  kDeniesDelete,  // this handle is open, so the file can be neither deleted nor moved
};

// True when another handle holds the mark (fd may be any handle of the file).
bool ShareHeldByOther(int fd, Share mark);
// Puts the mark on this handle.
bool HoldShare(int fd, Share mark);

// Opens the file read-only only to ask whether another handle holds the mark.
bool ShareHeld(const char* host_path, Share mark);

}  // namespace vl4::platform::sandbox
