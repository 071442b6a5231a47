// The concrete controls of the model. Programmatic changes never raise the user events
// (OnChange, OnClickCheck, ...); the User* methods are what a user's action does, and what the
// backends call when a real window reports one.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "ui/control.h"

namespace vl4::ui {

class Button : public Control {
 public:
  using Control::Control;
  ControlKind Kind() const override { return ControlKind::kButton; }
  bool Focusable() const override { return true; }
  bool Default() const { return default_; }
  void SetDefault(bool v);
  bool Cancel() const { return cancel_; }
  void SetCancel(bool v) { cancel_ = v; }
  ModalResult GetModalResult() const { return modal_result_; }
  void SetModalResult(ModalResult r) { modal_result_ = r; }
  // A click: nothing when hidden or disabled; sets the form's modal result when the button has
  // one, then raises OnClick.
  void Click();

 private:
  bool default_ = false;
  bool cancel_ = false;
  ModalResult modal_result_ = ModalResult::kNone;
};

class Label : public Control {
 public:
  Label(Control* parent, std::string name);
  ControlKind Kind() const override { return ControlKind::kLabel; }
  Alignment GetAlignment() const { return alignment_; }
  void SetAlignment(Alignment a);
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool v) { transparent_ = v; }
  bool WordWrap() const { return word_wrap_; }
  void SetWordWrap(bool v) { word_wrap_ = v; }
  // With AutoSize (the default) setting the caption or font sets the width to the text width
  // (a right-aligned label keeps its right edge).
  bool AutoSize() const { return auto_size_; }
  void SetAutoSize(bool v);
  void AdjustSize();

 protected:
  void Updated(Property what) override;

 private:
  Alignment alignment_ = Alignment::kLeft;
  bool transparent_ = false;
  bool word_wrap_ = false;
  bool auto_size_ = true;
};

// A label in its own window, wrapping its text.
class StaticText : public Control {
 public:
  using Control::Control;
  ControlKind Kind() const override { return ControlKind::kStaticText; }
};

class Edit : public Control {
 public:
  using Control::Control;
  ControlKind Kind() const override { return ControlKind::kEdit; }
  bool Focusable() const override { return true; }
  const std::string& Text() const { return Caption(); }
  void SetText(const std::string& v) { SetCaption(v); }
  int MaxLength() const { return max_length_; }  // 0: no limit
  void SetMaxLength(int v) { max_length_ = v; }
  bool ReadOnly() const { return read_only_; }
  void SetReadOnly(bool v);
  // The user types a new text (cut to MaxLength); raises OnChange. Nothing happens when the edit
  // is read-only or out of the user's reach.
  void UserSetText(const std::string& v);
  Event OnChange;

 private:
  int max_length_ = 0;
  bool read_only_ = false;
};

class Memo : public Control {
 public:
  using Control::Control;
  ControlKind Kind() const override { return ControlKind::kMemo; }
  bool Focusable() const override { return true; }
  const std::vector<std::string>& Lines() const { return lines_; }
  void ClearLines();
  void AddLine(const std::string& line);
  void SetLines(std::vector<std::string> lines);
  bool ReadOnly() const { return read_only_; }
  void SetReadOnly(bool v) { read_only_ = v; }
  bool WordWrap() const { return word_wrap_; }
  void SetWordWrap(bool v) { word_wrap_ = v; }
  bool VerticalScrollBar() const { return vscroll_; }
  void SetVerticalScrollBar(bool v) { vscroll_ = v; }
  int SelStart() const { return sel_start_; }
  void SetSelStart(int v);

 private:
  std::vector<std::string> lines_;
  bool read_only_ = false;
  bool word_wrap_ = true;
  bool vscroll_ = false;
  int sel_start_ = 0;
};

class CheckBox : public Control {
 public:
  using Control::Control;
  ControlKind Kind() const override { return ControlKind::kCheckBox; }
  bool Focusable() const override { return true; }
  bool Checked() const { return checked_; }
  // Programmatic: raises OnClick, as the framework's check box does.
  void SetChecked(bool v);
  // The user clicks: toggles and raises OnClick.
  void UserToggle();

 private:
  bool checked_ = false;
};

// Shared item list of the list controls.
class ListControl : public Control {
 public:
  using Control::Control;
  bool Focusable() const override { return true; }
  const std::vector<std::string>& Items() const { return items_; }
  int Count() const { return static_cast<int>(items_.size()); }
  int AddItem(const std::string& item);
  void DeleteItem(int index);
  virtual void ClearItems();
  int IndexOf(const std::string& item) const;  // exact match, -1 when absent
  int ItemIndex() const { return item_index_; }
  void SetItemIndex(int index);  // -1 selects nothing; out of range selects nothing

 protected:
  virtual void ItemDeleted(int /*index*/) {}
  std::vector<std::string> items_;
  int item_index_ = -1;
};

class CheckListBox : public ListControl {
 public:
  using ListControl::ListControl;
  ControlKind Kind() const override { return ControlKind::kCheckListBox; }
  bool Checked(int index) const;
  void SetChecked(int index, bool v);
  void ClearItems() override;
  // The user selects an entry: raises OnClick when the selection changed.
  void UserSelect(int index);
  // The user clicks an entry's check box: toggles it, selects it, raises OnClickCheck.
  void UserClickCheck(int index);
  Event OnClickCheck;

