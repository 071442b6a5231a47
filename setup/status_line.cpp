// Status lines of the setup pages.
#include "setup/status_line.h"

namespace vl4 {

void ConfigureStatusLine(ui::Label& status) {
  status.SetAutoSize(false);
  status.SetWordWrap(true);
  status.SetAlignment(ui::Alignment::kCenter);
  status.SetBounds(8, 236, 604, 72);
  ui::Font font = status.GetFont();
  font.height = 15;
  font.color = ui::kRed;
  status.SetFont(font);
}

void SetStatus(ui::Label& status, const std::string& text, ui::Color color) {
  status.SetCaption(text);
  status.SetFontColor(color);
}

bool StatusRed(const ui::Control& status) {
  return status.GetFont().color == ui::kRed;
}

}  // namespace vl4
