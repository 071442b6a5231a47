// Shortening a path so that it fits a field of fixed width: directory levels give way to "...".
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace vl4 {

// The shortened form of `path` for a field `width` pixels wide (the text may use width - 3
// pixels); `text_width` measures a text in the field's font.
std::string ShortenPathForDisplay(std::string_view path, int width,
                                  const std::function<int(std::string_view)>& text_width);

}  // namespace vl4
