#include "tests/zip/fake_platform.h"

#include <algorithm>

#include "platform/exception.h"
#include "platform/text.h"

namespace vl4::zip::test {

namespace {

class MemoryStream : public platform::FileStream {
 public:
  MemoryStream(std::shared_ptr<MemoryFiles::File> file, bool writable, bool deny_write)
      : file_(std::move(file)), writable_(writable), deny_write_(deny_write) {
    if (deny_write_) file_->locked_for_write = true;
  }
  ~MemoryStream() override {
    if (deny_write_) file_->locked_for_write = false;
  }
  size_t Read(void* buffer, size_t count) override {
    if (file_->on_read) file_->on_read(pos_);
    if (pos_ >= Size()) return 0;
    const int64_t n = std::min<int64_t>(static_cast<int64_t>(count), Size() - pos_);
    char* to = static_cast<char*>(buffer);
    const int64_t zeros = std::clamp<int64_t>(file_->hole - pos_, 0, n);
    std::fill_n(to, zeros, '\0');
    std::copy_n(file_->data.data() + (pos_ + zeros - file_->hole), n - zeros, to + zeros);
    pos_ += n;
    return static_cast<size_t>(n);
  }
  size_t Write(const void* buffer, size_t count) override {
    if (!writable_) return 0;
    size_t end = static_cast<size_t>(pos_) + count;
    if (file_->data.size() < end) file_->data.resize(end);
    std::copy_n(static_cast<const char*>(buffer), count, file_->data.data() + pos_);
    pos_ = static_cast<int64_t>(end);
    return count;
  }
  int64_t Seek(int64_t offset, platform::SeekOrigin origin) override {
    int64_t base = origin == platform::SeekOrigin::kBegin     ? 0
                   : origin == platform::SeekOrigin::kCurrent ? pos_
                                                              : Size();
    if (base + offset >= 0) pos_ = base + offset;
    return pos_;
  }
  int64_t Size() override { return file_->hole + static_cast<int64_t>(file_->data.size()); }
  uint32_t DosTime() override { return file_->dos_time; }

