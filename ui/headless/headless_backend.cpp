// The headless backend: the responder, virtual time, the modal and main loops, the transcript.
#include "ui/headless/headless_backend.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <sstream>

#include "ui/controls.h"
#include "ui/form.h"
#include "ui/headless/render.h"
#include "ui/headless/script.h"
#include "ui/headless/text_metrics.h"

namespace vl4::ui {
namespace {

std::string Quote(const std::string& s) {
  return "\"" + s + "\"";
}

// A message text as transcript lines: "  | " before each of its lines.
std::string TextLines(const std::string& text) {
  std::string out;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    out += "\n  | " + line;
    start = end + 1;
  }
  return out;
}

std::vector<ModalResult> ButtonsOf(MsgButtons buttons) {
  switch (buttons) {
    case MsgButtons::kOK:
      return {ModalResult::kOK};
    case MsgButtons::kOKCancel:
      return {ModalResult::kOK, ModalResult::kCancel};
    case MsgButtons::kYesNo:
      return {ModalResult::kYes, ModalResult::kNo};
    case MsgButtons::kRepeatNext:
      return {ModalResult::kRepeat, ModalResult::kNext};
  }
  return {ModalResult::kOK};
}

std::string DescribeBox(const std::string& text, const std::string& caption, MsgKind kind,
                        MsgButtons buttons) {
  return std::string(MsgKindName(kind)) + " " + Quote(caption) + " [" + MsgButtonsName(buttons) +
         "]" + TextLines(text);
}

}  // namespace

HeadlessBackend::HeadlessBackend() = default;

HeadlessBackend::~HeadlessBackend() {
  if (steps_.empty()) return;
  if (failure_handler_) {
    Verify();
  } else {
    std::cerr << "headless UI: expectations never met:\n";
    for (const Step& s : steps_) std::cerr << "  " << s.description << "\n";
  }
}

// ---- The responder

HeadlessBackend& HeadlessBackend::Add(Step step) {
  steps_.push_back(std::move(step));
  return *this;
}

HeadlessBackend& HeadlessBackend::ExpectMessage(std::string text_part, ModalResult answer) {
  return ExpectMessage(std::move(text_part), std::nullopt, std::nullopt, answer);
}

HeadlessBackend& HeadlessBackend::ExpectMessage(std::string text_part, std::optional<MsgKind> kind,
                                                std::optional<MsgButtons> buttons,
                                                ModalResult answer) {
  Step s(Step::Kind::kMessage);
  s.description = std::string(kind ? MsgKindName(*kind) : "message") + " box" +
                  (buttons ? std::string(" [") + MsgButtonsName(*buttons) + "]" : "") +
                  " containing " + Quote(text_part) + " -> " + ModalResultName(answer);
  s.text_part = std::move(text_part);
  s.msg_kind = kind;
  s.buttons = buttons;
  s.answer = answer;
  return Add(std::move(s));
}

HeadlessBackend& HeadlessBackend::ExpectForm(std::string form_name, FormAction act) {
  Step s(Step::Kind::kForm);
  s.description = "modal form " + form_name;
  s.form_name = std::move(form_name);
  s.act = std::move(act);
  return Add(std::move(s));
}

HeadlessBackend& HeadlessBackend::ExpectForm(std::string form_name, ModalResult result) {
  Step s(Step::Kind::kForm);
  s.description = "modal form " + form_name + " -> " + ModalResultName(result);
  s.form_name = std::move(form_name);
  s.act = [result](Form& form) { form.SetModalResult(result); };
  return Add(std::move(s));
}

HeadlessBackend& HeadlessBackend::ExpectDirectory(std::optional<std::string> path) {
  std::string what = path ? Quote(*path) : "Cancel";
  return ExpectDirectory(DirectoryAnswer([path](const DirectoryRequest&) { return path; }))
      .Describe("directory chooser -> " + what);
}

HeadlessBackend& HeadlessBackend::ExpectDirectory(DirectoryAnswer answer) {
  Step s(Step::Kind::kDirectory);
  s.description = "directory chooser";
  s.directory = std::move(answer);
  return Add(std::move(s));
}

