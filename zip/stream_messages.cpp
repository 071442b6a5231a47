// The native build's copy of the stream message table, built from stream_messages.def at compile
// time in the byte layout of the Windows resource.
#include "zip/stream_messages.h"

#ifndef _WIN32
#include <array>
#include <cstddef>
#include <string_view>

#include "platform/embedded_resource.h"
#endif

namespace vl4::zip {

#ifdef _WIN32

void RegisterStreamMessages() {}

#else

namespace {

struct Entry {
  int number;
  std::string_view length;  // the one-byte length the resource script writes
  std::string_view text;
};

constexpr Entry kEntries[] = {
#define VL4_STREAM_MESSAGE(number, length, text) {number, length, text},
#include "zip/stream_messages.def"
#undef VL4_STREAM_MESSAGE
};

constexpr size_t TableSize() {
  size_t size = 2;  // the terminating number 0
  for (const Entry& e : kEntries) size += 3 + e.text.size();
  return size;
}

constexpr bool LengthsMatch() {
  for (const Entry& e : kEntries) {
    if (e.length.size() != 1 || static_cast<unsigned char>(e.length[0]) != e.text.size()) {
      return false;
    }
  }
  return true;
}
static_assert(LengthsMatch(), "a length in stream_messages.def does not match its text");

constexpr std::array<char, TableSize()> kTable = [] {
  std::array<char, TableSize()> table{};
  size_t at = 0;
  for (const Entry& e : kEntries) {
    table[at++] = static_cast<char>(e.number & 0xFF);
    table[at++] = static_cast<char>(e.number >> 8);
    table[at++] = e.length[0];
    for (char c : e.text) table[at++] = c;
  }
  return table;  // the last two bytes stay 0
}();

}  // namespace

void RegisterStreamMessages() {
  static const bool registered = platform::RegisterEmbeddedResource(
      kStringTableType, kStreamMessages, std::string_view(kTable.data(), kTable.size()));
  (void)registered;
}

#endif

}  // namespace vl4::zip