 private:
  std::shared_ptr<MemoryFiles::File> file_;
  bool writable_;
  bool deny_write_;
  int64_t pos_ = 0;
};

char DriveOf(const std::string& root) {
  return root.size() >= 2 && root[1] == ':' ? UpperCase(root.substr(0, 1))[0] : '\0';
}

// The Cyrillic letters of the two code pages (enough for names such as "тест"); 0: not there.
char32_t OemToUnicode(unsigned char c) {
  if (c < 0x80) return c;
  if (c <= 0xAF) return 0x0410 + (c - 0x80);
  if (c >= 0xE0 && c <= 0xEF) return 0x0440 + (c - 0xE0);
  if (c == 0xF0) return 0x0401;
  if (c == 0xF1) return 0x0451;
  return 0;
}
char32_t AnsiToUnicode(unsigned char c) {
  if (c < 0x80) return c;
  if (c >= 0xC0) return 0x0410 + (c - 0xC0);
  if (c == 0xA8) return 0x0401;
  if (c == 0xB8) return 0x0451;
  return 0;
}
int UnicodeToOem(char32_t u) {
  if (u < 0x80) return static_cast<int>(u);
  if (u >= 0x0410 && u <= 0x043F) return static_cast<int>(0x80 + (u - 0x0410));
  if (u >= 0x0440 && u <= 0x044F) return static_cast<int>(0xE0 + (u - 0x0440));
  if (u == 0x0401) return 0xF0;
  if (u == 0x0451) return 0xF1;
  return -1;
}
int UnicodeToAnsi(char32_t u) {
  if (u < 0x80) return static_cast<int>(u);
  if (u >= 0x0410 && u <= 0x044F) return static_cast<int>(0xC0 + (u - 0x0410));
  if (u == 0x0401) return 0xA8;
  if (u == 0x0451) return 0xB8;
  return -1;
}

}  // namespace

void MemoryFiles::Put(const std::string& path, std::string data, uint32_t dos_time) {
  auto& file = files_[UpperCase(path)];
  if (!file) file = std::make_shared<File>();
  file->data = std::move(data);
  file->hole = 0;
  file->dos_time = dos_time;
}

void MemoryFiles::PutSparse(const std::string& path, int64_t hole, std::string data) {
  Put(path, std::move(data));
  Lookup(path)->hole = hole;
}

std::shared_ptr<MemoryFiles::File> MemoryFiles::Lookup(const std::string& path) {
  auto it = files_.find(UpperCase(path));
  return it != files_.end() ? it->second : nullptr;
}

MemoryFiles::File* MemoryFiles::Find(const std::string& path) {
  return Lookup(path).get();
}

bool MemoryFiles::FileExists(const std::string& path) {
  return Lookup(path) != nullptr;
}

bool MemoryFiles::DirectoryExists(const std::string& path) {
  std::string prefix = UpperCase(path);
  if (!prefix.empty() && prefix.back() != '\\') prefix += '\\';
  if (prefix.size() == 3 && prefix[1] == ':') return true;  // a drive root
  auto it = files_.lower_bound(prefix);
  return it != files_.end() && it->first.compare(0, prefix.size(), prefix) == 0;
}

bool MemoryFiles::DeleteFile(const std::string& path) {
  return files_.erase(UpperCase(path)) > 0;
}

std::optional<uint32_t> MemoryFiles::GetAttributes(const std::string& path) {
  if (FileExists(path)) return platform::kAttrArchive;
  if (DirectoryExists(path)) return platform::kAttrDirectory;
  return std::nullopt;
}

std::optional<uint32_t> MemoryFiles::GetFileTime(const std::string& path) {
  std::shared_ptr<File> file = Lookup(path);
  if (!file) return std::nullopt;
  return file->dos_time;
}

bool MemoryFiles::SetFileTime(const std::string& path, uint32_t dos_time) {
  std::shared_ptr<File> file = Lookup(path);
  if (!file) return false;
  file->dos_time = dos_time;
  return true;
}

platform::DriveType MemoryFiles::GetDriveType(const std::string& root) {
  auto it = drive_types_.find(DriveOf(root));
  return it != drive_types_.end() ? it->second : platform::DriveType::kFixed;
}

std::optional<std::string> MemoryFiles::VolumeLabel(const std::string& root) {
  auto it = labels_.find(DriveOf(root));
  if (it == labels_.end()) return std::nullopt;
  return it->second;
}

std::unique_ptr<platform::FileStream> MemoryFiles::OpenFile(const std::string& path,
                                                            platform::OpenMode mode) {
  ++open_count;
  std::shared_ptr<File> file = Lookup(path);
  if (mode == platform::OpenMode::kCreate) {
    if (file && file->locked_for_write) throw EFCreateError("Cannot create file \"" + path + "\"");
    Put(path, std::string());
    return std::make_unique<MemoryStream>(Lookup(path), true, false);
  }
  if (!file) throw EFOpenError("Cannot open file \"" + path + "\"");
  return std::make_unique<MemoryStream>(file, mode == platform::OpenMode::kReadWrite,
                                        mode == platform::OpenMode::kReadDenyWrite);
}

std::optional<std::string_view> FakeSystem::Resource(const std::string& type,
                                                     const std::string& name) {
  return OwnResource(type, name);
}

std::string FakeSystem::OemToAnsi(std::string_view text) {
  std::string out;
  for (char c : text) {
    char32_t u = OemToUnicode(static_cast<unsigned char>(c));
    int a = u == 0 && c != 0 ? -1 : UnicodeToAnsi(u);
    out += a >= 0 ? static_cast<char>(a) : '?';
  }
  return out;
}

std::string FakeSystem::AnsiToOem(std::string_view text) {
  std::string out;
  for (char c : text) {
    char32_t u = AnsiToUnicode(static_cast<unsigned char>(c));
    int o = u == 0 && c != 0 ? -1 : UnicodeToOem(u);
    out += o >= 0 ? static_cast<char>(o) : '?';
  }
  return out;
}

std::string FakeSystem::Utf8ToAnsi(std::string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size();) {
    auto c = static_cast<unsigned char>(text[i]);
    int extra = c < 0x80 ? 0 : c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
    char32_t u = extra == 0 ? c : c & (0x3F >> extra);
    for (int k = 1; k <= extra && i + k < text.size(); ++k) u = u << 6 | (text[i + k] & 0x3F);
    i += 1 + extra;
    int a = UnicodeToAnsi(u);
    out += a >= 0 ? static_cast<char>(a) : '_';
  }
  return out;
}

std::string FakeSystem::AnsiToUtf8(std::string_view text) {
  std::string out;
  for (char c : text) {
    char32_t u = AnsiToUnicode(static_cast<unsigned char>(c));
    if (u < 0x80) {
      out += static_cast<char>(u == 0 && c != 0 ? '?' : u);
    } else {
      out += static_cast<char>(0xC0 | u >> 6);
      out += static_cast<char>(0x80 | (u & 0x3F));
    }
  }
  return out;
}

}  // namespace vl4::zip::test
