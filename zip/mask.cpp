#include "zip/mask.h"

#include <cstdint>
#include <vector>

#include "platform/text.h"

namespace vl4::zip {

namespace {

// A "<" ... ">" set of the mask: its members lie between `first` and `close`.
struct CharSet {
  size_t first = 0;
  size_t close = std::string_view::npos;  // npos: not closed
  bool negated = false;
};

class Matcher {
 public:
  Matcher(std::string_view mask, std::string_view name) : mask_(mask), name_(name) {
    // Each run of "*" and "?" that holds a star is a star group; numbering them lets the result of
    // a group at a given name position be kept, which is what bounds the work.
    group_of_.assign(mask.size(), -1);
    for (size_t p = 0; p < mask.size();) {
      if (mask[p] != '*' && mask[p] != '?') {
        ++p;
        continue;
      }
      size_t q = p;
      bool star = false;
      while (q < mask.size() && (mask[q] == '*' || mask[q] == '?')) star |= mask[q++] == '*';
      if (star) group_of_[p] = groups_++;
      p = q;
    }
  }

  // Matches mask_[p..] against name_[t..].
  TMatchResult Match(size_t p, size_t t) {
    for (; p < mask_.size(); ++p, ++t) {
      if (t == name_.size()) {
        return mask_.substr(p) == "*" ? TMatchResult::kValid : TMatchResult::kAbort;
      }
      const char m = mask_[p];
      if (m == '*' || (m == '?' && group_of_[p] >= 0)) return MatchStarGroup(p, t);
      if (m == '?') continue;
      if (m == '<') {
        CharSet set = ParseSet(p);
        if (set.close == std::string_view::npos || set.close == set.first) {
          return TMatchResult::kPattern;
        }
        if (Contains(set, name_[t]) == set.negated) return TMatchResult::kRange;
        p = set.close;
        continue;
      }
      if (m != name_[t]) return TMatchResult::kLiteral;
    }
    return t == name_.size() ? TMatchResult::kValid : TMatchResult::kEnd;
  }

 private:
  CharSet ParseSet(size_t p) const {
    CharSet set;
    size_t q = p + 1;
    if (q < mask_.size() && (mask_[q] == '!' || mask_[q] == '^')) {
      set.negated = true;
      ++q;
    }
    set.first = q;
    set.close = mask_.find('>', q);
    return set;
  }

  // Calls f(low, high) for every member: a range c-d, or a single character as c-c.
  template <class F>
  void ForEachMember(const CharSet& set, F f) const {
    for (size_t q = set.first; q < set.close;) {
      auto low = static_cast<unsigned char>(mask_[q]);
      if (q + 2 < set.close && mask_[q + 1] == '-') {
        f(low, static_cast<unsigned char>(mask_[q + 2]));
        q += 3;
      } else {
        f(low, low);
        ++q;
      }
    }
  }

  bool Contains(const CharSet& set, char c) const {
    auto ch = static_cast<unsigned char>(c);
    bool in = false;
    ForEachMember(set,
                  [&](unsigned char low, unsigned char high) { in |= low <= ch && ch <= high; });
    return in;
  }

  bool AddsNothing(const CharSet& set) const {
    bool empty = true;
    ForEachMember(set, [&](unsigned char low, unsigned char high) { empty &= low > high; });
    return empty;
  }

  // A star group at p: its "?" each take one character, then the rest of the mask is tried at
  // every later name position (only over characters of the set, for a star directly followed by
  // a set) until it matches or the mask proves malformed.
  TMatchResult MatchStarGroup(size_t p, size_t t) {
    const int group = group_of_[p];
    size_t q = p;
    size_t skip = 0;
    bool star_last = false;
    for (; q < mask_.size() && (mask_[q] == '*' || mask_[q] == '?'); ++q) {
      star_last = mask_[q] == '*';
      if (!star_last) ++skip;
    }
    if (name_.size() - t < skip) return TMatchResult::kAbort;
    t += skip;
    if (q == mask_.size()) return TMatchResult::kValid;

    CharSet run;  // the characters the star may take; none: any
    bool restricted = false;
    size_t rest = q;
    if (star_last && mask_[q] == '<') {
      run = ParseSet(q);
      if (run.close == std::string_view::npos) return TMatchResult::kPattern;
      restricted = !AddsNothing(run);
      rest = run.close + 1;
    }

    // The group's outcome from position t on is the outcome from t + 1 on whenever position t
    // itself decides nothing, so every position visited shares the final outcome.
    uint8_t* memo = Memo(group);
    size_t pos = t;
    TMatchResult result;
    for (;; ++pos) {
      if (memo != nullptr && memo[pos] != 0) {
        result = static_cast<TMatchResult>(memo[pos] - 1);
        break;
      }
      result = Match(rest, pos);
      if (result == TMatchResult::kValid || result == TMatchResult::kPattern) break;
      if (pos == name_.size()) {
        result = TMatchResult::kAbort;
        break;
      }
      if (restricted && Contains(run, name_[pos]) == run.negated) {
        result = TMatchResult::kRange;
        break;
      }
    }
    if (memo != nullptr) {
      for (size_t i = t; i <= pos; ++i) memo[i] = static_cast<uint8_t>(result) + 1;
    }
    return result;
  }

  // One byte per name position for each star group, allocated once a mask has two groups (a
  // single group is entered once per position of the one loop that reaches it).
  uint8_t* Memo(int group) {
    if (groups_ < 2) return nullptr;
    if (memo_.empty()) memo_.assign(static_cast<size_t>(groups_) * (name_.size() + 1), 0);
    return memo_.data() + static_cast<size_t>(group) * (name_.size() + 1);
  }

  std::string_view mask_;
  std::string_view name_;
  std::vector<int> group_of_;  // mask position of a star group's first character -> its number
  int groups_ = 0;
  std::vector<uint8_t> memo_;  // 0: unknown, else outcome + 1
};

}  // namespace

TMatchResult MatchMask(std::string_view mask, std::string_view name) {
  if (mask == "*") return TMatchResult::kValid;
  return Matcher(mask, name).Match(0, 0);
}

bool IsMatch(std::string_view mask, std::string_view name) {
  return MatchMask(LowerCase(mask), LowerCase(name)) == TMatchResult::kValid;
}

}  // namespace vl4::zip
