// TSortedZip: a list of members in the order of a TZipSortMode. The reader's primary list (ByNone,
// by position in the archive) and its sorted views are TSortedZip lists.
#pragma once

#include <vector>

#include "zip/sorted_object_list.h"
#include "zip/zip_header_info.h"

namespace vl4::zip {

enum class TZipSortMode {
  ByName,              // Directory + Filename, ascending, without regard to (ASCII) case
  ByFileName,          // Filename, likewise
  ByDirectoryName,     // Directory, likewise
  ByDate,              // newest first; a time stamp that is no real date counts as 0
  ByCompressedSize,    // largest first
  ByUnCompressedSize,  // largest first
  ByRate,              // highest compression ratio (compressed * 100 / uncompressed) first
  ByNone,              // DiskNumberStart, then LocalHeaderOffset, ascending
};

class TSortedZip : public TSortedObjectList<TZipHeaderInfo> {
 public:
  TSortedZip(TZipSortMode mode, bool owns_objects, TDuplicates duplicates);

  TZipSortMode SortMode() const { return mode_; }

  // Members inserted one after another land after the equal ones (ByDate and the sizes: the
  // comparison never says equal) or before them (the names, ByRate, ByNone under dupAccept).
  int Compare(Key item, Key key) const override;

  // Fills this empty list with `members`, given in primary order, exactly as adding them one by
  // one would (the same order, ties and duplicate errors), in O(n log n) instead of shifting the
  // list for every member. When it raises (a duplicate under dupError, too many members) the list
  // stays empty and the members stay the caller's.
  void Build(std::vector<TZipHeaderInfo*> members);

  // The ratio ByRate orders by: compressed * 100 / uncompressed rounded half to even, at most 100,
  // 0 when the uncompressed size is not positive.
  static int Rate(const TZipHeaderInfo& member);

 private:
  void SortByNameKeys(std::vector<TZipHeaderInfo*>& members) const;

  TZipSortMode mode_;
};

}  // namespace vl4::zip
