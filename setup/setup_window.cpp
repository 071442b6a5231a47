// The setup window: layout, page list navigation, the page menu and the key map.
#include "setup/setup_window.h"

#include "platform/exception.h"
#include "platform/platform.h"
#include "platform/text.h"
#include "setup/about_dialog.h"
#include "setup/detection.h"
#include "setup/dialogs/net_output_dialog.h"
#include "setup/dialogs/user_name_dialog.h"
#include "setup/ide/ide_modules.h"
#include "setup/path_display.h"
#include "setup/setup_texts.h"
#include "setup/status_line.h"

namespace vl4 {

namespace {

constexpr int kWidth = 620;
constexpr int kHeaderHeight = 56;
constexpr int kPageHeight = 320;
constexpr int kBottomHeight = 48;

}  // namespace

SetupWindow::SetupWindow(ui::Application& app, platform::Platform& platform)
    : ui::Form(app, "Form1"), platform_(platform) {
  SetBorderStyle(ui::BorderStyle::kSingle);
  SetMaximizeBox(false);
  SetPosition(ui::FormPosition::kScreenCenter);
  SetClientWidth(kWidth);
  SetClientHeight(kHeaderHeight + kPageHeight + kBottomHeight);
  SetKeyPreview(true);

  HeaderPanel.SetBounds(0, 0, kWidth, kHeaderHeight);
  HeaderPanel.SetColor(ui::kWhite);
  HeaderLabel.SetBounds(16, 14, 580, 28);
  ui::Font header_font = HeaderLabel.GetFont();
  header_font.height = 22;
  header_font.bold = true;
  HeaderLabel.SetFont(header_font);

  PageArea.SetBounds(0, kHeaderHeight, kWidth, kPageHeight);

  EnvironmentList.SetBounds(16, 16, 260, 212);
  LabelEnvsExe.SetBounds(292, 16, 120, 16);
  EditEnvsExe.SetBounds(292, 36, 312, 21);
  EditEnvsExe.SetReadOnly(true);
  ButtonEnvsBrowse.SetBounds(292, 66, 120, 25);
  ButtonEnvsDelete.SetBounds(292, 100, 312, 25);
  ConfigureStatusLine(LabelEnvsStatus);

  LabelWorkDir.SetBounds(16, 28, 120, 16);
  EditWorkDir.SetBounds(140, 24, 330, 21);
  EditWorkDir.SetReadOnly(true);
  ButtonChangeDir.SetBounds(480, 22, 124, 25);
  LabelResults.SetBounds(16, 64, 120, 16);
  EditUserName.SetBounds(140, 60, 330, 21);
  EditUserName.SetReadOnly(true);
  ButtonResults.SetBounds(480, 58, 124, 25);
  ButtonResults.SetEnabled(false);
  LabelEnvironment.SetBounds(16, 100, 120, 16);
  ComboEnvironment.SetBounds(140, 96, 330, 21);
  ButtonSamples.SetBounds(140, 140, 330, 25);
  ButtonNetOutput.SetBounds(140, 174, 330, 25);
  ConfigureStatusLine(LabelWorkStatus);

  BottomPanel.SetBounds(0, kHeaderHeight + kPageHeight, kWidth, kBottomHeight);
  ButtonAbout.SetBounds(8, 12, 136, 25);
  ButtonSite.SetBounds(150, 12, 194, 25);
  ButtonBack.SetBounds(354, 12, 84, 25);
  ButtonNext.SetBounds(444, 12, 84, 25);
  ButtonExit.SetBounds(534, 12, 78, 25);
  LeftNoteLabel.SetBounds(8, 40, 0, 0);
  RightNoteLabel.SetBounds(340, 40, 0, 0);

  // One page per catalogue row; start-up puts those of the available rows into the page list.
  for (EnvRow& row : catalogue_.Rows()) {
    if (row.Empty()) continue;
    env_pages_.push_back(std::make_unique<EnvPage>(PageArea, row));
    EnvPage& page = *env_pages_.back();
    row.page = &page;
    page.BrowseButton.OnClick = SenderHandler(&SetupWindow::BrowseClick);
    page.DeleteButton.OnClick = SenderHandler(&SetupWindow::DeleteClick);
    if (page.InstallButton)
      page.InstallButton->OnClick = SenderHandler(&SetupWindow::InstallButtonClick);
  }

  ButtonBack.OnClick = Handler(&SetupWindow::ButtonBackClick);
  ButtonNext.OnClick = Handler(&SetupWindow::ButtonNextClick);
  ButtonExit.OnClick = [this](ui::Control&) { Close(); };
  ButtonAbout.OnClick = Handler(&SetupWindow::ShowAbout);
  ButtonSite.OnClick = Handler(&SetupWindow::OpenSite);
  ButtonChangeDir.OnClick = Handler(&SetupWindow::ButtonChangeDirClick);
  ButtonResults.OnClick = Handler(&SetupWindow::ButtonResultsClick);
  ButtonSamples.OnClick = Handler(&SetupWindow::ButtonSamplesClick);
  ButtonNetOutput.OnClick = Handler(&SetupWindow::ButtonNetOutputClick);
  ComboEnvironment.OnChange = Handler(&SetupWindow::ComboEnvironmentChange);
  EnvironmentList.OnClick = Handler(&SetupWindow::EnvironmentListClick);
  EnvironmentList.OnClickCheck = Handler(&SetupWindow::EnvironmentListClickCheck);
  ButtonEnvsBrowse.OnClick = SenderHandler(&SetupWindow::BrowseClick);
  ButtonEnvsDelete.OnClick = SenderHandler(&SetupWindow::DeleteClick);
  OnKeyDown = [this](ui::Control&, uint16_t& key, unsigned shift) {
    Guarded([&] { KeyDown(key, shift); });
  };
  OnClose = [this](ui::Control&) { Guarded([this] { ShutDown(); }); };
  SetPopupMenu(&PageMenu);
}

SetupWindow::~SetupWindow() = default;

void SetupWindow::AttachDialogs(AboutDialog& about, UserNameDialog& user_name,
                                NetOutputDialog& net_output) {
  about_ = &about;
  user_name_dialog_ = &user_name;
  net_output_dialog_ = &net_output;
}

void SetupWindow::Guarded(const std::function<void()>& handler) {
  try {
    handler();
  } catch (const Exception& e) {
    App().MessageDlg(e.Message(), ui::MsgKind::kError, ui::MsgButtons::kOK, this);
  } catch (const std::exception& e) {
    App().MessageDlg(e.what(), ui::MsgKind::kError, ui::MsgButtons::kOK, this);
  }
}

ui::Control::Event SetupWindow::Handler(void (SetupWindow::*method)()) {
  return [this, method](ui::Control&) { Guarded([this, method] { (this->*method)(); }); };
}

ui::Control::Event SetupWindow::SenderHandler(void (SetupWindow::*method)(ui::Control&)) {
  return [this, method](ui::Control& sender) {
    Guarded([this, method, &sender] { (this->*method)(sender); });
  };
}

int SetupWindow::PageNumber(const ui::TabSheet& sheet) const {
  for (size_t i = 0; i < pages_.size(); ++i) {
    if (pages_[i] == &sheet) return static_cast<int>(i) + 1;
  }
  return 0;
}

bool SetupWindow::IsShown(const ui::TabSheet& sheet) const {
  return current_page_ > 0 && PageArea.ActivePage() == &sheet;
}

void SetupWindow::ShowPage(int number) {
  if (number < 1 || number > PageCount()) return;
  ui::TabSheet& sheet = Page(number);
  HeaderLabel.SetCaption(sheet.Caption());
  PageArea.SetActivePage(&sheet);
  current_page_ = number;
  ButtonBack.SetEnabled(number != 1);
  ButtonNext.SetEnabled(number != PageCount());
  for (int i = 0; i < PageMenu.Count(); ++i) {
    PageMenu.Item(i).SetChecked(PageMenu.Item(i).Tag() == number);
  }
  PageMenu.ItemsChanged();
  PageEntered(number);
}

void SetupWindow::PageEntered(int number) {
  ButtonExit.SetCaption(texts::kExit);
  ui::TabSheet& sheet = Page(number);
  if (&sheet == &WorkSheet) {
    RefreshWorkPage();
    const bool name_missing = EditUserName.Text().empty() || StatusRed(EditUserName);
    if (ButtonResults.Enabled() && name_missing) {
      ButtonResults.SetFocus();
    } else {
      ButtonChangeDir.SetFocus();
    }
  } else if (&sheet == &EnvsSheet) {
    EnvironmentList.SetFocus();
    if (EnvironmentList.ItemIndex() < 0) EnvironmentList.SetItemIndex(0);
    EnvironmentListClick();
  } else if (EnvRow* row = catalogue_.ByControl(&sheet)) {
    RefreshEnvStatus(*row);
  }
}

void SetupWindow::ButtonBackClick() {
  ShowPage(1);
}

void SetupWindow::ButtonNextClick() {
  ShowPage(PageCount());
}

void SetupWindow::PageMenuItemClick(ui::MenuItem& item) {
  if (item.Tag() == current_page_) return;
  ShowPage(item.Tag());
}

void SetupWindow::BuildPageMenu() {
  PageMenu.Clear();
  for (int number = 1; number <= PageCount(); ++number) {
    ui::MenuItem& item = PageMenu.Add(Page(number).Caption());
    item.SetTag(number);
    item.SetRadioItem(true);
    item.SetChecked(number == current_page_);
    item.OnClick = [this](ui::MenuItem& chosen) { Guarded([&] { PageMenuItemClick(chosen); }); };
  }
  PageMenu.ItemsChanged();
}

void SetupWindow::ShowAbout() {
  if (about_ != nullptr) about_->ShowModal();
}

void SetupWindow::OpenSite() {
  platform_.shell().Execute("open", texts::kSiteUrl, "", "", platform::kSwShowNormal);
}

// Every key passes here before the focused control sees it.
void SetupWindow::KeyDown(uint16_t& key, unsigned shift) {
  auto press = [](ui::Button& button) {
    if (button.Visible() && button.Enabled()) button.Click();
  };
  const bool on_work_page = IsShown(WorkSheet);
  const bool on_envs_page = IsShown(EnvsSheet);
  if (key == ui::kKeyF4 && shift == ui::kShiftAlt) {
    key = 0;
    Close();
    return;
  }
  if (shift != ui::kShiftNone) return;
  switch (key) {
    case ui::kKeyEscape:
      Close();
      break;
    case ui::kKeyF1:
      ShowAbout();
      break;
    case ui::kKeyF2:
      OpenSite();
      break;
    case ui::kKeyF3:
      press(ButtonBack);
      break;
    case ui::kKeyF4:
      press(ButtonNext);
      break;
    case ui::kKeyF5:
      if (on_work_page) press(ButtonChangeDir);
      break;
    case ui::kKeyF6:
      if (on_work_page) press(ButtonResults);
      break;
    case ui::kKeyF7:
      if (on_work_page) press(ButtonNetOutput);
      if (on_envs_page) press(ButtonEnvsDelete);
      break;
    case ui::kKeyF8:
      if (on_envs_page) {
        press(ButtonEnvsBrowse);
      } else if (EnvRow* row = catalogue_.ByControl(PageArea.ActivePage());
                 row && current_page_ > 0) {
        press(row->page->BrowseButton);
      }
      break;
    default:
      return;
  }
  key = 0;
}

void SetupWindow::ShowShortPath(const std::string& path, ui::Edit& field) {
  const ui::Font font = field.GetFont();
  std::string shown = ShortenPathForDisplay(
      path, field.Width(), [&](std::string_view text) { return App().TextWidth(font, text); });
  field.SetText(shown);
  field.SetHint(shown == path ? std::string() : path);
}

}  // namespace vl4
