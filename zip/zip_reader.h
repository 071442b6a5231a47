// TZipReader: the zip reader component. Its archive side (zip_reader.cpp, zip_directory.cpp,
// zip_volumes.cpp) names and opens the archive, reads its directory into the primary member list
// and the sorted view, reads comments, walks multi-volume sets and selects members by mask; its
// extraction run (UnZip) extracts the selected members.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"
#include "zip/end_central.h"
#include "zip/lfn_file_stream.h"
#include "zip/sorted_zip.h"
#include "zip/string_resource.h"
#include "zip/zip_errors.h"
#include "zip/zip_header_info.h"
#include "zip/zip_host.h"

namespace vl4::zip {

enum class TIncompleteZipMode { izAssumeMulti, izAssumeBad };
enum class TZipSpanMode { smNone, smRemovableDisks, smSplitFiles };
enum class TUZOverwriteMode { Prompt, Always, Never };
// srFileOpenError: the member's file cannot be made, its size being 2 GiB or more.
enum class TSkipReason { srBadPassword, srNoOverwrite, srFileOpenError };

class UnZipRun;

class TZipReader {
 public:
  static constexpr int kThisVersion = 217;

  // Files and System serve the archive, its volumes, names and messages; they must outlive the
  // reader. Installs DefaultGetNextDisk as OnGetNextDisk.
  TZipReader(platform::Files& files, platform::System& system);
  explicit TZipReader(platform::Platform& platform)
      : TZipReader(platform.files(), platform.system()) {}
  // Closes the archive, also when KeepZipOpen is set.
  ~TZipReader();
  TZipReader(const TZipReader&) = delete;
  TZipReader& operator=(const TZipReader&) = delete;

  // The GUI services the reader uses (see ZipReaderHost for what an empty one means).
  const ZipReaderHost& Host() const { return host_; }
  void SetHost(ZipReaderHost host) { host_ = std::move(host); }

  // ---- Published properties

  int ThisVersion() const { return kThisVersion; }

  // The archive (for a multi-volume set, the volume open now). Setting a name equal to the current
  // one without regard to case does nothing. A name ending in "?" asks for the file with the
  // open-file dialog (EUserCanceled "User canceled setting zip file name." when cancelled).
  // Otherwise the directory, the end record and the stream are dropped; the directory is read
  // again on the next OpenArchive.
  const std::string& ZipName() const { return zip_name_; }
  void SetZipName(const std::string& value);

  // Stored without a trailing "\". "?" asks with the directory chooser (EUserCanceled "User
  // canceled Set Desination Directory" when cancelled).
  const std::string& DestDir() const { return dest_dir_; }
  void SetDestDir(const std::string& value);
  // Stored with a trailing "\" when not empty.
  const std::string& RootDir() const { return root_dir_; }
  void SetRootDir(const std::string& value);

  // Setting only stores the mode; the view follows it when the directory is read.
  TZipSortMode SortMode() const { return sort_mode_; }
  void SetSortMode(TZipSortMode mode) { sort_mode_ = mode; }

  bool RecreateDirs() const { return recreate_dirs_; }
  void SetRecreateDirs(bool value) { recreate_dirs_ = value; }
  TUZOverwriteMode OverwriteMode() const { return overwrite_mode_; }
  void SetOverwriteMode(TUZOverwriteMode mode) { overwrite_mode_ = mode; }
  // Selection masks (see zip/mask.h); setting copies the list.
  const std::vector<std::string>& FilesList() const { return files_list_; }
  void SetFilesList(const std::vector<std::string>& masks) { files_list_ = masks; }
  bool DoAll() const { return do_all_; }
  void SetDoAll(bool value) { do_all_ = value; }
  TIncompleteZipMode IncompleteZipMode() const { return incomplete_zip_mode_; }
  void SetIncompleteZipMode(TIncompleteZipMode mode) { incomplete_zip_mode_ = mode; }
  bool KeepZipOpen() const { return keep_zip_open_; }
  void SetKeepZipOpen(bool value) { keep_zip_open_ = value; }
  bool DoProcessMessages() const { return do_process_messages_; }
  void SetDoProcessMessages(bool value) { do_process_messages_ = value; }
  bool RetainAttributes() const { return retain_attributes_; }
  void SetRetainAttributes(bool value) { retain_attributes_ = value; }

  // Test instead of extracting (for tools): every selected member is decompressed and its CRC
  // tested, but no file or directory is created, asked about or changed; the events come as in a
  // real run, with the paths the files would have had. Default false.
  bool TestOnly() const { return test_only_; }
  void SetTestOnly(bool value) { test_only_ = value; }

  // ---- Public properties

  const std::string& Password() const { return password_; }
  void SetPassword(const std::string& value) { password_ = value; }
  // A request to stop, honoured (and cleared) while the reader scans or extracts.
  bool Cancel() const { return cancel_; }
  void SetCancel(bool value) { cancel_ = value; }

  bool VerifyDiskLabels() const { return verify_disk_labels_; }
  void SetVerifyDiskLabels(bool value) { verify_disk_labels_ = value; }
  TZipSpanMode SpanMode() const { return span_mode_; }
  void SetSpanMode(TZipSpanMode mode) { span_mode_ = mode; }

  // Members in the primary list; 0 while no directory has been read.
  int Count() const;
  // By index in the sorted view; an index outside 0 .. Count() - 1 raises EListError "Index %d
  // is out of range".
  const TZipHeaderInfo& Member(int index) const { return MemberAt(index); }
  const std::string& Filename(int index) const;
  std::string FullName(int index) const;  // Directory + Filename
  // Read from the archive on first demand. Writing replaces the held text and marks the comments
  // changed.
  std::string FileComment(int index);
  void SetFileComment(int index, const std::string& comment);
  std::string ZipComment();
  void SetZipComment(const std::string& comment);

