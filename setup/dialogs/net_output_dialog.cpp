// The .NET output directory dialog.
#include "setup/dialogs/net_output_dialog.h"

#include "platform/file_tree.h"
#include "platform/files.h"
#include "platform/text.h"
#include "setup/setup_texts.h"

namespace vl4 {

NetOutputDialog::NetOutputDialog(ui::Application& app, platform::Files& files)
    : ui::Form(app, "Form7"), files_(files) {
  SetCaption(texts::kNetOutputTitle);
  SetBorderStyle(ui::BorderStyle::kDialog);
  SetPosition(ui::FormPosition::kScreenCenter);
  SetKeyPreview(true);
  SetClientWidth(460);
  SetClientHeight(190);
  ExplanationLabel.SetBounds(16, 12, 428, 56);
  ExplanationLabel.SetAutoSize(false);
  ExplanationLabel.SetWordWrap(true);
  ExplanationLabel.SetCaption(texts::kNetOutputExplanation);
  UseLocalDirCheck.SetBounds(16, 76, 428, 20);
  UseLocalDirCheck.SetCaption(texts::kUseLocalDir);
  UseLocalDirCheck.OnClick = [this](ui::Control&) { UpdateControls(); };
  LocalDirEdit.SetBounds(16, 104, 316, 21);
  LocalDirEdit.OnChange = [this](ui::Control&) { UpdateControls(); };
  ButtonBrowse.SetBounds(340, 102, 104, 25);
  ButtonBrowse.SetCaption(texts::kBrowse);
  ButtonBrowse.OnClick = [this](ui::Control&) { BrowseClick(); };
  ButtonOK.SetBounds(268, 148, 84, 25);
  ButtonOK.SetCaption(texts::kOK);
  ButtonOK.SetDefault(true);
  ButtonOK.SetModalResult(ui::ModalResult::kOK);
  ButtonCancel.SetBounds(360, 148, 84, 25);
  ButtonCancel.SetCaption(texts::kCancel);
  ButtonCancel.SetCancel(true);
  ButtonCancel.SetModalResult(ui::ModalResult::kCancel);
  OnKeyDown = [this](ui::Control&, uint16_t& key, unsigned shift) { KeyDown(key, shift); };
  OnCloseQuery = [this](ui::Control&, bool& can_close) {
    if (GetModalResult() == ui::ModalResult::kOK && UseLocalDirCheck.Checked()) {
      can_close = ValidateLocalDir();
    }
  };
}

void NetOutputDialog::Prepare(bool use_local_dir, const std::string& local_dir_name,
                              const std::string& work_dir) {
  work_dir_ = work_dir;
  LocalDirEdit.SetText(local_dir_name);
  UseLocalDirCheck.SetChecked(use_local_dir);
  UpdateControls();
  UseLocalDirCheck.SetFocus();
}

void NetOutputDialog::UpdateControls() {
  const bool local = UseLocalDirCheck.Checked();
  LocalDirEdit.SetEnabled(local);
  ButtonBrowse.SetEnabled(local);
  ButtonOK.SetEnabled(!local || !Trim(LocalDirEdit.Text()).empty());
}

void NetOutputDialog::BrowseClick() {
  ui::DirectoryRequest request;
  request.caption = texts::kChooseOutputDir;
  const std::string typed = Trim(LocalDirEdit.Text());
  request.start = !typed.empty() && files_.DirectoryExists(typed) ? typed : work_dir_;
  if (auto chosen = App().backend().SelectDirectory(request)) LocalDirEdit.SetText(*chosen);
}

bool NetOutputDialog::ValidateLocalDir() {
  const std::string dir = Trim(LocalDirEdit.Text());
  if (dir.size() < 4 || dir.compare(1, 2, ":\\") != 0 ||
      files_.GetDriveType(dir.substr(0, 3)) != platform::DriveType::kFixed) {
    App().MessageDlg(texts::kNeedLocalDisk, ui::MsgKind::kError, ui::MsgButtons::kOK, this);
    return false;
  }
  if (files_.DirectoryExists(dir)) return true;
  if (App().MessageDlg(Format(texts::kCreateDirectoryQuestion, dir.c_str()),
                       ui::MsgKind::kConfirmation, ui::MsgButtons::kYesNo,
                       this) != ui::ModalResult::kYes) {
    return false;
  }
  platform::ForceDirectories(files_, dir);
  if (files_.DirectoryExists(dir)) return true;
  App().MessageDlg(Format(texts::kCannotCreateDirectory, dir.c_str()), ui::MsgKind::kError,
                   ui::MsgButtons::kOK, this);
  return false;
}

void NetOutputDialog::KeyDown(uint16_t& key, unsigned shift) {
  if (key != ui::kKeyF8 || shift != ui::kShiftNone) return;
  key = 0;
  if (ButtonBrowse.Enabled()) ButtonBrowse.Click();
}

}  // namespace vl4
