// The control base: tree, notifications, bounds and the layout of aligned and anchored children.
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

// Only a form has no parent; it makes itself its form_ once it is one.
Control::Control(Control* parent, std::string name)
    : name_(std::move(name)), parent_(parent), form_(nullptr) {
  if (parent_ != nullptr) {
    form_ = parent_->form_;
    parent_->children_.push_back(this);
    form_->Register(this);
    // Straight to the backend: the new control is not fully built yet, and neither may its
    // form be, so no override may run here.
    parent_->backend()->Changed(*parent_, Property::kChildren);
  }
}

Control::~Control() {
  if (parent_ != nullptr) {
    backend()->ControlDestroyed(*this);
    auto& siblings = parent_->children_;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
    form_->Unregister(this);
  }
}

Backend* Control::backend() const { return &form_->App().backend(); }

void Control::Changed(Property what) {
  Updated(what);
  backend()->Changed(*this, what);
}

void Control::SetBounds(int left, int top, int width, int height) {
  if (left == left_ && top == top_ && width == width_ && height == height_) return;
  const Rect before = ClientArea();
  left_ = left;
  top_ = top;
  width_ = width;
  height_ = height;
  Changed(Property::kBounds);
  const Rect after = ClientArea();
  if (after.width != before.width || after.height != before.height) {
    FollowResize(after.width - before.width, after.height - before.height);
    AlignChildren();
    Resized();
  }
  if (align_ != Align::kNone && parent_ != nullptr && !parent_->aligning_) parent_->AlignChildren();
}

void Control::FollowResize(int dw, int dh) {
  for (Control* c : children_) {
    if (c->align_ != Align::kNone) continue;
    int left = c->left_, top = c->top_, width = c->width_, height = c->height_;
    if (c->anchors_ & kAnchorRight) {
      if (c->anchors_ & kAnchorLeft) {
        width += dw;
      } else {
        left += dw;
      }
    }
    if (c->anchors_ & kAnchorBottom) {
      if (c->anchors_ & kAnchorTop) {
        height += dh;
      } else {
        top += dh;
      }
    }
    c->SetBounds(left, top, std::max(width, 0), std::max(height, 0));
  }
}

void Control::AlignChildren() {
  if (aligning_) return;
  aligning_ = true;
  Rect area = ClientArea();
  // Edges are taken in the order top, bottom, left, right; the client child gets what is left.
  for (Align kind : {Align::kTop, Align::kBottom, Align::kLeft, Align::kRight, Align::kClient}) {
    for (Control* c : children_) {
      if (c->align_ != kind || !c->visible_) continue;
      Rect r = area;
      if (kind == Align::kTop || kind == Align::kBottom) {
        r.height = std::min(c->height_, area.height);
        if (kind == Align::kTop) area.top += r.height;
        if (kind == Align::kBottom) r.top = area.top + area.height - r.height;
        area.height -= r.height;
      } else if (kind == Align::kLeft || kind == Align::kRight) {
        r.width = std::min(c->width_, area.width);
        if (kind == Align::kLeft) area.left += r.width;
        if (kind == Align::kRight) r.left = area.left + area.width - r.width;
        area.width -= r.width;
      }
      c->SetBounds(r.left, r.top, r.width, r.height);
    }
  }
  aligning_ = false;
}

void Control::SetAlign(Align a) {
  if (align_ == a) return;
  align_ = a;
  if (parent_ != nullptr) parent_->AlignChildren();
}

void Control::SetVisible(bool v) {
  if (visible_ == v) return;
  visible_ = v;
  Changed(Property::kVisible);
  if (align_ != Align::kNone && parent_ != nullptr) parent_->AlignChildren();
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
