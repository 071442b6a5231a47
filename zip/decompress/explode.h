// Explode: the Imploding method (6) of the zip format (PKWARE Shannon-Fano LZ77).
#pragma once

#include "zip/decompress/decode_result.h"
#include "zip/decompress/member_io.h"

namespace vl4::zip {

// Decompresses one imploded member. io.bit_flag chooses the dictionary (bit 1: 8 KiB, else 4 KiB)
// and the trees (bit 2: a literal tree and minimum match 3, else raw literals and minimum match
// 2); io.uncompressed_size bytes are produced, a distance reaching before the data giving zero
// bytes. Windows of 32768 bytes are handed to the output as they complete, the rest and one last
// Flush() at the end. Returns kOk, or, without the final flushes:
//   kBadTree      a tree description gives too many or too few lengths
//   kBadData      an incomplete tree
//   kBadCodes     an over-subscribed tree
//   kOutOfMemory  the decoder's tables could not be allocated (io.OutOfMemory() told)
//   kTruncated    the compressed bytes ended first
DecodeResult Explode(MemberIo& io);

}  // namespace vl4::zip