HeadlessBackend& HeadlessBackend::ExpectOpenFile(std::optional<std::string> path) {
  std::string what = path ? Quote(*path) : "Cancel";
  return ExpectOpenFile(OpenFileAnswer([path](const OpenFileRequest&) { return path; }))
      .Describe("open-file dialog -> " + what);
}

HeadlessBackend& HeadlessBackend::ExpectOpenFile(OpenFileAnswer answer) {
  Step s(Step::Kind::kOpenFile);
  s.description = "open-file dialog";
  s.open_file = std::move(answer);
  return Add(std::move(s));
}

HeadlessBackend& HeadlessBackend::QueueAction(FormAction act, std::string form_name,
                                              std::string description) {
  Step s(Step::Kind::kAction);
  s.description =
      description.empty()
          ? "action on " + (form_name.empty() ? std::string("the active form") : form_name)
          : std::move(description);
  s.form_name = std::move(form_name);
  s.act = std::move(act);
  return Add(std::move(s));
}

HeadlessBackend& HeadlessBackend::Describe(std::string description) {
  steps_.back().description = std::move(description);
  return *this;
}

void HeadlessBackend::LoadScript(std::string_view text, std::string_view source_name) {
  vl4::ui::LoadScript(*this, text, source_name);
}

void HeadlessBackend::LoadScriptFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw ScriptError("cannot read the UI script " + Quote(path));
  std::ostringstream text;
  text << in.rdbuf();
  LoadScript(text.str(), path);
}

std::string HeadlessBackend::NextExpected() const {
  return steps_.empty() ? std::string("nothing more") : steps_.front().description;
}

void HeadlessBackend::Verify() {
  if (steps_.empty()) return;
  std::string what = "expected but never happened:";
  for (const Step& s : steps_) what += "\n  " + s.description;
  steps_.clear();
  ReportFailure(what);
}

void HeadlessBackend::SetFailureHandler(std::function<void(const std::string&)> handler) {
  failure_handler_ = std::move(handler);
}

void HeadlessBackend::AnswerUnexpectedWithDefaults() {
  SetFailureHandler([this](const std::string& what) { Note("unscripted: " + what); });
}

void HeadlessBackend::ReportFailure(const std::string& what) {
  if (!failure_handler_) throw UnexpectedPrompt(what);
  failure_handler_(what);
}

bool HeadlessBackend::AppliesTo(const Step& step, const Form& form, bool modal) const {
  if (step.kind == Step::Kind::kForm) return modal && step.form_name == form.Name();
  if (step.kind == Step::Kind::kAction) {
    return step.form_name.empty() || step.form_name == form.Name();
  }
  return false;
}

void HeadlessBackend::Apply(Step step, Form& form) {
  if (step.kind == Step::Kind::kAction) Note("action: " + step.description);
  step.act(form);
}

// ---- Transcript

std::string HeadlessBackend::TranscriptText() const {
  std::string out;
  for (const std::string& entry : transcript_) out += entry + "\n";
  return out;
}

void HeadlessBackend::SetTranscriptSink(std::function<void(const std::string&)> sink) {
  sink_ = std::move(sink);
}

void HeadlessBackend::Note(const std::string& entry) {
  transcript_.push_back(entry);
  if (sink_) sink_(entry);
}

std::unique_ptr<HeadlessBackend> HeadlessBackend::FromEnvironment(std::string_view program) {
  // The program's own variable first ("VL4_UI_SCRIPT_INST" for Inst.exe), then the shared one.
  std::string suffix;
  for (char c : program.substr(0, program.rfind('.'))) {
    suffix += std::isalnum(static_cast<unsigned char>(c))
                  ? static_cast<char>(std::toupper(static_cast<unsigned char>(c)))
                  : '_';
  }
  auto variable = [&suffix](const std::string& name) -> const char* {
    if (!suffix.empty()) {
      if (const char* own = std::getenv((name + "_" + suffix).c_str())) return own;
    }
    return std::getenv(name.c_str());
  };
  auto ui = std::make_unique<HeadlessBackend>();
  ui->AnswerUnexpectedWithDefaults();
  const char* transcript = variable("VL4_UI_TRANSCRIPT");
  if (transcript == nullptr || *transcript == '\0' || std::string_view(transcript) == "-") {
    ui->SetTranscriptSink([](const std::string& entry) {
      std::fwrite(entry.data(), 1, entry.size(), stdout);
      std::fputc('\n', stdout);
      std::fflush(stdout);
    });
  } else {
    ui->transcript_file_ = std::make_unique<std::ofstream>(transcript, std::ios::trunc);
    if (!*ui->transcript_file_) {
      throw std::runtime_error("cannot write the UI transcript " + Quote(transcript));
    }
    std::ofstream* file = ui->transcript_file_.get();
    ui->SetTranscriptSink([file](const std::string& entry) { *file << entry << std::endl; });
  }
  const char* render = variable("VL4_UI_RENDER");
  ui->SetRenderOnShow(render == nullptr || std::string_view(render) != "0");
  if (const char* script = variable("VL4_UI_SCRIPT"); script != nullptr && *script != '\0') {
    ui->LoadScriptFile(script);
  }
  return ui;
}

