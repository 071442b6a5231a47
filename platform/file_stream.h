// An open file: the platform's handle behind the zip reader's and the program's file streams.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vl4::platform {

enum class OpenMode {
  kReadDenyWrite,  // read-only, others may not write (the archive)
  kRead,           // read-only, sharing allowed (a further volume, any file read)
  kReadWrite,      // read and write in place, no truncation (the results file's header)
  kCreate,         // create or truncate, read and write
};

enum class SeekOrigin { kBegin = 0, kCurrent = 1, kEnd = 2 };

class FileStream {
 public:
  virtual ~FileStream() = default;

  // Short counts are not errors: Read returns fewer bytes at the end of the file, Write fewer
  // when the disk refuses (full, injected fault). I/O failures of the OS return what was done.
  virtual size_t Read(void* buffer, size_t count) = 0;
  virtual size_t Write(const void* buffer, size_t count) = 0;
  virtual int64_t Seek(int64_t offset, SeekOrigin origin) = 0;  // returns the new position
  virtual int64_t Size() = 0;
  // The file's last-write time as a DOS date/time (date in the high word), 0 when unknown.
  virtual uint32_t DosTime() = 0;
};

}  // namespace vl4::platform
