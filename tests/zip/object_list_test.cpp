// TObjectList and TSortedObjectList: growth, limits, ownership, order and duplicates.
#include <gtest/gtest.h>

#include <string>

#include "zip/sorted_object_list.h"

namespace vl4::zip {
namespace {

struct Item {
  Item(int key, std::string tag, int* freed = nullptr)
      : key(key), tag(std::move(tag)), freed(freed) {}
  ~Item() {
    if (freed) ++*freed;
  }
  const char* ClassName() const { return "TItem"; }
  int key;
  std::string tag;
  int* freed;
};

class ItemsByKey : public TSortedObjectList<Item> {
 public:
  using TSortedObjectList::TSortedObjectList;
  int Compare(Key item, Key key) const override { return item->key - key->key; }
};

std::string Tags(const TObjectList<Item>& list) {
  std::string tags;
  for (Item* item : list.Items()) tags += item->tag;
  return tags;
}

template <class F>
std::string ListError(F f) {
  try {
    f();
  } catch (const EListError& e) {
    return e.Message();
  }
  return "no error";
}

TEST(ObjectListTest, CapacityGrowsByFourThenEightThenSixteen) {
  TObjectList<Item> list;
  std::vector<int> capacities;
  for (int i = 0; i < 40; ++i) {
    list.Add(new Item(i, ""));
    if (capacities.empty() || capacities.back() != list.Capacity()) {
      capacities.push_back(list.Capacity());
    }
  }
  EXPECT_EQ(capacities, (std::vector<int>{4, 8, 16, 32, 48}));
  TObjectList<Item> nine;
  for (int i = 0; i < 9; ++i) nine.Add(new Item(i, ""));
  EXPECT_EQ(nine.Capacity(), 16);
}

TEST(ObjectListTest, IndexAndCapacityViolationsLeaveTheListUnchanged) {
  TObjectList<Item> list;
  list.Add(new Item(1, "a"));
  list.Add(new Item(2, "b"));
  EXPECT_EQ(ListError([&] { list.Get(2); }), "ListIndexError");
  EXPECT_EQ(ListError([&] { list.Get(-1); }), "ListIndexError");
  EXPECT_EQ(ListError([&] { list.Insert(3, nullptr); }), "ListIndexError");
  EXPECT_EQ(ListError([&] { list.SetCapacity(1); }), "ListIndexError");
  EXPECT_EQ(ListError([&] { list.SetCapacity(65535); }), "ListIndexError");
  EXPECT_EQ(ListError([&] { list.SetCount(65535); }), "ListIndexError");
  EXPECT_EQ(Tags(list), "ab");
  EXPECT_EQ(list.Capacity(), 4);
  list.SetCapacity(65534);  // the largest capacity there is
  EXPECT_EQ(list.Capacity(), 65534);
}

TEST(ObjectListTest, GrowingPastTheLimitFails) {
  TObjectList<Item> list;
  list.SetOwnsObjects(false);
  Item item(0, "");
  // The steps of 16 reach 65520; the next step would pass 65534.
  for (int i = 0; i < 65520; ++i) list.Add(&item);
  EXPECT_EQ(ListError([&] { list.Add(&item); }), "ListIndexError");
  EXPECT_EQ(list.Count(), 65520);
}

TEST(ObjectListTest, InsertPutIndexOfAndNeighbours) {
  TObjectList<Item> list;
  Item* a = new Item(1, "a");
  Item* c = new Item(3, "c");
  list.Add(a);
  list.Add(c);
  Item* b = new Item(2, "b");
  list.Insert(1, b);
  EXPECT_EQ(Tags(list), "abc");
  EXPECT_EQ(list.IndexOf(c), 2);
  Item outsider(9, "x");
  EXPECT_EQ(list.IndexOf(&outsider), -1);

  EXPECT_EQ(list.Neighbour(a, 1), b);
  EXPECT_EQ(list.Neighbour(b, 0), a);
  EXPECT_EQ(list.Neighbour(c, 1), nullptr);
  EXPECT_EQ(list.Neighbour(a, 0), nullptr);
  EXPECT_EQ(list.Neighbour(nullptr, 1), a);
  EXPECT_EQ(list.Neighbour(nullptr, 0), c);
  EXPECT_EQ(ListError([&] { list.Neighbour(&outsider, 1); }), "tObject TItem not in item list");

  Item* old = list.Put(1, new Item(4, "d"));
  EXPECT_EQ(old, b);
  EXPECT_EQ(Tags(list), "adc");
  delete old;
}

TEST(ObjectListTest, TheOwnsObjectsFlagDecidesWhetherObjectsAreFreed) {
  int freed = 0;
  {
    TObjectList<Item> owning;
    owning.Add(new Item(1, "", &freed));
    owning.Add(new Item(2, "", &freed));
  }
  EXPECT_EQ(freed, 2);

  freed = 0;
  Item kept1(1, "", &freed), kept2(2, "", &freed);
  {
    TObjectList<Item> borrowing;
    borrowing.SetOwnsObjects(false);
    borrowing.Add(&kept1);
    borrowing.Add(&kept2);
    borrowing.Clear();
    EXPECT_EQ(borrowing.Count(), 0);
    EXPECT_EQ(borrowing.Capacity(), 0);
  }
  EXPECT_EQ(freed, 0);
}

TEST(SortedObjectListTest, KeepsOrderAndAppliesTheDuplicatesRule) {
  ItemsByKey accept(TDuplicates::dupAccept);
  for (auto [key, tag] : {std::pair{3, "c"}, {1, "a1"}, {2, "b"}, {1, "a2"}}) {
    accept.Add(new Item(key, tag));
  }
  EXPECT_EQ(Tags(accept), "a2a1bc");  // a new equal object goes before those present

  ItemsByKey error(TDuplicates::dupError);
  error.Add(new Item(1, "a"));
  error.Add(new Item(2, "b"));
  Item twin(1, "A");
  EXPECT_EQ(ListError([&] { error.Add(&twin); }), "Duplicate Object index");
  EXPECT_EQ(error.Count(), 2);
  EXPECT_EQ(error.IndexOf(&twin), 0);  // found by key: the equal object's index

  int freed = 0;
  ItemsByKey ignore(TDuplicates::dupIgnore);
  ignore.Add(new Item(1, "a", &freed));
  ignore.Add(new Item(1, "A", &freed));  // dropped, and freed as the list owns what it is given
  EXPECT_EQ(Tags(ignore), "a");
  EXPECT_EQ(freed, 1);

  EXPECT_EQ(ListError([&] { accept.Put(0, nullptr); }), "Cannot <Put> an Object in a sorted list!");
}

}  // namespace
}  // namespace vl4::zip
