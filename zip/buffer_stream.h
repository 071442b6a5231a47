// TS_BufferStream: an 8192-byte read-ahead / write-behind buffer in front of a file stream, so that
// the small reads of the directory code and single bytes of a scan cost few file system calls.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

#include "platform/file_stream.h"
#include "zip/string_resource.h"

namespace vl4::zip {

class TS_BufferStream {
 public:
  static constexpr int32_t kBufferSize = 8192;

  // The underlying stream stays its owner's. While this stream lives it must be the only one to
  // move the underlying stream: the underlying position is tracked here, not asked for.
  TS_BufferStream(platform::FileStream& underlying, StringResourceCache& messages);
  // Writes what is pending (a failure to do so is not reported: there is nobody left to tell).
  virtual ~TS_BufferStream();
  TS_BufferStream(const TS_BufferStream&) = delete;
  TS_BufferStream& operator=(const TS_BufferStream&) = delete;

  // Short counts are not errors: Read stops at the end of the data, Write when the underlying
  // stream refuses bytes (those copied into the buffer before the refusal count as accepted).
  size_t Read(void* buffer, size_t count);
  size_t Write(const void* buffer, size_t count);

  // Origin 0 = beginning, 1 = current, 2 = end; with origin 2 the offset's sign is ignored (both
  // -4 and 4 mean four bytes before the end). Returns the new logical position. Raises Exception
  // "Invalid seek origin (%d)" for another origin, EStreamError "Seek error" when pending bytes
  // cannot be written first or when the target lies before the start of the file.
  int32_t Seek(int32_t offset, int origin);

  int32_t Position() { return Seek(0, 1); }
  void SetPosition(int32_t position) { Seek(position, 0); }
  // The logical size: the file's size, or further when pending bytes reach beyond it.
  int32_t Size();

  // Steps the read position back by one and stores `byte` there; EStreamError "Putback overflow"
  // when nothing was read from the buffer.
  void PutBack(uint8_t byte);

  // Raised after every fill and every flush of the buffer.
  std::function<void()> OnFill;
  std::function<void()> OnFlush;

 protected:
  bool Fill();   // reads ahead; false when no byte came
  bool Flush();  // writes pending bytes; false when not all were accepted

 private:
  enum class State { kIdle, kReading, kWriting };
  int64_t PendingOffset() const;
  std::string Message(int number);

  platform::FileStream& underlying_;
  StringResourceCache& messages_;
  std::unique_ptr<uint8_t[]> buffer_;
  size_t pos_ = 0;
  size_t end_ = 0;
  bool pos_set_ = false;
  State state_ = State::kIdle;
  int64_t underlying_pos_ = 0;
};

}  // namespace vl4::zip
