// Unreduce: the follower sets, read first, predict each byte from the one before; the bytes then
// pass through a DLE (144) state machine that expands length/distance pairs.
#include "zip/decompress/unreduce.h"

#include <memory>
#include <new>

#include "zip/decompress/bit_reader.h"
#include "zip/decompress/output_window.h"

namespace vl4::zip {

namespace {

constexpr size_t kReduceWindow = 16384;
constexpr uint32_t kDle = 144;
constexpr uint32_t kMinMatchLength = 3;
constexpr int kMinFactor = 1;
constexpr int kMaxFactor = 4;

// Bits of a follower index for a set of n bytes: enough for n - 1, at least one.
constexpr unsigned FollowerIndexBits(unsigned n) {
  unsigned bits = 1;
  while ((1u << bits) < n) ++bits;
  return bits;
}

struct ReduceState {
  uint8_t followers[256][64] = {};  // zeros: an index beyond a set's size reads a defined byte
  uint8_t set_size[256] = {};
  alignas(64) uint8_t window[OutputWindow::kBufferSize];
};

class Unreducer {
 public:
  Unreducer(MemberIo& io, ReduceState& state, unsigned factor)
      : io_(io),
        s_(state),
        in_(io),
        out_(io, state.window, kReduceWindow, /*zero_history=*/true),
        factor_(factor) {}

  DecodeResult Run();

 private:
  // The next byte of the follower-set layer; false when the input ends.
  bool NextByte(uint32_t& c);

  MemberIo& io_;
  ReduceState& s_;
  BitReader in_;
  OutputWindow out_;
  unsigned factor_;
  uint32_t last_ = 0;
};

bool Unreducer::NextByte(uint32_t& c) {
  const unsigned n = s_.set_size[last_];
  if (n == 0) {
    if (!in_.Read(8, c)) return false;
  } else {
    uint32_t raw;
    if (!in_.Read(1, raw)) return false;
    if (raw) {
      if (!in_.Read(8, c)) return false;
    } else {
      uint32_t index;
      if (!in_.Read(FollowerIndexBits(n), index)) return false;
      c = s_.followers[last_][index];
    }
  }
  last_ = c;
  return true;
}

DecodeResult Unreducer::Run() {
  for (int j = 255; j >= 0; --j) {
    uint32_t n;
    if (!in_.Read(6, n)) return DecodeResult::kTruncated;
    s_.set_size[j] = static_cast<uint8_t>(n);
    for (uint32_t i = 0; i < n; ++i) {
      uint32_t b;
      if (!in_.Read(8, b)) return DecodeResult::kTruncated;
      s_.followers[j][i] = static_cast<uint8_t>(b);
    }
  }

  const uint32_t length_mask = 0x7Fu >> (factor_ - 1);
  const unsigned distance_shift = 8 - factor_;
  const uint32_t distance_mask = (1u << factor_) - 1;
  for (int64_t left = io_.uncompressed_size; left > 0;) {
    uint32_t c;
    if (!NextByte(c)) return DecodeResult::kTruncated;
    if (c != kDle) {
      out_.Put(static_cast<uint8_t>(c));
      --left;
      continue;
    }
    uint32_t v;
    if (!NextByte(v)) return DecodeResult::kTruncated;
    if (v == 0) {
      out_.Put(static_cast<uint8_t>(kDle));
      --left;
      continue;
    }
    uint32_t length = v & length_mask;
    if (length == length_mask) {
      if (!NextByte(c)) return DecodeResult::kTruncated;
      length += c;
    }
    if (!NextByte(c)) return DecodeResult::kTruncated;
    const size_t distance = ((v >> distance_shift) & distance_mask) * 256 + c + 1;
    length += kMinMatchLength;
    const size_t n = static_cast<int64_t>(length) < left ? length : static_cast<size_t>(left);
    out_.Copy(distance, n);  // at most 4096 back: inside the zeroed history at the start
    left -= static_cast<int64_t>(n);
  }
  out_.Finish();
  return DecodeResult::kOk;
}

}  // namespace

DecodeResult Unreduce(MemberIo& io, int factor) {
  if (factor < kMinFactor || factor > kMaxFactor) return DecodeResult::kBadData;
  std::unique_ptr<ReduceState> state(new (std::nothrow) ReduceState);
  if (!state) {
    io.OutOfMemory();
    return DecodeResult::kOutOfMemory;
  }
  return Unreducer(io, *state, static_cast<unsigned>(factor)).Run();
}

}  // namespace vl4::zip
