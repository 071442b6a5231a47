// Unreduce: the Reducing methods (2 to 5, compression factors 1 to 4) of the zip format (PKWARE
// follower sets with a DLE-escaped LZ77 layer).
#pragma once

#include "zip/decompress/decode_result.h"
#include "zip/decompress/member_io.h"

namespace vl4::zip {

// Decompresses one reduced member; factor is the method number minus one (1..4).
// io.uncompressed_size bytes are produced, a distance reaching before the data giving zero bytes;
// windows of 16384 bytes go to the output as they fill, the rest and one last Flush() at the end.
// Returns kOk; kTruncated (without the final flushes) when the compressed bytes end first;
// kOutOfMemory when the window could not be allocated (io told); kBadData for a factor outside
// 1..4.
DecodeResult Unreduce(MemberIo& io, int factor);

}  // namespace vl4::zip
