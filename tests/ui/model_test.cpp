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

}  // namespace
}  // namespace vl4::ui
