// TextViewer (runtime name TInstF2): shows readme.txt or license.txt with the file's paragraphs
// joined, so that the text box wraps them itself.
#pragma once

#include <string>
#include <vector>

#include "ui/controls.h"
#include "ui/form.h"

namespace vl4 {

// What the viewer shows: the readme or the licence that lie beside the installer.
enum class TextKind { kReadme, kLicense };

// The viewer's lines for the lines of a text file: the lines of a paragraph joined by one space,
// while empty lines, list items ("-", "*") and the copyright notice keep lines of their own.
std::vector<std::string> JoinParagraphs(const std::vector<std::string>& lines);

class TextViewer : public ui::Form {
 public:
  explicit TextViewer(ui::Application& app);

  ui::Panel ButtonPanel{this, "Panel1"};
  ui::Button OkButton{&ButtonPanel, "Button1"};
  ui::Memo Text{this, "Memo1"};

 private:
  // The caret goes to the start of the text, which has the focus.
  void FocusTextStart();
  void CloseOnEscape(char& key);
};

}  // namespace vl4
