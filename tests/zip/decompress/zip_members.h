// Test helpers: the raw members of a zip archive (central directory read just far enough to find
// each member's data), and the places the fixtures live.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vl4::zip::testing {

struct RawMember {
  std::string name;
  uint16_t bit_flag = 0;
  uint16_t method = 0;
  uint32_t crc32 = 0;
  uint32_t dos_date_time = 0;
  uint64_t uncompressed_size = 0;
  std::vector<uint8_t> data;  // the member's compressed bytes (with an encryption header)
};

std::vector<uint8_t> ReadFileBytes(const std::string& path);
std::vector<RawMember> ReadRawMembers(const std::string& path);

// The interoperability corpus and the fixtures made by the build, or nothing when absent.
std::optional<std::string> CorpusDir();
std::optional<std::string> FixtureDir();

// The CRC as the zip format states it, bit by bit: the reference for the fast kernels.
uint32_t ReferenceCrc32(const uint8_t* data, size_t n);

}  // namespace vl4::zip::testing
