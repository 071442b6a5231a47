// The output side of inflate, explode and unreduce: a linear buffer whose first kHistory bytes
// hold what came before, followed by room for several windows of new bytes. Each window is handed
// to MemberIo::Write the moment it is complete, as the member's window flushes are; when the room
// is used up the last kHistory bytes move to the front. Matches therefore copy without wrapping,
// and fast loops may write a little past the match end.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "zip/decompress/member_io.h"

namespace vl4::zip {

class OutputWindow {
 public:
  static constexpr size_t kHistory = 32768;
  static constexpr size_t kRoom = 4 * 32768;
  // Fast loops may write this far beyond the current position.
  static constexpr size_t kSlack = 64;
  static constexpr size_t kBufferSize = kHistory + kRoom + kSlack;

  // buffer: kBufferSize bytes. window: the flush size (32768, or 16384 for unreduce). With
  // zero_history, distances reaching before the data read zero bytes; otherwise the caller must
  // refuse them (see Produced()).
  OutputWindow(MemberIo& io, uint8_t* buffer, size_t window, bool zero_history)
      : io_(io), buffer_(buffer), window_(window) {
    if (zero_history) std::memset(buffer_, 0, kHistory);
    pos = buffer_ + kHistory;
    flush_at = pos + window_;
    start_ = pos;
  }

  // The next byte goes here. pos never stays at flush_at: whoever brings it there calls
  // WindowFull() at once.
  uint8_t* pos;
  uint8_t* flush_at;

  // Bytes a distance may reach back: what was produced, up to the history size.
  size_t Produced() const { return static_cast<size_t>(pos - start_); }

  // The end of the room for new bytes: flush_at never passes it.
  uint8_t* RoomEnd() const { return buffer_ + kHistory + kRoom; }

  // Hands over the completed window and makes room. pos is at flush_at, or past it by less than a
  // window when a fast loop ran on (never in the buffer's last window).
  void WindowFull() {
    io_.Write(flush_at - window_, window_);
    flush_at += window_;
    if (flush_at > RoomEnd()) {
      std::memmove(buffer_, pos - kHistory, kHistory);
      pos = buffer_ + kHistory;
      flush_at = pos + window_;
      start_ = buffer_;  // from now on the whole history is data
    }
  }

  // At the end of the member: the window's used part, then the output buffer (always, so the run
  // sees its last, possibly empty, flush).
  void Finish() {
    io_.Write(flush_at - window_, static_cast<size_t>(pos - (flush_at - window_)));
    io_.Flush();
  }

  // A byte, a careful way (slow paths).
  void Put(uint8_t b) {
    *pos++ = b;
    if (pos == flush_at) WindowFull();
  }

  // Copies len bytes from distance back, byte-exact, flushing at window ends. The caller has
  // checked the distance.
  void Copy(size_t distance, size_t len) {
    while (len > 0) {
      size_t piece = static_cast<size_t>(flush_at - pos);
      if (piece > len) piece = len;
      const uint8_t* src = pos - distance;
      for (size_t i = 0; i < piece; ++i) pos[i] = src[i];
      pos += piece;
      len -= piece;
      if (pos == flush_at) WindowFull();
    }
  }

 private:
  MemberIo& io_;
  uint8_t* buffer_;
  size_t window_;
  uint8_t* start_;
};

}  // namespace vl4::zip