// ---- Forms

void HeadlessBackend::FormCreated(Form& form) {
  forms_.push_back(&form);
}

void HeadlessBackend::FormDestroyed(Form& form) {
  forms_.erase(std::remove(forms_.begin(), forms_.end(), &form), forms_.end());
  if (active_ == &form) active_ = nullptr;
}

void HeadlessBackend::ControlDestroyed(Control& control) {
  timer_due_.erase(&control);
  progress_tenths_.erase(&control);
}

// What a user would see of a progress bar: a note each time it fills another tenth (or drops).
void HeadlessBackend::NoteProgress(const ProgressBar& bar) {
  if (!bar.Showing() || bar.Max() <= bar.Min()) return;
  const int tenth = (bar.Position() - bar.Min()) * 10 / (bar.Max() - bar.Min());
  int& noted = progress_tenths_[&bar];
  if (tenth == noted) return;
  noted = tenth;
  Note("progress " + bar.OwnerForm().Name() + "." + bar.Name() + " " +
       std::to_string(bar.Position()) + "/" + std::to_string(bar.Max()));
}

void HeadlessBackend::Changed(Control& control, Property what) {
  if (what == Property::kPosition && control.Kind() == ControlKind::kProgressBar) {
    NoteProgress(static_cast<ProgressBar&>(control));
    return;
  }
  if (what != Property::kEnabled && what != Property::kTimer) return;
  if (control.Kind() != ControlKind::kTimer) return;
  auto& timer = static_cast<Timer&>(control);
  if (timer.Enabled() && timer.Interval() > 0) {
    timer_due_[&control] = now_ + timer.Interval();
  } else {
    timer_due_.erase(&control);
  }
}

void HeadlessBackend::ShowForm(Form& form) {
  if (active_ == &form) return;
  std::string entry = "show " + form.Name() + " " + Quote(form.Caption());
  if (render_on_show_) entry += "\n" + RenderForm(form);
  Note(entry);
  active_ = &form;
  form.Activated();
}

void HeadlessBackend::HideForm(Form& form) {
  if (!form.Modal()) Note("hide " + form.Name());  // a modal form's end is noted with its result
  if (active_ != &form) return;
  active_ = nullptr;
  for (auto it = forms_.rbegin(); it != forms_.rend(); ++it) {
    if ((*it)->Visible()) {
      active_ = *it;
      break;
    }
  }
}

void HeadlessBackend::Reactivate(Form* form) {
  if (form == nullptr || terminated_) return;
  if (std::find(forms_.begin(), forms_.end(), form) == forms_.end() || !form->Visible()) return;
  active_ = form;
  form->Activated();
}

ModalResult HeadlessBackend::ShowModal(Form& form) {
  std::string entry = "modal " + form.Name() + " " + Quote(form.Caption());
  if (render_on_show_) entry += "\n" + RenderForm(form);
  Note(entry);
  Form* previous = active_;
  active_ = &form;
  form.Activated();
  bool acted = false;
  int fallback = 0;
  while (!form.ModalLoopDone()) {
    if (!steps_.empty() && AppliesTo(steps_.front(), form, true)) {
      Step step = std::move(steps_.front());
      steps_.pop_front();
      Apply(std::move(step), form);
      acted = true;
      continue;
    }
    if (fallback == 0) {
      ReportFailure((acted ? "modal form " + form.Name() + " still open after its scripted actions"
                           : "unexpected modal form " + form.Name() + " " + Quote(form.Caption()) +
                                 "\n" + RenderForm(form)) +
                    "\nnext expected: " + NextExpected());
    }
    if (fallback == 0) {
      Note("modal " + form.Name() + ": Enter (default)");
      form.PressKey(kKeyReturn);
    } else if (fallback == 1) {
      Note("modal " + form.Name() + ": the user closes it");
      form.Close();
    } else {
      Note("modal " + form.Name() + " refused to close; it ends with Cancel");
      form.SetModalResult(ModalResult::kCancel);
      break;
    }
    ++fallback;
  }
  Note("modal " + form.Name() + " -> " + ModalResultName(form.GetModalResult()));
  if (active_ == &form) active_ = nullptr;
  Reactivate(previous);
  return form.GetModalResult();
}

