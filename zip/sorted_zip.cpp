#include "zip/sorted_zip.h"

#include <algorithm>
#include <string_view>

#include "zip/dos_date_time.h"

namespace vl4::zip {

namespace {

unsigned char Up(char c) {
  return static_cast<unsigned char>(c >= 'a' && c <= 'z' ? c - 32 : c);
}

// CompareText over a1 + a2 and b1 + b2, without building the joined strings.
int CompareJoinedText(std::string_view a1, std::string_view a2, std::string_view b1,
                      std::string_view b2) {
  const size_t na = a1.size() + a2.size();
  const size_t nb = b1.size() + b2.size();
  const size_t n = std::min(na, nb);
  for (size_t i = 0; i < n; ++i) {
    unsigned char x = Up(i < a1.size() ? a1[i] : a2[i - a1.size()]);
    unsigned char y = Up(i < b1.size() ? b1[i] : b2[i - b1.size()]);
    if (x != y) return x < y ? -1 : 1;
  }
  return na == nb ? 0 : na < nb ? -1 : 1;
}

uint32_t DateKey(const TZipHeaderInfo& m) {
  // In range, the packed value orders like the moment it names.
  return IsValidDosDateTime(m.DateTime) ? m.DateTime : 0;
}

int Sign(int64_t v) {
  return v < 0 ? -1 : v > 0 ? 1 : 0;
}

}  // namespace

TSortedZip::TSortedZip(TZipSortMode mode, bool owns_objects, TDuplicates duplicates)
    : TSortedObjectList(duplicates), mode_(mode) {
  SetOwnsObjects(owns_objects);
}

int TSortedZip::Rate(const TZipHeaderInfo& member) {
  if (member.UncompressedSize <= 0) return 0;
  const int64_t num = static_cast<int64_t>(member.CompressedSize) * 100;
  const int64_t den = member.UncompressedSize;
  int64_t q = num / den;
  int64_t r = num % den;
  if (r < 0) {  // floor division for a negative (damaged) compressed size
    --q;
    r += den;
  }
  if (2 * r > den || (2 * r == den && (q & 1) != 0)) ++q;
  return static_cast<int>(std::min<int64_t>(q, 100));
}

int TSortedZip::Compare(Key item, Key key) const {
  const TZipHeaderInfo& a = *item;
  const TZipHeaderInfo& b = *key;
  switch (mode_) {
    case TZipSortMode::ByName:
      return CompareJoinedText(a.Directory(), a.Filename(), b.Directory(), b.Filename());
    case TZipSortMode::ByFileName:
      return CompareJoinedText(a.Filename(), {}, b.Filename(), {});
    case TZipSortMode::ByDirectoryName:
      return CompareJoinedText(a.Directory(), {}, b.Directory(), {});
    case TZipSortMode::ByDate:
      return DateKey(b) > DateKey(a) ? 1 : -1;
    case TZipSortMode::ByCompressedSize:
      return b.CompressedSize > a.CompressedSize ? 1 : -1;
    case TZipSortMode::ByUnCompressedSize:
      return b.UncompressedSize > a.UncompressedSize ? 1 : -1;
    case TZipSortMode::ByRate:
      return Sign(Rate(b) - Rate(a));
    case TZipSortMode::ByNone:
      if (a.DiskNumberStart != b.DiskNumberStart)
        return a.DiskNumberStart < b.DiskNumberStart ? -1 : 1;
      return Sign(static_cast<int64_t>(a.LocalHeaderOffset) - b.LocalHeaderOffset);
  }
  return 0;
}

// The name modes compare upper-cased names; upper-casing each name once, not in every comparison,
// is what makes sorting tens of thousands of members quick.
void TSortedZip::SortByNameKeys(std::vector<TZipHeaderInfo*>& members) const {
  struct Keyed {
    std::string key;
    TZipHeaderInfo* member;
  };
  std::vector<Keyed> keyed;
  keyed.reserve(members.size());
  for (TZipHeaderInfo* m : members) {
    std::string key = mode_ == TZipSortMode::ByFileName        ? m->Filename()
                      : mode_ == TZipSortMode::ByDirectoryName ? m->Directory()
                                                               : m->Directory() + m->Filename();
    for (char& c : key) c = static_cast<char>(Up(c));
    keyed.push_back({std::move(key), m});
  }
  std::stable_sort(keyed.begin(), keyed.end(),
                   [](const Keyed& a, const Keyed& b) { return a.key < b.key; });
  for (size_t i = 0; i < keyed.size(); ++i) members[i] = keyed[i].member;
}

void TSortedZip::Build(std::vector<TZipHeaderInfo*> members) {
  // Inserting x where earlier members already stand puts x before y exactly when Compare(y, x) is
  // positive, and, for a comparison that can say "equal", before the equal ones when duplicates
  // are accepted. A stable sort on "Compare(y, x) > 0" gives the same order once the members of
  // such a list are taken in reverse, so that the later of two equal members comes first.
  auto before = [this](const TZipHeaderInfo* x, const TZipHeaderInfo* y) {
    return Compare(y, x) > 0;
  };
  const bool can_be_equal = mode_ == TZipSortMode::ByName || mode_ == TZipSortMode::ByFileName ||
                            mode_ == TZipSortMode::ByDirectoryName ||
                            mode_ == TZipSortMode::ByRate || mode_ == TZipSortMode::ByNone;
  if (can_be_equal && Duplicates() == TDuplicates::dupAccept) {
    std::reverse(members.begin(), members.end());
  }
  if (mode_ == TZipSortMode::ByName || mode_ == TZipSortMode::ByFileName ||
      mode_ == TZipSortMode::ByDirectoryName) {
    SortByNameKeys(members);
  } else if (!std::is_sorted(members.begin(), members.end(), before)) {
    std::stable_sort(members.begin(), members.end(), before);
  }
  std::vector<TZipHeaderInfo*> dropped;  // dupIgnore keeps the first of equal members
  if (can_be_equal && Duplicates() != TDuplicates::dupAccept) {
    std::vector<TZipHeaderInfo*> kept;
    kept.reserve(members.size());
    for (TZipHeaderInfo* m : members) {
      if (!kept.empty() && Compare(kept.back(), m) == 0) {
        if (Duplicates() == TDuplicates::dupError) throw EListError("Duplicate Object index");
        dropped.push_back(m);
      } else {
        kept.push_back(m);
      }
    }
    members.swap(kept);
  }
  AssignItems(std::move(members));
  for (TZipHeaderInfo* m : dropped) FreeObject(m);
}

}  // namespace vl4::zip
