// The progress window and the install run up to the last member: macros, directories, the
// self-copy, one UnZip per data part, placing each member, and the rollback of a failed run.
#include "installer/install_progress.h"

#include <algorithm>

#include "installer/install_texts.h"
#include "installer/macros.h"
#include "platform/file_tree.h"
#include "platform/path.h"
#include "platform/platform.h"
#include "platform/text.h"

namespace vl4 {
namespace {

// A member the reader could not unpack intact: the product's data is damaged, so the run must
// not end as if it were complete.
VL4_DECLARE_EXCEPTION(EDamagedData, Exception);

std::string Quoted(const std::string& path) {
  return "\"" + path + "\", ";
}

zip::ZipMsgResult ToZip(ui::ModalResult r) {
  switch (r) {
    case ui::ModalResult::kOK:
      return zip::ZipMsgResult::kOK;
    case ui::ModalResult::kYes:
      return zip::ZipMsgResult::kYes;
    case ui::ModalResult::kNo:
      return zip::ZipMsgResult::kNo;
    default:
      return zip::ZipMsgResult::kCancel;
  }
}

ui::MsgKind FromZip(zip::ZipMsgKind kind) {
  switch (kind) {
    case zip::ZipMsgKind::kError:
      return ui::MsgKind::kError;
    case zip::ZipMsgKind::kWarning:
      return ui::MsgKind::kWarning;
    case zip::ZipMsgKind::kInformation:
      return ui::MsgKind::kInformation;
    case zip::ZipMsgKind::kConfirmation:
      return ui::MsgKind::kConfirmation;
  }
  return ui::MsgKind::kError;
}

ui::MsgButtons FromZip(zip::ZipMsgButtons buttons) {
  switch (buttons) {
    case zip::ZipMsgButtons::kOK:
      return ui::MsgButtons::kOK;
    case zip::ZipMsgButtons::kOKCancel:
      return ui::MsgButtons::kOKCancel;
    case zip::ZipMsgButtons::kYesNo:
      return ui::MsgButtons::kYesNo;
  }
  return ui::MsgButtons::kOK;
}

}  // namespace

InstallProgress::InstallProgress(ui::Application& app, Installation& installation)
    : ui::Form(app, "TInstF3"), Reader(installation.platform), inst_(installation) {
  SetBorderStyle(ui::BorderStyle::kNone);
  SetClientWidth(632);
  SetClientHeight(65);
  Frame.SetAlign(ui::Align::kClient);
  Frame.SetBevelWidth(2);
  StatusLabel.SetBounds(12, 10, 0, 16);
  Bar.SetBounds(5, 34, 622, 18);

  Reader.SetRecreateDirs(true);
  Reader.SetOverwriteMode(zip::TUZOverwriteMode::Always);
  Reader.SetDoAll(true);
  Reader.OnTotalPercentDone = [this](zip::TZipReader&, int percent) { PercentDone(percent); };
  Reader.OnEndUnZip = [this](zip::TZipReader&, int file_index, const std::string& fname) {
    MemberUnpacked(file_index, fname);
  };
  // A member that fails its check or its password is damaged product data: the run stops.
  Reader.OnBadCRC = [](zip::TZipReader& reader, int, int, int file_index) {
    throw EDamagedData("CRC error in " + reader.FullName(file_index));
  };
  Reader.OnSkippingFile = [](zip::TZipReader&, zip::TSkipReason, const std::string& name, int) {
    throw EDamagedData("Cannot unpack " + name);
  };
  Reader.SetHost({
      .message_box =
          [this](const std::string& text, const std::string& caption, zip::ZipMsgKind kind,
                 zip::ZipMsgButtons buttons) {
            return ToZip(App().MessageBox(text, caption, FromZip(kind), FromZip(buttons), this));
          },
      .process_messages = [this] { App().ProcessMessages(); },
      .wait_cursor =
          [this](bool wait) { App().SetCursor(wait ? ui::Cursor::kWait : ui::Cursor::kDefault); },
  });

  OnActivate = [this](ui::Control&) { RunOnFirstActivation(); };
  OnCloseQuery = [](ui::Control&, bool& can_close) { can_close = false; };
}

platform::Files& InstallProgress::files() {
  return inst_.platform.files();
}

void InstallProgress::SetExclusions(const std::vector<std::string>& exclusions) {
  exclusions_ = exclusions;
}

void InstallProgress::SetStatus(const std::string& text) {
  StatusLabel.SetCaption(text);
}

void InstallProgress::RunOnFirstActivation() {
  // Activation comes again after every message box the run shows; the run happens once.
  if (run_started_) return;
  run_started_ = true;
  Run();
}

void InstallProgress::Run() {
  InstallScript& script = inst_.script;
  App().ProcessMessages();
  ExpandScript();

  // The staging directory is the destination's TEMP. When that exists already (a drive root's
  // TEMP) the run stages in a new directory inside it, so that nothing it removes at the end was
  // there before.
  staging_ = destination_ + "\\TEMP";
  if (files().DirectoryExists(staging_) || files().FileExists(staging_)) {
    const std::string base = staging_ + "\\VL4INST";
    staging_ = base;
    for (int n = 2; files().DirectoryExists(staging_) || files().FileExists(staging_); ++n) {
      staging_ = base + std::to_string(n);
    }
  }
  backup_dir_ = staging_ + "\\$VL4BAK";
  Reader.SetPassword(script.password);
  Reader.SetDestDir(staging_);

  Bar.SetRange(0, script.data_parts * 100 + static_cast<int>(script.shortcuts.Count()) * 5);
  Bar.SetPosition(0);
  not_updated_.clear();
  not_created_.clear();
  links_not_created_.clear();
  group_error_.clear();

  if (!PrepareDirectories()) return;

  if (!script.self_copy_name.empty()) {
    const std::string copy = staging_ + "\\" + script.self_copy_name;
    files().CopyFile(inst_.where.exe_path, copy, false);
    if (auto attributes = files().GetAttributes(copy)) {
      files().SetAttributes(copy, *attributes & ~platform::kAttrReadOnly);
    }
  }

  installed_list_ = {script.UninstallHeader()};
  for (const std::string& entry : script.extra_uninstall_entries) {
    installed_list_.push_back(ExpandInstallDir(entry, destination_));
  }
  completed_ = false;

  try {
    for (int n = 1; n <= script.data_parts; ++n) {
      Reader.SetZipName(inst_.where.start_dir + "\\" + DataPartName(inst_.where.data_file_name, n));
      current_part_ = n;
      Reader.UnZip();
    }
  } catch (const std::exception&) {
    // An archive that cannot be read, a damaged member or a failed write: the run is undone.
  }
  if (!completed_) AbortInstall();
}

void InstallProgress::ExpandScript() {
  InstallScript& s = inst_.script;
  const std::string& dest = destination_;
  s.final_program = ExpandInstallDir(s.final_program, dest);
  s.final_dir = ExpandInstallDir(s.final_dir, dest);
  const std::string params =
      Trim(ExpandStartDir(ExpandInstallDir(inst_.settings.params, dest), inst_.where.start_dir));
  s.final_params = params.empty() ? ExpandInstallDir(s.final_params, dest) : params;
  for (std::string& dir : s.created_dirs) dir = ExpandInstallDir(dir, dest);
  for (ShortcutRow& row : s.shortcuts) {
    row.target = ExpandInstallDir(row.target, dest);
    row.arguments = ExpandInstallDir(row.arguments, dest);
    row.working_dir = ExpandInstallDir(row.working_dir, dest);
    row.folder = ExpandInstallDir(row.folder, dest);
  }
  for (AssociationRow& row : s.associations) row.directory = ExpandInstallDir(row.directory, dest);
}

bool InstallProgress::PrepareDirectories() {
  created_dirs_.clear();
  created_set_.clear();
  for (const std::string& dir : inst_.script.created_dirs) {
    created_dirs_.push_back(dir);
    created_set_.insert(UpperCase(dir));
  }
  for (const std::string& dir : inst_.script.created_dirs) {
    if (!files().DirectoryExists(dir)) platform::ForceDirectories(files(), dir);
  }
  // The uninstall directory goes with a rollback only when the run made it.
  const std::string uninst = destination_ + "\\UNINST";
  for (const std::string& dir : {uninst, staging_}) {
    if (files().DirectoryExists(dir)) continue;
    if (!files().CreateDirectory(dir)) {
      EndWithError(Format(install_texts::kCannotPrepare, dir.c_str()));
      return false;
    }
    if (dir == uninst && created_set_.insert(UpperCase(dir)).second) {
      created_dirs_.push_back(UpperCase(dir));
    }
  }
  return true;
}

void InstallProgress::PercentDone(int percent) {
  Bar.SetPosition(current_part_ * 100 + percent - 100);
}

void InstallProgress::MemberUnpacked(int file_index, const std::string& fname) {
  SetStatus(inst_.script.install_title + install_texts::kCopyingFiles);
  // The member is placed from where the reader put it, which is its stored path made safe (no
  // drive, no "..") under the staging directory; so no stored name can lead the file elsewhere.
  const std::string staged = staging_ + "\\";
  PlaceFile(StartsText(staged, fname) ? fname.substr(staged.size()) : Reader.FullName(file_index));
  // An archive may end with a directory entry, which is unpacked without an event: its last
  // file is its last member.
  if (current_part_ == inst_.script.data_parts && file_index == LastFileMember()) {
    FinishInstall();
  }
}

int InstallProgress::LastFileMember() const {
  int last = Reader.Count() - 1;
  while (last > 0 && Reader.Filename(last).empty()) --last;
  return last;
}

bool InstallProgress::IsExcluded(const std::string& path) const {
  const std::string dir = ExcludeTrailingBackslash(ExtractFilePath(path));
  const std::string first = Trim(UpperCase(dir.substr(0, dir.find('\\'))));
  return std::find(exclusions_.begin(), exclusions_.end(), first) != exclusions_.end();
}

bool InstallProgress::IsPreserved(const std::string& path) const {
  for (const std::string& name : inst_.script.preserved_files) {
    if (SameText(name, path)) return true;
  }
  return false;
}

// Makes the directory with its missing parents, noting every level it makes so that a rollback
// removes them all, parents included.
void InstallProgress::EnsureDirectory(const std::string& dir) {
  const std::string key = UpperCase(dir);
  if (known_dirs_.count(key) != 0) return;
  std::vector<std::string> missing;
  for (std::string d = dir; !d.empty() && !files().DirectoryExists(d);) {
    missing.push_back(d);
    const std::string parent = ExcludeTrailingBackslash(ExtractFilePath(d));
    if (parent.size() >= d.size()) break;
    d = parent;
  }
  for (auto it = missing.rbegin(); it != missing.rend(); ++it) {
    if (!files().CreateDirectory(*it)) break;
    if (created_set_.insert(UpperCase(*it)).second) created_dirs_.push_back(UpperCase(*it));
  }
  if (missing.empty() || files().DirectoryExists(dir)) known_dirs_.insert(key);
}

void InstallProgress::PlaceFile(const std::string& path) {
  if (IsExcluded(path)) return;  // it goes with the staging directory
  const std::string source = staging_ + "\\" + path;
  const bool system = StartsText("SYSTEM\\", path);
  std::string target;
  if (system) {
    target = inst_.where.system_dir + "\\" + path.substr(7, 200);
    const std::string upper = UpperCase(target);
    // The exercise book's own two system libraries are always replaced; any other system file
    // only by a later one.
    if (files().FileExists(target) && upper.find("VL4.DLL") == std::string::npos &&
        upper.find("VL4TOOLS.DLL") == std::string::npos) {
      const auto source_time = files().GetFileTime(source);
      const auto target_time = files().GetFileTime(target);
      if (!source_time || !target_time || *source_time <= *target_time) return;
    }
  } else {
    target = destination_ + "\\" + path;
  }
  EnsureDirectory(ExcludeTrailingBackslash(ExtractFilePath(target)));

  Placement placement;
  placement.target = target;
  if (!IsPreserved(path)) {
    const bool gave_up = files().FileExists(target) && !ReplaceExisting(target, placement);
    if (gave_up || files().FileExists(target) || !files().MoveFile(source, target)) {
      // The file it was to replace is put back; should even that fail, the copy is kept and
      // tried again when the run ends.
      if (!placement.backup.empty() && files().MoveFile(placement.backup, target)) {
        files().SetAttributes(target, placement.attributes);
        placement.backup.clear();
      }
      if (!placement.backup.empty()) {
        placement.placed = false;
        placements_.push_back(placement);
      }
      not_updated_ += Quoted(target);
      files().DeleteFile(source);
      return;
    }
    placements_.push_back(placement);
  } else if (files().FileExists(target)) {
    files().DeleteFile(source);  // the user's own file stays
  } else {
    if (!files().MoveFile(source, target)) {
      not_created_ += Quoted(target);
      files().DeleteFile(source);
      return;
    }
    placements_.push_back(placement);
  }
  if (!system) installed_list_.push_back(target);
}

bool InstallProgress::ReplaceExisting(const std::string& target, Placement& placement) {
  placement.attributes = files().GetAttributes(target).value_or(0);
  for (;;) {
    if (placement.backup.empty()) {
      const std::string backup = backup_dir_ + "\\" + std::to_string(++backup_count_);
      if ((files().DirectoryExists(backup_dir_) || files().CreateDirectory(backup_dir_)) &&
          files().CopyFile(target, backup, false)) {
        placement.backup = backup;
      }
    }
    if (!placement.backup.empty()) {
      files().SetAttributes(target, placement.attributes & ~platform::kAttrReadOnly);
      if (files().DeleteFile(target)) return true;
    }
    const ui::ModalResult answer =
        App().MessageDlg(Format(install_texts::kFileInUse, target.c_str()), ui::MsgKind::kWarning,
                         ui::MsgButtons::kRepeatNext, this);
    if (answer != ui::ModalResult::kRepeat) {
      DropBackup(placement);
      if (auto now = files().GetAttributes(target); now && *now != placement.attributes) {
        files().SetAttributes(target, placement.attributes);
      }
      return false;
    }
  }
}

void InstallProgress::DropBackup(Placement& placement) {
  if (placement.backup.empty()) return;
  files().SetAttributes(placement.backup, platform::kAttrArchive);
  files().DeleteFile(placement.backup);
  placement.backup.clear();
}

void InstallProgress::AbortInstall() {
  App().MessageDlg(Format(install_texts::kDataCopyError,
                          DataPartName(inst_.where.data_file_name, current_part_).c_str()),
                   ui::MsgKind::kError, ui::MsgButtons::kOK, this);
  Rollback();
  App().Terminate();
}

void InstallProgress::EndWithError(const std::string& message) {
  App().MessageDlg(message, ui::MsgKind::kError, ui::MsgButtons::kOK, this);
  Rollback();
  App().Terminate();
}

// Takes out every file the run placed and puts back the files they replaced; then the staging
// directory, an empty destination and every directory the run made go. Nothing is removed that
// was there before the run.
void InstallProgress::Rollback() {
  for (auto it = placements_.rbegin(); it != placements_.rend(); ++it) {
    if (it->placed) {
      if (auto attributes = files().GetAttributes(it->target);
          attributes && (*attributes & platform::kAttrReadOnly)) {
        files().SetAttributes(it->target, *attributes & ~platform::kAttrReadOnly);
      }
      files().DeleteFile(it->target);
    }
    if (!it->backup.empty() && files().MoveFile(it->backup, it->target)) {
      files().SetAttributes(it->target, it->attributes);
    }
  }
  placements_.clear();
  installed_list_.clear();
  if (!staging_.empty()) platform::RemoveTree(files(), staging_);
  files().RemoveDirectory(destination_);
  // Innermost first: each pass removes what the previous one emptied.
  for (bool removed = true; removed;) {
    removed = false;
    for (auto it = created_dirs_.rbegin(); it != created_dirs_.rend(); ++it) {
      if (files().DirectoryExists(*it) && files().RemoveDirectory(*it)) removed = true;
    }
  }
  files().RemoveDirectory(destination_);
}

}  // namespace vl4
