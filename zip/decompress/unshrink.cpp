// Unshrink: LZW with codes that grow on request and a partial clear that frees the leaves of the
// code tree. The slide buffer holds the prefix table (8192 16-bit entries), the suffix table and
// the stack on which a string is spelt backwards.
#include "zip/decompress/unshrink.h"

#include <cstring>

#include "zip/decompress/bit_reader.h"

namespace vl4::zip {

namespace {

constexpr unsigned kMinCodeBits = 9;
constexpr unsigned kMaxCodeBits = 13;
constexpr uint32_t kCodes = 1u << kMaxCodeBits;
constexpr uint32_t kControl = 256;
// What follows kControl.
constexpr uint32_t kWiderCodes = 1;
constexpr uint32_t kPartialClear = 2;
constexpr uint32_t kFirstFree = 257;
// Prefix entry flags above the 13 code bits. A freed code keeps its old prefix below the flag.
constexpr uint16_t kFree = 0x8000;
constexpr uint16_t kHasChild = 0x4000;
constexpr uint16_t kCodeMask = kCodes - 1;

static_assert(kCodes * 2 + kCodes + kCodes <= kSlideSize);

class Unshrinker {
 public:
  explicit Unshrinker(MemberIo& io)
      : io_(io),
        in_(io),
        prefix_(reinterpret_cast<uint16_t*>(io.slide)),
        suffix_(io.slide + 2 * kCodes),
        stack_(io.slide + 3 * kCodes) {}

  DecodeResult Run();

 private:
  void PartialClear();
  void AdvanceFree();

  MemberIo& io_;
  BitReader in_;
  uint16_t* prefix_;
  uint8_t* suffix_;
  uint8_t* stack_;
  uint32_t next_free_ = kFirstFree;
};

void Unshrinker::AdvanceFree() {
  do {
    ++next_free_;
  } while (next_free_ < kCodes && !(prefix_[next_free_] & kFree));
}

// Frees every code that is no other code's prefix; the next free code is then the lowest.
void Unshrinker::PartialClear() {
  for (uint32_t c = kFirstFree; c < kCodes; ++c) {
    if (prefix_[c] & kFree) continue;
    const uint32_t p = prefix_[c] & kCodeMask;
    if (p >= kFirstFree) prefix_[p] |= kHasChild;
  }
  for (uint32_t c = kFirstFree; c < kCodes; ++c) {
    if (prefix_[c] & kHasChild) {
      prefix_[c] &= static_cast<uint16_t>(~kHasChild);
    } else {
      prefix_[c] |= kFree;
    }
  }
  next_free_ = kFirstFree - 1;
  AdvanceFree();
}

DecodeResult Unshrinker::Run() {
  for (uint32_t c = kFirstFree; c < kCodes; ++c) prefix_[c] = kFree;
  unsigned code_bits = kMinCodeBits;
  int32_t previous = -1;  // the code before, none at the start
  uint8_t previous_first = 0;
  for (;;) {
    uint32_t code;
    if (!in_.Read(code_bits, code)) break;
    if (code == kControl) {
      uint32_t what;
      if (!in_.Read(code_bits, what)) break;
      if (what == kWiderCodes) {
        if (++code_bits > kMaxCodeBits) return DecodeResult::kBadData;
      } else if (what == kPartialClear) {
        PartialClear();
      }
      continue;
    }

    // Spell the string backwards from the top of the stack.
    uint32_t sp = kCodes;
    uint32_t c = code;
    if (c >= kFirstFree && (prefix_[c] & kFree)) {
      // Not defined yet: the previous string plus its own first character.
      if (previous < 0) return DecodeResult::kBadData;
      stack_[--sp] = previous_first;
      c = static_cast<uint32_t>(previous);
    }
    while (c >= kFirstFree) {
      if (sp == 0) return DecodeResult::kBadData;
      stack_[--sp] = suffix_[c];
      c = prefix_[c] & kCodeMask;
    }
    if (c == kControl || sp == 0) return DecodeResult::kBadData;
    stack_[--sp] = static_cast<uint8_t>(c);
    const uint8_t first = static_cast<uint8_t>(c);

    // Straight into the output buffer while it stays short of full (Write flushes it when full).
    const size_t n = kCodes - sp;
    if (io_.out_count + n < kIoBufferSize) {
      std::memcpy(io_.out + io_.out_count, stack_ + sp, n);
      io_.out_count += n;
    } else {
      io_.Write(stack_ + sp, n);
    }

    if (previous >= 0 && next_free_ < kCodes) {
      prefix_[next_free_] = static_cast<uint16_t>(previous);
      suffix_[next_free_] = first;
      AdvanceFree();
    }
    previous = static_cast<int32_t>(code);
    previous_first = first;
  }
  io_.Flush();
  return DecodeResult::kOk;
}

}  // namespace

DecodeResult Unshrink(MemberIo& io) {
  return Unshrinker(io).Run();
}

}  // namespace vl4::zip
