// The Win32 backend's GDI objects.
#include "ui/win32/gdi_cache.h"

namespace vl4::ui {

GdiCache::~GdiCache() {
  for (auto& [key, font] : fonts_) DeleteObject(font);
  for (auto& [key, brush] : brushes_) DeleteObject(brush);
}

HFONT GdiCache::FontFor(const Font& font) {
  auto key = std::make_tuple(font.name, font.height, font.bold, font.italic);
  auto it = fonts_.find(key);
  if (it != fonts_.end()) return it->second;
  // A negative height asks for the character height, which is what the model's height is.
  HFONT handle = CreateFontA(-font.height, 0, 0, 0, font.bold ? FW_BOLD : FW_NORMAL,
                             font.italic ? TRUE : FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                             OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                             DEFAULT_PITCH | FF_DONTCARE, font.name.c_str());
  if (handle == nullptr) handle = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  fonts_.emplace(key, handle);
  return handle;
}

HBRUSH GdiCache::BrushFor(COLORREF color) {
  auto it = brushes_.find(color);
  if (it != brushes_.end()) return it->second;
  HBRUSH brush = CreateSolidBrush(color);
  brushes_.emplace(color, brush);
  return brush;
}

}  // namespace vl4::ui
