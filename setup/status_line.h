// The status line of a setup page: two centred lines whose colour is state (black = good,
// red = a problem, and red before anything was written).
#pragma once

#include <string>

#include "ui/controls.h"

namespace vl4 {

void ConfigureStatusLine(ui::Label& status);
void SetStatus(ui::Label& status, const std::string& text, ui::Color color);
bool StatusRed(const ui::Control& status);

}  // namespace vl4
