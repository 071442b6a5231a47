// TLFNFileStream: a file opened through the platform, read and written through the 8192-byte
// buffer of TS_BufferStream. The zip reader's only file stream: archives, volumes, output files.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/file_stream.h"
#include "platform/files.h"
#include "zip/buffer_stream.h"

namespace vl4::zip {

namespace detail {
// Holds the open file. A base listed before TS_BufferStream, so that the file is opened before the
// buffer wraps it and closed only after the buffer has written what it still holds.
struct OwnedFile {
  std::unique_ptr<platform::FileStream> file;
};
}  // namespace detail

class TLFNFileStream : private detail::OwnedFile, public TS_BufferStream {
 public:
  // Modes used: kReadDenyWrite (the archive), kRead (a further volume), kCreate (an output file,
  // truncated when it exists). The platform's EFOpenError / EFCreateError pass through.
  TLFNFileStream(platform::Files& files, StringResourceCache& messages, const std::string& name,
                 platform::OpenMode mode);

  // The file's last-write time as a DOS date/time, from the open file itself.
  uint32_t DosTime() { return file->DosTime(); }
  // The file's size as the system has it (pending writes and the position do not count).
  int64_t FileSize() { return file->Size(); }
};

}  // namespace vl4::zip
