// Inflate: the Deflate method (8) of the zip format, RFC 1951.
#pragma once

#include "zip/decompress/decode_result.h"
#include "zip/decompress/member_io.h"

namespace vl4::zip {

// Decompresses one deflated member from io's input into its output. The output reaches Flush()
// in 16000-byte pieces, each window of 32768 bytes being handed over as it completes; after the
// final block the rest follows, then one last Flush(). Returns kOk, or the error that ended the
// member at once, without flushing what the window still held:
//   kBadData      invalid code, bad stored-block length, too many codes, a repeat past the code
//                 lengths, an incomplete code set, a distance before the data
//   kBadCodes     over-subscribed code lengths, block type 3
//   kOutOfMemory  the decoder's tables could not be allocated (io.OutOfMemory() told)
//   kTruncated    the compressed bytes ended inside the stream
// A distance set of a single one-bit code is taken (RFC 1951 allows it for data with one
// distance), and so is a block without distance codes.
DecodeResult Inflate(MemberIo& io);

}  // namespace vl4::zip
