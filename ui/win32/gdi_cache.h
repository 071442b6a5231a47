// Fonts and brushes of the Win32 backend, made once per value and freed with the cache.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <tuple>

#include "ui/types.h"

namespace vl4::ui {

class GdiCache {
 public:
  GdiCache() = default;
  ~GdiCache();
  GdiCache(const GdiCache&) = delete;
  GdiCache& operator=(const GdiCache&) = delete;

  // The font of a model font (its colour is the text colour, not part of the font).
  HFONT FontFor(const Font& font);
  HBRUSH BrushFor(COLORREF color);

 private:
  std::map<std::tuple<std::string, int, bool, bool>, HFONT> fonts_;
  std::map<COLORREF, HBRUSH> brushes_;
};

}  // namespace vl4::ui
