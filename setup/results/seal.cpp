// Sealing: text = 2 random bytes, the name (25), 47 random bytes, then the CRC-32 of the length
// byte and those 74 bytes. Each text byte is enciphered against a fixed key stream and the
// previous cipher byte, so a changed record byte disturbs at most two text bytes, which the
// CRC-32 always notices; the random bytes make two sealings of one name look unrelated.
#include "setup/results/seal.h"

namespace vl4 {

namespace {

constexpr uint8_t kTextLength = 78;
constexpr size_t kNameOffset = 3;  // first name byte in the record (text character 3)
constexpr size_t kCrcOffset = 75;  // four CRC bytes, least significant first
constexpr uint32_t kKeySeed = 0x56344C34;

uint32_t Crc32(const uint8_t* data, size_t size) {
  uint32_t crc = 0xFFFFFFFF;
  for (size_t i = 0; i < size; ++i) {
    crc ^= data[i];
    for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320 & (0u - (crc & 1)));
  }
  return ~crc;
}

// Key byte for record offsets 1 to 78: the high bytes of a 32-bit linear congruential sequence.
std::array<uint8_t, kSealedRecordSize> KeyStream() {
  std::array<uint8_t, kSealedRecordSize> key{};
  uint32_t state = kKeySeed;
  for (size_t i = 1; i < key.size(); ++i) {
    state = state * 1103515245u + 12345u;
    key[i] = static_cast<uint8_t>(state >> 16);
  }
  return key;
}

uint8_t Chain(uint8_t previous) {
  return static_cast<uint8_t>(previous * 167 + 13);
}

}  // namespace

SealedRecord SealName(std::string_view name, std::minstd_rand& random) {
  SealedRecord text{};
  text[0] = kTextLength;
  for (size_t i = 1; i < kCrcOffset; ++i) text[i] = static_cast<uint8_t>(random() >> 16);
  for (size_t i = 0; i < kSealedNameSize; ++i) {
    text[kNameOffset + i] = i < name.size() ? static_cast<uint8_t>(name[i]) : ' ';
  }
  uint32_t crc = Crc32(text.data(), kCrcOffset);
  for (size_t i = 0; i < 4; ++i) text[kCrcOffset + i] = static_cast<uint8_t>(crc >> (8 * i));

  const auto key = KeyStream();
  SealedRecord sealed{};
  sealed[0] = text[0];
  for (size_t i = 1; i < sealed.size(); ++i) {
    sealed[i] = static_cast<uint8_t>(text[i] ^ key[i] ^ Chain(sealed[i - 1]));
  }
  return sealed;
}

std::optional<std::string> UnsealName(const SealedRecord& record) {
  if (record[0] != kTextLength) return std::nullopt;
  const auto key = KeyStream();
  SealedRecord text{};
  text[0] = record[0];
  for (size_t i = 1; i < record.size(); ++i) {
    text[i] = static_cast<uint8_t>(record[i] ^ key[i] ^ Chain(record[i - 1]));
  }
  uint32_t stored = 0;
  for (size_t i = 0; i < 4; ++i) stored |= uint32_t{text[kCrcOffset + i]} << (8 * i);
  if (stored != Crc32(text.data(), kCrcOffset)) return std::nullopt;
  return std::string(reinterpret_cast<const char*>(text.data() + kNameOffset), kSealedNameSize);
}

}  // namespace vl4