// ---- Dialogs

ModalResult HeadlessBackend::MessageBox(Form* /*owner*/, const std::string& text,
                                        const std::string& caption, MsgKind kind,
                                        MsgButtons buttons) {
  const std::vector<ModalResult> choices = ButtonsOf(buttons);
  const std::string box = DescribeBox(text, caption, kind, buttons);
  std::optional<ModalResult> answer;
  if (!steps_.empty() && steps_.front().kind == Step::Kind::kMessage &&
      text.find(steps_.front().text_part) != std::string::npos &&
      (!steps_.front().msg_kind || *steps_.front().msg_kind == kind) &&
      (!steps_.front().buttons || *steps_.front().buttons == buttons)) {
    const ModalResult scripted = steps_.front().answer;
    steps_.pop_front();
    if (std::find(choices.begin(), choices.end(), scripted) != choices.end()) {
      answer = scripted;
    } else {
      ReportFailure(std::string("answer ") + ModalResultName(scripted) +
                    " is not a button of the message box " + box);
    }
  } else {
    ReportFailure("unexpected message box " + box + "\nnext expected: " + NextExpected());
  }
  std::string how;
  if (answer) {
    default_repeats_ = 0;
  } else {
    default_repeats_ = text == last_default_text_ ? default_repeats_ + 1 : 1;
    last_default_text_ = text;
    const bool give_up = default_repeats_ > kDefaultAnswerRepeats;
    answer = give_up ? choices.back() : choices.front();
    how = give_up ? " (default; the same box came back too often: its last button)" : " (default)";
  }
  Note("message " + box.substr(0, box.find('\n')) + " -> " + ModalResultName(*answer) + how +
       TextLines(text));
  Reactivate(active_);
  return *answer;
}

std::optional<std::string> HeadlessBackend::SelectDirectory(const DirectoryRequest& request) {
  const std::string chooser =
      "directory chooser " + Quote(request.caption) + " at " + Quote(request.start);
  std::optional<std::string> path;
  if (!steps_.empty() && steps_.front().kind == Step::Kind::kDirectory) {
    DirectoryAnswer answer = std::move(steps_.front().directory);
    steps_.pop_front();
    path = answer(request);
    Note(chooser + " -> " + (path ? Quote(*path) : "Cancel"));
  } else {
    ReportFailure("unexpected " + chooser + "\nnext expected: " + NextExpected());
    Note(chooser + " -> Cancel (default)");
  }
  // A typed directory that does not exist yet: the chooser asks before it creates it; after a
  // No it stays open, so the next directory answer (if any) is for it.
  if (path && request.allow_create && request.exists && !request.exists(*path)) {
    if (MessageBox(active_, "The directory \"" + *path + "\" does not exist. Create it?", "Confirm",
                   MsgKind::kConfirmation, MsgButtons::kYesNo) == ModalResult::kYes) {
      if (request.create) request.create(*path);
    } else if (!steps_.empty() && steps_.front().kind == Step::Kind::kDirectory) {
      return SelectDirectory(request);
    } else {
      path.reset();
    }
  }
  return path;
}

std::optional<std::string> HeadlessBackend::OpenFile(const OpenFileRequest& request) {
  const std::string dialog = "open-file dialog " + Quote(request.title) + " filter " +
                             Quote(request.filter) + " at " + Quote(request.initial_dir);
  std::optional<std::string> path;
  if (!steps_.empty() && steps_.front().kind == Step::Kind::kOpenFile) {
    OpenFileAnswer answer = std::move(steps_.front().open_file);
    steps_.pop_front();
    path = answer(request);
    Note(dialog + " -> " + (path ? Quote(*path) : "Cancel"));
  } else {
    ReportFailure("unexpected " + dialog + "\nnext expected: " + NextExpected());
    Note(dialog + " -> Cancel (default)");
  }
  return path;
}

