// What the extraction tests share: a fresh world with an archive written into it, the files a run
// left under a folder, and the member data helpers (CRC, deflate, traditional encryption).
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "tests/support/test_world.h"
#include "tests/zip/zip_builder.h"
#include "zip/zip_reader.h"

namespace vl4::zip::test {

uint32_t Crc(const std::string& data);

// A member holding `data` with the given method's bytes (compressed by the caller).
MemberPlan Plain(std::string name, const std::string& data);     // stored, CRC filled in
MemberPlan Deflated(std::string name, const std::string& data);  // stored deflate blocks
MemberPlan Directory(std::string name);

// The traditional encryption of `plain` (12-byte header whose last byte is `check`).
std::string Encrypt(const std::string& password, uint8_t check, const std::string& plain);
// Encrypts the member's data with the check byte the reader expects for it.
void EncryptMember(MemberPlan& member, const std::string& password);

// Every file under `root` (a Windows path), by path relative to it with "\" separators, with its
// bytes; folders appear as "name\" with no bytes.
std::map<std::string, std::string> Tree(vl4::test::TestWorld& world, const std::string& root);

class UnzipWorld {
 public:
  UnzipWorld();
  // Writes the archive into the world (a new file each time) and names it to the reader.
  void Use(const ArchivePlan& plan);
  void UseBytes(const std::string& bytes);

  vl4::test::TestWorld world;
  TZipReader reader;
  std::string dest;  // world path "out"

 private:
  int archives_ = 0;
};

}  // namespace vl4::zip::test
