// TZipHeaderInfo: what the reader keeps of one member, filled from its central directory header or,
// when the directory is rebuilt, from its local header.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/system.h"
#include "zip/buffer_stream.h"

namespace vl4::zip {

// Hands back the stream of the next volume of a multi-volume set (the old stream is gone).
using NextVolumeFn = std::function<TS_BufferStream&()>;

class TZipHeaderInfo {
 public:
  TZipHeaderInfo() { Clear(); }
  TZipHeaderInfo(const TZipHeaderInfo& other) {
    Clear();
    Assign(other);
  }
  TZipHeaderInfo& operator=(const TZipHeaderInfo& other) {
    Assign(other);
    return *this;
  }

  const char* ClassName() const { return "TZipHeaderInfo"; }

  // Back to the defaults: versions 20, method 8, CRC 0xFFFFFFFF, internal attributes 1, external
  // attributes 32 (archive), everything else 0 or empty.
  void Clear();

  // Copies every field, Selected included, the names through their setters. The comment text is
  // copied only when the source has a CommentLength and holds its text; otherwise this object's
  // text stays as it is.
  void Assign(const TZipHeaderInfo& source);
  void AssignTo(TZipHeaderInfo& target) const { target.Assign(*this); }

  // Reads the central directory header at the stream's position and leaves the stream after its
  // extra field and comment (the comment is not read). When the header comes short and the stream
  // ended right there (or inside a header whose signature came), `next_volume` (when given)
  // switches to the next volume and the rest of the header is read from it; `stream` is then no
  // longer valid. A wrong signature or a short read returns false with the stream back where it
  // was.
  bool ReadCentralHeader(TS_BufferStream& stream, platform::System& system,
                         const NextVolumeFn& next_volume = {});
  // Reads the local header at the stream's position and leaves the stream after the name, before
  // the extra field. False, with the stream back where it was, like ReadCentralHeader.
  bool ReadLocalHeader(TS_BufferStream& stream, platform::System& system);

  const std::string& Filename() const { return filename_; }
  const std::string& Directory() const { return directory_; }
  // Stores only a different value, then recomputes FilenameLength.
  void SetFilename(const std::string& filename);
  // As SetFilename; a non-empty directory gets a final "\" when it has none.
  void SetDirectory(const std::string& directory);

  // The comment text, or nothing while it has not been read (or there is none).
  const std::string* FileComment() const { return file_comment_.get(); }
  // Replaces the text with a copy (nullptr: none) and sets CommentLength to its length.
  void SetFileComment(const std::string* comment);

  bool HasComment() const { return CommentLength != 0; }
  bool IsEncrypted() const { return (BitFlag & 0x0001) != 0; }
  bool HasDataDescriptor() const { return (BitFlag & 0x0008) != 0; }

  uint16_t VersionMadeBy;
  uint16_t VersionNeeded;
  uint16_t BitFlag;
  uint16_t CompressionMethod;
  uint32_t DateTime;  // DOS time in the low word, date in the high word, repaired
  uint32_t CRC32;
  int32_t CompressedSize;  // counted down by the extraction run on its own copy
  int32_t UncompressedSize;
  uint16_t FilenameLength;  // Directory plus Filename
  uint16_t ExtraFieldLength;
  uint16_t CommentLength;
  uint16_t DiskNumberStart;
  uint16_t InternalAttributes;
  uint32_t ExternalAttributes;
  int32_t LocalHeaderOffset;    // on the member's volume
  int32_t CentralHeaderOffset;  // where its central header was read; 0 when found by scanning
  bool Selected;

 private:
  void SetNames(const std::string& name);

  std::string filename_;
  std::string directory_;
  std::unique_ptr<std::string> file_comment_;
};

}  // namespace vl4::zip
