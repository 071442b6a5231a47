// The headless UI backend: runs the forms without a screen. A scripted responder answers message
// boxes, modal forms and file dialogs; timers run on virtual time; everything shown is written to
// a transcript. Tests state expectations in code, programs read a script file (see script.h).
#pragma once

#include <cstdint>
#include <deque>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "ui/backend.h"

namespace vl4::ui {

class ProgressBar;
class Timer;

// What the responder reports by default: a prompt no expectation matched, an expectation never
// met, a scripted action that could not be done. The message carries the prompt's full text.
class UnexpectedPrompt : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class HeadlessBackend : public Backend {
 public:
  using FormAction = std::function<void(Form& form)>;
  using DirectoryAnswer = std::function<std::optional<std::string>(const DirectoryRequest&)>;
  using OpenFileAnswer = std::function<std::optional<std::string>(const OpenFileRequest&)>;

  // A Run gives the timers at most this many ticks in a row while nothing else is scripted.
  static constexpr int kIdleTimerTicks = 100;
  // An unanswered box that comes back this many times in a row with its default answer gets its
  // last button instead (Cancel, No, Next), so that an unscripted retry loop cannot go on forever.
  static constexpr int kDefaultAnswerRepeats = 10;

  HeadlessBackend();
  ~HeadlessBackend() override;

  // ---- The responder. Every prompt takes the first pending expectation: it must match, else
  // the prompt is unexpected. Expectations are met in the order they were stated.

  // A message box whose text contains `text_part` (of the given kind and buttons, when given).
  HeadlessBackend& ExpectMessage(std::string text_part, ModalResult answer);
  HeadlessBackend& ExpectMessage(std::string text_part, std::optional<MsgKind> kind,
                                 std::optional<MsgButtons> buttons, ModalResult answer);
  // A modal form, by name: `act` does what the user does on it (types, ticks, clicks OK), or the
  // form is closed with `result`. A form still open after its expectation takes the next one
  // stated for it.
  HeadlessBackend& ExpectForm(std::string form_name, FormAction act);
  HeadlessBackend& ExpectForm(std::string form_name, ModalResult result);
  // The directory chooser and the open-file dialog: a path, or nullopt for Cancel.
  HeadlessBackend& ExpectDirectory(std::optional<std::string> path);
  HeadlessBackend& ExpectDirectory(DirectoryAnswer answer);
  HeadlessBackend& ExpectOpenFile(std::optional<std::string> path);
  HeadlessBackend& ExpectOpenFile(OpenFileAnswer answer);
  // A user action on a form: on the modal form that is up when it comes due, else (when Run finds
  // the program idle) on the main form. A named action applies only to the form of that name.
  HeadlessBackend& QueueAction(FormAction act, std::string form_name = {},
                               std::string description = {});
  // Script lines (the format of script.h); throws ScriptError naming the line of a bad one.
  void LoadScript(std::string_view text, std::string_view source_name = "script");
  void LoadScriptFile(const std::string& path);

  // Replaces the description of the step stated last (what failures and the transcript call it).
  HeadlessBackend& Describe(std::string description);

  bool AllExpectationsMet() const { return steps_.empty(); }
  // Reports every expectation not met yet as a failure, and drops them.
  void Verify();

  // What happens on a failure. By default UnexpectedPrompt is thrown. A handler that returns
  // lets the run go on: an unexpected prompt then gets its default answer (a box its first
  // button, a dialog Cancel, a modal form Enter, then Close, then Cancel regardless).
  void SetFailureHandler(std::function<void(const std::string& what)> handler);
  // Programs: failures are written to the transcript, prompts get their default answers.
  void AnswerUnexpectedWithDefaults();
  void ReportFailure(const std::string& what);

  // ---- The transcript: forms shown and hidden, message boxes with their answers, dialogs,
  // scripted actions, progress bars of shown forms (a note per tenth filled), the end of the run.
  // One entry per event; an entry may span lines.
  const std::vector<std::string>& Transcript() const { return transcript_; }
  std::string TranscriptText() const;
  void ClearTranscript() { transcript_.clear(); }
  // Receives each entry as it is made (programs write it out as they go).
  void SetTranscriptSink(std::function<void(const std::string& entry)> sink);
  // Adds the text rendering of a form to the transcript each time one is shown.
  void SetRenderOnShow(bool v) { render_on_show_ = v; }
  void Note(const std::string& entry);