int HeadlessBackend::TextWidth(const Font& font, std::string_view text) {
  return NominalTextWidth(font, text);
}

// ---- Virtual time

Timer* HeadlessBackend::NextDueTimer(uint64_t limit) {
  Timer* next = nullptr;
  uint64_t next_due = 0;
  for (Form* form : forms_) {
    for (Control* c : form->Controls()) {
      if (c->Kind() != ControlKind::kTimer) continue;
      auto* timer = static_cast<Timer*>(c);
      if (!timer->Enabled() || timer->Interval() == 0) continue;
      // A timer running since its creation was never announced: its time starts now.
      const uint64_t due = timer_due_.try_emplace(c, now_ + timer->Interval()).first->second;
      if (due <= limit && (next == nullptr || due < next_due)) {
        next = timer;
        next_due = due;
      }
    }
  }
  return next;
}

void HeadlessBackend::FireDue(Timer& timer) {
  const Control* key = &timer;
  timer.Fire();
  // The handler may have stopped, restarted or destroyed the timer; only a timer left running on
  // its old schedule is due again one interval later.
  auto it = timer_due_.find(key);
  if (it != timer_due_.end() && it->second <= now_) it->second = now_ + timer.Interval();
}

void HeadlessBackend::AdvanceTime(unsigned ms) {
  const uint64_t target = now_ + ms;
  while (!terminated_) {
    Timer* timer = NextDueTimer(target);
    if (timer == nullptr) break;
    now_ = timer_due_[timer];
    FireDue(*timer);
  }
  now_ = target;
}

int HeadlessBackend::FireTimers() {
  std::vector<Timer*> running;
  for (Form* form : forms_) {
    for (Control* c : form->Controls()) {
      if (c->Kind() == ControlKind::kTimer && c->Enabled()) {
        timer_due_.try_emplace(c, now_ + static_cast<Timer*>(c)->Interval());
        running.push_back(static_cast<Timer*>(c));
      }
    }
  }
  int fired = 0;
  for (Timer* timer : running) {
    // An earlier handler may have stopped or destroyed this one.
    if (timer_due_.count(timer) == 0) continue;
    timer->Fire();
    ++fired;
  }
  return fired;
}

// ---- The main loop

void HeadlessBackend::Run(Form& main_form) {
  if (terminated_) {
    Note("run: the application ended before its message loop");
    return;
  }
  if (!main_form.Visible()) main_form.Show();
  int timer_ticks = 0;
  while (!terminated_) {
    // The user's next scripted action, when the script is at one; an answer to a prompt waits
    // for its prompt, which what follows (a timer, the closing) may bring.
    if (!steps_.empty() && steps_.front().kind == Step::Kind::kAction) {
      Step step = std::move(steps_.front());
      steps_.pop_front();
      Form* target = &main_form;
      if (!step.form_name.empty() && step.form_name != main_form.Name()) {
        auto it = std::find_if(forms_.begin(), forms_.end(), [&](Form* f) {
          return f->Name() == step.form_name && f->Visible();
        });
        if (it == forms_.end()) {
          ReportFailure("form " + step.form_name + " is not shown for: " + step.description);
          continue;
        }
        target = *it;
      }
      Apply(std::move(step), *target);
      timer_ticks = 0;
      continue;
    }
    if (timer_ticks < kIdleTimerTicks) {
      if (Timer* timer = NextDueTimer(UINT64_MAX); timer != nullptr) {
        now_ = timer_due_[timer];
        FireDue(*timer);
        ++timer_ticks;
        continue;
      }
    }
    Note("run: the user closes " + main_form.Name());
    main_form.Close();
    if (!terminated_ && (steps_.empty() || steps_.front().kind != Step::Kind::kAction)) {
      Note("run: " + main_form.Name() + " refused to close and nothing else is scripted");
      break;
    }
  }
  if (terminated_) Note("run: the application ended");
  terminated_ = true;
}

}  // namespace vl4::ui
