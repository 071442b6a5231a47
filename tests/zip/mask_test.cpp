// The mask language of FilesList: a table of mask, name and outcome.
#include <gtest/gtest.h>

#include <chrono>
#include <ostream>

#include "zip/mask.h"

namespace vl4::zip {

void PrintTo(TMatchResult r, std::ostream* os) {
  static const char* const kNames[] = {"valid",           "name left over",   "name ran out",
                                       "outside the set", "literal mismatch", "malformed mask"};
  *os << kNames[static_cast<int>(r)];
}

namespace {

using R = TMatchResult;

TEST(MaskTest, Outcomes) {
  struct Case {
    const char* mask;
    const char* name;
    R result;
  } cases[] = {
      {"*", "", R::kValid},
      {"*", "any\\thing", R::kValid},
      {"*.txt", "readme.txt", R::kValid},
      {"*.txt", "doc\\readme.txt", R::kValid},  // "*" runs over "\" too
      {"*.txt", "readme.doc", R::kAbort},
      {"*.*", "readme", R::kAbort},
      {"*.*", "a.", R::kValid},
      {"?", "", R::kAbort},
      {"?", "a", R::kValid},
      {"?", "ab", R::kEnd},
      {"abc", "abd", R::kLiteral},
      {"abc", "ab", R::kAbort},
      {"ab", "abc", R::kEnd},
      {"a*", "a", R::kValid},  // what is left is a single "*"
      {"a**", "a", R::kAbort},
      {"a*?", "a", R::kAbort},
      {"a?*", "ab", R::kValid},
      {"<a-c>*", "beta", R::kValid},
      {"<a-c>*", "delta", R::kRange},
      {"<!a-c>*", "delta", R::kValid},
      {"<^a-c>*", "alpha", R::kRange},
      {"<c-a>x", "bx", R::kRange},  // a range written high to low matches nothing
      {"<!c-a>x", "bx", R::kValid},
      {"<a-a>", "a", R::kValid},
      {"<a->", "-", R::kValid},  // a "-" next to ">" stands for itself
      {"<<>", "<", R::kValid},
      {"<>", "a", R::kPattern},
      {"<!>", "a", R::kPattern},
      {"<abc", "a", R::kPattern},
      {"a<", "ab", R::kPattern},
      {"*<0-9>", "12345", R::kValid},
      {"*<0-9>", "123a5", R::kRange},
      {"*<0-9>", "", R::kAbort},
      {"*<!0-9>", "abc", R::kValid},
      {"*<a-c>x", "abcx", R::kValid},
      {"*<a-c>x", "abdx", R::kRange},
      {"*<>", "any", R::kValid},  // a star set that ends up empty restricts nothing
      {"*<c-a>", "xyz", R::kValid},
      {"*<abc", "abc", R::kPattern},
      {"*\\*.txt", "doc\\a.txt", R::kValid},
      {"*\\*.txt", "a.txt", R::kAbort},
      {"data*<0-9>.?", "data42.x", R::kValid},
      {"d*<0-9>.?", "data42.x", R::kRange},  // the star set takes digits only
      {"*a*b*c", "xaxbxcx", R::kAbort},
      {"*a*b*c", "xaxbxc", R::kValid},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MatchMask(c.mask, c.name), c.result) << c.mask << " / " << c.name;
  }
}

TEST(MaskTest, IsMatchIgnoresTheCaseOfAsciiLettersAndSelectsOnlyValidMatches) {
  EXPECT_TRUE(IsMatch("*.TXT", "Doc\\ReadMe.txt"));
  EXPECT_TRUE(IsMatch("<A-C>*", "beta"));
  EXPECT_FALSE(IsMatch("*.txt", "readme"));
  EXPECT_FALSE(IsMatch("<>", ""));
}

TEST(MaskTest, ManyStarsAnswerAtOnce) {
  const std::string name(200, 'a');
  const std::string mask = "*a*a*a*a*a*a*a*a*a*a*a*a*a*a*a*a*a*a*a*a*b";
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(MatchMask(mask, name), R::kAbort);
  EXPECT_EQ(MatchMask("*a*a*a*a*a*a*a*a*b", name + "b"), R::kValid);
  EXPECT_EQ(MatchMask("*<a>*<a>*<a>*<a>*<a>*b", name), R::kAbort);
  auto elapsed = std::chrono::steady_clock::now() - start;
  EXPECT_LT(elapsed, std::chrono::milliseconds(200));
}

}  // namespace
}  // namespace vl4::zip
