#include "ui/control.h"

#include <algorithm>

#include "ui/form.h"

namespace vl4::ui {

const char* ControlKindName(ControlKind kind) {
  switch (kind) {
    case ControlKind::kForm: return "Form";
    case ControlKind::kButton: return "Button";
    case ControlKind::kLabel: return "Label";
    case ControlKind::kStaticText: return "StaticText";
    case ControlKind::kEdit: return "Edit";
    case ControlKind::kMemo: return "Memo";
    case ControlKind::kCheckBox: return "CheckBox";
    case ControlKind::kCheckListBox: return "CheckListBox";
    case ControlKind::kComboBox: return "ComboBox";
    case ControlKind::kProgressBar: return "ProgressBar";
    case ControlKind::kPanel: return "Panel";
    case ControlKind::kBevel: return "Bevel";
    case ControlKind::kPageControl: return "PageControl";
    case ControlKind::kTabSheet: return "TabSheet";
    case ControlKind::kTimer: return "Timer";
    case ControlKind::kPopupMenu: return "PopupMenu";
  }
  return "?";
}

Control::Control(Control* parent, std::string name)
    : name_(std::move(name)), parent_(parent), form_(nullptr) {
  if (parent_ != nullptr) {
    form_ = parent_->form_;
    parent_->children_.push_back(this);
    form_->Register(this);
  } else {
    form_ = static_cast<Form*>(this);  // only a form has no parent
  }
}

Control::~Control() {
  if (parent_ != nullptr) {
    auto& siblings = parent_->children_;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
    form_->Unregister(this);
  }
}

Backend* Control::backend() const { return &form_->App().backend(); }

void Control::Changed(Property what) { backend()->Changed(*this, what); }

void Control::SetBounds(int left, int top, int width, int height) {
  if (left == left_ && top == top_ && width == width_ && height == height_) return;
  left_ = left;
  top_ = top;
  width_ = width;
  height_ = height;
  Changed(Property::kBounds);
}

void Control::SetAlign(Align a) {
  align_ = a;
  Changed(Property::kBounds);
}

void Control::SetVisible(bool v) {
  if (visible_ == v) return;
  visible_ = v;
  Changed(Property::kVisible);
}

bool Control::Showing() const {
  for (const Control* c = this; c != nullptr; c = c->parent_) {
    if (!c->visible_) return false;
  }
  return true;
}

bool Control::Reachable() const {
  for (const Control* c = this; c != nullptr && c->parent_ != nullptr; c = c->parent_) {
    if (!c->visible_ || !c->enabled_) return false;
  }
  return true;
}

void Control::SetEnabled(bool v) {
  if (enabled_ == v) return;
  enabled_ = v;
  Changed(Property::kEnabled);
}

void Control::SetCaption(const std::string& v) {
  if (caption_ == v) return;
  caption_ = v;
  Changed(Property::kCaption);
}

void Control::SetFont(const Font& f) {
  if (font_ == f) return;
  font_ = f;
  Changed(Property::kFont);
}

void Control::SetFontColor(Color c) {
  Font f = font_;
  f.color = c;
  SetFont(f);
}

void Control::SetColor(Color c) {
  if (color_ == c) return;
  color_ = c;
  Changed(Property::kColor);
}

void Control::SetHint(const std::string& v) {
  if (hint_ == v) return;
  hint_ = v;
  Changed(Property::kHint);
}

void Control::SetFocus() { form_->SetActiveControl(this); }

bool Control::Focused() const { return form_->ActiveControl() == this; }

}  // namespace vl4::ui
