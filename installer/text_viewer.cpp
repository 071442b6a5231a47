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

TextViewer::TextViewer(ui::Application& app) : ui::Form(app, "TInstF2") {
  SetBorderStyle(ui::BorderStyle::kSizeable);
  SetPosition(ui::FormPosition::kScreenCenter);
  SetMaximizeBox(true);
  SetBounds(0, 0, 696, 480);
  SetMinimumSize({300, 300});
  SetKeyPreview(true);

  ButtonPanel.SetAlign(ui::Align::kBottom);
  ButtonPanel.SetHeight(46);
  ButtonPanel.SetBevelOuter(false);
  OkButton.SetCaption(install_texts::kOK);
  OkButton.SetDefault(true);
  OkButton.SetModalResult(ui::ModalResult::kOK);
  OkButton.SetBounds(ButtonPanel.Width() - 15 - 90, 10, 90, 25);
  OkButton.SetAnchors(ui::kAnchorTop | ui::kAnchorRight);

  Text.SetAlign(ui::Align::kClient);
  Text.SetReadOnly(true);
  Text.SetWordWrap(true);
  Text.SetVerticalScrollBar(true);

  OnShow = [this](ui::Control&) { FocusTextStart(); };
  OnKeyPress = [this](ui::Control&, char& key) { CloseOnEscape(key); };
}

void TextViewer::FocusTextStart() {
  Text.SetFocus();
  Text.SetSelStart(0);
}

void TextViewer::CloseOnEscape(char& key) {
  if (key != ui::kKeyEscape) return;
  key = 0;
  Close();
}

}  // namespace vl4
