// Unshrink: the Shrinking method (1) of the zip format (PKWARE dynamic LZW).
#pragma once

#include "zip/decompress/decode_result.h"
#include "zip/decompress/member_io.h"

namespace vl4::zip {

// Decompresses one shrunk member, using io.slide (kSlideSize bytes) for its tables. Codes of 9 to
// 13 bits are read until the compressed bytes end; the output is written as it is decoded and
// flushed once more at the end. Returns kOk; kBadData (without the final flush) when the stream
// asks for codes wider than 13 bits, starts with a code that has no string, or has a prefix chain
// longer than the table (a loop).
DecodeResult Unshrink(MemberIo& io);

}  // namespace vl4::zip
