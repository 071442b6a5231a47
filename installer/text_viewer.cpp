// The text viewer and its paragraph joining.
#include "installer/text_viewer.h"

#include "installer/install_texts.h"
#include "platform/text.h"

namespace vl4 {
namespace {

// A line that continues (or starts) a paragraph: not empty, not a list item, not the notice.
bool IsTextLine(const std::string& line) {
  if (line.empty()) return false;
  const std::string trimmed = Trim(line);
  if (!trimmed.empty() && (trimmed.front() == '-' || trimmed.front() == '*')) return false;
  return UpperCase(trimmed.substr(0, 9)) != "COPYRIGHT";
}

}  // namespace

std::vector<std::string> JoinParagraphs(const std::vector<std::string>& lines) {
  std::vector<std::string> out;
  std::string paragraph;
  for (const std::string& line : lines) {
    if (IsTextLine(line)) {
      paragraph = paragraph.empty() ? line : paragraph + " " + Trim(line);
      continue;
    }
    if (!paragraph.empty()) out.push_back(paragraph);
    if (line.empty()) out.emplace_back();
    paragraph = line;
  }
  if (!paragraph.empty()) out.push_back(paragraph);
  return out;
}

TInstF2::TInstF2(ui::Application& app) : ui::Form(app, "TInstF2") {
  SetBorderStyle(ui::BorderStyle::kSizeable);
  SetPosition(ui::FormPosition::kScreenCenter);
  SetMaximizeBox(true);
  SetBounds(0, 0, 696, 480);
  SetMinimumSize({300, 300});
  SetKeyPreview(true);

  Panel1.SetAlign(ui::Align::kBottom);
  Panel1.SetHeight(46);
  Panel1.SetBevelOuter(false);
  Button1.SetCaption(install_texts::kOK);
  Button1.SetDefault(true);
  Button1.SetModalResult(ui::ModalResult::kOK);
  Button1.SetBounds(Panel1.Width() - 15 - 90, 10, 90, 25);
  Button1.SetAnchors(ui::kAnchorTop | ui::kAnchorRight);

  Memo1.SetAlign(ui::Align::kClient);
  Memo1.SetReadOnly(true);
  Memo1.SetWordWrap(true);
  Memo1.SetVerticalScrollBar(true);

  OnShow = [this](ui::Control&) { FormShow(); };
  OnKeyPress = [this](ui::Control&, char& key) { FormKeyPress(key); };
}

void TInstF2::FormShow() {
  Memo1.SetFocus();
  Memo1.SetSelStart(0);
}

void TInstF2::FormKeyPress(char& key) {
  if (key != ui::kKeyEscape) return;
  key = 0;
  Close();
}

}  // namespace vl4
