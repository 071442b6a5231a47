// TSortedZip: the order and the tie rule of every sort mode, and Build agreeing with insertion.
#include <gtest/gtest.h>

#include <memory>
#include <random>

#include "zip/sorted_zip.h"

namespace vl4::zip {
namespace {

constexpr uint32_t kOlder = 0x58210000;   // 2024-01-01
constexpr uint32_t kNewer = 0x58410000;   // 2024-02-01
constexpr uint32_t kNoDate = 0x585F0000;  // 2024-02-31: no real date, counts as 0

struct Row {
  const char* directory;
  const char* filename;
  uint32_t date;
  int32_t compressed, uncompressed;
};

class SortedZipTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const Row rows[] = {
        {"B\\", "readme.txt", kOlder, 50, 100},  // rate 50
        {"a\\", "Readme.txt", kNewer, 10, 100},  // rate 10
        {"b\\", "README.TXT", kOlder, 50, 200},  // rate 25; same name as #0 but for case
        {"a\\", "zeta.txt", kNoDate, 5, 0},      // rate 0
        {"c\\", "alpha.txt", kNewer, 10, 40},    // rate 25
    };
    int offset = 0;
    for (const Row& s : rows) {
      auto m = std::make_unique<TZipHeaderInfo>();
      m->SetDirectory(s.directory);
      m->SetFilename(s.filename);
      m->DateTime = s.date;
      m->CompressedSize = s.compressed;
      m->UncompressedSize = s.uncompressed;
      m->LocalHeaderOffset = offset;
      offset += 100;
      members_.push_back(std::move(m));
    }
  }

  std::vector<TZipHeaderInfo*> Primary() const {
    std::vector<TZipHeaderInfo*> all;
    for (const auto& m : members_) all.push_back(m.get());
    return all;
  }

  // The view's order as indexes into the primary order.
  std::vector<int> Order(const TSortedZip& view) const {
    std::vector<int> order;
    for (const TZipHeaderInfo* m : view.Items()) {
      for (size_t i = 0; i < members_.size(); ++i) {
        if (members_[i].get() == m) order.push_back(static_cast<int>(i));
      }
    }
    return order;
  }

  std::vector<std::unique_ptr<TZipHeaderInfo>> members_;
};

TEST_F(SortedZipTest, EverySortModesOrderAndTies) {
  struct Case {
    TZipSortMode mode;
    std::vector<int> order;
  } cases[] = {
      {TZipSortMode::ByName, {1, 3, 2, 0, 4}},  // equal names: the later member first
      {TZipSortMode::ByFileName, {4, 2, 1, 0, 3}},
      {TZipSortMode::ByDirectoryName, {3, 1, 2, 0, 4}},
      {TZipSortMode::ByDate, {1, 4, 0, 2, 3}},  // equal times keep the primary order
      {TZipSortMode::ByCompressedSize, {0, 2, 1, 4, 3}},
      {TZipSortMode::ByUnCompressedSize, {2, 0, 1, 4, 3}},
      {TZipSortMode::ByRate, {0, 4, 2, 1, 3}},  // equal rates: the later member first
      {TZipSortMode::ByNone, {0, 1, 2, 3, 4}},
  };
  for (const Case& c : cases) {
    TSortedZip inserted(c.mode, false, TDuplicates::dupAccept);
    for (TZipHeaderInfo* m : Primary()) inserted.Add(m);
    EXPECT_EQ(Order(inserted), c.order) << static_cast<int>(c.mode);
    TSortedZip built(c.mode, false, TDuplicates::dupAccept);
    built.Build(Primary());
    EXPECT_EQ(Order(built), c.order) << static_cast<int>(c.mode);
  }
}

TEST_F(SortedZipTest, BuildGivesTheOrderOfOneByOneInsertionWithManyTies) {
  std::mt19937 random(7);
  members_.clear();
  for (int i = 0; i < 400; ++i) {
    auto m = std::make_unique<TZipHeaderInfo>();
    m->SetDirectory(std::string(1, static_cast<char>("aAbB"[random() % 4])));
    m->SetFilename(std::string(1, static_cast<char>("xXyz"[random() % 4])));
    m->DateTime = (random() % 3 == 0) ? kNoDate : kOlder + (random() % 4) * 0x10000;
    m->CompressedSize = static_cast<int32_t>(random() % 5);
    m->UncompressedSize = static_cast<int32_t>(random() % 6);
    m->DiskNumberStart = static_cast<uint16_t>(random() % 2);
    m->LocalHeaderOffset = static_cast<int32_t>(random() % 50);
    members_.push_back(std::move(m));
  }
  for (int mode = 0; mode <= static_cast<int>(TZipSortMode::ByNone); ++mode) {
    TSortedZip inserted(static_cast<TZipSortMode>(mode), false, TDuplicates::dupAccept);
    for (TZipHeaderInfo* m : Primary()) inserted.Add(m);
    TSortedZip built(static_cast<TZipSortMode>(mode), false, TDuplicates::dupAccept);
    built.Build(Primary());
    EXPECT_EQ(Order(built), Order(inserted)) << "mode " << mode;
  }
}

TEST_F(SortedZipTest, ThePrimaryListRefusesTwoEntriesForOneLocalHeader) {
  members_[3]->LocalHeaderOffset = members_[1]->LocalHeaderOffset;
  TSortedZip primary(TZipSortMode::ByNone, false, TDuplicates::dupError);
  try {
    primary.Build(Primary());
    FAIL() << "a duplicate was accepted";
  } catch (const EListError& e) {
    EXPECT_EQ(e.Message(), "Duplicate Object index");
  }
  EXPECT_EQ(primary.Count(), 0);
  members_[3]->DiskNumberStart = 1;  // the same offset on another volume is another member
  primary.Build(Primary());
  EXPECT_EQ(Order(primary), (std::vector<int>{0, 1, 2, 4, 3}));
}

TEST(SortedZipRateTest, RoundsHalfToEvenAndCapsAt100) {
  struct Case {
    int32_t compressed, uncompressed;
    int rate;
  } cases[] = {{1, 8, 12},      {3, 8, 38}, {1, 200, 0}, {3, 200, 2},
               {200, 100, 100}, {5, 0, 0},  {5, -3, 0},  {50, 100, 50}};
  for (const Case& c : cases) {
    TZipHeaderInfo m;
    m.CompressedSize = c.compressed;
    m.UncompressedSize = c.uncompressed;
    EXPECT_EQ(TSortedZip::Rate(m), c.rate) << c.compressed << "/" << c.uncompressed;
  }
}

}  // namespace
}  // namespace vl4::zip
