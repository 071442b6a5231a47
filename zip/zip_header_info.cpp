#include "zip/zip_header_info.h"

#include <cstring>

#include "zip/dos_date_time.h"
#include "zip/little_endian.h"
#include "zip/stored_name.h"

namespace vl4::zip {

namespace {
constexpr size_t kCentralHeaderSize = 46;
constexpr size_t kLocalHeaderSize = 30;

// Reads `stored` name bytes; false on a short read.
bool ReadName(TS_BufferStream& stream, uint16_t length, std::string& stored) {
  stored.resize(length);
  return length == 0 || stream.Read(stored.data(), length) == length;
}
}  // namespace

void TZipHeaderInfo::Clear() {
  VersionMadeBy = 20;
  VersionNeeded = 20;
  BitFlag = 0;
  CompressionMethod = 8;
  DateTime = 0;
  CRC32 = 0xFFFFFFFF;
  CompressedSize = 0;
  UncompressedSize = 0;
  FilenameLength = 0;
  ExtraFieldLength = 0;
  CommentLength = 0;
  DiskNumberStart = 0;
  InternalAttributes = 1;
  ExternalAttributes = 32;
  LocalHeaderOffset = 0;
  CentralHeaderOffset = 0;
  filename_.clear();
  directory_.clear();
  file_comment_.reset();
  Selected = false;
}

void TZipHeaderInfo::Assign(const TZipHeaderInfo& source) {
  if (&source == this) return;
  VersionMadeBy = source.VersionMadeBy;
  VersionNeeded = source.VersionNeeded;
  BitFlag = source.BitFlag;
  CompressionMethod = source.CompressionMethod;
  DateTime = source.DateTime;
  CRC32 = source.CRC32;
  CompressedSize = source.CompressedSize;
  UncompressedSize = source.UncompressedSize;
  FilenameLength = source.FilenameLength;
  ExtraFieldLength = source.ExtraFieldLength;
  CommentLength = source.CommentLength;
  DiskNumberStart = source.DiskNumberStart;
  InternalAttributes = source.InternalAttributes;
  ExternalAttributes = source.ExternalAttributes;
  LocalHeaderOffset = source.LocalHeaderOffset;
  CentralHeaderOffset = source.CentralHeaderOffset;
  SetFilename(source.filename_);
  SetDirectory(source.directory_);
  if (source.CommentLength != 0 && source.file_comment_) SetFileComment(source.file_comment_.get());
  Selected = source.Selected;
}

void TZipHeaderInfo::SetFilename(const std::string& filename) {
  if (filename == filename_) return;
  filename_ = filename;
  FilenameLength = static_cast<uint16_t>(directory_.size() + filename_.size());
}

void TZipHeaderInfo::SetDirectory(const std::string& directory) {
  std::string value = directory;
  if (!value.empty() && value.back() != '\\') value += '\\';
  if (value == directory_) return;
  directory_ = std::move(value);
  FilenameLength = static_cast<uint16_t>(directory_.size() + filename_.size());
}

void TZipHeaderInfo::SetFileComment(const std::string* comment) {
  file_comment_ = comment ? std::make_unique<std::string>(*comment) : nullptr;
  CommentLength = static_cast<uint16_t>(comment ? comment->size() : 0);
}

void TZipHeaderInfo::SetNames(const std::string& name) {
  std::string directory, filename;
  SplitStoredName(name, directory, filename);
  SetFilename(filename);
  SetDirectory(directory);
}

bool TZipHeaderInfo::ReadCentralHeader(TS_BufferStream& stream, platform::System& system,
                                       const NextVolumeFn& next_volume) {
  TS_BufferStream* s = &stream;
  const int32_t start = s->Position();
  uint8_t h[kCentralHeaderSize];
  size_t got = s->Read(h, sizeof h);
  if (got < sizeof h && next_volume &&
      (got == 0 || (got >= 4 && Le32(h) == kCentralHeaderSignature))) {
    s = &next_volume();
    got += s->Read(h + got, sizeof h - got);
  }
  std::string stored;
  if (got != sizeof h || Le32(h) != kCentralHeaderSignature ||
      !ReadName(*s, Le16(h + 28), stored)) {
    s->Seek(start, 0);
    return false;
  }
  const uint16_t bit_flag = Le16(h + 8);
  std::string name = ConvertStoredName(std::move(stored), bit_flag, system, Le16(h + 4));
  s->Seek(Le16(h + 30) + Le16(h + 32), 1);  // over the extra field and the comment

  VersionMadeBy = Le16(h + 4);
  VersionNeeded = Le16(h + 6);
  BitFlag = bit_flag;
  CompressionMethod = Le16(h + 10);
  DateTime = RepairDosDateTime(Le32(h + 12));
  CRC32 = Le32(h + 16);
  CompressedSize = static_cast<int32_t>(Le32(h + 20));
  UncompressedSize = static_cast<int32_t>(Le32(h + 24));
  FilenameLength = Le16(h + 28);
  ExtraFieldLength = Le16(h + 30);
  CommentLength = Le16(h + 32);
  DiskNumberStart = Le16(h + 34);
  InternalAttributes = Le16(h + 36);
  ExternalAttributes = Le32(h + 38);
  LocalHeaderOffset = static_cast<int32_t>(Le32(h + 42));
  CentralHeaderOffset = start;
  SetNames(name);
  file_comment_.reset();
  Selected = false;
  return true;
}

bool TZipHeaderInfo::ReadLocalHeader(TS_BufferStream& stream, platform::System& system) {
  const int32_t start = stream.Position();
  uint8_t h[kLocalHeaderSize];
  std::string stored;
  if (stream.Read(h, sizeof h) != sizeof h || Le32(h) != kLocalHeaderSignature ||
      !ReadName(stream, Le16(h + 26), stored)) {
    stream.Seek(start, 0);
    return false;
  }
  const uint16_t bit_flag = Le16(h + 6);
  std::string name = ConvertStoredName(std::move(stored), bit_flag, system);

  VersionMadeBy = 0;
  VersionNeeded = Le16(h + 4);
  BitFlag = bit_flag;
  CompressionMethod = Le16(h + 8);
  DateTime = RepairDosDateTime(Le32(h + 10));
  CRC32 = Le32(h + 14);
  CompressedSize = static_cast<int32_t>(Le32(h + 18));
  UncompressedSize = static_cast<int32_t>(Le32(h + 22));
  FilenameLength = Le16(h + 26);
  ExtraFieldLength = Le16(h + 28);
  CommentLength = 0;
  DiskNumberStart = 0;
  InternalAttributes = 0;
  ExternalAttributes = 0;
  CentralHeaderOffset = 0;
  SetNames(name);
  file_comment_.reset();
  Selected = false;
  LocalHeaderOffset = start;
  return true;
}

}  // namespace vl4::zip
