// TZipReader: opening the archive and reading its directory, from the central directory or, when
// that is missing or misplaced, by scanning the archive for local headers.
#include <algorithm>
#include <limits>

#include "platform/path.h"
#include "platform/text.h"
#include "zip/little_endian.h"
#include "zip/zip_reader.h"

namespace vl4::zip {

namespace {

constexpr int32_t kExeScanStart = 14000;  // past the program part of a self-extracting archive
constexpr uint32_t kScanBreatheEvery = 10240;
constexpr size_t kScanChunk = 8192;
constexpr int32_t kDataDescriptorSize = 16;

// What the reader is built for: positions and sizes are signed 32-bit, so an archive (or volume)
// of 2 GiB or more is refused, and so is ZIP64, which exists for what is larger still. The member
// lists grow in steps of 16 up to their limit of 65534, so 65520 members is the most they hold.
constexpr int64_t kTooLargeArchive = int64_t{1} << 31;
constexpr int kMaxMembers = 65520;
constexpr uint32_t kZip64LocatorSignature = 0x07064B50;  // "PK", 6, 7
constexpr int32_t kZip64LocatorSize = 20;
constexpr const char* kTooManyMessage = "Too many files in zip file (more than 65520)";

// Shows the wait cursor while alive.
class WaitCursorScope {
 public:
  explicit WaitCursorScope(const ZipReaderHost& host) : host_(host) {
    if (host_.wait_cursor) host_.wait_cursor(true);
  }
  ~WaitCursorScope() {
    if (host_.wait_cursor) host_.wait_cursor(false);
  }
  WaitCursorScope(const WaitCursorScope&) = delete;
  WaitCursorScope& operator=(const WaitCursorScope&) = delete;