  // Extracts the selected members into DestDir and returns how many were extracted (directory
  // entries included; skipped and failed members not). See zip/README.md for the events, their
  // order and the files a run leaves.
  int UnZip();

  // ---- Operations of the extraction run, public for tools that list an archive

  // Opens the archive when it is closed and reads its directory unless the one held is current
  // (the file's modification time and size are those it was read at).
  void OpenArchive();
  // Closes the archive stream unless KeepZipOpen.
  void CloseArchive();
  // Switches the archive stream to volume n (1-based) of a multi-volume set, asking OnGetNextDisk
  // for its file name; EUserCanceled "User canceled loading new disk." when no name comes.
  void OpenVolume(int n);
  // Makes the sorted view follow `mode` (ByNone: the primary list itself) and stores the mode.
  void ApplySortMode(TZipSortMode mode);
  static bool IsMatch(std::string_view mask, std::string_view name);

  // The handler installed in OnGetNextDisk at construction. Removable disks: asks the user to
  // insert disk n (Cancel empties fname). Split files: the first existing of set.00n (next to
  // fname), the set's own name for its last volume, set.z0n; fname is emptied when none exists.
  void DefaultGetNextDisk(int next_disk, std::string& fname);

  // ---- Events (Sender first; "var" parameters are references)

  std::function<void(TZipReader& sender, TIncompleteZipMode& mode)> OnInCompleteZip;
  std::function<void(TZipReader& sender, int next_disk, std::string& fname)> OnGetNextDisk;

  std::function<void(TZipReader& sender, int num_files, int64_t total_bytes, bool& stop_now)>
      OnStartUnZipInfo;
  std::function<void(TZipReader& sender, int file_index, const std::string& fname, bool& skip)>
      OnStartUnZip;
  std::function<void(TZipReader& sender, int file_index, const std::string& fname)> OnEndUnZip;
  std::function<void(TZipReader& sender, int percent)> OnFilePercentDone;
  std::function<void(TZipReader& sender, int percent)> OnTotalPercentDone;
  std::function<void(TZipReader& sender, bool& overwrite_it, int file_index, std::string& fname)>
      OnPromptForOverwrite;
  std::function<void(TZipReader& sender, TSkipReason reason, const std::string& fname,
                     int file_index)>
      OnSkippingFile;
  std::function<void(TZipReader& sender, int file_index, std::string& new_password)> OnBadPassword;
  std::function<void(TZipReader& sender, int calc_crc, int stored_crc, int file_index)> OnBadCRC;

 private:
  friend class UnZipRun;  // the extraction run (unzip_run.h) works on the archive state

  // Directory (zip_directory.cpp)
  void ReadDirectory();
  bool ReadCentralEntries();
  bool RebuildDirectory();
  void RebuildOrFail();
  [[noreturn]] void Refuse(const char* message);
  void RefuseTooLarge();
  bool IsZip64();
  bool AtCentralHeader();
  int64_t ScanForLocalHeader(int32_t start);
  bool SkipMemberData(TZipHeaderInfo& member, int64_t data_start, bool& search_descriptors);
  int64_t FindDataDescriptor(int64_t data_start);
  void Breathe();
  void DropDirectory();
  void CloseAndForget();

  // Volumes (zip_volumes.cpp)
  bool DiskLabelMatches(int n);
  std::string FindSplitVolume(int n, const std::string& fname);

  // Members and comments (zip_reader.cpp)
  TSortedZip* View() const { return sorted_view_ ? sorted_view_.get() : primary_.get(); }
  TZipHeaderInfo& MemberAt(int index) const;
  void ReadMemberComment(TZipHeaderInfo& member);
  std::unique_ptr<TLFNFileStream> OpenStream(const std::string& name, platform::OpenMode mode);
  void StampArchive();
  bool ArchiveIsCurrent();
  void WaitCursor(bool wait);

  platform::Files& files_;
  platform::System& system_;
  StringResourceCache messages_;
  ZipReaderHost host_;

  std::string zip_name_;
  std::string dest_dir_;
  std::string root_dir_;
  std::string password_;
  std::vector<std::string> files_list_;
  TZipSortMode sort_mode_ = TZipSortMode::ByNone;
  TUZOverwriteMode overwrite_mode_ = TUZOverwriteMode::Prompt;
  TIncompleteZipMode incomplete_zip_mode_ = TIncompleteZipMode::izAssumeMulti;
  bool recreate_dirs_ = false;
  bool do_all_ = false;
  bool keep_zip_open_ = false;
  bool do_process_messages_ = true;
  bool retain_attributes_ = true;
  bool verify_disk_labels_ = true;
  bool cancel_ = false;
  bool test_only_ = false;

  // The archive
  std::unique_ptr<TLFNFileStream> stream_;
  std::unique_ptr<TSortedZip> primary_;      // ByNone, owns the members
  std::unique_ptr<TSortedZip> sorted_view_;  // another mode's view; none while ByNone
  TEndCentral end_;
  bool rebuilt_ = false;
  uint32_t archive_time_ = 0;  // the file's DOS time when its directory was read
  int64_t archive_size_ = -1;  // and its size
  std::string set_name_;       // the file the set's directory was read from (its last volume)
  int current_volume_ = 0;     // 0-based
  int volume_count_ = 1;
  TZipSpanMode span_mode_ = TZipSpanMode::smNone;
};

}  // namespace vl4::zip
