// The control model on its own: a recording backend stands in for a real one.
#include <gtest/gtest.h>

#include "ui/controls.h"
#include "ui/form.h"

namespace vl4::ui {
namespace {

class NullBackend : public Backend {
 public:
  void FormCreated(Form&) override {}
  void FormDestroyed(Form&) override {}
  void Changed(Control&, Property) override { ++changes; }
  void ShowForm(Form&) override {}
  void HideForm(Form&) override {}
  void FocusControl(Control&) override {}
  ModalResult ShowModal(Form& f) override { return f.GetModalResult(); }
  ModalResult MessageBox(Form*, const std::string&, const std::string&, MsgKind,
                         MsgButtons) override {
    return ModalResult::kOK;
  }
  std::optional<std::string> SelectDirectory(const DirectoryRequest&) override { return {}; }
  std::optional<std::string> OpenFile(const OpenFileRequest&) override { return {}; }
  int TextWidth(const Font&, std::string_view text) override {
    return static_cast<int>(text.size()) * 6;
  }
  void ProcessMessages() override {}
  void SetCursor(Cursor) override {}
  void Run(Form&) override {}
  void Terminate() override { terminated = true; }
  bool Terminated() const override { return terminated; }
  int changes = 0;
  bool terminated = false;
};

class SampleForm : public Form {
 public:
  explicit SampleForm(Application& app) : Form(app, "SampleForm") {
    OK.SetDefault(true);
    OK.SetModalResult(ModalResult::kOK);
    Quit.SetCancel(true);
    Quit.OnClick = [this](Control&) { Close(); };
    SetKeyPreview(true);
    OnKeyDown = [this](Control&, uint16_t& key, unsigned) {
      if (key == kKeyF1) {
        ++f1;
        key = 0;
      }
    };
  }
  Panel Bottom{this, "Bottom"};
  Button OK{&Bottom, "OK"};
  Button Quit{&Bottom, "Quit"};
  CheckListBox List{this, "List"};
  int f1 = 0;
};

TEST(ControlModel, KeysRouteThroughPreviewThenDialogKeys) {
  NullBackend backend;
  Application app(backend);
  SampleForm form(app);
  form.PressKey(kKeyF1);
  EXPECT_EQ(form.f1, 1);
  form.PressKey(kKeyReturn);
  EXPECT_EQ(form.GetModalResult(), ModalResult::kOK);
  form.SetModalResult(ModalResult::kNone);
  form.OK.SetEnabled(false);
  form.PressKey(kKeyReturn);
  EXPECT_EQ(form.GetModalResult(), ModalResult::kNone);
}

TEST(ControlModel, CheckListKeepsMarksInStepWithItems) {
  NullBackend backend;
  Application app(backend);
  SampleForm form(app);
  for (const char* s : {"a", "b", "c"}) form.List.AddItem(s);
  form.List.SetChecked(2, true);
  form.List.SetItemIndex(2);
  form.List.DeleteItem(0);
  EXPECT_TRUE(form.List.Checked(1));
  EXPECT_FALSE(form.List.Checked(0));
  EXPECT_EQ(form.List.ItemIndex(), 1);
  int clicks = 0;
  form.List.OnClickCheck = [&](Control&) { ++clicks; };
  form.List.UserClickCheck(0);
  EXPECT_TRUE(form.List.Checked(0));
  EXPECT_EQ(form.List.ItemIndex(), 0);
  EXPECT_EQ(clicks, 1);
}

// The text viewer's shape: a sizeable window, a memo filling what a bottom panel leaves, and an OK
// button kept 15 pixels from the panel's right edge.
class ViewerForm : public Form {
 public:
  explicit ViewerForm(Application& app) : Form(app, "Viewer") {
    SetClientWidth(696);
    SetClientHeight(480);
    Bottom.SetHeight(46);
    Bottom.SetAlign(Align::kBottom);
    Text.SetAlign(Align::kClient);
    OK.SetBounds(696 - 15 - 75, 10, 75, 25);
    OK.SetAnchors(kAnchorTop | kAnchorRight);
    OnResize = [this](Control&) { ++resizes; };
  }
  Panel Bottom{this, "Bottom"};
  Memo Text{this, "Text"};
  Button OK{&Bottom, "OK"};
  int resizes = 0;
};

TEST(ControlModel, AlignedAndAnchoredControlsFollowTheirParent) {
  NullBackend backend;
  Application app(backend);
  ViewerForm form(app);
  const Insets frame = backend.FrameInsets(BorderStyle::kSizeable);
  EXPECT_EQ(form.Width(), 696 + frame.left + frame.right);
  EXPECT_EQ(form.Bottom.BoundsRect(), (Rect{0, 480 - 46, 696, 46}));
  EXPECT_EQ(form.Text.BoundsRect(), (Rect{0, 0, 696, 480 - 46}));

  form.SetWidth(form.Width() + 100);
  form.SetHeight(form.Height() - 80);
  EXPECT_EQ(form.Bottom.BoundsRect(), (Rect{0, 400 - 46, 796, 46}));
  EXPECT_EQ(form.Text.BoundsRect(), (Rect{0, 0, 796, 400 - 46}));
  EXPECT_EQ(form.OK.Left() + form.OK.Width(), 796 - 15);
  EXPECT_EQ(form.resizes, 2);

  // A new border style keeps the client area and so the layout.
  form.SetBorderStyle(BorderStyle::kNone);
  EXPECT_EQ(form.Width(), 796);
  EXPECT_EQ(form.Text.BoundsRect(), (Rect{0, 0, 796, 400 - 46}));
}

TEST(ControlModel, OnlyTheActivePageIsShownAndReachable) {
  NullBackend backend;
  Application app(backend);
  SampleForm form(app);
  PageControl pages{&form, "Pages"};
  TabSheet first{&pages, "First"}, second{&pages, "Second"};
  Button on_first{&first, "OnFirst"}, on_second{&second, "OnSecond"};
  int clicks = 0;
  on_second.OnClick = [&](Control&) { ++clicks; };
  pages.SetActivePage(&first);
  EXPECT_TRUE(on_first.Reachable());
  EXPECT_FALSE(on_second.Reachable());
  on_second.Click();
  EXPECT_EQ(clicks, 0);
  pages.SetActivePage(&second);
  EXPECT_FALSE(first.Visible());
  on_second.Click();
  EXPECT_EQ(clicks, 1);

  // Tab moves through what can take the focus: the hidden page and a disabled button are skipped.
  form.Quit.SetEnabled(false);
  form.SetActiveControl(&form.OK);
  std::vector<std::string> order;
  for (int i = 0; i < 3; ++i) {
    form.PressKey(kKeyTab);
    order.push_back(form.ActiveControl()->Name());
  }
  EXPECT_EQ(order, (std::vector<std::string>{"List", "OnSecond", "OK"}));
  form.PressKey(kKeyTab, kShiftShift);
  EXPECT_EQ(form.ActiveControl(), &on_second);
}

TEST(ControlModel, CloseProtocolOfMainAndModalForms) {
  NullBackend backend;
  Application app(backend);
  SampleForm form(app);
  bool allow = false;
  int closes = 0;
  form.OnCloseQuery = [&](Control&, bool& can_close) { can_close = allow; };
  form.OnClose = [&](Control&) { ++closes; };
  app.SetMainForm(&form);
  form.Show();
  form.Close();
  EXPECT_TRUE(form.Visible());
  EXPECT_FALSE(app.Terminated());
  allow = true;
  form.PressKey(kKeyF4, kShiftAlt);
  EXPECT_FALSE(form.Visible());
  EXPECT_EQ(closes, 1);
  EXPECT_TRUE(app.Terminated());
}

TEST(ControlModel, UserActionsRespectTheControlsState) {
  NullBackend backend;
  Application app(backend);
  SampleForm form(app);
  Edit name{&form, "Name"};
  Memo memo{&form, "Memo"};
  int changes = 0;
  name.OnChange = [&](Control&) { ++changes; };
  name.SetMaxLength(5);
  name.UserSetText("Annabel");
  EXPECT_EQ(name.Text(), "Annab");
  name.SetReadOnly(true);
  name.UserSetText("Bob");
  EXPECT_EQ(name.Text(), "Annab");
  EXPECT_EQ(changes, 1);

  // Enter in a memo is a line break, not the default button.
  form.SetActiveControl(&memo);
  form.PressKey(kKeyReturn);
  EXPECT_EQ(form.GetModalResult(), ModalResult::kNone);
}

TEST(ControlModel, RightAlignedAutoSizeLabelKeepsItsRightEdge) {
  NullBackend backend;
  Application app(backend);
  SampleForm form(app);
  Label author{&form, "Author"};
  author.SetAlignment(Alignment::kRight);
  author.SetBounds(100, 0, 200, 16);
  author.SetCaption("abcd");  // 4 characters of 6 pixels in the null backend
  EXPECT_EQ(author.BoundsRect(), (Rect{276, 0, 24, 16}));
}

TEST(ControlModel, RadioMenuItemsKeepOneMarkPerGroup) {
  NullBackend backend;
  Application app(backend);
  SampleForm form(app);
  PopupMenu menu{&form, "Menu"};
  for (const char* caption : {"Page 1", "Page 2", "Page 3"}) menu.Add(caption).SetRadioItem(true);
  menu.Item(0).SetChecked(true);
  menu.Item(2).SetChecked(true);
  EXPECT_FALSE(menu.Item(0).Checked());
  EXPECT_TRUE(menu.Item(2).Checked());
  menu.Item(1).SetGroupIndex(1);
  menu.Item(1).SetChecked(true);
  EXPECT_TRUE(menu.Item(2).Checked());
}

TEST(ControlModel, CentredFormsAreCentredOnTheScreenWhenShown) {
  NullBackend backend;
  Application app(backend);
  SampleForm form(app);
  form.SetBorderStyle(BorderStyle::kNone);
  form.SetBounds(0, 0, 624, 368);
  form.SetPosition(FormPosition::kScreenCenter);
  form.Show();
  EXPECT_EQ(form.Left(), (1024 - 624) / 2);
  EXPECT_EQ(form.Top(), (768 - 368) / 2);
}

}  // namespace
}  // namespace vl4::ui
