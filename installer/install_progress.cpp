// The progress window and the install run up to the last member: macros, the transaction and its
// directories, the self-copy, one UnZip per data part, placing each member, and the end of a
// failed run.
#include "installer/install_progress.h"

#include <algorithm>
#include <map>

#include "installer/install_texts.h"
#include "installer/macros.h"
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
  // A directory entry has no end-of-member event: when one ends the archive, the run finishes once
  // its directory is made, so that the reader makes nothing after the staging directory went.
  Reader.OnStartUnZip = [this](zip::TZipReader& reader, int file_index, const std::string&, bool&) {
    if (reader.Filename(file_index).empty() && IsLastMember(file_index)) FinishInstall();
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

  transaction_.emplace(
      files(), inst_.platform.registry(),
      InstallTargets{
          .destination = destination_,
          .system_dir = inst_.where.system_dir,
          .preserved = {script.preserved_files.begin(), script.preserved_files.end()},
          .exclusions = exclusions_,
      },
      [this](const std::string& path) {
        const ui::ModalResult answer =
            App().MessageDlg(Format(install_texts::kFileInUse, path.c_str()), ui::MsgKind::kWarning,
                             ui::MsgButtons::kRepeatNext, this);
        return answer == ui::ModalResult::kRepeat ? InUseAnswer::kRepeat : InUseAnswer::kNext;
      });
  const std::string& staging = transaction_->StagingDir();
  Reader.SetPassword(script.password);
  Reader.SetDestDir(staging);

  Bar.SetRange(0, script.data_parts * 100 + static_cast<int>(script.shortcuts.Count()) * 5);
  Bar.SetPosition(0);
  installed_bytes_ = 0;
  not_updated_.clear();
  old_files_.clear();
  not_copied_.clear();
  not_created_.clear();
  links_not_created_.clear();
  group_error_.clear();

  if (auto shortfall = RoomShortfall()) {
    EndWithError(*shortfall);
    return;
  }
  std::vector<std::string> dirs(script.created_dirs.begin(), script.created_dirs.end());
  dirs.insert(dirs.end(), made_for_destination_.begin(), made_for_destination_.end());
  if (auto missing = transaction_->Begin(dirs, UninstallDir())) {
    EndWithError(Format(install_texts::kCannotPrepare, missing->c_str()));
    return;
  }

  if (!script.self_copy_name.empty()) {
    const std::string copy = staging + "\\" + script.self_copy_name;
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

// The room the run takes on each volume, before anything is unpacked: every member is unpacked into
// the staging directory on the destination's volume (an excluded one stays there to the end),
// every file it replaces is copied aside there first, and a system member is copied on to the
// system directory's volume when that is another one. A volume whose free space cannot be told,
// or an archive whose directory cannot be read (the run then says so itself), is not checked.
std::optional<std::string> InstallProgress::RoomShortfall() {
  const InstallScript& script = inst_.script;
  const auto volume = [](const std::string& path) { return UpperCase(path.substr(0, 2)); };
  std::map<std::string, int64_t> needed;         // by volume ("C:", "\\")
  std::map<std::string, std::string> folder_on;  // a folder of each volume, to ask and to name
  const auto need = [&](const std::string& folder, int64_t bytes) {
    needed[volume(folder)] += bytes;
    folder_on.emplace(volume(folder), folder);
  };
  need(destination_, 0);
  if (auto self = files().FindFiles(inst_.where.exe_path); !self.empty()) {
    need(destination_, self.front().size);
  }
  try {
    for (int n = 1; n <= script.data_parts; ++n) {
      Reader.SetZipName(inst_.where.start_dir + "\\" + DataPartName(inst_.where.data_file_name, n));
      for (int i = 0; i < Reader.Count(); ++i) {
        const int64_t size = std::max<int64_t>(Reader.Member(i).UncompressedSize, 0);
        need(destination_, size);
        const std::string target = transaction_->TargetOf(Reader.FullName(i));
        if (target.empty()) continue;
        if (auto there = files().FindFiles(target); !there.empty())
          need(destination_, there.front().size);
        if (volume(target) != volume(destination_)) need(ExtractFileDir(target), size);
      }
    }
  } catch (const std::exception&) {
    return std::nullopt;
  }
  for (const auto& [drive, bytes] : needed) {
    const int64_t free = files().FreeSpace(folder_on[drive]);
    if (free < 0 || free >= bytes) continue;
    // Rounded so that the two never read alike: what is needed up, what is free down.
    constexpr int64_t kMegabyte = 1 << 20;
    const std::string needed_mb = std::to_string((bytes + kMegabyte - 1) / kMegabyte);
    const std::string free_mb = std::to_string(free / kMegabyte);
    return Format(install_texts::kNoRoom, folder_on[drive].c_str(), needed_mb.c_str(),
                  free_mb.c_str());
  }
  return std::nullopt;
}

std::string InstallProgress::UninstallDir() const {
  return destination_ + "\\UNINST";
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

void InstallProgress::PercentDone(int percent) {
  Bar.SetPosition(current_part_ * 100 + percent - 100);
}

void InstallProgress::MemberUnpacked(int file_index, const std::string& fname) {
  SetStatus(inst_.script.install_title + install_texts::kCopyingFiles);
  // The member is placed from where the reader put it, which is its stored path made safe (no
  // drive, no "..") under the staging directory; so no stored name can lead the file elsewhere.
  const std::string staged = transaction_->StagingDir() + "\\";
  PlaceFile(StartsText(staged, fname) ? fname.substr(staged.size()) : Reader.FullName(file_index),
            static_cast<uint32_t>(Reader.Member(file_index).UncompressedSize));
  if (IsLastMember(file_index)) FinishInstall();
}

bool InstallProgress::IsLastMember(int file_index) const {
  return current_part_ == inst_.script.data_parts && file_index == Reader.Count() - 1;
}

void InstallProgress::PlaceFile(const std::string& path, int64_t size) {
  const PlaceResult placed = transaction_->Place(path);
  switch (placed.outcome) {
    case PlaceOutcome::kNotUpdated:
      not_updated_ += Quoted(placed.target);
      if (!placed.old_file.empty()) old_files_ += Quoted(placed.old_file);
      break;
    case PlaceOutcome::kNotCopiedAside:
      not_copied_ += Quoted(placed.target);
      break;
    case PlaceOutcome::kNotCreated:
      not_created_ += Quoted(placed.target);
      break;
    case PlaceOutcome::kPlaced:
    case PlaceOutcome::kKept:
      installed_bytes_ += size;
      // The uninstall log lists every file in the destination, also a preserved one the run
      // kept; files of the system directory stay off it, so that the uninstaller leaves them.
      if (!placed.in_system_dir) installed_list_.push_back(placed.target);
      break;
    case PlaceOutcome::kExcluded:
      break;
  }
}

void InstallProgress::AbortInstall() {
  EndWithError(Format(install_texts::kDataCopyError,
                      DataPartName(inst_.where.data_file_name, current_part_).c_str()));
}

void InstallProgress::EndWithError(const std::string& message) {
  App().MessageDlg(message, ui::MsgKind::kError, ui::MsgButtons::kOK, this);
  transaction_->Rollback();
  installed_list_.clear();
  App().Terminate();
}

}  // namespace vl4