 private:
  const ZipReaderHost& host_;
};

}  // namespace

void TZipReader::OpenArchive() {
  if (!stream_) stream_ = OpenStream(zip_name_, platform::OpenMode::kReadDenyWrite);
  if (primary_ && ArchiveIsCurrent()) return;
  ReadDirectory();
}

void TZipReader::CloseArchive() {
  if (!keep_zip_open_) stream_.reset();
}

void TZipReader::StampArchive() {
  archive_time_ = stream_->DosTime();
  archive_size_ = stream_->FileSize();
}

bool TZipReader::ArchiveIsCurrent() {
  // The size as well: a file rewritten within the same two seconds keeps its DOS time.
  return stream_->DosTime() == archive_time_ && stream_->FileSize() == archive_size_;
}

void TZipReader::DropDirectory() {
  sorted_view_.reset();
  primary_.reset();
  archive_time_ = 0;
  archive_size_ = -1;
}

void TZipReader::CloseAndForget() {
  stream_.reset();
  DropDirectory();
  end_.Clear();
  rebuilt_ = false;
  volume_count_ = 1;
  span_mode_ = TZipSpanMode::smNone;
  zip_name_.clear();
  set_name_.clear();
}

void TZipReader::ReadDirectory() {
  DropDirectory();
  StampArchive();
  end_.Clear();
  rebuilt_ = false;
  RefuseTooLarge();
  // A read that fails half-way must not leave half a directory to be taken for the current one.
  struct DropUnlessDone {
    TZipReader& reader;
    bool done = false;
    ~DropUnlessDone() {
      if (!done) reader.DropDirectory();
    }
  } guard{*this};

  if (end_.FindEndCentral(*stream_)) {
    if (IsZip64()) Refuse("ZIP64 zip file not supported");
    if (end_.TotalEntries > kMaxMembers) Refuse(kTooManyMessage);
    current_volume_ = end_.ThisDiskNumber;
    set_name_ = zip_name_;
    span_mode_ = TZipSpanMode::smNone;
    if (end_.ThisDiskNumber != 0) {
      std::string root = UpperCase(zip_name_.substr(0, 3));
      bool removable = root.size() >= 2 && root[1] == ':' &&
                       files_.GetDriveType(root) == platform::DriveType::kRemovable;
      span_mode_ = removable ? TZipSpanMode::smRemovableDisks : TZipSpanMode::smSplitFiles;
    }
    if (end_.TotalEntries != 0) {
      if (span_mode_ != TZipSpanMode::smNone && end_.CentralStartDisk != current_volume_) {
        OpenVolume(end_.CentralStartDisk + 1);
      }
      bool at_central = false;
      if (end_.CentralOffset <= static_cast<uint32_t>(stream_->Size())) {
        stream_->Seek(static_cast<int32_t>(end_.CentralOffset), 0);
        at_central = AtCentralHeader();
      }
      if (at_central) {
        stream_->Seek(-4, 1);
      } else {
        RebuildOrFail();
      }
    }
  } else {
    if (OnInCompleteZip) OnInCompleteZip(*this, incomplete_zip_mode_);
    if (incomplete_zip_mode_ == TIncompleteZipMode::izAssumeMulti) {
      CloseAndForget();
      throw EIncompleteZip("Incomplete Zip File");
    }
    span_mode_ = TZipSpanMode::smNone;
    RebuildOrFail();
  }

  if (!rebuilt_) {
    primary_ = std::make_unique<TSortedZip>(TZipSortMode::ByNone, true, TDuplicates::dupError);
  }
  if (!ReadCentralEntries()) {
    // A central header is not where the directory says it is: the central directory is damaged,
    // so the members come from their local headers, completed by the central headers that follow.
    RebuildOrFail();
    ReadCentralEntries();
  } else if (!rebuilt_ && end_.TotalEntries != 0 && AtCentralHeader()) {
    // More headers than the end record counts: a writer's 16-bit count went round. Reading only
    // the counted ones would lose the rest without a word.
    Refuse("Central directory holds more files than the end record counts");
  }

  if (end_.ThisDiskNumber != 0 && end_.ZipCommentLength != 0) {
    // Read now, before the set's volumes change.
    if (current_volume_ != end_.ThisDiskNumber) OpenVolume(end_.ThisDiskNumber + 1);
    if (end_.ZipCommentPos >= 0) {
      std::string text(end_.ZipCommentLength, '\0');
      stream_->Seek(end_.ZipCommentPos, 0);
      text.resize(stream_->Read(text.data(), text.size()));
      end_.SetZipComment(&text);
    }
  }
  volume_count_ = end_.ThisDiskNumber + 1;
  current_volume_ = end_.ThisDiskNumber;
  ApplySortMode(sort_mode_);
  guard.done = true;
}

// Reads TotalEntries central headers from the stream's position. After a rebuild each completes
// the scanned member it belongs to, and the first one that cannot be read ends the reading (the
// members keep their local-header data). Otherwise the headers make the primary list, and false
// tells that one could not be read.
bool TZipReader::ReadCentralEntries() {
  NextVolumeFn next_volume;
  if (!rebuilt_ && span_mode_ != TZipSpanMode::smNone) {
    next_volume = [this]() -> TS_BufferStream& {
      OpenVolume(current_volume_ + 2);
      return *stream_;
    };
  }
  std::vector<std::unique_ptr<TZipHeaderInfo>> read;
  for (int i = 0; i < end_.TotalEntries; ++i) {
    auto info = std::make_unique<TZipHeaderInfo>();
    if (!info->ReadCentralHeader(*stream_, system_, next_volume)) {
      if (rebuilt_) break;
      return false;
    }
    if (rebuilt_) {
      int at = 0;
      if (primary_->Find(info.get(), at)) {
        TZipHeaderInfo& listed = *primary_->Get(at);
        const int32_t local_offset = listed.LocalHeaderOffset;
        listed.Assign(*info);
        listed.LocalHeaderOffset = local_offset;
      }
      continue;
    }
    if (end_.ThisDiskNumber != 0 && info->HasComment()) ReadMemberComment(*info);
    read.push_back(std::move(info));
  }
  if (!rebuilt_) {
    std::vector<TZipHeaderInfo*> members;
    members.reserve(read.size());
    for (const auto& info : read) members.push_back(info.get());
    primary_->Build(std::move(members));  // "Duplicate Object index" for two entries of one member
    for (auto& info : read) info.release();
  }
  return true;
}

void TZipReader::RebuildOrFail() {
  bool found;
  {
    WaitCursorScope wait(host_);
    found = RebuildDirectory();
  }
  if (!found) Refuse("Not a valid zip file!");
}

void TZipReader::Refuse(const char* message) {
  CloseAndForget();
  throw EBadZipFile(message);
}

// The file just stamped (the archive or a volume of its set) is past what 32-bit positions reach.
void TZipReader::RefuseTooLarge() {
  if (archive_size_ >= kTooLargeArchive) Refuse("Zip file too large (2 GiB or more)");
}

// A ZIP64 end locator right before the end record, or a field of the end record at its all-ones
// value, which sends ZIP64 readers to the ZIP64 end record for the real number.
bool TZipReader::IsZip64() {
  const TEndCentral& e = end_;
  if (e.ThisDiskNumber == 0xFFFF || e.CentralStartDisk == 0xFFFF || e.EntriesThisDisk == 0xFFFF ||
      e.TotalEntries == 0xFFFF || e.CentralSize == 0xFFFFFFFF || e.CentralOffset == 0xFFFFFFFF) {
    return true;
  }
  if (e.EndCentralPos < kZip64LocatorSize) return false;
  uint8_t signature[4];
  stream_->Seek(e.EndCentralPos - kZip64LocatorSize, 0);
  return stream_->Read(signature, 4) == 4 && Le32(signature) == kZip64LocatorSignature;
}

// Whether a central header starts at the stream's position; the stream moves past the four bytes.
bool TZipReader::AtCentralHeader() {
  uint8_t signature[4];
  return stream_->Read(signature, 4) == 4 && Le32(signature) == kCentralHeaderSignature;
}

// Builds the primary list from the local headers, starting at the first local header signature.
// False when there is none.
bool TZipReader::RebuildDirectory() {
  rebuilt_ = true;
  sorted_view_.reset();
  primary_.reset();
  // Case-sensitive on purpose: only an upper-case ".EXE" is taken for a self-extractor.
  const int32_t start = ExtractFileExt(zip_name_) == ".EXE" ? kExeScanStart : 0;
  const int64_t first = ScanForLocalHeader(start);
  if (first < 0) return false;

  stream_->Seek(static_cast<int32_t>(first), 0);
  primary_ = std::make_unique<TSortedZip>(TZipSortMode::ByNone, true, TDuplicates::dupError);
  bool search_descriptors = true;
  for (;;) {
    auto info = std::make_unique<TZipHeaderInfo>();
    if (!info->ReadLocalHeader(*stream_, system_)) break;
    if (primary_->Count() == kMaxMembers) Refuse(kTooManyMessage);
    const int64_t data_start = static_cast<int64_t>(stream_->Position()) + info->ExtraFieldLength;
    const bool more = SkipMemberData(*info, data_start, search_descriptors);
    primary_->Add(info.get());
    info.release();
    if (!more) break;
  }
  end_.ThisDiskNumber = 0;
  current_volume_ = 0;
  end_.CentralOffset = static_cast<uint32_t>(stream_->Position());
  end_.TotalEntries = static_cast<uint16_t>(primary_->Count());
  volume_count_ = 1;
  return true;
}

// Finds the first local header signature at or after `start`, counting the bytes that are not "P"
// to let the GUI breathe every 10240 of them. -1 when the file ends first.
int64_t TZipReader::ScanForLocalHeader(int32_t start) {
  static constexpr uint8_t kSignature[4] = {'P', 'K', 3, 4};
  uint8_t chunk[kScanChunk];
  uint32_t not_p = 0;
  int64_t base = start;
  stream_->Seek(start, 0);
  for (;;) {
    const size_t n = stream_->Read(chunk, sizeof chunk);
    if (n == 0) return -1;
    size_t i = 0;
    while (i < n) {
      if (chunk[i] != 'P') {
        ++i;
        if (++not_p == kScanBreatheEvery) {
          not_p = 0;
          Breathe();
        }
        continue;
      }
      if (i + 4 > n && n == sizeof chunk) break;  // the signature may go on in the next chunk
      size_t matched = 1;
      while (matched < 4 && i + matched < n && chunk[i + matched] == kSignature[matched]) ++matched;
      if (matched == 4) return base + static_cast<int64_t>(i);
      // The bytes that continued the signature are spent; the one that broke it is looked at
      // again as a possible "P".
      i += matched;
    }
    if (i < n) {  // continue from the "P" that ended the chunk
      base += static_cast<int64_t>(i);
      stream_->Seek(static_cast<int32_t>(base), 0);
    } else {
      base += static_cast<int64_t>(n);
    }
  }
}

void TZipReader::Breathe() {
  if (!do_process_messages_) return;
  if (host_.process_messages) host_.process_messages();
  if (cancel_) {
    cancel_ = false;
    throw EUserCanceled("User Aborted Operation");
  }
}

// Moves the stream from a scanned member to where its successor's local header should be: over its
// data and, when it has one, its data descriptor (16 bytes with its signature, 12 without). A
// member whose local header leaves the sizes to the descriptor (0 with flag bit 3) takes its sizes
// and CRC from the descriptor found after its data; once such a search has come up empty, later
// members are taken at their word, so that the scan stays linear. False: no way forward.
bool TZipReader::SkipMemberData(TZipHeaderInfo& member, int64_t data_start,
                                bool& search_descriptors) {
  int64_t next = data_start + member.CompressedSize;
  if (member.HasDataDescriptor()) {
    const int64_t at =
        member.CompressedSize == 0 && search_descriptors ? FindDataDescriptor(data_start) : -1;
    if (at >= 0) {
      uint8_t d[kDataDescriptorSize];
      stream_->Seek(static_cast<int32_t>(at), 0);
      stream_->Read(d, sizeof d);
      member.CRC32 = Le32(d + 4);
      member.CompressedSize = static_cast<int32_t>(Le32(d + 8));
      member.UncompressedSize = static_cast<int32_t>(Le32(d + 12));
      next = at + kDataDescriptorSize;
    } else {
      if (member.CompressedSize == 0) search_descriptors = false;
      uint8_t signature[4] = {};
      if (next >= 0 && next <= std::numeric_limits<int32_t>::max()) {
        stream_->Seek(static_cast<int32_t>(next), 0);
        stream_->Read(signature, 4);
      }
      next += Le32(signature) == kDataDescriptorSignature ? kDataDescriptorSize : 12;
    }
  }
  // Only forward: a damaged (negative) size must not lead back to a header already read.
  if (next < data_start || next > std::numeric_limits<int32_t>::max()) return false;
  stream_->Seek(static_cast<int32_t>(next), 0);
  return true;
}

// The position of the data descriptor of a member whose data starts at `data_start`: the first
// descriptor signature after it whose compressed size is its distance from the data. -1: none.
int64_t TZipReader::FindDataDescriptor(int64_t data_start) {
  uint8_t chunk[kScanChunk];
  int64_t base = data_start;
  if (base > std::numeric_limits<int32_t>::max()) return -1;
  stream_->Seek(static_cast<int32_t>(base), 0);
  for (;;) {
    const size_t n = stream_->Read(chunk, sizeof chunk);
    if (n < kDataDescriptorSize) return -1;
    for (size_t i = 0; i + kDataDescriptorSize <= n; ++i) {
      if (chunk[i] == 'P' && Le32(chunk + i) == kDataDescriptorSignature &&
          Le32(chunk + i + 8) ==
              static_cast<uint64_t>(base + static_cast<int64_t>(i) - data_start)) {
        return base + static_cast<int64_t>(i);
      }
    }
    if (n < sizeof chunk) return -1;
    base += static_cast<int64_t>(n - (kDataDescriptorSize - 1));
    stream_->Seek(static_cast<int32_t>(base), 0);
  }
}

void TZipReader::ApplySortMode(TZipSortMode mode) {
  sorted_view_.reset();
  if (mode != TZipSortMode::ByNone && primary_) {
    auto view = std::make_unique<TSortedZip>(mode, false, TDuplicates::dupAccept);
    view->Build(primary_->Items());
    sorted_view_ = std::move(view);
  }
  sort_mode_ = mode;
}

}  // namespace vl4::zip
