// The wizard's layout, its start-up, the text viewer, its keys, the automatic start and the exit
// question.
#include "installer/install_wizard.h"

#include "installer/install_texts.h"
#include "installer/locations.h"
#include "installer/macros.h"
#include "platform/dos_date_time.h"
#include "platform/path.h"
#include "platform/platform.h"
#include "platform/text.h"
#include "platform/text_file.h"

namespace vl4 {

InstallWizard::InstallWizard(ui::Application& app, platform::Platform& platform,
                             ScriptMaker make_script)
    : ui::Form(app, "TInstF1"), inst_(platform), make_script_(std::move(make_script)) {
  Layout();
  OnShow = [this](ui::Control&) { ArmAutoStart(); };
  OnKeyDown = [this](ui::Control&, uint16_t& key, unsigned) { ShowTextOnF1(key); };
  OnKeyPress = [this](ui::Control&, char& key) { CloseOnEscape(key); };
  OnCloseQuery = [this](ui::Control&, bool& can_close) { ConfirmExit(can_close); };
  OnClose = [this](ui::Control&) { DropExclusions(); };
  AutoStartTimer.OnTimer = [this](ui::Control&) { AutoStartTick(); };
  BrowseButton.OnClick = [this](ui::Control&) { BrowseClick(); };
  AboutButton.OnClick = [this](ui::Control&) { ShowTextFile(TextKind::kReadme); };
  LicenseButton.OnClick = [this](ui::Control&) { ShowTextFile(TextKind::kLicense); };
  InstallButton.OnClick = [this](ui::Control&) { InstallClick(); };
  ExitButton.OnClick = [this](ui::Control&) { ExitClick(); };
}

InstallWizard::~InstallWizard() = default;

void InstallWizard::Layout() {
  SetBorderStyle(ui::BorderStyle::kDialog);
  SetMaximizeBox(false);
  SetMinimizeBox(true);
  SetPosition(ui::FormPosition::kDesktopCenter);
  SetClientWidth(632);
  SetClientHeight(248);
  SetKeyPreview(true);

  const ui::Font title{"Arial", 27, true, true, ui::kBlack};
  TitleShadow.SetFont({"Arial", 27, true, true, ui::kGray});
  TitleShadow.SetTransparent(true);
  TitleShadow.SetBounds(14, 11, 0, 32);
  Title.SetFont(title);
  Title.SetTransparent(true);
  Title.SetBounds(12, 10, 0, 32);
  Subtitle.SetFont({"Arial", 19, false, false, ui::kBlack});
  Subtitle.SetBounds(12, 48, 0, 22);
  VersionLine.SetFont({"Arial", 16, false, false, ui::kBlack});
  VersionLine.SetBounds(12, 80, 0, 19);
  AuthorLine.SetFont({"Arial", 13, false, false, ui::kBlack});
  AuthorLine.SetAlignment(ui::Alignment::kRight);
  AuthorLine.SetBounds(420, 82, 200, 16);
  TopSeparator.SetBounds(8, 104, 616, 4);

  DestinationPrompt.SetBounds(12, 130, 0, 16);
  DestinationEdit.SetBounds(330, 126, 192, 21);
  BrowseButton.SetBounds(530, 124, 94, 25);
  BottomSeparator.SetBounds(8, 168, 616, 4);

  AboutButton.SetBounds(12, 200, 120, 25);
  LicenseButton.SetBounds(140, 200, 120, 25);
  InstallButton.SetBounds(400, 200, 108, 25);
  InstallButton.SetDefault(true);
  ExitButton.SetBounds(516, 200, 108, 25);

  AutoStartTimer.SetInterval(200);
  AutoStartTimer.SetEnabled(false);
}

void InstallWizard::StartUp() {
  platform::Platform& pc = inst_.platform;
  platform::Files& files = pc.files();
  inst_.where = FindLocations(pc);
  inst_.settings = ReadSettingsFile(files, pc.profile(), inst_.where.settings_path,
                                    inst_.where.program_files_dir);
  inst_.script = make_script_(inst_.where);
  const Locations& where = inst_.where;
  const InstallScript& script = inst_.script;

  App().SetTitle(install_texts::kAppTitle);
  SetCaption(install_texts::kAppTitle);
  Title.SetCaption(install_texts::kTitle);
  Subtitle.SetCaption(install_texts::kSubtitle);
  AuthorLine.SetCaption(install_texts::kAuthorLine);
  DestinationPrompt.SetCaption(install_texts::kDestinationPrompt);
  for (ui::Label* label : {&Title, &Subtitle, &AuthorLine, &VersionLine}) {
    label->SetFontColor(ui::kDarkBlue);
  }

  DestinationEdit.SetText(script.default_destination);
  const int right = DestinationEdit.Left() + DestinationEdit.Width();
  const int left = DestinationPrompt.Left() + DestinationPrompt.Width() + 20;
  DestinationEdit.SetBounds(left, DestinationEdit.Top(), right - left, DestinationEdit.Height());

  for (int n = 1; n <= script.data_parts; ++n) {
    const std::string part = DataPartName(where.data_file_name, n);
    if (!files.FileExists(where.start_dir + "\\" + part)) {
      App().MessageDlg(Format(install_texts::kDataFileMissing, part.c_str()), ui::MsgKind::kError,
                       ui::MsgButtons::kOK, this);
      SetWindowState(ui::WindowState::kMinimized);
      EndApplication();
      return;
    }
  }

  TitleShadow.SetCaption(Title.Caption());
  VersionLine.SetCaption(VersionText());
  BrowseButton.SetCaption(install_texts::kBrowse);
  AboutButton.SetCaption(install_texts::kAbout);
  LicenseButton.SetCaption(install_texts::kLicense);
  InstallButton.SetCaption(install_texts::kInstall);
  ExitButton.SetCaption(install_texts::kExit);
  if (!files.FileExists(TextPath(TextKind::kReadme))) {
    AboutButton.SetVisible(false);
    LicenseButton.SetBounds(AboutButton.Left(), AboutButton.Top(), LicenseButton.Width(),
                            LicenseButton.Height());
  }
  if (!files.FileExists(TextPath(TextKind::kLicense))) LicenseButton.SetVisible(false);

  viewer_ = std::make_unique<TextViewer>(App());
  progress_ = std::make_unique<InstallProgress>(App(), inst_);
  environments_ = std::make_unique<EnvironmentChoice>(App());
  environments_->Prepare(script, inst_.settings.exclude_dirs);

  if (!inst_.settings.install_dir.empty()) DestinationEdit.SetText(inst_.settings.install_dir);
  SetActiveControl(&InstallButton);
}

std::string InstallWizard::VersionText() {
  const std::string data =
      inst_.where.start_dir + "\\" + DataPartName(inst_.where.data_file_name, 1);
  const auto time = inst_.platform.files().GetFileTime(data);
  if (!time || *time == 0) return "";
  const DosDateTime date = DosDateTime::Split(*time);
  const std::string build = Format("%02u.%02u.%04u", date.day, date.month, date.year);
  return Format(install_texts::kVersionLine, inst_.script.version.c_str(), build.c_str());
}

void InstallWizard::EndApplication() {
  App().Terminate();
}

void InstallWizard::ArmAutoStart() {
  if (inst_.settings.auto_run) AutoStartTimer.SetEnabled(true);
}

void InstallWizard::AutoStartTick() {
  AutoStartTimer.SetEnabled(false);
  InstallClick();
}

void InstallWizard::ExitClick() {
  Close();
}

void InstallWizard::ShowTextOnF1(uint16_t& key) {
  if (key != ui::kKeyF1) return;
  key = 0;
  if (AboutButton.Visible()) {
    ShowTextFile(TextKind::kReadme);
  } else if (LicenseButton.Visible()) {
    ShowTextFile(TextKind::kLicense);
  }
}

void InstallWizard::CloseOnEscape(char& key) {
  if (key != ui::kKeyEscape) return;
  key = 0;
  Close();
}

void InstallWizard::ConfirmExit(bool& can_close) {
  can_close = App().MessageDlg(install_texts::kExitQuestion, ui::MsgKind::kConfirmation,
                               ui::MsgButtons::kYesNo, this) == ui::ModalResult::kYes;
}

void InstallWizard::DropExclusions() {
  exclusions_.clear();
}

std::string InstallWizard::TextPath(TextKind kind) const {
  return inst_.where.start_dir + (kind == TextKind::kReadme ? "\\readme.txt" : "\\license.txt");
}

void InstallWizard::ShowTextFile(TextKind kind) {
  const std::string path = TextPath(kind);
  platform::Files& files = inst_.platform.files();
  if (!files.FileExists(path)) return;
  viewer_->SetCaption(kind == TextKind::kReadme ? install_texts::kReadmeCaption
                                                : install_texts::kLicenseCaption);
  viewer_->Text.ClearLines();
  const auto lines = platform::ReadTextFile(files, path);
  if (!lines) {
    App().MessageDlg(Format(install_texts::kCannotRead, path.c_str()), ui::MsgKind::kError,
                     ui::MsgButtons::kOK, this);
    return;
  }
  viewer_->Text.SetLines(JoinParagraphs(*lines));
  viewer_->ShowModal();
}

}  // namespace vl4
