// Test helpers: reading raw members from zip archives.
#include "zip_members.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace vl4::zip::testing {

namespace {

uint32_t Get16(const std::vector<uint8_t>& b, size_t at) {
  if (at + 2 > b.size()) throw std::runtime_error("archive too short");
  return b[at] | (b[at + 1] << 8);
}
uint32_t Get32(const std::vector<uint8_t>& b, size_t at) {
  return Get16(b, at) | (Get16(b, at + 2) << 16);
}

std::optional<std::string> DirFromEnv(const char* name) {
  const char* v = std::getenv(name);
  if (v == nullptr || *v == 0) return std::nullopt;
  std::ifstream probe(std::string(v) + "/README.md");
  std::ifstream probe2(std::string(v) + "/fixtures.list");
  if (!probe && !probe2) return std::nullopt;
  return std::string(v);
}

}  // namespace

std::vector<uint8_t> ReadFileBytes(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  if (!f) throw std::runtime_error("cannot open " + path);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(f), {});
}

std::vector<RawMember> ReadRawMembers(const std::string& path) {
  const std::vector<uint8_t> b = ReadFileBytes(path);
  size_t eocd = b.size() < 22 ? 0 : b.size() - 22;
  while (eocd > 0 && Get32(b, eocd) != 0x06054B50) --eocd;
  if (Get32(b, eocd) != 0x06054B50) throw std::runtime_error("no end record in " + path);
  const uint32_t entries = Get16(b, eocd + 10);
  size_t at = Get32(b, eocd + 16);
  std::vector<RawMember> members;
  for (uint32_t i = 0; i < entries; ++i) {
    if (Get32(b, at) != 0x02014B50) throw std::runtime_error("bad central header in " + path);
    RawMember m;
    m.bit_flag = static_cast<uint16_t>(Get16(b, at + 8));
    m.method = static_cast<uint16_t>(Get16(b, at + 10));
    m.dos_date_time = Get32(b, at + 12);
    m.crc32 = Get32(b, at + 16);
    const uint32_t compressed = Get32(b, at + 20);
    m.uncompressed_size = Get32(b, at + 24);
    const uint32_t name_len = Get16(b, at + 28);
    const uint32_t extra_len = Get16(b, at + 30);
    const uint32_t comment_len = Get16(b, at + 32);
    const uint32_t local = Get32(b, at + 42);
    m.name.assign(b.begin() + at + 46, b.begin() + at + 46 + name_len);
    const size_t data = local + 30 + Get16(b, local + 26) + Get16(b, local + 28);
    if (data + compressed > b.size()) throw std::runtime_error("member beyond the end: " + m.name);
    m.data.assign(b.begin() + data, b.begin() + data + compressed);
    members.push_back(std::move(m));
    at += 46 + name_len + extra_len + comment_len;
  }
  return members;
}

std::optional<std::string> CorpusDir() {
  return DirFromEnv("VL4_CORPUS");
}
std::optional<std::string> FixtureDir() {
  return DirFromEnv("VL4_DECOMPRESS_FIXTURES");
}

uint32_t ReferenceCrc32(const uint8_t* data, size_t n) {
  uint32_t crc = 0xFFFFFFFF;
  for (size_t i = 0; i < n; ++i) {
    crc ^= data[i];
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320 & (0u - (crc & 1)));
  }
  return ~crc;
}

}  // namespace vl4::zip::testing
