// libFuzzer target over the zip reader's archive side: open an archive of arbitrary bytes, list
// it (in a sort mode the input picks), and read every comment. The reader's own exceptions are
// the expected ends of a damaged archive; anything else escaping, a crash, a leak, a hang or an
// unbounded allocation is a finding.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/exception.h"
#include "tests/zip/fake_platform.h"
#include "zip/zip_reader.h"

using namespace vl4::zip;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static test::FakeSystem system;
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const uint8_t options = size > 0 ? data[size - 1] : 0;

  // The same bytes also stand for the other volumes of a set, so that volume changes are taken.
  test::MemoryFiles files;
  const std::string name = (options & 0x40) != 0 ? "C:\\FUZZ.EXE" : "C:\\FUZZ.ZIP";
  files.Put(name, bytes);
  files.Put("C:\\FUZZ.Z01", bytes);
  files.Put("C:\\FUZZ.002", bytes);
  if ((options & 0x80) != 0) {
    files.SetDriveType('C', vl4::platform::DriveType::kRemovable);
    files.SetVolumeLabel('C', "PKBACK# 001");
  }

  TZipReader reader(files, system);
  ZipReaderHost host;
  int prompts = 0;
  host.message_box = [&](const std::string&, const std::string&, ZipMsgKind, ZipMsgButtons) {
    return ++prompts < 3 ? ZipMsgResult::kOK : ZipMsgResult::kCancel;
  };
  reader.SetHost(host);
  reader.SetIncompleteZipMode((options & 1) != 0 ? TIncompleteZipMode::izAssumeBad
                                                 : TIncompleteZipMode::izAssumeMulti);
  reader.SetSortMode(static_cast<TZipSortMode>((options >> 1) % 8));
  reader.SetKeepZipOpen((options & 0x20) != 0);
  try {
    reader.SetZipName(name);
    reader.OpenArchive();
    reader.CloseArchive();
    for (int i = 0; i < reader.Count(); ++i) {
      (void)reader.FullName(i);
      (void)reader.FileComment(i);
    }
    (void)reader.ZipComment();
    if (reader.Count() > 0) reader.ApplySortMode(TZipSortMode::ByName);
  } catch (const vl4::Exception&) {
  }
  return 0;
}
