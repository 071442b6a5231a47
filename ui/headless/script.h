// The UI script: what a user does to a program run without a screen, one step per line, taken
// in order by the headless responder. A prompt takes the next line when that line answers it;
// an action line is done on the modal form that is up, or, when the program is idle, on the main
// form.
//
//   # a comment (blank lines are ignored too)
//   message "<part of its text>" [<kind>] [<buttons>] => <answer>
//   directory "<path>"            directory cancel
//   openfile "<path>"             openfile cancel
//   [<Form>:] click <control>               a button, check box or label, by name or caption
//   [<Form>:] set <edit> "<text>"           the user types a new text into an edit
//   [<Form>:] check <control> ["<entry>"]   ticks a check box, or an entry of a check list
//   [<Form>:] uncheck <control> ["<entry>"]
//   [<Form>:] select <control> "<entry>"    picks an entry of a drop-down list or check list
//   [<Form>:] key <key>                     a key press, e.g. F4, Enter, Esc, Tab, Alt+F4
//   [<Form>:] menu "<item>"                 chooses an item of the form's popup menu
//   [<Form>:] result <answer>               ends a modal form with that result
//   [<Form>:] close                         the user closes the window
//   [<Form>:] render                        the form's text rendering goes to the transcript
//   wait <ms>                               lets virtual time pass; timers fire
//
// <kind>: plain, error, warning, information, confirmation. <buttons>: OK, OKCancel, YesNo,
// RepeatNext. <answer>: OK, Cancel, Yes, No, Repeat, Next. <key>: F1..F12, Enter, Esc, Tab,
// Space, Back, Delete, Left, Right, Up, Down, A..Z, 0..9, after any of Shift+, Ctrl+, Alt+.
// Keywords are case-insensitive; form and control names and texts are not. A text is written in
// double quotes (a double quote inside it twice; a backslash is a plain character); a name or a
// one-word text may go without them. A control is found by name, else by caption (without "&"),
// preferring one the user can reach. The "<Form>:" prefix ties a line to the form of that name.
#pragma once

#include <stdexcept>
#include <string_view>

namespace vl4::ui {

class HeadlessBackend;

// A script line that cannot be read; the message names the source and the line.
class ScriptError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Adds the steps of a script to the responder.
void LoadScript(HeadlessBackend& ui, std::string_view text, std::string_view source_name);

}  // namespace vl4::ui
