// Traditional PKWARE decryption.
#include "zip/decompress/traditional_crypt.h"

#include "zip/decompress/crc32.h"

namespace vl4::zip {

uint8_t PasswordCheckByte(uint16_t bit_flag, uint32_t crc32, uint32_t dos_date_time) {
  if (bit_flag & 0x0008) return static_cast<uint8_t>(dos_date_time >> 8);
  return static_cast<uint8_t>(crc32 >> 24);
}

void TraditionalKeys::Init(std::string_view password) {
  key0_ = 0x12345678;
  key1_ = 0x23456789;
  key2_ = 0x34567890;
  for (char c : password) Update(static_cast<uint8_t>(c));
}

void TraditionalKeys::Update(uint8_t plain) {
  key0_ = Crc32UpdateByte(key0_, plain);
  key1_ = (key1_ + (key0_ & 0xFF)) * 134775813u + 1;
  key2_ = Crc32UpdateByte(key2_, static_cast<uint8_t>(key1_ >> 24));
}

bool TraditionalKeys::DecryptHeader(const uint8_t* header, uint8_t check_byte) {
  uint8_t last = 0;
  for (size_t i = 0; i < kEncryptionHeaderSize; ++i) last = DecryptByte(header[i]);
  return last == check_byte;
}

void TraditionalKeys::Decrypt(uint8_t* data, size_t n) {
  // Keys in locals: the bytes written cannot then be taken for the keys by the compiler.
  TraditionalKeys k = *this;
  for (size_t i = 0; i < n; ++i) data[i] = k.DecryptByte(data[i]);
  *this = k;
}

}  // namespace vl4::zip
