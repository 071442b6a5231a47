// The text rendering of a form.
#include "ui/headless/render.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "ui/controls.h"
#include "ui/form.h"

namespace vl4::ui {
namespace {

std::string Escaped(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    if (c == '\n' || c == '\r') {
      out += "\\n";
    } else if (c == '\t') {
      out += "\\t";
    } else {
      out += c;
    }
  }
  return out;
}

std::string Quoted(const std::string& text) {
  return "\"" + Escaped(text) + "\"";
}

bool ShowsText(ControlKind kind) {
  return kind == ControlKind::kLabel || kind == ControlKind::kStaticText ||
         kind == ControlKind::kEdit || kind == ControlKind::kCheckBox;
}

class Renderer {
 public:
  explicit Renderer(const Form& form) : form_(form) {}

  std::string Render() {
    out_ = form_.Name() + " " + Quoted(form_.Caption());
    if (form_.Modal()) out_ += " (modal)";
    if (form_.GetWindowState() == WindowState::kMinimized) out_ += " (minimized)";
    if (!form_.Visible()) out_ += " (hidden)";
    out_ += "\n";
    Children(form_, 1);
    if (const PopupMenu* menu = form_.GetPopupMenu(); menu != nullptr && menu->Count() > 0) {
      Line(1, "menu " + menu->Name());
      for (int i = 0; i < menu->Count(); ++i) {
        const MenuItem& item = menu->Item(i);
        std::string mark = item.Checked() ? (item.RadioItem() ? "(*) " : "[x] ")
                                          : (item.RadioItem() ? "( ) " : "[ ] ");
        Line(2, mark + Escaped(item.Caption()) + "  #" + std::to_string(item.Tag()));
      }
    }
    return out_;
  }

 private:
  void Line(int depth, const std::string& text) {
    out_ += std::string(2 * depth, ' ') + text + "\n";
  }

  void Children(const Control& parent, int depth) {
    std::vector<const Control*> children(parent.Children().begin(), parent.Children().end());
    std::stable_sort(children.begin(), children.end(), [](const Control* a, const Control* b) {
      return a->Top() != b->Top() ? a->Top() < b->Top() : a->Left() < b->Left();
    });
    for (const Control* c : children) {
      if (c->Visible()) One(*c, depth);
    }
  }

  void One(const Control& c, int depth) {
    std::string text = c.Name();
    switch (c.Kind()) {
      case ControlKind::kTimer:
      case ControlKind::kPopupMenu:
      case ControlKind::kForm:
        return;
      case ControlKind::kLabel:
      case ControlKind::kStaticText:
        if (c.Caption().empty()) return;
        text += " " + Quoted(c.Caption());
        break;
      case ControlKind::kButton: {
        const auto& b = static_cast<const Button&>(c);
        text += " [" + Escaped(b.Caption()) + "]";
        if (b.Default()) text += " (default)";
        if (b.Cancel()) text += " (cancel)";
        break;
      }
      case ControlKind::kEdit: {
        const auto& e = static_cast<const Edit&>(c);
        text += " [" + Escaped(e.Text()) + "]";
        if (e.ReadOnly()) text += " (read-only)";
        if (!e.Hint().empty()) text += " hint " + Quoted(e.Hint());
        break;
      }
      case ControlKind::kCheckBox:
        text += std::string(static_cast<const CheckBox&>(c).Checked() ? " [x] " : " [ ] ") +
                Escaped(c.Caption());
        break;
      case ControlKind::kComboBox: {
        const auto& combo = static_cast<const ComboBox&>(c);
        text += " <" + Escaped(combo.Text()) + ">";
        if (combo.Count() > 0) {
          text += " of:";
          for (int i = 0; i < combo.Count(); ++i) {
            text += (i == 0 ? " " : " | ") + Escaped(combo.Items()[i]);
          }
        }
        break;
      }
      case ControlKind::kProgressBar: {
        const auto& bar = static_cast<const ProgressBar&>(c);
        text += " " + std::to_string(bar.Position()) + " of " + std::to_string(bar.Min()) + ".." +
                std::to_string(bar.Max());
        break;
      }
      case ControlKind::kBevel:
        text += " ----";
        break;
      case ControlKind::kPanel:
      case ControlKind::kTabSheet:
        if (!c.Caption().empty()) text += " " + Quoted(c.Caption());
        break;
      case ControlKind::kMemo:
      case ControlKind::kCheckListBox:
      case ControlKind::kPageControl:
        break;
    }
    if (ShowsText(c.Kind()) && c.GetFont().color != kBlack) {
      text += " {" + ColorName(c.GetFont().color) + "}";
    }
    if (!c.Enabled()) text += " (disabled)";
    if (form_.ActiveControl() == &c) text += " (focused)";
    Line(depth, text);

    if (c.Kind() == ControlKind::kMemo) {
      for (const std::string& line : static_cast<const Memo&>(c).Lines()) {
        Line(depth + 1, "| " + Escaped(line));
      }
    } else if (c.Kind() == ControlKind::kCheckListBox) {
      const auto& list = static_cast<const CheckListBox&>(c);
      for (int i = 0; i < list.Count(); ++i) {
        Line(depth + 1, std::string(i == list.ItemIndex() ? "> " : "  ") +
                            (list.Checked(i) ? "[x] " : "[ ] ") + Escaped(list.Items()[i]));
      }
    }
    Children(c, depth + 1);
  }

  const Form& form_;
  std::string out_;
};

}  // namespace

std::string ColorName(Color color) {
  switch (color) {
    case kBlack:
      return "black";
    case kRed:
      return "red";
    case kGray:
      return "gray";
    case kWhite:
      return "white";
    case kNavy:
      return "navy";
    case kDarkBlue:
      return "dark blue";
    case kDefaultColor:
      return "default";
    default:
      break;
  }
  char buf[16];
  std::snprintf(buf, sizeof buf, "$%06X", static_cast<unsigned>(color & 0xFFFFFF));
  return buf;
}

std::string RenderForm(const Form& form) {
  std::string text = Renderer(form).Render();
  text.pop_back();  // the last line's break: an entry of a transcript ends without one
  return text;
}

}  // namespace vl4::ui
