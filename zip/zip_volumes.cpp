// TZipReader: the volumes of a multi-volume set, on removable disks or as split files.
#include "platform/path.h"
#include "platform/text.h"
#include "zip/zip_reader.h"

namespace vl4::zip {

void TZipReader::OpenVolume(int n) {
  stream_.reset();
  std::string fname = zip_name_;
  // Asks until a name comes back that exists (on a disk with the right label). The default
  // handler always settles this: the file found, or an empty name.
  for (;;) {
    if (OnGetNextDisk) {
      OnGetNextDisk(*this, n, fname);
    } else {
      fname.clear();  // nobody to name the volume
    }
    if (fname.empty()) throw EUserCanceled("User canceled loading new disk.");
    if ((!verify_disk_labels_ || DiskLabelMatches(n)) && files_.FileExists(fname)) break;
  }
  stream_ = OpenStream(fname, platform::OpenMode::kRead);
  current_volume_ = n - 1;
  StampArchive();
  RefuseTooLarge();
  zip_name_ = fname;
}

// On removable disks the volume's label ends in its number ("%3.3d"); other sets are not checked.
bool TZipReader::DiskLabelMatches(int n) {
  if (span_mode_ != TZipSpanMode::smRemovableDisks) return true;
  std::optional<std::string> label = files_.VolumeLabel(UpperCase(zip_name_.substr(0, 3)));
  if (!label) return false;
  std::string head = label->substr(0, 11);
  return head.size() >= 3 && head.substr(head.size() - 3) == Format("%3.3d", n);
}

void TZipReader::DefaultGetNextDisk(int next_disk, std::string& fname) {
  if (span_mode_ == TZipSpanMode::smRemovableDisks) {
    WaitCursor(false);
    std::string text = Format("Please insert disk %d of the multi-disk set.", next_disk);
    text.resize(std::min<size_t>(text.size(), 255));
    ZipMsgResult answer = host_.message_box
                              ? host_.message_box(text, "Confirm", ZipMsgKind::kConfirmation,
                                                  ZipMsgButtons::kOKCancel)
                              : ZipMsgResult::kCancel;
    if (answer != ZipMsgResult::kOK) fname.clear();
    WaitCursor(true);
    return;
  }
  fname = FindSplitVolume(next_disk, fname);
}

// Split sets come named two ways: set.001, set.002, ... (every volume numbered), or set.z01,
// set.z02, ... with the last volume keeping the set's own name (set.zip). Empty: no such file.
std::string TZipReader::FindSplitVolume(int n, const std::string& fname) {
  const std::string set = set_name_.empty() ? fname : set_name_;
  std::string candidates[3] = {ChangeFileExt(fname, Format(".%3.3d", n)),
                               n == end_.ThisDiskNumber + 1 ? set : std::string(),
                               ChangeFileExt(set, Format(".z%02d", n))};
  for (const std::string& candidate : candidates) {
    if (!candidate.empty() && files_.FileExists(candidate)) return candidate;
  }
  return std::string();
}

}  // namespace vl4::zip
