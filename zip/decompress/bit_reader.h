// The bit reader of the decompressors: a 64-bit buffer filled least significant bit first over the
// member's input pieces, refilled a word at a time while the current piece has 8 bytes left and a
// byte at a time, through MemberIo::Refill, near its end.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>

#include "zip/decompress/member_io.h"

namespace vl4::zip {

inline uint64_t LoadLittleEndian64(const uint8_t* p) {
  uint64_t v;
  std::memcpy(&v, p, sizeof v);
  if constexpr (std::endian::native == std::endian::big) v = __builtin_bswap64(v);
  return v;
}

// Invariant: the bits of `bits` above `count` are zero or the true bits of the bytes at next_ (a
// word refill loads more than it counts), so a later refill may OR the same bytes in again.
class BitReader {
 public:
  // The bits a word refill guarantees, and so the most that Ensure() can promise: it takes the
  // whole bytes that fit into the 64-bit buffer, leaving 56 to 63 bits.
  static constexpr unsigned kRefillBits = 56;
  static_assert(kRefillBits == 64 - 8, "count |= kRefillBits adds the whole bytes that fit");

  explicit BitReader(MemberIo& io) : io_(io), next_(io.in_next), end_(io.in_end) {}
  ~BitReader() { io_.in_next = next_; }
  BitReader(const BitReader&) = delete;
  BitReader& operator=(const BitReader&) = delete;

  // Makes at least n (<= kRefillBits) bits available; false when the member's input ends first
  // (the bits there are stay available).
  bool Ensure(unsigned n) { return count >= n || Fill(n); }

  uint64_t Peek() const { return bits; }
  unsigned Count() const { return count; }
  void Drop(unsigned n) {
    bits >>= n;
    count -= n;
  }

  // Reads n (<= 32) bits; false when the input ends first.
  bool Read(unsigned n, uint32_t& value) {
    if (!Ensure(n)) return false;
    value = static_cast<uint32_t>(bits & ((uint64_t{1} << n) - 1));
    Drop(n);
    return true;
  }

  // Drops the bits up to the next byte boundary.
  void AlignToByte() { Drop(count & 7); }

  // The buffer and the input position, for fast loops, which keep them in locals while they run
  // and put them back.
  uint64_t bits = 0;
  unsigned count = 0;
  const uint8_t*& Next() { return next_; }
  const uint8_t* End() const { return end_; }

  // The word refill, shared by Fill() and the fast loops (which hold the buffer in locals): at
  // least 8 bytes must be left at `in`. Leaves count at kRefillBits or more.
  static void RefillWord(uint64_t& bits, unsigned& count, const uint8_t*& in) {
    bits |= LoadLittleEndian64(in) << count;
    in += (63 - count) >> 3;
    count |= kRefillBits;
  }

  // Takes bytes straight from the input once the buffer holds whole bytes only: first the bytes in
  // the buffer, then from the pieces. Copies at most n bytes into dest and returns how many; 0
  // when the input has ended.
  size_t ReadBytes(uint8_t* dest, size_t n);

 private:
  bool Fill(unsigned n);
  bool NextPiece();

  MemberIo& io_;
  const uint8_t* next_;
  const uint8_t* end_;
};

inline bool BitReader::NextPiece() {
  io_.in_next = next_;
  if (!io_.Refill()) return false;
  next_ = io_.in_next;
  end_ = io_.in_end;
  return next_ != end_;
}

inline bool BitReader::Fill(unsigned n) {
  if (end_ - next_ >= 8) {
    RefillWord(bits, count, next_);
    return true;
  }
  while (count < n) {
    if (next_ == end_ && !NextPiece()) return false;
    bits |= uint64_t{*next_++} << count;
    count += 8;
  }
  return true;
}

inline size_t BitReader::ReadBytes(uint8_t* dest, size_t n) {
  size_t done = 0;
  while (done < n && count >= 8) {
    dest[done++] = static_cast<uint8_t>(bits);
    Drop(8);
  }
  if (done < n && count == 0) {
    // The buffer is empty: whatever a word refill loaded beyond its count is gone with it.
    bits = 0;
    if (next_ == end_ && !NextPiece()) return done;
    size_t piece = static_cast<size_t>(end_ - next_);
    if (piece > n - done) piece = n - done;
    std::memcpy(dest + done, next_, piece);
    next_ += piece;
    done += piece;
  }
  return done;
}

}  // namespace vl4::zip
