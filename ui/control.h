// The base of every control of the model: name, parent, bounds and layout, visibility, enabling,
// font, caption, tag, hint, focus. Setters notify the backend so that a real window follows.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "ui/backend.h"
#include "ui/types.h"

namespace vl4::ui {

class Form;

enum class ControlKind {
  kForm, kButton, kLabel, kStaticText, kEdit, kMemo, kCheckBox, kCheckListBox, kComboBox,
  kProgressBar, kPanel, kBevel, kPageControl, kTabSheet, kTimer, kPopupMenu
};
const char* ControlKindName(ControlKind kind);

class Control {
 public:
  using Event = std::function<void(Control& sender)>;

  Control(Control* parent, std::string name);
  virtual ~Control();
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  virtual ControlKind Kind() const = 0;
  // Whether the control can take the keyboard focus.
  virtual bool Focusable() const { return false; }

  const std::string& Name() const { return name_; }
  Control* Parent() const { return parent_; }
  Form& OwnerForm() const { return *form_; }
  const std::vector<Control*>& Children() const { return children_; }

  // Bounds relative to the parent's client area; a form's bounds are its outer frame on screen.
  int Left() const { return left_; }
  int Top() const { return top_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  Rect BoundsRect() const { return {left_, top_, width_, height_}; }
  void SetBounds(int left, int top, int width, int height);
  void SetLeft(int v) { SetBounds(v, top_, width_, height_); }
  void SetTop(int v) { SetBounds(left_, v, width_, height_); }
  void SetWidth(int v) { SetBounds(left_, top_, v, height_); }
  void SetHeight(int v) { SetBounds(left_, top_, width_, v); }
  // The area children are laid out in, in the control's own coordinates.
  virtual Rect ClientArea() const { return {0, 0, width_, height_}; }

  // Layout: an aligned control sticks to an edge of its parent's client area (or fills what the
  // others leave) and follows it; a control that is not aligned keeps its distance to the edges
  // named by its anchors when the parent is resized.
  Align GetAlign() const { return align_; }
  void SetAlign(Align a);
  unsigned Anchors() const { return anchors_; }
  void SetAnchors(unsigned anchors) { anchors_ = anchors; }

  bool Visible() const { return visible_; }
  void SetVisible(bool v);
  // Visible and every parent visible, the form included.
  bool Showing() const;
  // What a user could act on if the form were on screen: the control and its parents below the
  // form are visible and enabled. User actions of the model test this.
  bool Reachable() const;
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool v);

  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& v);
  const Font& GetFont() const { return font_; }
  void SetFont(const Font& f);
  void SetFontColor(Color c);
  Color GetColor() const { return color_; }  // background colour
  void SetColor(Color c);
  int Tag() const { return tag_; }
  void SetTag(int v) { tag_ = v; }
  const std::string& Hint() const { return hint_; }
  void SetHint(const std::string& v);
  bool ShowHint() const { return !hint_.empty(); }

  void SetFocus();
  bool Focused() const;

  // Raised by the control's default user action (a click on a button, check box or label).
  Event OnClick;

 protected:
  void Changed(Property what);
  // Called on every change before the backend hears of it, for a control's own follow-ups.
  virtual void Updated(Property /*what*/) {}
  // Called after the client area changed size and the children followed.
  virtual void Resized() {}
  Backend* backend() const;
  // Lays the aligned children out again (after the client area changed without a resize).
  void AlignChildren();

 private:
  friend class Form;
  void FollowResize(int dw, int dh);

  std::string name_;
  Control* parent_;
  Form* form_;
  std::vector<Control*> children_;
  int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
  Align align_ = Align::kNone;
  unsigned anchors_ = kAnchorsDefault;
  bool aligning_ = false;
  bool visible_ = true;
  bool enabled_ = true;
  std::string caption_;
  Font font_;
  Color color_ = kDefaultColor;
  int tag_ = 0;
  std::string hint_;
};

}  // namespace vl4::ui
