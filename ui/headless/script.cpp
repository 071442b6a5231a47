// Reading the UI script into responder steps, and the user actions its lines stand for.
#include "ui/headless/script.h"

#include <algorithm>
#include <cctype>
#include <optional>
#include <string>
#include <vector>

#include "ui/controls.h"
#include "ui/form.h"
#include "ui/headless/headless_backend.h"
#include "ui/headless/render.h"

namespace vl4::ui {
namespace {

struct Token {
  std::string text;
  bool quoted = false;
};

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

bool Is(const Token& t, std::string_view keyword) {
  return !t.quoted && Lower(t.text) == keyword;
}

std::string StripAmpersands(const std::string& caption) {
  std::string out;
  for (size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] == '&' && i + 1 < caption.size()) ++i;  // "&&" stands for one "&"
    out += caption[i];
  }
  return out;
}

std::optional<ModalResult> ParseResult(const Token& t) {
  for (ModalResult r : {ModalResult::kOK, ModalResult::kCancel, ModalResult::kYes, ModalResult::kNo,
                        ModalResult::kRepeat, ModalResult::kNext}) {
    if (Is(t, Lower(ModalResultName(r)))) return r;
  }
  return std::nullopt;
}

std::optional<MsgKind> ParseKind(const Token& t) {
  for (MsgKind k : {MsgKind::kPlain, MsgKind::kError, MsgKind::kWarning, MsgKind::kInformation,
                    MsgKind::kConfirmation}) {
    if (Is(t, MsgKindName(k))) return k;
  }
  return std::nullopt;
}

std::optional<MsgButtons> ParseButtons(const Token& t) {
  if (Is(t, "ok")) return MsgButtons::kOK;
  if (Is(t, "okcancel")) return MsgButtons::kOKCancel;
  if (Is(t, "yesno")) return MsgButtons::kYesNo;
  if (Is(t, "repeatnext")) return MsgButtons::kRepeatNext;
  return std::nullopt;
}

struct KeyStroke {
  uint16_t key = 0;
  unsigned shift = kShiftNone;
};

std::optional<KeyStroke> ParseKey(std::string_view text) {
  KeyStroke k;
  std::string rest = Lower(text);
  for (;;) {
    if (rest.starts_with("shift+")) {
      k.shift |= kShiftShift;
      rest.erase(0, 6);
    } else if (rest.starts_with("ctrl+")) {
      k.shift |= kShiftCtrl;
      rest.erase(0, 5);
    } else if (rest.starts_with("alt+")) {
      k.shift |= kShiftAlt;
      rest.erase(0, 4);
    } else {
      break;
    }
  }
  static const std::pair<const char*, uint16_t> kNames[] = {
      {"enter", kKeyReturn},  {"return", kKeyReturn}, {"esc", kKeyEscape},  {"escape", kKeyEscape},
      {"tab", kKeyTab},       {"space", kKeySpace},   {"back", kKeyBack},   {"backspace", kKeyBack},
      {"delete", kKeyDelete}, {"left", kKeyLeft},     {"right", kKeyRight}, {"up", kKeyUp},
      {"down", kKeyDown}};
  for (const auto& [name, key] : kNames) {
    if (rest == name) {
      k.key = key;
      return k;
    }
  }
  if (rest.size() >= 2 && rest[0] == 'f' && std::all_of(rest.begin() + 1, rest.end(), ::isdigit)) {
    const int n = std::stoi(rest.substr(1));
    if (n >= 1 && n <= 12) {
      k.key = static_cast<uint16_t>(kKeyF1 + n - 1);
      return k;
    }
  }
  if (rest.size() == 1 && std::isalnum(static_cast<unsigned char>(rest[0]))) {
    k.key = static_cast<uint16_t>(std::toupper(static_cast<unsigned char>(rest[0])));
    return k;
  }
  return std::nullopt;
}

// The control a script line names: by name, else by caption, preferring one the user can reach
// (several pages may hold a button of the same caption).
Control* FindControl(Form& form, const std::string& target) {
  Control* by_caption = nullptr;
  for (Control* c : form.Controls()) {
    if (c->Name() == target) return c;
    if (StripAmpersands(c->Caption()) == target &&
        (by_caption == nullptr || (!by_caption->Reachable() && c->Reachable()))) {
      by_caption = c;
    }
  }
  return by_caption;
}

class Reader {
 public:
  Reader(HeadlessBackend& ui, std::string_view source) : ui_(ui), source_(source) {}

