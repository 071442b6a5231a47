#include "tests/zip/unzip/unzip_world.h"

#include "platform/file_tree.h"
#include "tests/zip/decompress/deflate_writer.h"
#include "zip/decompress/crc32.h"

namespace vl4::zip::test {

uint32_t Crc(const std::string& data) {
  return ~Crc32Update(0xFFFFFFFF, reinterpret_cast<const uint8_t*>(data.data()), data.size());
}

MemberPlan Plain(std::string name, const std::string& data) {
  MemberPlan m;
  m.name = std::move(name);
  m.data = data;
  m.crc = Crc(data);
  return m;
}

MemberPlan Deflated(std::string name, const std::string& data) {
  testing::DeflateWriter writer;
  size_t at = 0;
  do {
    const size_t n = std::min<size_t>(data.size() - at, 65535);
    writer.Stored(at + n == data.size(),
                  std::vector<uint8_t>(data.begin() + static_cast<ptrdiff_t>(at),
                                       data.begin() + static_cast<ptrdiff_t>(at + n)));
    at += n;
  } while (at < data.size());
  const std::vector<uint8_t> bytes = writer.Finish();
  MemberPlan m = Plain(std::move(name), data);
  m.data.assign(bytes.begin(), bytes.end());
  m.method = 8;
  m.uncompressed_size = static_cast<int64_t>(data.size());
  return m;
}

MemberPlan Directory(std::string name) {
  MemberPlan m = Plain(std::move(name), "");
  m.external_attributes = platform::kAttrDirectory;
  return m;
}

namespace {
struct Keys {
  uint32_t k0 = 0x12345678, k1 = 0x23456789, k2 = 0x34567890;
  void Update(uint8_t p) {
    k0 = Crc32UpdateByte(k0, p);
    k1 = (k1 + (k0 & 0xFF)) * 134775813u + 1;
    k2 = Crc32UpdateByte(k2, static_cast<uint8_t>(k1 >> 24));
  }
  uint8_t Stream() const {
    const uint32_t t = (k2 & 0xFFFF) | 2;
    return static_cast<uint8_t>((t * (t ^ 1)) >> 8);
  }
};
}  // namespace

std::string Encrypt(const std::string& password, uint8_t check, const std::string& plain) {
  Keys keys;
  for (char c : password) keys.Update(static_cast<uint8_t>(c));
  std::string in = "0123456789A";
  in += static_cast<char>(check);
  in += plain;
  std::string out;
  for (char c : in) {
    const uint8_t p = static_cast<uint8_t>(c);
    out += static_cast<char>(p ^ keys.Stream());
    keys.Update(p);
  }
  return out;
}

void EncryptMember(MemberPlan& member, const std::string& password) {
  member.flag |= 0x0001;
  const bool descriptor = member.descriptor || (member.flag & 0x0008) != 0;
  const uint8_t check = static_cast<uint8_t>(descriptor ? member.dos_time >> 8 : member.crc >> 24);
  if (member.uncompressed_size < 0)
    member.uncompressed_size = static_cast<int64_t>(member.data.size());
  member.data = Encrypt(password, check, member.data);
}

std::map<std::string, std::string> Tree(vl4::test::TestWorld& world, const std::string& root) {
  std::map<std::string, std::string> tree;
  std::vector<std::string> folders = {""};
  while (!folders.empty()) {
    const std::string folder = folders.back();
    folders.pop_back();
    for (const platform::FindEntry& e : world.files().FindFiles(root + "\\" + folder + "*.*")) {
      if (platform::IsDotEntry(e.name)) continue;
      if (e.attributes & platform::kAttrDirectory) {
        tree[folder + e.name + "\\"];
        folders.push_back(folder + e.name + "\\");
      } else {
        tree[folder + e.name] =
            world.ReadFile(root + "\\" + folder + e.name).value_or("<unreadable>");
      }
    }
  }
  return tree;
}

UnzipWorld::UnzipWorld() : reader(world.platform()), dest(world.Path("out")) {}

void UnzipWorld::Use(const ArchivePlan& plan) {
  UseBytes(BuildZip(plan).bytes);
}

void UnzipWorld::UseBytes(const std::string& bytes) {
  // A new name each time: a rewritten archive of the same size may keep its time stamp.
  const std::string name = world.Path("a" + std::to_string(++archives_) + ".zip");
  world.WriteFile(name, bytes);
  reader.SetZipName(name);
}

}  // namespace vl4::zip::test