  // ---- Virtual time: no timer fires unless time is advanced (or the timers are fired).
  uint64_t Now() const { return now_; }
  // Advances the clock, firing every enabled timer each time its interval elapses, in order.
  void AdvanceTime(unsigned ms);
  // Fires every enabled timer once, now; returns how many fired.
  int FireTimers();

  int ProcessMessagesCount() const { return process_messages_count_; }
  Cursor CurrentCursor() const { return cursor_; }
  // The active window: the last form shown or the modal form that is up.
  Form* ActiveForm() const { return active_; }
  std::vector<Form*> Forms() const { return forms_; }

  // A backend for a program run without a screen, set up from the environment:
  //   VL4_UI_SCRIPT      a script file (script.h) answering the program's prompts;
  //   VL4_UI_TRANSCRIPT  where the transcript goes: a file path, or "-" / unset for stdout;
  //   VL4_UI_RENDER      "0" leaves out the renderings of shown forms.
  // Unscripted prompts get their default answers, and the transcript says so.
  // With the program's file name given ("Inst.exe"), a variable suffixed with the name's stem,
  // upper-cased ("VL4_UI_SCRIPT_INST"), comes first: a program and the programs it starts, which
  // inherit its environment, can each have their own script and transcript.
  static std::unique_ptr<HeadlessBackend> FromEnvironment(std::string_view program = {});

  // ---- Backend
  void FormCreated(Form& form) override;
  void FormDestroyed(Form& form) override;
  void ControlDestroyed(Control& control) override;
  void Changed(Control& control, Property what) override;
  void ShowForm(Form& form) override;
  void HideForm(Form& form) override;
  void FocusControl(Control&) override {}
  ModalResult ShowModal(Form& form) override;
  ModalResult MessageBox(Form* owner, const std::string& text, const std::string& caption,
                         MsgKind kind, MsgButtons buttons) override;
  std::optional<std::string> SelectDirectory(const DirectoryRequest& request) override;
  std::optional<std::string> OpenFile(const OpenFileRequest& request) override;
  int TextWidth(const Font& font, std::string_view text) override;
  void ProcessMessages() override { ++process_messages_count_; }
  void SetCursor(Cursor cursor) override { cursor_ = cursor; }
  // Shows the main form, then while the application runs: applies the scripted actions, lets
  // time pass for enabled timers (at most kIdleTimerTicks ticks in a row), and when nothing is
  // left closes the main form as a user would. A refused close with nothing scripted after it
  // ends the loop too; the transcript says how the run ended.
  void Run(Form& main_form) override;
  void Terminate() override { terminated_ = true; }
  bool Terminated() const override { return terminated_; }

 private:
  struct Step {
    enum class Kind { kMessage, kForm, kDirectory, kOpenFile, kAction };
    explicit Step(Kind k) : kind(k) {}
    Kind kind;
    std::string description;
    std::string text_part;  // kMessage
    std::optional<MsgKind> msg_kind;
    std::optional<MsgButtons> buttons;
    ModalResult answer = ModalResult::kNone;
    std::string form_name;  // kForm, kAction (empty: whichever form the action finds)
    FormAction act;
    DirectoryAnswer directory;
    OpenFileAnswer open_file;
  };

  HeadlessBackend& Add(Step step);
  std::string NextExpected() const;
  bool AppliesTo(const Step& step, const Form& form, bool modal) const;
  void Apply(Step step, Form& form);
  Timer* NextDueTimer(uint64_t limit);
  void FireDue(Timer& timer);
  void Reactivate(Form* form);
  void NoteProgress(const ProgressBar& bar);

  std::deque<Step> steps_;
  std::function<void(const std::string&)> failure_handler_;
  std::vector<std::string> transcript_;
  std::function<void(const std::string&)> sink_;
  std::unique_ptr<std::ofstream> transcript_file_;
  bool render_on_show_ = false;

  std::vector<Form*> forms_;
  Form* active_ = nullptr;
  std::unordered_map<const Control*, uint64_t> timer_due_;
  std::unordered_map<const Control*, int> progress_tenths_;  // the tenth noted last
  uint64_t now_ = 0;
  int process_messages_count_ = 0;
  Cursor cursor_ = Cursor::kDefault;
  bool terminated_ = false;
  std::string last_default_text_;
  int default_repeats_ = 0;
};

}  // namespace vl4::ui
