// TEndCentral: the end-of-central-directory record, and how it is found at the archive's end.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "zip/buffer_stream.h"

namespace vl4::zip {

class TEndCentral {
 public:
  TEndCentral() { Clear(); }

  // Signature set, the numbers zeroed, the comment dropped.
  void Clear();
  // Copies the numbers, the comment text (when the source has a length and holds its text; the
  // length then follows the copied text) and ZipCommentPos.
  void Assign(const TEndCentral& source);
  void AssignTo(TEndCentral& target) const { target.Assign(*this); }

  // Searches the last 65528 bytes of the stream backwards for the record's signature (the match
  // nearest to the end wins) and reads the record's numbers. False for a stream shorter than 22
  // bytes, a short read, or no signature. The comment length is not checked against the bytes
  // that follow the record. EndCentralPos tells where the record was found.
  bool FindEndCentral(TS_BufferStream& stream);

  const std::string* ZipComment() const { return zip_comment_.get(); }
  // Replaces the text with a copy (nullptr: none). The length is the caller's business.
  void SetZipComment(const std::string* comment);

  uint32_t Signature;
  uint16_t ThisDiskNumber;
  uint16_t CentralStartDisk;
  uint16_t EntriesThisDisk;
  uint16_t TotalEntries;
  uint32_t CentralSize;
  uint32_t CentralOffset;
  uint16_t ZipCommentLength;
  int32_t ZipCommentPos;  // archive size - ZipCommentLength; negative when the length is too large
  bool CommentsChanged;
  // Where FindEndCentral found the record (not a field of the record itself); 0 after Clear.
  int32_t EndCentralPos;

 private:
  std::unique_ptr<std::string> zip_comment_;
};

}  // namespace vl4::zip
