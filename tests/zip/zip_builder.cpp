#include "tests/zip/zip_builder.h"

namespace vl4::zip::test {

void Put16(std::string& out, uint32_t v) {
  out += static_cast<char>(v & 0xFF);
  out += static_cast<char>((v >> 8) & 0xFF);
}

void Put32(std::string& out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

namespace {
uint32_t Size(const MemberPlan& m) {
  return static_cast<uint32_t>(m.uncompressed_size < 0 ? m.data.size() : m.uncompressed_size);
}
uint16_t Flag(const MemberPlan& m) {
  return m.descriptor ? m.flag | 0x0008 : m.flag;
}
}  // namespace

std::string LocalRecord(const MemberPlan& m) {
  const bool sizes = !m.descriptor || m.local_sizes;
  std::string out;
  Put32(out, 0x04034B50);
  Put16(out, 20);
  Put16(out, Flag(m));
  Put16(out, m.method);
  Put32(out, m.dos_time);
  Put32(out, sizes ? m.crc : 0);
  Put32(out, sizes ? static_cast<uint32_t>(m.data.size()) : 0);
  Put32(out, sizes ? Size(m) : 0);
  Put16(out, static_cast<uint32_t>(m.name.size()));
  Put16(out, static_cast<uint32_t>(m.local_extra.size()));
  out += m.name;
  out += m.local_extra;
  out += m.data;
  if (m.descriptor) {
    if (m.descriptor_signature) Put32(out, 0x08074B50);
    Put32(out, m.crc);
    Put32(out, static_cast<uint32_t>(m.data.size()));
    Put32(out, Size(m));
  }
  return out;
}

std::string CentralRecord(const MemberPlan& m, uint32_t offset, uint16_t disk) {
  std::string out;
  Put32(out, 0x02014B50);
  Put16(out, m.version_made_by);
  Put16(out, 20);
  Put16(out, Flag(m));
  Put16(out, m.method);
  Put32(out, m.dos_time);
  Put32(out, m.crc);
  Put32(out, static_cast<uint32_t>(m.data.size()));
  Put32(out, Size(m));
  Put16(out, static_cast<uint32_t>(m.name.size()));
  Put16(out, static_cast<uint32_t>(m.central_extra.size()));
  Put16(out, static_cast<uint32_t>(m.comment.size()));
  Put16(out, disk);
  Put16(out, 0);  // internal attributes
  Put32(out, m.external_attributes);
  Put32(out, offset);
  out += m.name;
  out += m.central_extra;
  out += m.comment;
  return out;
}

std::string EndRecord(const EndPlan& end, const std::string& comment) {
  std::string out;
  Put32(out, 0x06054B50);
  Put16(out, end.this_disk);
  Put16(out, end.central_disk);
  Put16(out, end.entries_this_disk);
  Put16(out, end.total_entries);
  Put32(out, end.central_size);
  Put32(out, end.central_offset);
  Put16(out, end.comment_length);
  out += comment;
  return out;
}

Built BuildZip(const ArchivePlan& plan) {
  Built built;
  built.bytes = plan.prefix;
  for (const MemberPlan& m : plan.members) {
    built.local_offsets.push_back(static_cast<uint32_t>(built.bytes.size()));
    built.bytes += LocalRecord(m);
  }
  built.central_offset = static_cast<uint32_t>(built.bytes.size());
  for (size_t i = 0; i < plan.members.size(); ++i) {
    built.bytes += CentralRecord(plan.members[i], built.local_offsets[i]);
  }
  built.end_offset = static_cast<uint32_t>(built.bytes.size());
  EndPlan end;
  end.entries_this_disk = end.total_entries = static_cast<uint16_t>(plan.members.size());
  end.central_size = built.end_offset - built.central_offset;
  end.central_offset = built.central_offset;
  end.comment_length = static_cast<uint16_t>(plan.comment.size());
  built.bytes += EndRecord(end, plan.comment);
  return built;
}

MemberPlan Member(std::string name, std::string data, std::string comment) {
  MemberPlan m;
  m.name = std::move(name);
  m.data = std::move(data);
  m.comment = std::move(comment);
  return m;
}

void Poke32(std::string& bytes, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>(v >> (8 * i));
}

}  // namespace vl4::zip::test
