#include "zip/end_central.h"

#include <algorithm>
#include <vector>

#include "zip/little_endian.h"

namespace vl4::zip {

namespace {
constexpr int32_t kEndCentralSize = 22;
constexpr int32_t kSearchedTail = 65528;  // the record plus the longest comment, and a little
}  // namespace

void TEndCentral::Clear() {
  Signature = kEndCentralSignature;
  ThisDiskNumber = 0;
  CentralStartDisk = 0;
  EntriesThisDisk = 0;
  TotalEntries = 0;
  CentralSize = 0;
  CentralOffset = 0;
  ZipCommentLength = 0;
  zip_comment_.reset();
  ZipCommentPos = 0;
  CommentsChanged = false;
  EndCentralPos = 0;
}

void TEndCentral::Assign(const TEndCentral& source) {
  if (&source == this) return;
  Signature = source.Signature;
  ThisDiskNumber = source.ThisDiskNumber;
  CentralStartDisk = source.CentralStartDisk;
  EntriesThisDisk = source.EntriesThisDisk;
  TotalEntries = source.TotalEntries;
  CentralSize = source.CentralSize;
  CentralOffset = source.CentralOffset;
  ZipCommentLength = source.ZipCommentLength;
  if (source.ZipCommentLength != 0 && source.zip_comment_) {
    SetZipComment(source.zip_comment_.get());
    ZipCommentLength = static_cast<uint16_t>(zip_comment_->size());
  }
  ZipCommentPos = source.ZipCommentPos;
  EndCentralPos = source.EndCentralPos;
}

void TEndCentral::SetZipComment(const std::string* comment) {
  zip_comment_ = comment ? std::make_unique<std::string>(*comment) : nullptr;
}

bool TEndCentral::FindEndCentral(TS_BufferStream& stream) {
  // From the start, the stream's size is the file's, wherever a damaged length had moved it to.
  stream.Seek(0, 0);
  const int32_t size = stream.Size();
  if (size < kEndCentralSize) return false;
  const int32_t length = std::min(size, kSearchedTail);
  stream.Seek(-length, 2);
  std::vector<uint8_t> tail(static_cast<size_t>(length));
  if (stream.Read(tail.data(), tail.size()) != tail.size()) return false;

  for (int32_t i = length - kEndCentralSize; i >= 0; --i) {
    const uint8_t* r = tail.data() + i;
    if (r[0] != 'P' || Le32(r) != kEndCentralSignature) continue;
    ThisDiskNumber = Le16(r + 4);
    CentralStartDisk = Le16(r + 6);
    EntriesThisDisk = Le16(r + 8);
    TotalEntries = Le16(r + 10);
    CentralSize = Le32(r + 12);
    CentralOffset = Le32(r + 16);
    ZipCommentLength = Le16(r + 20);
    ZipCommentPos = size - ZipCommentLength;
    EndCentralPos = size - length + i;
    return true;
  }
  return false;
}

}  // namespace vl4::zip
