// TSortedObjectList: a TObjectList kept in the order of an overridable comparison, found by binary
// search, with a rule for objects that compare equal.
#pragma once

#include "zip/object_list.h"

namespace vl4::zip {

enum class TDuplicates : uint8_t { dupIgnore = 0, dupAccept = 1, dupError = 2 };

template <class T>
class TSortedObjectList : public TObjectList<T> {
 public:
  using Key = const T*;

  explicit TSortedObjectList(TDuplicates duplicates) : duplicates_(duplicates) {}

  TDuplicates Duplicates() const { return duplicates_; }

  // The key of an object: the object itself here; descendants may return another one.
  virtual Key KeyOf(const T* object) const { return object; }
  // Negative when `item` (an object in the list) goes before `key`, positive when `key` goes
  // before it, 0 when they are equal.
  virtual int Compare(Key item, Key key) const = 0;

  // Binary search. The index is where `key` goes: before the equal objects under dupAccept, at
  // the (last found) equal one otherwise.
  virtual bool Find(Key key, int& index) const {
    int low = 0;
    int high = this->Count() - 1;
    bool found = false;
    while (low <= high) {
      int mid = (low + high) / 2;
      int c = Compare(KeyOf(this->Items()[static_cast<size_t>(mid)]), key);
      if (c < 0) {
        low = mid + 1;
      } else {
        high = mid - 1;
        if (c == 0) {
          found = true;
          if (duplicates_ != TDuplicates::dupAccept) low = mid;
        }
      }
    }
    index = low;
    return found;
  }

  // The index is ignored: the object goes where its key belongs. An equal object already present
  // makes dupError raise EListError "Duplicate Object index" (the object stays the caller's) and
  // dupIgnore drop the object (freed when the list owns its objects, as it would own it).
  void Insert(int /*index*/, T* object) override {
    int at = 0;
    if (Find(KeyOf(object), at)) {
      if (duplicates_ == TDuplicates::dupIgnore) {
        this->FreeObject(object);
        return;
      }
      if (duplicates_ == TDuplicates::dupError) throw EListError("Duplicate Object index");
    }
    TObjectList<T>::Insert(at, object);
  }

  int Add(T* object) override {
    Insert(0, object);
    return 0;
  }

  // The index found for the object's key (an object comparing equal may be another one), or -1.
  int IndexOf(const T* object) const override {
    int at = 0;
    return Find(KeyOf(object), at) ? at : -1;
  }

  T* Put(int, T*) override { throw EListError("Cannot <Put> an Object in a sorted list!"); }

 private:
  TDuplicates duplicates_;
};

}  // namespace vl4::zip
