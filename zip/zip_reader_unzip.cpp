// TZipReader::UnZip and the driver of its extraction run: selection, the start event, and each
// member's steps from its output path to its CRC test.
#include <algorithm>
#include <vector>

#include "platform/file_tree.h"
#include "platform/path.h"
#include "platform/text.h"
#include "zip/decompress/explode.h"
#include "zip/decompress/inflate.h"
#include "zip/decompress/unreduce.h"
#include "zip/decompress/unshrink.h"
#include "zip/little_endian.h"
#include "zip/mask.h"
#include "zip/output_path.h"
#include "zip/unzip_run.h"

namespace vl4::zip {

namespace {

constexpr size_t kLocalHeaderSize = 30;

// The attribute bits of ExternalAttributes that are Windows attributes. The upper half holds Unix
// mode bits on archives made there; the directory bit means nothing for a file.
constexpr uint32_t kDosAttributes = platform::kAttrReadOnly | platform::kAttrHidden |
                                    platform::kAttrSystem | platform::kAttrArchive;
constexpr uint32_t kSpecialAttributes =
    platform::kAttrReadOnly | platform::kAttrHidden | platform::kAttrSystem;

bool KnownMethod(int method) {
  return method <= 6 || method == 8;  // stored, shrunk, reduced (2-5), imploded, deflated
}

}  // namespace

int TZipReader::UnZip() {
  struct ClearCancel {
    bool& cancel;
    ~ClearCancel() { cancel = false; }
  } clear_cancel{cancel_};
  cancel_ = false;
  OpenArchive();
  int extracted;
  {
    UnZipRun run(*this);
    extracted = run.Run();
  }
  CloseArchive();
  return extracted;
}

int UnZipRun::Run() {
  TZipReader& r = reader_;
  if (!r.test_only_ && !r.dest_dir_.empty() && !r.files_.DirectoryExists(r.dest_dir_)) {
    platform::ForceDirectories(r.files_, r.dest_dir_);
  }
  // The members of a set are taken in their stored order, volume after volume.
  struct RestoreSortMode {
    TZipReader& reader;
    TZipSortMode mode;
    bool active = false;
    ~RestoreSortMode() {
      if (active) reader.ApplySortMode(mode);
    }
  } restore{r, r.sort_mode_};
  if (r.end_.ThisDiskNumber != 0 && r.sort_mode_ != TZipSortMode::ByNone) {
    restore.active = true;
    r.ApplySortMode(TZipSortMode::ByNone);
  }

  int n = Select();
  bool stop = false;
  if (r.OnStartUnZipInfo) r.OnStartUnZipInfo(r, n, total_bytes_, stop);
  if (n <= 0 || stop) return n;
  for (int i = 0; i < r.Count(); ++i) {
    if (!r.MemberAt(i).Selected) continue;
    Outcome outcome;
    do {
      outcome = ExtractMember(i);
    } while (outcome == Outcome::kRetry);
    if (outcome == Outcome::kSkipped) --n;
  }
  return n;
}

// Marks the members to extract and sums their sizes; returns how many there are. A directory entry
// counts only when directories are recreated. Masks and names meet in lower case (IsMatch).
int UnZipRun::Select() {
  TZipReader& r = reader_;
  const std::vector<std::string>& masks = r.files_list_;
  int n = r.Count();
  for (int i = 0; i < r.Count(); ++i) {
    TZipHeaderInfo& m = r.MemberAt(i);
    bool selected = r.do_all_;
    if (m.Filename().empty() && !r.recreate_dirs_) {
      selected = false;
    } else if (!selected) {
      const std::string name = m.Directory() + m.Filename();
      selected = std::any_of(masks.begin(), masks.end(),
                             [&](const std::string& mask) { return IsMatch(mask, name); });
    }
    m.Selected = selected;
    if (selected) {
      total_bytes_ += std::max(m.UncompressedSize, 0);  // a member of 2 GiB or more writes nothing
    } else {
      --n;
    }
  }
  return n;
}

UnZipRun::Outcome UnZipRun::ExtractMember(int index) {
  TZipReader& r = reader_;
  current_.Assign(r.MemberAt(index));
  if (!current_.Filename().empty()) SeekToData();

  const std::string dir = OutputDirectory();
  if (current_.Filename().empty()) {
    // A directory entry: its directory now exists; nothing more to extract.
    if (r.recreate_dirs_ && r.OnStartUnZip) {
      bool skip = false;
      r.OnStartUnZip(r, index, dir, skip);
    }
    return Outcome::kDone;
  }
  std::string path = dir + SafeFileName(current_.Filename());

  // Sizes of 2 GiB or more (ZIP64's all-ones markers among them) are past the run's 32-bit
  // counts: the member is refused by name before anything is asked or made.
  if (current_.CompressedSize < 0 || current_.UncompressedSize < 0) {
    Skip(TSkipReason::srFileOpenError, index);
    return Outcome::kSkipped;
  }
  // A method the reader does not know fails whatever password or CRC the member has (an AES
  // member would otherwise pass the one-byte check now and then and, stored CRC 0, pass as empty).
  const bool known = KnownMethod(current_.CompressionMethod);
  if (known && current_.IsEncrypted() && !CheckPassword(index)) {
    Skip(TSkipReason::srBadPassword, index);
    return Outcome::kSkipped;
  }
  if (!r.test_only_ && !MayOverwrite(index, path)) {
    Skip(TSkipReason::srNoOverwrite, index);
    return Outcome::kSkipped;
  }
  // Raised before the file is created, so that a member skipped here leaves an existing file as
  // it was and creates none.
  bool skip = false;
  if (r.OnStartUnZip) r.OnStartUnZip(r, index, path, skip);
  if (skip) return Outcome::kDone;

  if (!known) {
    // Nothing to write: the file already there stays as it is.
    if (r.host_.message_box) {
      r.host_.message_box("Unknown Compression Method", "Zip Error", ZipMsgKind::kError,
                          ZipMsgButtons::kOK);
    }
    return ReportFailure(index, 0, false);  // 0: the CRC of the nothing decompressed
  }
  BeginMember(r.test_only_ ? nullptr : CreateOutput(path));
  try {
    Decompress();
  } catch (const EBiggerThanUncompressed&) {
    // The member ends here; its CRC test tells the rest.
  } catch (...) {
    // A file cut short must not pass for an extracted one.
    output_.reset();
    DeleteOutput(path);
    throw;
  }
  FinishFile(path);
  return TestCrc(index, path);
}

// Moves the archive stream to the member's data: over its local header, name and extra field.
void UnZipRun::SeekToData() {
  TZipReader& r = reader_;
  if (r.end_.ThisDiskNumber != 0 && r.current_volume_ != current_.DiskNumberStart) {
    r.OpenVolume(current_.DiskNumberStart + 1);
  }
  if (!r.stream_) throw EFatalUnzipError("Premature end of file reached");
  TS_BufferStream& stream = *r.stream_;
  uint8_t header[kLocalHeaderSize] = {};
  stream.Seek(current_.LocalHeaderOffset, 0);
  stream.Read(header, sizeof header);
  stream.Seek(Le16(header + 26) + Le16(header + 28), 1);
}

// The directory the member's file goes to, ending in "\" unless it is the current directory
// (an empty DestDir). With RecreateDirs it is made when missing.
std::string UnZipRun::OutputDirectory() const {
  TZipReader& r = reader_;
  if (!r.recreate_dirs_ || current_.Directory().empty()) return JoinOutputDir(r.dest_dir_, "");
  std::string_view stored = current_.Directory();
  if (!r.root_dir_.empty() && StartsText(r.root_dir_, stored))
    stored.remove_prefix(r.root_dir_.size());
  const std::string dir = JoinOutputDir(r.dest_dir_, RelativeOutputDir(stored));
  if (!r.test_only_ && !dir.empty()) {
    const std::string folder = ExcludeTrailingBackslash(dir);
    if (!r.files_.DirectoryExists(folder)) platform::ForceDirectories(r.files_, folder);
  }
  return dir;
}

// The traditional PKWARE check: the last byte of the decrypted 12-byte header must be the check
// byte. OnBadPassword may offer other passwords until one fits or it offers the same again.
bool UnZipRun::CheckPassword(int index) {
  TZipReader& r = reader_;
  uint8_t header[kEncryptionHeaderSize];
  ReadData(header, sizeof header);
  current_.CompressedSize -= static_cast<int32_t>(kEncryptionHeaderSize);
  const uint8_t check = PasswordCheckByte(current_.BitFlag, current_.CRC32, current_.DateTime);
  for (;;) {
    TraditionalKeys keys(r.password_);
    if (keys.DecryptHeader(header, check)) {
      keys_ = keys;
      return true;
    }
    if (!r.OnBadPassword) return false;
    std::string new_password = r.password_;
    r.OnBadPassword(r, index, new_password);
    if (new_password == r.password_) return false;
    r.password_ = new_password;
  }
}

// Whether the member may (over)write `path`; OnPromptForOverwrite may name another path.
bool UnZipRun::MayOverwrite(int index, std::string& path) {
  TZipReader& r = reader_;
  if (r.overwrite_mode_ == TUZOverwriteMode::Always || !r.files_.FileExists(path)) return true;
  if (r.overwrite_mode_ == TUZOverwriteMode::Never) return false;
  if (r.OnPromptForOverwrite) {
    bool overwrite = false;
    r.OnPromptForOverwrite(r, overwrite, index, path);
    return overwrite;
  }
  return r.host_.message_box &&
         r.host_.message_box("Replace existing file " + current_.Filename() + "?",
                             "File Exists Alert", ZipMsgKind::kConfirmation,
                             ZipMsgButtons::kYesNo) == ZipMsgResult::kYes;
}

// Runs the decompressor of a known method. Bad data ends it quietly: the CRC test decides.
void UnZipRun::Decompress() {
  const int method = current_.CompressionMethod;
  switch (method) {
    case 0:
      CopyStored();
      break;
    case 1:
      (void)Unshrink(*this);
      break;
    case 2:
    case 3:
    case 4:
    case 5:
      (void)Unreduce(*this, method - 1);
      break;
    case 6:
      (void)Explode(*this);
      break;
    case 8:
      (void)Inflate(*this);
      break;
  }
}

// Closes the file and gives it the member's time and attributes. The time comes first: a file
// made read-only could not take it any more.
void UnZipRun::FinishFile(const std::string& path) {
  TZipReader& r = reader_;
  if (!output_) return;
  output_.reset();
  r.files_.SetFileTime(path, current_.DateTime);
  // Every new file has the archive attribute; a call is needed only for the others.
  const uint32_t attributes = current_.ExternalAttributes & kDosAttributes;
  if (r.retain_attributes_ && (attributes & kSpecialAttributes) != 0) {
    r.files_.SetAttributes(path, attributes);
  }
}

UnZipRun::Outcome UnZipRun::TestCrc(int index, const std::string& path) {
  TZipReader& r = reader_;
  const uint32_t crc = ~crc_;
  if (crc == current_.CRC32) {
    if (r.OnEndUnZip) r.OnEndUnZip(r, index, path);
    return Outcome::kDone;
  }
  // The failed file goes, also when a handler below throws.
  struct DeleteAtExit {
    UnZipRun& run;
    const std::string& path;
    ~DeleteAtExit() { run.DeleteOutput(path); }
  } delete_at_exit{*this, path};
  return ReportFailure(index, crc, true);
}

// Tells the handlers that the member failed: an encrypted one through OnBadPassword (which may
// offer another password: retry) when another password can help, then OnSkippingFile; another one
// through OnBadCRC.
UnZipRun::Outcome UnZipRun::ReportFailure(int index, uint32_t crc, bool password_may_help) {
  TZipReader& r = reader_;
  if (!current_.IsEncrypted()) {
    if (r.OnBadCRC) r.OnBadCRC(r, static_cast<int>(crc), static_cast<int>(current_.CRC32), index);
    return Outcome::kSkipped;
  }
  if (password_may_help && r.OnBadPassword) {
    std::string new_password = r.password_;
    r.OnBadPassword(r, index, new_password);
    if (new_password != r.password_) {
      r.password_ = new_password;
      return Outcome::kRetry;
    }
  }
  Skip(TSkipReason::srBadPassword, index);
  return Outcome::kSkipped;
}

void UnZipRun::Skip(TSkipReason reason, int index) {
  TZipReader& r = reader_;
  if (r.OnSkippingFile)
    r.OnSkippingFile(r, reason, current_.Directory() + current_.Filename(), index);
}

// Creates the member's file. A file the user agreed to replace may have been left read-only (on
// Windows also hidden or system, which refuse being replaced just the same) by an earlier run:
// those attributes are cleared and the file is made again.
std::unique_ptr<platform::FileStream> UnZipRun::CreateOutput(const std::string& path) {
  platform::Files& files = reader_.files_;
  try {
    return files.OpenFile(path, platform::OpenMode::kCreate);
  } catch (const EFCreateError&) {
    const std::optional<uint32_t> attributes = files.GetAttributes(path);
    if (!attributes || (*attributes & platform::kAttrDirectory) != 0 ||
        (*attributes & kSpecialAttributes) == 0) {
      throw;
    }
    const uint32_t rest = *attributes & ~kSpecialAttributes;
    if (!files.SetAttributes(path, rest != 0 ? rest : platform::kAttrNormal)) throw;
  }
  return files.OpenFile(path, platform::OpenMode::kCreate);
}

// Deletes a file the run wrote, also one it has just made read-only.
void UnZipRun::DeleteOutput(const std::string& path) {
  TZipReader& r = reader_;
  if (r.test_only_ || r.files_.DeleteFile(path)) return;
  r.files_.SetAttributes(path, platform::kAttrNormal);
  r.files_.DeleteFile(path);
}

}  // namespace vl4::zip
