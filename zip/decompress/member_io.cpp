#include "zip/decompress/member_io.h"

#include <cstring>

namespace vl4::zip {

void MemberIo::Write(const uint8_t* data, size_t n) {
  while (n > 0) {
    size_t room = kIoBufferSize - out_count;
    size_t piece = n < room ? n : room;
    std::memcpy(out + out_count, data, piece);
    out_count += piece;
    data += piece;
    n -= piece;
    if (out_count == kIoBufferSize) Flush();
  }
}

}  // namespace vl4::zip
