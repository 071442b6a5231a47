// libFuzzer target over every decompressor: the first byte chooses the method, the bit flag and
// the input piece size; the rest is the member's compressed data. A decompressor may fail, but
// must not read or write out of bounds, loop without end, or grow past its output limit.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "zip/decompress/explode.h"
#include "zip/decompress/inflate.h"
#include "zip/decompress/member_io.h"
#include "zip/decompress/unreduce.h"
#include "zip/decompress/unshrink.h"

namespace {

using namespace vl4::zip;

class FuzzIo : public MemberIo {
 public:
  FuzzIo(const uint8_t* data, size_t n, size_t piece) : data_(data), n_(n), piece_size_(piece) {
    out = out_buffer_.data();
    slide = slide_.data();
  }
  bool Refill() override {
    if (at_ == n_) return false;
    size_t k = n_ - at_ < piece_size_ ? n_ - at_ : piece_size_;
    piece_.assign(data_ + at_, data_ + at_ + k);  // exact size: overreads are caught
    at_ += k;
    in_next = piece_.data();
    in_end = in_next + k;
    return true;
  }
  void Flush() override {
    total_ += out_count;
    out_count = 0;
    // No member can legitimately produce more than this from its input: runaway output.
    if (total_ > limit) __builtin_trap();
  }
  size_t limit = 0;

 private:
  const uint8_t* data_;
  size_t n_;
  size_t piece_size_;
  size_t at_ = 0;
  size_t total_ = 0;
  std::vector<uint8_t> piece_;
  std::vector<uint8_t> out_buffer_ = std::vector<uint8_t>(kIoBufferSize);
  std::vector<uint8_t> slide_ = std::vector<uint8_t>(kSlideSize);
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const uint8_t selector = data[0];
  static const size_t kPieces[4] = {1, 7, 4096, kIoBufferSize};
  FuzzIo io(data + 1, size - 1, kPieces[(selector >> 3) & 3]);
  io.bit_flag = static_cast<uint16_t>((selector >> 4) & 6);
  io.uncompressed_size = int64_t{1} << 20;
  io.compressed_size = static_cast<int64_t>(size - 1);
  // Deflate expands at most 1032 to 1 (258 bytes from two bits); an LZW code at most to the
  // table's 8192 bytes; explode and unreduce stop at the uncompressed size.
  const size_t in_bits = (size - 1) * 8;
  switch (selector & 7) {
    case 0:
    case 1:
    case 2:
      io.limit = in_bits * 129 + kIoBufferSize;
      (void)Inflate(io);
      break;
    case 3:
      io.limit = (in_bits / 9 + 1) * 8192;
      (void)Unshrink(io);
      break;
    case 4:
    case 5:
      io.limit = static_cast<size_t>(io.uncompressed_size);
      (void)Explode(io);
      break;
    default:
      io.limit = static_cast<size_t>(io.uncompressed_size);
      (void)Unreduce(io, 1 + (selector >> 6));
      break;
  }
  return 0;
}
