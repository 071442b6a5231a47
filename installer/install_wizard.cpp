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

TInstF1::TInstF1(ui::Application& app, platform::Platform& platform, ScriptMaker make_script)
    : ui::Form(app, "TInstF1"), inst_(platform), make_script_(std::move(make_script)) {
  Layout();
  OnShow = [this](ui::Control&) { FormShow(); };
  OnKeyDown = [this](ui::Control&, uint16_t& key, unsigned) { FormKeyDown(key); };
  OnKeyPress = [this](ui::Control&, char& key) { FormKeyPress(key); };
  OnCloseQuery = [this](ui::Control&, bool& can_close) { FormCloseQuery(can_close); };
  OnClose = [this](ui::Control&) { FormClose(); };
  Timer1.OnTimer = [this](ui::Control&) { Timer1Timer(); };
  Button1.OnClick = [this](ui::Control&) { Button1Click(); };
  Button2.OnClick = [this](ui::Control& sender) { Button2Click(sender); };
  Button3.OnClick = [this](ui::Control& sender) { Button2Click(sender); };
  Button4.OnClick = [this](ui::Control&) { Button4Click(); };
  Button5.OnClick = [this](ui::Control&) { Button5Click(); };
}

TInstF1::~TInstF1() = default;

void TInstF1::Layout() {
  SetBorderStyle(ui::BorderStyle::kDialog);
  SetMaximizeBox(false);
  SetMinimizeBox(true);
  SetPosition(ui::FormPosition::kDesktopCenter);
  SetClientWidth(632);
  SetClientHeight(248);
  SetKeyPreview(true);

  const ui::Font title{"Arial", 27, true, true, ui::kBlack};
  Label2.SetFont({"Arial", 27, true, true, ui::kGray});
  Label2.SetTransparent(true);
  Label2.SetBounds(14, 11, 0, 32);
  Label1.SetFont(title);
  Label1.SetTransparent(true);
  Label1.SetBounds(12, 10, 0, 32);
  Label3.SetFont({"Arial", 19, false, false, ui::kBlack});
  Label3.SetBounds(12, 48, 0, 22);
  Label6.SetFont({"Arial", 16, false, false, ui::kBlack});
  Label6.SetBounds(12, 80, 0, 19);
  Label4.SetFont({"Arial", 13, false, false, ui::kBlack});
  Label4.SetAlignment(ui::Alignment::kRight);
  Label4.SetBounds(420, 82, 200, 16);
  Bevel1.SetBounds(8, 104, 616, 4);

  Label5.SetBounds(12, 130, 0, 16);
  Edit1.SetBounds(330, 126, 192, 21);
  Button1.SetBounds(530, 124, 94, 25);
  Bevel2.SetBounds(8, 168, 616, 4);

  Button2.SetBounds(12, 200, 120, 25);
  Button2.SetTag(1);
  Button3.SetBounds(140, 200, 120, 25);
  Button3.SetTag(2);
  Button4.SetBounds(400, 200, 108, 25);
  Button4.SetDefault(true);
  Button5.SetBounds(516, 200, 108, 25);

  Timer1.SetInterval(200);
  Timer1.SetEnabled(false);
}

void TInstF1::FormCreate() {
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
  Label1.SetCaption(install_texts::kTitle);
  Label3.SetCaption(install_texts::kSubtitle);
  Label4.SetCaption(install_texts::kAuthorLine);
  Label5.SetCaption(install_texts::kDestinationPrompt);
  for (ui::Label* label : {&Label1, &Label3, &Label4, &Label6}) label->SetFontColor(ui::kDarkBlue);

  Edit1.SetText(script.default_destination);
  const int right = Edit1.Left() + Edit1.Width();
  const int left = Label5.Left() + Label5.Width() + 20;
  Edit1.SetBounds(left, Edit1.Top(), right - left, Edit1.Height());

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

  Label2.SetCaption(Label1.Caption());
  Label6.SetCaption(VersionLine());
  Button1.SetCaption(install_texts::kBrowse);
  Button2.SetCaption(install_texts::kAbout);
  Button3.SetCaption(install_texts::kLicense);
  Button4.SetCaption(install_texts::kInstall);
  Button5.SetCaption(install_texts::kExit);
  if (!files.FileExists(where.start_dir + "\\readme.txt")) {
    Button2.SetVisible(false);
    Button3.SetBounds(Button2.Left(), Button2.Top(), Button3.Width(), Button3.Height());
  }
  if (!files.FileExists(where.start_dir + "\\license.txt")) Button3.SetVisible(false);

  viewer_ = std::make_unique<TInstF2>(App());
  progress_ = std::make_unique<TInstF3>(App(), inst_);
  environments_ = std::make_unique<TInstF4>(App());
  environments_->Prepare(script, inst_.settings.exclude_dirs);

  if (!inst_.settings.install_dir.empty()) Edit1.SetText(inst_.settings.install_dir);
  SetActiveControl(&Button4);
}

std::string TInstF1::VersionLine() {
  const std::string data =
      inst_.where.start_dir + "\\" + DataPartName(inst_.where.data_file_name, 1);
  const auto time = inst_.platform.files().GetFileTime(data);
  if (!time || *time == 0) return "";
  const DosDateTime date = DosDateTime::Split(*time);
  const std::string build = Format("%02u.%02u.%04u", date.day, date.month, date.year);
  return Format(install_texts::kVersionLine, inst_.script.version.c_str(), build.c_str());
}

void TInstF1::EndApplication() {
  App().Terminate();
}

void TInstF1::FormShow() {
  if (inst_.settings.auto_run) Timer1.SetEnabled(true);
}

void TInstF1::Timer1Timer() {
  Timer1.SetEnabled(false);
  Button4Click();
}

void TInstF1::Button2Click(ui::Control& sender) {
  ShowTextFile(sender.Tag());
}

void TInstF1::Button5Click() {
  Close();
}

void TInstF1::FormKeyDown(uint16_t& key) {
  if (key != ui::kKeyF1) return;
  key = 0;
  if (Button2.Visible()) {
    ShowTextFile(1);
  } else if (Button3.Visible()) {
    ShowTextFile(2);
  }
}

void TInstF1::FormKeyPress(char& key) {
  if (key != ui::kKeyEscape) return;
  key = 0;
  Close();
}

void TInstF1::FormCloseQuery(bool& can_close) {
  can_close = App().MessageDlg(install_texts::kExitQuestion, ui::MsgKind::kConfirmation,
                               ui::MsgButtons::kYesNo, this) == ui::ModalResult::kYes;
}

void TInstF1::FormClose() {
  exclusions_.clear();
}

void TInstF1::ShowTextFile(int kind) {
  const bool readme = kind == 1;
  const std::string path = inst_.where.start_dir + (readme ? "\\readme.txt" : "\\license.txt");
  platform::Files& files = inst_.platform.files();
  if (!files.FileExists(path)) return;
  viewer_->SetCaption(readme ? install_texts::kReadmeCaption : install_texts::kLicenseCaption);
  viewer_->Memo1.ClearLines();
  const auto lines = platform::ReadTextFile(files, path);
  if (!lines) {
    App().MessageDlg(Format(install_texts::kCannotRead, path.c_str()), ui::MsgKind::kError,
                     ui::MsgButtons::kOK, this);
    return;
  }
  viewer_->Memo1.SetLines(JoinParagraphs(*lines));
  viewer_->ShowModal();
}

}  // namespace vl4
