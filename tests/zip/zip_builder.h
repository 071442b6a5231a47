// Writes small zip archives for the tests, byte by byte, so that each test can show (or damage)
// exactly the records it is about.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/exception.h"

namespace vl4::zip::test {

struct MemberPlan {
  std::string name;  // stored bytes, "/" separators
  std::string data;  // the member's (already compressed) data
  uint16_t method = 0;
  uint16_t flag = 0;
  uint32_t dos_time = 0x5A214C20;
  uint32_t crc = 0x12345678;
  int64_t uncompressed_size = -1;  // -1: data.size()
  std::string comment;
  std::string central_extra;
  std::string local_extra;
  uint16_t version_made_by = 20;
  uint32_t external_attributes = 0x20;
  // A data descriptor after the data (flag bit 3 is set); the local header then says 0 for the
  // sizes and the CRC unless local_sizes is set.
  bool descriptor = false;
  bool descriptor_signature = true;
  bool local_sizes = false;
};

struct ArchivePlan {
  std::vector<MemberPlan> members;
  std::string comment;
  std::string prefix;  // bytes before the first local header (offsets then count from the file)
};

// Little-endian writers.
void Put16(std::string& out, uint32_t v);
void Put32(std::string& out, uint32_t v);

// The local header, data (and descriptor) of one member.
std::string LocalRecord(const MemberPlan& m);
// The central header of one member whose local header is at `offset` on disk `disk`.
std::string CentralRecord(const MemberPlan& m, uint32_t offset, uint16_t disk = 0);
struct EndPlan {
  uint16_t this_disk = 0, central_disk = 0, entries_this_disk = 0, total_entries = 0;
  uint32_t central_size = 0, central_offset = 0;
  uint16_t comment_length = 0;
};
std::string EndRecord(const EndPlan& end, const std::string& comment);

// A single-file archive: local records, central directory, end record.
struct Built {
  std::string bytes;
  std::vector<uint32_t> local_offsets;
  uint32_t central_offset = 0;
  uint32_t end_offset = 0;
};
Built BuildZip(const ArchivePlan& plan);

// A stored member with its data and comment.
MemberPlan Member(std::string name, std::string data, std::string comment = "");
// Overwrites four bytes (little-endian) of an archive.
void Poke32(std::string& bytes, size_t at, uint32_t v);

// "Class: message" of the exception `f` ends with, or "no error".
template <class F>
std::string Error(F f) {
  try {
    f();
  } catch (const Exception& e) {
    return std::string(e.ClassName()) + ": " + e.Message();
  }
  return "no error";
}

}  // namespace vl4::zip::test
