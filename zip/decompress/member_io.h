// The contract between the extraction run and the decompressors: one member's compressed input,
// the output buffer with its flush, and the shared slide buffer. The run (the zip reader's
// extraction driver) implements the two virtual calls, which happen once per 16000 bytes, never
// per byte.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vl4::zip {

constexpr size_t kIoBufferSize = 16000;  // input and output buffers (16001 allocated)
constexpr size_t kWindowSize = 32768;    // the inflate and explode window
constexpr size_t kSlideSize = 32780;     // the slide buffer: window + 12

class MemberIo {
 public:
  virtual ~MemberIo() = default;

  // Input: the bytes [in_next, in_end) are available. When they are used up, Refill() loads the
  // next piece of at most 16000 bytes (letting the GUI breathe, honouring Cancel, switching
  // volumes, decrypting) and returns false when the member's compressed bytes are exhausted.
  // It may raise EFatalUnzipError or EUserCanceled, which end the whole run.
  const uint8_t* in_next = nullptr;
  const uint8_t* in_end = nullptr;
  virtual bool Refill() = 0;

  // Output: out[0, out_count) is pending. Flush() writes it (raising EBiggerThanUncompressed
  // when the member would grow past its uncompressed size), updates the CRC, reports progress
  // and sets out_count to 0. Every flush but a member's last carries exactly 16000 bytes.
  uint8_t* out = nullptr;
  size_t out_count = 0;
  virtual void Flush() = 0;

  // Appends n bytes to the output, flushing each time the buffer reaches 16000 bytes.
  void Write(const uint8_t* data, size_t n);

  // A decoding table could not be allocated: the run tells the user ("*** inflate out of
  // memory ***"); the decompressor then ends the member with DecodeResult::kOutOfMemory.
  virtual void OutOfMemory() {}

  // The slide buffer of kSlideSize bytes, allocated once per run.
  uint8_t* slide = nullptr;

  // The member being decompressed.
  uint16_t bit_flag = 0;
  int64_t compressed_size = 0;  // as stored (after the 12-byte encryption header)
  int64_t uncompressed_size = 0;
};

}  // namespace vl4::zip
