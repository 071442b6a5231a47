// TZipReader: construction, properties, member queries and comments read on demand.
#include "zip/zip_reader.h"

#include "platform/path.h"
#include "platform/text.h"
#include "zip/little_endian.h"
#include "zip/mask.h"

namespace vl4::zip {

namespace {

constexpr const char* kOpenZipTitle = "Open a Zip File";
constexpr const char* kOpenZipFilter =
    "Zip Files (*.ZIP)|*.zip|SFX Files (*.EXE)|*.exe|Jar Files (*.JAR)|*.jar|All Files (*.*)|*.*";

// Closes the archive stream when a comment read ends, however it ends.
class CloseArchiveAtExit {
 public:
  explicit CloseArchiveAtExit(TZipReader& reader) : reader_(reader) {}
  ~CloseArchiveAtExit() { reader_.CloseArchive(); }
  CloseArchiveAtExit(const CloseArchiveAtExit&) = delete;
  CloseArchiveAtExit& operator=(const CloseArchiveAtExit&) = delete;

 private:
  TZipReader& reader_;
};

}  // namespace

TZipReader::TZipReader(platform::Files& files, platform::System& system)
    : files_(files), system_(system), messages_(system) {
  OnGetNextDisk = [this](TZipReader&, int next_disk, std::string& fname) {
    DefaultGetNextDisk(next_disk, fname);
  };
}

TZipReader::~TZipReader() = default;

void TZipReader::SetZipName(const std::string& value) {
  // Windows compares file names without regard to case; ASCII folding stands in for the locale's.
  if (SameText(value, zip_name_)) return;
  std::string name = value;
  if (!name.empty() && name.back() == '?') {
    std::string dir = ExtractFileDir(name.substr(0, name.size() - 1));
    ZipOpenFileRequest request{kOpenZipTitle, kOpenZipFilter,
                               !dir.empty() && files_.DirectoryExists(dir) ? dir : "C:\\"};
    std::optional<std::string> chosen = host_.open_file ? host_.open_file(request) : std::nullopt;
    if (!chosen) throw EUserCanceled("User canceled setting zip file name.");
    name = *chosen;
  }
  zip_name_ = name;
  DropDirectory();
  end_.Clear();
  stream_.reset();
  rebuilt_ = false;
  set_name_.clear();
}

void TZipReader::SetDestDir(const std::string& value) {
  std::string dir = value;
  if (value == "?") {
    std::string start = !dest_dir_.empty() && files_.DirectoryExists(dest_dir_)
                            ? dest_dir_
                            : files_.CurrentDirectory();
    std::optional<std::string> chosen =
        host_.select_directory ? host_.select_directory(start) : std::nullopt;
    if (!chosen) throw EUserCanceled("User canceled Set Desination Directory");
    dir = *chosen;
  }
  dest_dir_ = ExcludeTrailingBackslash(dir);
}

void TZipReader::SetRootDir(const std::string& value) {
  root_dir_ = value.empty() ? std::string() : IncludeTrailingBackslash(value);
}

int TZipReader::Count() const {
  return primary_ ? primary_->Count() : 0;
}

TZipHeaderInfo& TZipReader::MemberAt(int index) const {
  if (index < 0 || index >= Count()) throw EListError(Format("Index %d is out of range", index));
  return *View()->Get(index);
}

const std::string& TZipReader::Filename(int index) const {
  return Member(index).Filename();
}

std::string TZipReader::FullName(int index) const {
  const TZipHeaderInfo& member = MemberAt(index);
  return member.Directory() + member.Filename();
}

std::string TZipReader::FileComment(int index) {
  {
    const TZipHeaderInfo& member = MemberAt(index);
    if (member.CommentLength == 0) return std::string();
    if (member.FileComment()) return *member.FileComment();
  }
  CloseArchiveAtExit close(*this);
  OpenArchive();
  // The directory may have been read again: look the member up anew.
  TZipHeaderInfo& member = MemberAt(index);
  if (member.CommentLength != 0 && !member.FileComment()) ReadMemberComment(member);
  return member.FileComment() ? *member.FileComment() : std::string();
}

void TZipReader::SetFileComment(int index, const std::string& comment) {
  MemberAt(index).SetFileComment(&comment);
  end_.CommentsChanged = true;
}

std::string TZipReader::ZipComment() {
  if (end_.ZipCommentLength == 0) return std::string();
  if (end_.ZipComment()) return *end_.ZipComment();
  CloseArchiveAtExit close(*this);
  OpenArchive();
  if (end_.ZipCommentLength != 0 && !end_.ZipComment() && end_.ZipCommentPos >= 0) {
    std::string text(end_.ZipCommentLength, '\0');
    stream_->Seek(end_.ZipCommentPos, 0);
    text.resize(stream_->Read(text.data(), text.size()));
    end_.SetZipComment(&text);
  }
  return end_.ZipComment() ? *end_.ZipComment() : std::string();
}

void TZipReader::SetZipComment(const std::string& comment) {
  end_.SetZipComment(&comment);
  end_.ZipCommentLength = static_cast<uint16_t>(comment.size());
  end_.CommentsChanged = true;
}

// Reads the member's comment from its central header into the member; the stream stays open and
// ends up after the comment. A header no longer found there leaves the member without text.
void TZipReader::ReadMemberComment(TZipHeaderInfo& member) {
  uint8_t h[46];
  stream_->Seek(member.CentralHeaderOffset, 0);
  if (stream_->Read(h, sizeof h) != sizeof h || Le32(h) != kCentralHeaderSignature) return;
  stream_->Seek(Le16(h + 28) + Le16(h + 30), 1);
  std::string text(member.CommentLength, '\0');
  text.resize(stream_->Read(text.data(), text.size()));
  member.SetFileComment(&text);
}

bool TZipReader::IsMatch(std::string_view mask, std::string_view name) {
  return zip::IsMatch(mask, name);
}

std::unique_ptr<TLFNFileStream> TZipReader::OpenStream(const std::string& name,
                                                       platform::OpenMode mode) {
  return std::make_unique<TLFNFileStream>(files_, messages_, name, mode);
}

void TZipReader::WaitCursor(bool wait) {
  if (host_.wait_cursor) host_.wait_cursor(wait);
}

}  // namespace vl4::zip
