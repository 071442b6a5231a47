// Traditional PKWARE decryption: the three keys, their start from a password, the 12-byte header
// that precedes an encrypted member's data, and the decryption of the data that follows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace vl4::zip {

constexpr size_t kEncryptionHeaderSize = 12;

// The byte the last decrypted header byte must equal: the high byte of the DOS time when the
// member has a data descriptor (bit 3 of its bit flag), else the high byte of its CRC-32.
uint8_t PasswordCheckByte(uint16_t bit_flag, uint32_t crc32, uint32_t dos_date_time);

class TraditionalKeys {
 public:
  TraditionalKeys() { Init({}); }
  explicit TraditionalKeys(std::string_view password) { Init(password); }

  // Starts the keys from a password (its bytes as stored, in the ANSI code page).
  void Init(std::string_view password);

  // Decrypts the member's 12-byte encryption header (a copy: the caller's bytes stay as read) and
  // tells whether it fits the check byte. Either way the keys have advanced over the header, so
  // on success they stand ready for the data.
  bool DecryptHeader(const uint8_t* header, uint8_t check_byte);

  // Decrypts bytes in place, advancing the keys.
  void Decrypt(uint8_t* data, size_t n);

  uint8_t DecryptByte(uint8_t c) {
    uint8_t plain = c ^ KeyStreamByte();
    Update(plain);
    return plain;
  }

 private:
  uint8_t KeyStreamByte() const {
    uint32_t t = (key2_ & 0xFFFF) | 2;
    return static_cast<uint8_t>((t * (t ^ 1)) >> 8);
  }
  void Update(uint8_t plain);

  uint32_t key0_ = 0;
  uint32_t key1_ = 0;
  uint32_t key2_ = 0;
};

}  // namespace vl4::zip
