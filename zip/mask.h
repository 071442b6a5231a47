// The mask language by which FilesList entries select members:
//   "*" alone    every name
//   ?            any one character
//   *            any run of characters, the empty run and "\" included
//   <...>        one character from a set of characters and ranges c-d (low to high; a range
//                written high to low matches nothing); "!" or "^" first negates the set; an
//                empty or unclosed set makes the mask fail
//   *<...>       a run of characters from the set (outside it when negated); a set that ends up
//                empty restricts nothing, an unclosed one makes the mask fail
//   other        the character itself
// The whole name must be used; a name that ends first fails unless what is left of the mask is a
// single "*". A "-" with no character between it and ">" stands for itself.
#pragma once

#include <string_view>

namespace vl4::zip {

enum class TMatchResult {
  kValid,    // the mask matches the whole name
  kEnd,      // the mask ended with name characters left over
  kAbort,    // the name ran out while the mask needed more
  kRange,    // a character outside a set
  kLiteral,  // a character other than the mask's
  kPattern,  // the mask is malformed
};

// Matches as given (no case folding). Time and memory stay polynomial in the lengths, however many
// stars the mask holds.
TMatchResult MatchMask(std::string_view mask, std::string_view name);

// Lower-cases the ASCII letters of both, then matches; only kValid selects.
bool IsMatch(std::string_view mask, std::string_view name);

}  // namespace vl4::zip
