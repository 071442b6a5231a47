// A MemberIo over memory for the decompressor tests: the input arrives in pieces of a chosen size
// (each in a buffer of its own, so reading past a piece is caught under the sanitizers), and every
// flush is recorded.
#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

#include "zip/decompress/member_io.h"

namespace vl4::zip::testing {

class MemoryMemberIo : public MemberIo {
 public:
  explicit MemoryMemberIo(std::vector<uint8_t> input, size_t piece_size = kIoBufferSize,
                          int64_t uncompressed = 0, uint16_t flag = 0)
      : input_(std::move(input)),
        piece_size_(piece_size),
        out_buffer_(std::make_unique<uint8_t[]>(kIoBufferSize)),
        slide_buffer_(std::make_unique<uint8_t[]>(kSlideSize)) {
    out = out_buffer_.get();
    slide = slide_buffer_.get();
    compressed_size = static_cast<int64_t>(input_.size());
    uncompressed_size = uncompressed;
    bit_flag = flag;
  }

  bool Refill() override {
    if (consumed_ == input_.size()) return false;
    size_t n = std::min(piece_size_, input_.size() - consumed_);
    piece_ = std::make_unique<uint8_t[]>(n);
    std::copy_n(input_.data() + consumed_, n, piece_.get());
    consumed_ += n;
    in_next = piece_.get();
    in_end = in_next + n;
    ++refills;
    return true;
  }

  void Flush() override {
    output.insert(output.end(), out, out + out_count);
    flushes.push_back(out_count);
    out_count = 0;
  }

  void OutOfMemory() override { ++out_of_memory; }

  std::vector<uint8_t> output;
  std::vector<size_t> flushes;
  int refills = 0;
  int out_of_memory = 0;

 private:
  std::vector<uint8_t> input_;
  size_t piece_size_;
  size_t consumed_ = 0;
  std::unique_ptr<uint8_t[]> piece_;
  std::unique_ptr<uint8_t[]> out_buffer_;
  std::unique_ptr<uint8_t[]> slide_buffer_;
};

// Every flush but the last carries exactly 16000 bytes.
inline bool FlushesArePieces(const std::vector<size_t>& flushes) {
  if (flushes.empty()) return false;
  return std::all_of(flushes.begin(), flushes.end() - 1,
                     [](size_t n) { return n == kIoBufferSize; }) &&
         flushes.back() <= kIoBufferSize;
}

}  // namespace vl4::zip::testing
