// TObjectList: an array list of objects that owns them or not, as its flag says, with the
// capacity steps and the 65534-item limit of the zip reader's member lists.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "zip/zip_errors.h"

namespace vl4::zip {

template <class T>
class TObjectList {
 public:
  static constexpr int kMaxCapacity = 65534;

  TObjectList() = default;
  // Frees the objects when the list owns them.
  virtual ~TObjectList() { TObjectList::Clear(); }
  TObjectList(const TObjectList&) = delete;
  TObjectList& operator=(const TObjectList&) = delete;

  int Count() const { return static_cast<int>(items_.size()); }
  int Capacity() const { return capacity_; }
  bool OwnsObjects() const { return owns_objects_; }
  void SetOwnsObjects(bool owns) { owns_objects_ = owns; }

  // The object at `index`; an index outside 0 .. Count() - 1 calls Error.
  T* Get(int index) const {
    if (index < 0 || index >= Count()) Error();
    return items_[static_cast<size_t>(index)];
  }
  T* First() const { return Get(0); }
  // Every object, in list order.
  const std::vector<T*>& Items() const { return items_; }
  T* Last() const { return Get(Count() - 1); }

  // Below Count(), or 65535 and more, calls Error.
  void SetCapacity(int capacity) {
    if (capacity == capacity_) return;
    if (capacity < Count() || capacity > kMaxCapacity) Error();
    capacity_ = capacity;
    // The storage grows geometrically behind the capacity steps, so that filling a list is linear.
    if (static_cast<size_t>(capacity) > items_.capacity()) {
      items_.reserve(std::max(static_cast<size_t>(capacity), items_.capacity() * 2));
    }
  }

  // Outside 0 .. 65534 calls Error. New slots are empty; dropped objects are freed when owned.
  void SetCount(int count) {
    if (count < 0 || count > kMaxCapacity) Error();
    if (count > capacity_) SetCapacity(count);
    while (Count() > count) {
      T* dropped = items_.back();
      items_.pop_back();
      FreeObject(dropped);
    }
    items_.resize(static_cast<size_t>(count), nullptr);
  }

  [[noreturn]] virtual void Error() const { throw EListError("ListIndexError"); }

  // 4 more slots while the capacity is at most 4, 8 more up to 8, then 16 more.
  virtual void Grow() {
    int delta = capacity_ > 8 ? 16 : capacity_ > 4 ? 8 : 4;
    SetCapacity(capacity_ + delta);
  }

  // Replaces the object at `index` and returns the old one, which the list no longer holds.
  virtual T* Put(int index, T* object) {
    T* old = Get(index);
    items_[static_cast<size_t>(index)] = object;
    return old;
  }

  // The one place where the owns-objects flag decides.
  virtual void FreeObject(T* object) {
    if (owns_objects_) delete object;
  }

  virtual int Add(T* object) {
    if (Count() == capacity_) Grow();
    items_.push_back(object);
    return Count() - 1;
  }

  // Count and capacity 0; owned objects are freed (a list that owns its objects never lets go of
  // one by emptying itself).
  virtual void Clear() {
    std::vector<T*> items;
    items.swap(items_);
    capacity_ = 0;
    for (T* object : items) FreeObject(object);
  }

  // The index of that very object, or -1.
  virtual int IndexOf(const T* object) const {
    auto it = std::find(items_.begin(), items_.end(), object);
    return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
  }

  // An index outside 0 .. Count() calls Error.
  virtual void Insert(int index, T* object) {
    if (index < 0 || index > Count()) Error();
    if (Count() == capacity_) Grow();
    items_.insert(items_.begin() + index, object);
  }

  // The next (direction 1) or previous (direction 0) object, nothing beyond either end; with no
  // object, the first or the last. An object not in the list raises EListError.
  virtual T* Neighbour(const T* object, int direction) const {
    if (object == nullptr) return direction == 1 ? First() : Last();
    int index = IndexOf(object);
    if (index < 0) {
      throw EListError("tObject " + std::string(ClassNameOf(object)) + " not in item list");
    }
    index += direction == 1 ? 1 : -1;
    return index < 0 || index >= Count() ? nullptr : items_[static_cast<size_t>(index)];
  }

 protected:
  // Replaces the content by `items`, growing the capacity through the same steps as adding them
  // one by one would (and failing where that would fail).
  void AssignItems(std::vector<T*> items) {
    while (capacity_ < static_cast<int>(items.size())) Grow();
    items_ = std::move(items);
  }

 private:
  static const char* ClassNameOf(const T* object) {
    if constexpr (requires { object->ClassName(); }) {
      return object->ClassName();
    } else {
      return "TObject";
    }
  }

  bool owns_objects_ = true;
  std::vector<T*> items_;
  int capacity_ = 0;
};

}  // namespace vl4::zip
