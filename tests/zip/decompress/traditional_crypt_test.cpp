// Traditional decryption: real encrypted members (the corpus's, and one Info-ZIP zip made with a
// password) pass the header check with the right password and decrypt to data whose CRC
// matches; a wrong password fails the check.
#include <gtest/gtest.h>

#include "memory_member_io.h"
#include "zip/decompress/crc32.h"
#include "zip/decompress/inflate.h"
#include "zip/decompress/traditional_crypt.h"
#include "zip_members.h"

namespace vl4::zip {
namespace {

using testing::MemoryMemberIo;
using testing::RawMember;

// Decrypts and, when deflated, inflates a member; the CRC of what comes out.
uint32_t DecryptedCrc(const RawMember& m, TraditionalKeys keys) {
  std::vector<uint8_t> data(m.data.begin() + kEncryptionHeaderSize, m.data.end());
  keys.Decrypt(data.data(), data.size());
  if (m.method == 0) return ~Crc32Update(0xFFFFFFFF, data.data(), data.size());
  MemoryMemberIo io(data, kIoBufferSize, static_cast<int64_t>(m.uncompressed_size));
  EXPECT_EQ(Inflate(io), DecodeResult::kOk) << m.name;
  return ~Crc32Update(0xFFFFFFFF, io.output.data(), io.output.size());
}

// fixed_archive: the archive's headers never change, so a wrong password's outcome is known.
// (An archive made at build time gets new random headers, and a wrong password then passes the
// check byte one time in 256; its CRC still fails.)
void CheckArchive(const std::string& path, const std::string& password, bool fixed_archive) {
  const auto members = testing::ReadRawMembers(path);
  int encrypted = 0;
  for (const RawMember& m : members) {
    if (!(m.bit_flag & 1)) continue;
    ++encrypted;
    ASSERT_GE(m.data.size(), kEncryptionHeaderSize) << m.name;
    const uint8_t check = PasswordCheckByte(m.bit_flag, m.crc32, m.dos_date_time);
    TraditionalKeys keys(password);
    ASSERT_TRUE(keys.DecryptHeader(m.data.data(), check)) << m.name;
    EXPECT_EQ(DecryptedCrc(m, keys), m.crc32) << m.name;

    TraditionalKeys wrong(password + "x");
    const bool passes = wrong.DecryptHeader(m.data.data(), check);
    if (fixed_archive) {
      EXPECT_FALSE(passes) << m.name;
    }
    if (passes && m.method == 0 && m.uncompressed_size > 0) {
      EXPECT_NE(DecryptedCrc(m, wrong), m.crc32) << m.name;
    }
  }
  EXPECT_GT(encrypted, 0);
}

TEST(TraditionalCrypt, CorpusStoredMembers) {
  auto corpus = testing::CorpusDir();
  if (!corpus) GTEST_SKIP() << "zip corpus not present";
  CheckArchive(*corpus + "/sharpcompress/zipcrypto.zip", "test", true);
}

TEST(TraditionalCrypt, DeflatedMembersWithDataDescriptors) {
  auto fixtures = testing::FixtureDir();
  if (!fixtures) GTEST_SKIP() << "fixtures not made";
  CheckArchive(*fixtures + "/encrypted.zip", "secret", false);
}

TEST(TraditionalCrypt, CheckByteSource) {
  EXPECT_EQ(PasswordCheckByte(0x0001, 0xAB123456, 0x5678CD00), 0xAB);
  EXPECT_EQ(PasswordCheckByte(0x0009, 0xAB123456, 0x5678CD00), 0xCD);
}

}  // namespace
}  // namespace vl4::zip
