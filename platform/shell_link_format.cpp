#include "platform/shell_link_format.h"

#include <algorithm>

namespace vl4::platform {

namespace {

enum : uint32_t {
  kHasLinkTargetIdList = 0x01,
  kHasLinkInfo = 0x02,
  kHasName = 0x04,
  kHasRelativePath = 0x08,
  kHasWorkingDir = 0x10,
  kHasArguments = 0x20,
  kHasIconLocation = 0x40,
  kIsUnicode = 0x80,
};
constexpr uint32_t kHeaderSize = 0x4C;
// {00021401-0000-0000-C000-000000000046}, the shell link class, as stored.
constexpr unsigned char kLinkClsid[16] = {0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                          0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};
// {20D04FE0-3AEA-1069-A2D8-08002B30309D}, "My Computer", the root of a drive path's ID list.
constexpr unsigned char kMyComputer[16] = {0xE0, 0x4F, 0xD0, 0x20, 0xEA, 0x3A, 0x69, 0x10,
                                           0xA2, 0xD8, 0x08, 0x00, 0x2B, 0x30, 0x30, 0x9D};

void Put16(std::string& out, uint32_t v) {
  out += static_cast<char>(v & 0xFF);
  out += static_cast<char>((v >> 8) & 0xFF);
}
void Put32(std::string& out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}
void Put64(std::string& out, uint64_t v) {
  Put32(out, static_cast<uint32_t>(v));
  Put32(out, static_cast<uint32_t>(v >> 32));
}
void Set32(std::string& out, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) out[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

std::string IdList(const ShellLinkTarget& target) {
  std::string items;
  Put16(items, 0x14);
  items += '\x1F';
  items += '\x50';
  items.append(reinterpret_cast<const char*>(kMyComputer), 16);
  std::string drive = target.path.substr(0, 2) + "\\";
  Put16(items, 0x19);
  items += '\x2F';
  drive.resize(22, '\0');
  items += drive;
  for (const ShellLinkItem& item : target.items) {
    std::string body;
    body += static_cast<char>(item.directory ? 0x31 : 0x32);
    body += '\0';
    Put32(body, item.directory ? 0 : item.size);
    Put16(body, item.dos_time >> 16);
    Put16(body, item.dos_time & 0xFFFF);
    Put16(body, item.attributes & 0xFFFF);
    body += item.name;
    body += '\0';
    if ((body.size() + 2) % 2) body += '\0';
    Put16(items, static_cast<uint32_t>(body.size() + 2));
    items += body;
  }
  Put16(items, 0);
  std::string out;
  Put16(out, static_cast<uint32_t>(items.size()));
  return out + items;
}

std::string LinkInfo(const ShellLinkTarget& target) {
  std::string volume;
  Put32(volume, 0);  // size, set below
  Put32(volume, static_cast<uint32_t>(target.drive_type));
  Put32(volume, target.drive_serial);
  Put32(volume, 0x10);
  volume += target.volume_label;
  volume += '\0';
  Set32(volume, 0, static_cast<uint32_t>(volume.size()));

  const uint32_t header = 0x1C;
  uint32_t base_offset = header + static_cast<uint32_t>(volume.size());
  uint32_t suffix_offset = base_offset + static_cast<uint32_t>(target.path.size()) + 1;
  std::string out;
  Put32(out, suffix_offset + 1);  // whole size: through the empty common path suffix
  Put32(out, header);
  Put32(out, 1);  // VolumeIDAndLocalBasePath
  Put32(out, header);
  Put32(out, base_offset);
  Put32(out, 0);
  Put32(out, suffix_offset);
  out += volume;
  out += target.path;
  out += '\0';
  out += '\0';
  return out;
}

void PutString(std::string& out, std::string_view text, const ToUtf16& to_utf16) {
  std::u16string wide = to_utf16(text);
  Put16(out, static_cast<uint32_t>(wide.size()));
  for (char16_t c : wide) Put16(out, c);
}

class Reader {
 public:
  explicit Reader(std::string_view bytes) : b_(bytes) {}
  bool Has(size_t at, size_t n) const { return at <= b_.size() && n <= b_.size() - at; }
  uint32_t U16(size_t at) const {
    return static_cast<unsigned char>(b_[at]) | (static_cast<unsigned char>(b_[at + 1]) << 8);
  }
  uint32_t U32(size_t at) const { return U16(at) | (U16(at + 2) << 16); }
  // A zero-terminated ANSI string at `at`, ending by `limit`.
  std::optional<std::string> CString(size_t at, size_t limit) const {
    if (at >= limit || limit > b_.size()) return std::nullopt;
    size_t end = b_.find('\0', at);
    if (end == std::string_view::npos || end >= limit) return std::nullopt;
    return std::string(b_.substr(at, end - at));
  }
  std::string_view Bytes() const { return b_; }

 private:
  std::string_view b_;
};

}  // namespace

std::string EncodeShellLink(const ShellLinkTarget& target, std::string_view arguments,
                            std::string_view working_directory, const ToUtf16& to_utf16) {
  uint32_t flags = kHasLinkTargetIdList | kHasLinkInfo | kIsUnicode;
  if (!working_directory.empty()) flags |= kHasWorkingDir;
  if (!arguments.empty()) flags |= kHasArguments;

  std::string out;
  Put32(out, kHeaderSize);
  out.append(reinterpret_cast<const char*>(kLinkClsid), 16);
  Put32(out, flags);
  Put32(out, target.attributes);
  Put64(out, target.write_time);  // creation
  Put64(out, target.write_time);  // access
  Put64(out, target.write_time);  // write
  Put32(out, target.size);
  Put32(out, 0);  // icon index
  Put32(out, 1);  // SW_SHOWNORMAL
  Put16(out, 0);  // no hot key
  Put16(out, 0);
  Put32(out, 0);
  Put32(out, 0);

  out += IdList(target);
  out += LinkInfo(target);
  if (flags & kHasWorkingDir) PutString(out, working_directory, to_utf16);
  if (flags & kHasArguments) PutString(out, arguments, to_utf16);
  Put32(out, 0);  // no extra data blocks
  return out;
}

std::optional<DecodedShellLink> DecodeShellLink(std::string_view bytes,
                                                const FromUtf16& from_utf16) {
  Reader r(bytes);
  if (!r.Has(0, kHeaderSize) || r.U32(0) != kHeaderSize ||
      bytes.substr(4, 16) != std::string_view(reinterpret_cast<const char*>(kLinkClsid), 16)) {
    return std::nullopt;
  }
  uint32_t flags = r.U32(0x14);
  size_t pos = kHeaderSize;
  DecodedShellLink link;
  std::string id_list_path;

  if (flags & kHasLinkTargetIdList) {
    if (!r.Has(pos, 2)) return std::nullopt;
    size_t size = r.U16(pos);
    size_t end = pos + 2 + size;
    if (!r.Has(pos + 2, size)) return std::nullopt;
    for (size_t item = pos + 2; item + 2 <= end;) {
      size_t item_size = r.U16(item);
      if (item_size == 0) break;
      if (item_size < 3 || item + item_size > end) return std::nullopt;
      unsigned char type = static_cast<unsigned char>(bytes[item + 2]);
      if ((type & 0x70) == 0x20 && item_size >= 6) {  // a drive: "C:\"
        id_list_path = std::string(bytes.substr(item + 3, 2)) + "\\";
      } else if ((type & 0x70) == 0x30 && item_size > 14) {  // a folder or file
        if (auto name = r.CString(item + 14, item + item_size)) {
          if (!id_list_path.empty() && id_list_path.back() != '\\') id_list_path += '\\';
          id_list_path += *name;
        }
      }
      item += item_size;
    }
    pos = end;
  }

  if (flags & kHasLinkInfo) {
    if (!r.Has(pos, 0x1C)) return std::nullopt;
    size_t size = r.U32(pos);
    if (size < 0x1C || !r.Has(pos, size)) return std::nullopt;
    uint32_t info_flags = r.U32(pos + 8);
    if (info_flags & 1) {
      auto base = r.CString(pos + r.U32(pos + 0x10), pos + size);
      auto suffix = r.CString(pos + r.U32(pos + 0x18), pos + size);
      if (base) {
        link.target = *base;
        if (suffix && !suffix->empty()) {
          if (!link.target.empty() && link.target.back() != '\\') link.target += '\\';
          link.target += *suffix;
        }
      }
    }
    pos += size;
  }

  auto read_string = [&](std::string& out) {
    if (!r.Has(pos, 2)) return false;
    size_t count = r.U16(pos);
    pos += 2;
    if (flags & kIsUnicode) {
      if (!r.Has(pos, count * 2)) return false;
      std::u16string wide;
      for (size_t i = 0; i < count; ++i) wide += static_cast<char16_t>(r.U16(pos + 2 * i));
      out = from_utf16(wide);
      pos += count * 2;
    } else {
      if (!r.Has(pos, count)) return false;
      out = std::string(bytes.substr(pos, count));
      pos += count;
    }
    return true;
  };
  std::string name, relative_path, icon;
  if ((flags & kHasName) && !read_string(name)) return std::nullopt;
  if ((flags & kHasRelativePath) && !read_string(relative_path)) return std::nullopt;
  if ((flags & kHasWorkingDir) && !read_string(link.working_directory)) return std::nullopt;
  if ((flags & kHasArguments) && !read_string(link.arguments)) return std::nullopt;
  if ((flags & kHasIconLocation) && !read_string(icon)) return std::nullopt;

  for (std::string* s : {&link.arguments, &link.working_directory, &relative_path}) {
    s->resize(std::min(s->size(), s->find('\0')));
  }
  if (link.target.empty()) link.target = id_list_path.size() > 3 ? id_list_path : relative_path;
  return link;
}

}  // namespace vl4::platform
