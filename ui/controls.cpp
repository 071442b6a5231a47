// The concrete controls: their state changes and what the user's actions do to them.
#include "ui/controls.h"

#include <algorithm>

#include "ui/form.h"

namespace vl4::ui {

void Button::SetDefault(bool v) {
  if (default_ == v) return;
  default_ = v;
  Changed(Property::kDefault);
}

void Button::Click() {
  if (!Reachable()) return;
  if (modal_result_ != ModalResult::kNone) OwnerForm().SetModalResult(modal_result_);
  if (OnClick) OnClick(*this);
}

Label::Label(Control* parent, std::string name) : Control(parent, std::move(name)) {}

void Label::SetAlignment(Alignment a) {
  if (alignment_ == a) return;
  alignment_ = a;
  Changed(Property::kAlignment);
}

void Label::Updated(Property what) {
  if (what == Property::kCaption || what == Property::kFont) AdjustSize();
}

void Label::SetAutoSize(bool v) {
  auto_size_ = v;
  if (v) AdjustSize();
}

void Label::AdjustSize() {
  if (!auto_size_ || word_wrap_) return;
  int w = OwnerForm().App().TextWidth(GetFont(), Caption());
  if (alignment_ == Alignment::kRight) {
    SetBounds(Left() + Width() - w, Top(), w, Height());
  } else {
    SetWidth(w);
  }
}

void Edit::SetReadOnly(bool v) {
  if (read_only_ == v) return;
  read_only_ = v;
  Changed(Property::kReadOnly);
}

void Edit::UserSetText(const std::string& v) {
  if (read_only_ || !Reachable()) return;
  std::string text = v;
  if (max_length_ > 0 && static_cast<int>(text.size()) > max_length_) text.resize(max_length_);
  SetText(text);
  if (OnChange) OnChange(*this);
}

void Memo::ClearLines() {
  lines_.clear();
  Changed(Property::kLines);
}

void Memo::AddLine(const std::string& line) {
  lines_.push_back(line);
  Changed(Property::kLines);
}

void Memo::SetLines(std::vector<std::string> lines) {
  lines_ = std::move(lines);
  Changed(Property::kLines);
}

void Memo::SetSelStart(int v) {
  sel_start_ = v;
  Changed(Property::kPosition);
}

void CheckBox::SetChecked(bool v) {
  if (checked_ == v) return;
  checked_ = v;
  Changed(Property::kChecked);
  if (OnClick) OnClick(*this);
}

void CheckBox::UserToggle() {
  if (!Reachable()) return;
  SetChecked(!checked_);
}

int ListControl::AddItem(const std::string& item) {
  items_.push_back(item);
  Changed(Property::kItems);
  return Count() - 1;
}

void ListControl::DeleteItem(int index) {
  if (index < 0 || index >= Count()) return;
  items_.erase(items_.begin() + index);
  ItemDeleted(index);
  if (item_index_ == index) {
    item_index_ = -1;
  } else if (item_index_ > index) {
    --item_index_;
  }
  Changed(Property::kItems);
}

void ListControl::ClearItems() {
  items_.clear();
  item_index_ = -1;
  Changed(Property::kItems);
}

int ListControl::IndexOf(const std::string& item) const {
  auto it = std::find(items_.begin(), items_.end(), item);
  return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

void ListControl::SetItemIndex(int index) {
  if (index < -1 || index >= Count()) index = -1;
  if (item_index_ == index) return;
  item_index_ = index;
  Changed(Property::kItemIndex);
}

bool CheckListBox::Checked(int index) const {
  return index >= 0 && index < static_cast<int>(checked_.size()) && checked_[index];
}

void CheckListBox::SetChecked(int index, bool v) {
  if (index < 0 || index >= Count()) return;
  if (checked_.size() < items_.size()) checked_.resize(items_.size(), false);
  if (checked_[index] == v) return;
  checked_[index] = v;
  Changed(Property::kChecked);
}

void CheckListBox::ClearItems() {
  checked_.clear();
  ListControl::ClearItems();
}

void CheckListBox::ItemDeleted(int index) {
  if (index < static_cast<int>(checked_.size())) checked_.erase(checked_.begin() + index);
}

void CheckListBox::UserSelect(int index) {
  if (!Reachable() || index < 0 || index >= Count()) return;
  if (index == item_index_) return;
  SetItemIndex(index);
  if (OnClick) OnClick(*this);
}

void CheckListBox::UserClickCheck(int index) {
  if (!Reachable() || index < 0 || index >= Count()) return;
  UserSelect(index);
  SetChecked(index, !Checked(index));
  if (OnClickCheck) OnClickCheck(*this);
}

std::string ComboBox::Text() const {
  return item_index_ >= 0 && item_index_ < Count() ? items_[item_index_] : std::string();
}

void ComboBox::UserSelect(int index) {
  if (!Reachable() || index < 0 || index >= Count()) return;
  SetItemIndex(index);
  if (OnChange) OnChange(*this);
}

void ProgressBar::SetRange(int min, int max) {
  min_ = min;
  max_ = max;
  position_ = std::clamp(position_, min_, std::max(min_, max_));
  Changed(Property::kRange);
}

void ProgressBar::SetPosition(int v) {
  v = std::clamp(v, min_, std::max(min_, max_));
  if (v == position_) return;
  position_ = v;
  Changed(Property::kPosition);
}

Rect Panel::ClientArea() const {
  const int inset = bevel_outer_ ? bevel_width_ : 0;
  return {inset, inset, std::max(Width() - 2 * inset, 0), std::max(Height() - 2 * inset, 0)};
}

void Panel::SetBevelWidth(int v) {
  if (bevel_width_ == v) return;
  bevel_width_ = v;
  Changed(Property::kBounds);
  AlignChildren();
}

void Panel::SetBevelOuter(bool v) {
  if (bevel_outer_ == v) return;
  bevel_outer_ = v;
  Changed(Property::kBounds);
  AlignChildren();
}

void PageControl::SetActivePage(TabSheet* page) {
  if (active_ == page) return;
  TabSheet* old = active_;
  active_ = page;
  if (page != nullptr) page->SetVisible(true);
  if (old != nullptr) old->SetVisible(false);
  Changed(Property::kActivePage);
}

TabSheet::TabSheet(PageControl* parent, std::string name)
    : Control(parent, std::move(name)), page_control_(parent) {
  page_control_->pages_.push_back(this);
  SetVisible(false);
  SetAlign(Align::kClient);
}

TabSheet::~TabSheet() {
  auto& pages = page_control_->pages_;
  pages.erase(std::remove(pages.begin(), pages.end(), this), pages.end());
  if (page_control_->active_ == this) page_control_->active_ = nullptr;
}

void TabSheet::SetTabVisible(bool v) {
  if (tab_visible_ == v) return;
  tab_visible_ = v;
  Changed(Property::kVisible);
}

int TabSheet::PageIndex() const {
  const auto& pages = page_control_->Pages();
  auto it = std::find(pages.begin(), pages.end(), this);
  return it == pages.end() ? -1 : static_cast<int>(it - pages.begin());
}

void Timer::SetInterval(unsigned ms) {
  interval_ = ms;
  Changed(Property::kTimer);
}

void Timer::Fire() {
  if (Enabled() && OnTimer) OnTimer(*this);
}

void MenuItem::SetChecked(bool v) {
  checked_ = v;
  if (!v || !radio_item_ || menu_ == nullptr) return;
  for (int i = 0; i < menu_->Count(); ++i) {
    MenuItem& other = menu_->Item(i);
    if (&other != this && other.radio_item_ && other.group_index_ == group_index_) {
      other.checked_ = false;
    }
  }
}

MenuItem& PopupMenu::Add(std::string caption) {
  items_.push_back(std::make_unique<MenuItem>(std::move(caption)));
  items_.back()->menu_ = this;
  Changed(Property::kMenu);
  return *items_.back();
}

void PopupMenu::Delete(int index) {
  if (index < 0 || index >= Count()) return;
  items_.erase(items_.begin() + index);
  Changed(Property::kMenu);
}

void PopupMenu::Clear() {
  items_.clear();
  Changed(Property::kMenu);
}

}  // namespace vl4::ui
