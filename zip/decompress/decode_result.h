// How a decompressor's work on one member ended: the result of Inflate, Explode, Unreduce and
// Unshrink.
#pragma once

namespace vl4::zip {

// kOk is success. Every other result ends the member at once, without the final flushes, so its
// CRC test fails.
enum class [[nodiscard]] DecodeResult {
  kOk,
  kBadData,      // incomplete code set, invalid code, bad stored length or code count
  kBadCodes,     // over-subscribed or too long code lengths; deflate block type 3
  kOutOfMemory,  // the decoder's state could not be allocated (MemberIo::OutOfMemory() told)
  kBadTree,      // an imploded tree description gives too many or too few lengths
  kTruncated,    // the member's compressed bytes ended before its data did
};

}  // namespace vl4::zip