  void Line(std::string_view text, int number) {
    number_ = number;
    std::vector<Token> tokens = Tokenize(text);
    if (tokens.empty()) return;
    description_ =
        std::string(source_) + ":" + std::to_string(number) + ": " + std::string(Trimmed(text));
    std::string form_name;
    if (!tokens[0].quoted && tokens[0].text.size() > 1 && tokens[0].text.back() == ':') {
      form_name = tokens[0].text.substr(0, tokens[0].text.size() - 1);
      tokens.erase(tokens.begin());
      if (tokens.empty()) Fail("an action must follow the form name");
    }
    const Token& verb = tokens[0];
    if (form_name.empty() && Is(verb, "message")) return Message(tokens);
    if (form_name.empty() && (Is(verb, "directory") || Is(verb, "openfile"))) {
      return Dialog(tokens);
    }
    Action(tokens, form_name);
  }

 private:
  [[noreturn]] void Fail(const std::string& what) const {
    throw ScriptError(std::string(source_) + ":" + std::to_string(number_) + ": " + what);
  }

  static std::string_view Trimmed(std::string_view s) {
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
    return s;
  }

  std::vector<Token> Tokenize(std::string_view text) const {
    std::vector<Token> tokens;
    size_t i = 0;
    while (i < text.size()) {
      const char c = text[i];
      if (std::isspace(static_cast<unsigned char>(c))) {
        ++i;
      } else if (c == '#' && tokens.empty()) {
        break;
      } else if (c == '"') {
        Token t{"", true};
        for (++i;; ++i) {
          if (i >= text.size()) Fail("a text is missing its closing double quote");
          if (text[i] == '"') {
            if (i + 1 < text.size() && text[i + 1] == '"') {
              t.text += '"';
              ++i;
            } else {
              ++i;
              break;
            }
          } else {
            t.text += text[i];
          }
        }
        tokens.push_back(std::move(t));
      } else {
        size_t end = i;
        while (end < text.size() && !std::isspace(static_cast<unsigned char>(text[end]))) ++end;
        tokens.push_back({std::string(text.substr(i, end - i)), false});
        i = end;
      }
    }
    return tokens;
  }

  void Message(const std::vector<Token>& t) {
    if (t.size() < 4) Fail("expected: message \"<text>\" [<kind>] [<buttons>] => <answer>");
    std::optional<MsgKind> kind;
    std::optional<MsgButtons> buttons;
    size_t i = 2;
    for (; i < t.size() && !Is(t[i], "=>"); ++i) {
      if (auto k = ParseKind(t[i]); k && !kind) {
        kind = k;
      } else if (auto b = ParseButtons(t[i]); b && !buttons) {
        buttons = b;
      } else {
        Fail("unknown message box kind or buttons \"" + t[i].text + "\"");
      }
    }
    if (i + 2 != t.size()) Fail("expected \"=> <answer>\" at the end of the line");
    const std::optional<ModalResult> answer = ParseResult(t[i + 1]);
    if (!answer) Fail("unknown answer \"" + t[i + 1].text + "\"");
    ui_.ExpectMessage(t[1].text, kind, buttons, *answer);
    ui_.Describe(description_);
  }

  void Dialog(const std::vector<Token>& t) {
    if (t.size() != 2) Fail("expected: " + Lower(t[0].text) + " \"<path>\" | cancel");
    std::optional<std::string> path;
    if (!Is(t[1], "cancel")) path = t[1].text;
    if (Is(t[0], "directory")) {
      ui_.ExpectDirectory(path);
    } else {
      ui_.ExpectOpenFile(path);
    }
    ui_.Describe(description_);
  }

