// libFuzzer target over the zip reader's extraction run: open an archive of arbitrary bytes and
// extract it (settings from the input's last byte) into memory. Damaged archives may end members
// or the run with the reader's own exceptions; a crash, a leak, a hang, an unbounded allocation,
// anything else escaping, or a file made outside the destination is a finding.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/exception.h"
#include "tests/zip/fake_platform.h"
#include "zip/zip_reader.h"

using namespace vl4::zip;

namespace {

constexpr const char* kDest = "C:\\OUT";

// Output files go nowhere (their bytes are counted by the run's CRC only), but exist afterwards.
class DiscardStream : public vl4::platform::FileStream {
 public:
  size_t Read(void*, size_t) override { return 0; }
  size_t Write(const void*, size_t count) override { return count; }
  int64_t Seek(int64_t, vl4::platform::SeekOrigin) override { return 0; }
  int64_t Size() override { return 0; }
  uint32_t DosTime() override { return 0; }
};

class FuzzFiles : public test::MemoryFiles {
 public:
  bool CreateDirectory(const std::string& path) override {
    CheckInside(path);
    return true;
  }
  std::unique_ptr<vl4::platform::FileStream> OpenFile(const std::string& path,
                                                      vl4::platform::OpenMode mode) override {
    if (mode != vl4::platform::OpenMode::kCreate) return MemoryFiles::OpenFile(path, mode);
    CheckInside(path);
    Put(path, "");
    return std::make_unique<DiscardStream>();
  }

 private:
  static void CheckInside(const std::string& path) {
    const std::string prefix = std::string(kDest) + "\\";
    const bool inside = path.compare(0, prefix.size(), prefix) == 0 || path == kDest;
    const bool climbs =
        path.find("\\..\\") != std::string::npos || path.find(':', 2) != std::string::npos;
    if (!inside || climbs) __builtin_trap();
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static test::FakeSystem system;
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const uint8_t options = size > 0 ? data[size - 1] : 0;

  // The same bytes also stand for the other volumes of a set, so that volume changes are taken.
  FuzzFiles files;
  files.Put("C:\\FUZZ.ZIP", bytes);
  files.Put("C:\\FUZZ.Z01", bytes);
  files.Put("C:\\FUZZ.002", bytes);
  files.Put(std::string(kDest) + "\\README", "there before");

  TZipReader reader(files, system);
  ZipReaderHost host;
  host.message_box = [&](const std::string&, const std::string&, ZipMsgKind, ZipMsgButtons) {
    return (options & 0x10) != 0 ? ZipMsgResult::kYes : ZipMsgResult::kNo;
  };
  int breaths = 0;
  host.process_messages = [&] {
    if ((options & 0x80) != 0 && ++breaths == 3) reader.SetCancel(true);
  };
  reader.SetHost(host);
  reader.SetIncompleteZipMode((options & 1) != 0 ? TIncompleteZipMode::izAssumeBad
                                                 : TIncompleteZipMode::izAssumeMulti);
  reader.SetRecreateDirs((options & 2) != 0);
  reader.SetOverwriteMode(static_cast<TUZOverwriteMode>((options >> 2) % 3));
  reader.SetDoAll((options & 0x20) != 0);
  reader.SetFilesList({"*.txt", "<a-m>*", "*\\*"});
  reader.SetTestOnly((options & 0x40) != 0);
  reader.SetSortMode((options & 0x08) != 0 ? TZipSortMode::ByName : TZipSortMode::ByNone);
  reader.SetDestDir(kDest);
  reader.SetRootDir("top");
  reader.SetPassword("pw");
  reader.OnBadPassword = [](TZipReader&, int, std::string& password) {
    if (password == "pw") password = "test";
  };
  try {
    reader.SetZipName("C:\\FUZZ.ZIP");
    reader.UnZip();
  } catch (const vl4::Exception&) {
  }
  return 0;
}
