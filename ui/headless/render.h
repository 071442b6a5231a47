// A text rendering of a form for logs, scripts and the demo: its title, then its visible
// controls in reading order (top to bottom, then left to right), one per line and indented
// below the panel or page that holds them, each with its name, so a script can address it:
//
//   TForm4 "Creation of the results file" (modal)
//     Label1 "Enter user data (name, surname), which will be saved in the results file:"
//     Edit1 [VL4 User] (focused)
//     Button1 [OK] (default)
//     Button2 [Cancel] (cancel)
//
// Labels show their text in quotes and their font colour when it is not black ("{red}"), so a
// status line reads as its state; edits show their text in brackets, check boxes and check list
// entries "[x]" or "[ ]" (">" marks the selected entry), drop-down lists their choice in angle
// brackets, progress bars their position in their range; a memo's lines follow it after "| ".
// Disabled controls say so, and the form's popup menu closes the rendering with its radio
// marks ("(*)") and tags ("#3"). Line breaks inside a text appear as "\n".
#pragma once

#include <string>

#include "ui/types.h"

namespace vl4::ui {

class Form;

std::string RenderForm(const Form& form);
// "black", "red", ... for the colours the forms use, else the value as "$BBGGRR".
std::string ColorName(Color color);

}  // namespace vl4::ui
