// TInstF2, the text viewer: shows readme.txt or license.txt with the file's paragraphs joined,
// so that the text box wraps them itself.
#pragma once

#include <string>
#include <vector>

#include "ui/controls.h"
#include "ui/form.h"

namespace vl4 {

// The viewer's lines for the lines of a text file: the lines of a paragraph joined by one space,
// while empty lines, list items ("-", "*") and the copyright notice keep lines of their own.
std::vector<std::string> JoinParagraphs(const std::vector<std::string>& lines);

class TInstF2 : public ui::Form {
 public:
  explicit TInstF2(ui::Application& app);

  void FormShow();
  void FormKeyPress(char& key);

  ui::Panel Panel1{this, "Panel1"};
  ui::Button Button1{&Panel1, "Button1"};
  ui::Memo Memo1{this, "Memo1"};
};

}  // namespace vl4