 private:
  void ItemDeleted(int index) override;
  std::vector<bool> checked_;
};

// A drop-down list (no typing): Text is the selected item's text.
class ComboBox : public ListControl {
 public:
  using ListControl::ListControl;
  ControlKind Kind() const override { return ControlKind::kComboBox; }
  std::string Text() const;
  // The user picks an entry: raises OnChange.
  void UserSelect(int index);
  Event OnChange;
};

class ProgressBar : public Control {
 public:
  using Control::Control;
  ControlKind Kind() const override { return ControlKind::kProgressBar; }
  int Min() const { return min_; }
  int Max() const { return max_; }
  void SetRange(int min, int max);
  void SetMax(int max) { SetRange(min_, max); }
  int Position() const { return position_; }
  void SetPosition(int v);  // clamped to the range
  void StepBy(int delta) { SetPosition(position_ + delta); }

 private:
  int min_ = 0, max_ = 100, position_ = 0;
};

// A panel: a raised bevel (when BevelOuter is set) around an area that holds other controls;
// aligned children are laid out inside the bevel.
class Panel : public Control {
 public:
  using Control::Control;
  ControlKind Kind() const override { return ControlKind::kPanel; }
  Rect ClientArea() const override;
  int BevelWidth() const { return bevel_width_; }
  void SetBevelWidth(int v);
  bool BevelOuter() const { return bevel_outer_; }  // raised outer bevel
  void SetBevelOuter(bool v);

 private:
  int bevel_width_ = 1;
  bool bevel_outer_ = true;
};

// A bevel drawn as a line along its bottom edge (the only shape the forms use).
class Bevel : public Control {
 public:
  using Control::Control;
  ControlKind Kind() const override { return ControlKind::kBevel; }
};

class TabSheet;

// Pages of which one is shown. With tabs hidden the page control is a page switcher.
class PageControl : public Control {
 public:
  using Control::Control;
  ControlKind Kind() const override { return ControlKind::kPageControl; }
  const std::vector<TabSheet*>& Pages() const { return pages_; }
  // No page is active until one is set. The active page is the only visible one.
  TabSheet* ActivePage() const { return active_; }
  void SetActivePage(TabSheet* page);

 private:
  friend class TabSheet;
  std::vector<TabSheet*> pages_;
  TabSheet* active_ = nullptr;
};

// A page of a page control. It fills the page control; its Visible follows the active page and
// is not for the forms to set (TabVisible says whether the page is offered at all).
class TabSheet : public Control {
 public:
  TabSheet(PageControl* parent, std::string name);
  ~TabSheet() override;
  ControlKind Kind() const override { return ControlKind::kTabSheet; }
  PageControl& Pages() const { return *page_control_; }
  bool TabVisible() const { return tab_visible_; }
  void SetTabVisible(bool v);
  int PageIndex() const;

 private:
  PageControl* page_control_;
  bool tab_visible_ = true;
};

class Timer : public Control {
 public:
  using Control::Control;
  ControlKind Kind() const override { return ControlKind::kTimer; }
  unsigned Interval() const { return interval_; }
  void SetInterval(unsigned ms);
  // Enabled() of the control is the timer's running state; SetEnabled starts or stops it.
  Event OnTimer;
  // Called by backends when the interval has elapsed.
  void Fire();

 private:
  unsigned interval_ = 1000;
};

class PopupMenu;

class MenuItem {
 public:
  explicit MenuItem(std::string caption) : caption_(std::move(caption)) {}
  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string v) { caption_ = std::move(v); }
  int Tag() const { return tag_; }
  void SetTag(int v) { tag_ = v; }
  bool RadioItem() const { return radio_item_; }
  void SetRadioItem(bool v) { radio_item_ = v; }
  bool Checked() const { return checked_; }
  // Checking a radio item takes the mark from the other radio items of its group in its menu.
  void SetChecked(bool v);
  int GroupIndex() const { return group_index_; }
  void SetGroupIndex(int v) { group_index_ = v; }
  // Raised when the user chooses the item.
  std::function<void(MenuItem& sender)> OnClick;
  void Click() {
    if (OnClick) OnClick(*this);
  }

 private:
  friend class PopupMenu;
  PopupMenu* menu_ = nullptr;
  std::string caption_;
  int tag_ = 0;
  bool radio_item_ = false;
  bool checked_ = false;
  int group_index_ = 0;
};

// The form's context menu (right mouse button).
class PopupMenu : public Control {
 public:
  using Control::Control;
  ControlKind Kind() const override { return ControlKind::kPopupMenu; }
  int Count() const { return static_cast<int>(items_.size()); }
  MenuItem& Item(int index) { return *items_.at(index); }
  const MenuItem& Item(int index) const { return *items_.at(index); }
  MenuItem& Add(std::string caption);
  void Delete(int index);
  void Clear();
  // Backends call this after changing items' captions, tags or marks in bulk.
  void ItemsChanged() { Changed(Property::kMenu); }

 private:
  std::vector<std::unique_ptr<MenuItem>> items_;
};

}  // namespace vl4::ui