  void Action(const std::vector<Token>& t, const std::string& form_name) {
    const std::string verb = Lower(t[0].text);
    HeadlessBackend* ui = &ui_;
    const std::string where = description_;
    auto fail = [ui, where](const std::string& what) { ui->ReportFailure(where + ": " + what); };
    // Finds the named control of the form the action is done on, or reports it missing.
    auto find = [fail](Form& form, const std::string& target) -> Control* {
      Control* c = FindControl(form, target);
      if (c == nullptr) fail("no control \"" + target + "\" on " + form.Name());
      return c;
    };
    HeadlessBackend::FormAction act;

    if (verb == "click" && t.size() == 2) {
      act = [find, fail, target = t[1].text](Form& form) {
        Control* c = find(form, target);
        if (c == nullptr) return;
        if (!c->Reachable()) return fail(c->Name() + " is disabled or hidden");
        switch (c->Kind()) {
          case ControlKind::kButton:
            static_cast<Button*>(c)->Click();
            break;
          case ControlKind::kCheckBox:
            static_cast<CheckBox*>(c)->UserToggle();
            break;
          default:
            if (c->OnClick) c->OnClick(*c);
        }
      };
    } else if (verb == "set" && t.size() == 3) {
      act = [find, fail, target = t[1].text, text = t[2].text](Form& form) {
        Control* c = find(form, target);
        if (c == nullptr) return;
        if (c->Kind() != ControlKind::kEdit) return fail(c->Name() + " is not an edit");
        auto* edit = static_cast<Edit*>(c);
        if (edit->ReadOnly() || !edit->Reachable()) return fail(c->Name() + " takes no typing");
        edit->UserSetText(text);
      };
    } else if ((verb == "check" || verb == "uncheck") && (t.size() == 2 || t.size() == 3)) {
      const bool on = verb == "check";
      std::optional<std::string> entry;
      if (t.size() == 3) entry = t[2].text;
      act = [find, fail, on, entry, target = t[1].text](Form& form) {
        Control* c = find(form, target);
        if (c == nullptr) return;
        if (!c->Reachable()) return fail(c->Name() + " is disabled or hidden");
        if (c->Kind() == ControlKind::kCheckBox && !entry) {
          auto* box = static_cast<CheckBox*>(c);
          if (box->Checked() != on) box->UserToggle();
        } else if (c->Kind() == ControlKind::kCheckListBox && entry) {
          auto* list = static_cast<CheckListBox*>(c);
          const int index = list->IndexOf(*entry);
          if (index < 0) return fail("no entry \"" + *entry + "\" in " + c->Name());
          if (list->Checked(index) != on) list->UserClickCheck(index);
        } else {
          fail(c->Name() + " is neither a check box nor a check list with that entry");
        }
      };
    } else if (verb == "select" && t.size() == 3) {
      act = [find, fail, target = t[1].text, entry = t[2].text](Form& form) {
        Control* c = find(form, target);
        if (c == nullptr) return;
        if (!c->Reachable()) return fail(c->Name() + " is disabled or hidden");
        if (c->Kind() != ControlKind::kComboBox && c->Kind() != ControlKind::kCheckListBox) {
          return fail(c->Name() + " is not a list");
        }
        auto* list = static_cast<ListControl*>(c);
        const int index = list->IndexOf(entry);
        if (index < 0) return fail("no entry \"" + entry + "\" in " + c->Name());
        if (c->Kind() == ControlKind::kComboBox) {
          static_cast<ComboBox*>(c)->UserSelect(index);
        } else {
          static_cast<CheckListBox*>(c)->UserSelect(index);
        }
      };
    } else if (verb == "key" && t.size() == 2) {
      const std::optional<KeyStroke> key = ParseKey(t[1].text);
      if (!key) Fail("unknown key \"" + t[1].text + "\"");
      act = [key = *key](Form& form) { form.PressKey(key.key, key.shift); };
    } else if (verb == "menu" && t.size() == 2) {
      act = [fail, caption = t[1].text](Form& form) {
        PopupMenu* menu = form.GetPopupMenu();
        for (int i = 0; menu != nullptr && i < menu->Count(); ++i) {
          if (StripAmpersands(menu->Item(i).Caption()) == caption) return menu->Item(i).Click();
        }
        fail("no popup menu item \"" + caption + "\" on " + form.Name());
      };
    } else if (verb == "result" && t.size() == 2) {
      const std::optional<ModalResult> r = ParseResult(t[1]);
      if (!r) Fail("unknown result \"" + t[1].text + "\"");
      act = [r = *r](Form& form) { form.SetModalResult(r); };
    } else if (verb == "close" && t.size() == 1) {
      act = [](Form& form) { form.Close(); };
    } else if (verb == "render" && t.size() == 1) {
      act = [ui](Form& form) { ui->Note(RenderForm(form)); };
    } else if (verb == "wait" && t.size() == 2 && form_name.empty()) {
      const std::string& ms = t[1].text;
      if (ms.empty() || !std::all_of(ms.begin(), ms.end(), ::isdigit) || ms.size() > 9) {
        Fail("expected: wait <milliseconds>");
      }
      act = [ui, ms = static_cast<unsigned>(std::stoul(ms))](Form&) { ui->AdvanceTime(ms); };
    } else {
      Fail("unknown action \"" + t[0].text + "\", or the wrong number of words for it");
    }
    ui_.QueueAction(std::move(act), form_name, where);
  }

  HeadlessBackend& ui_;
  std::string_view source_;
  int number_ = 0;
  std::string description_;
};

}  // namespace

void LoadScript(HeadlessBackend& ui, std::string_view text, std::string_view source_name) {
  Reader reader(ui, source_name);
  int number = 0;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    reader.Line(line, ++number);
    start = end + 1;
  }
}

}  // namespace vl4::ui
