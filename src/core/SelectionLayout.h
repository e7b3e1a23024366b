#pragma once
// Where the magnifier goes and what it says.
#include <string>

#include "core/Geometry.h"

namespace ScreenCapture {

struct MagnifierLayout {
  Rect source;  // 80 x 80 pixels of the frozen image around the cursor
  Rect box;     // 160 x 160 on the screen: the source at zoom 2
};

// Beside the cursor (20 pixels right and below); above it when the box and
// its text would pass the bottom of `bounds`, left of it when the box would
// pass the right.
constexpr MagnifierLayout PlaceMagnifier(Point cursor, const Rect& bounds) {
  MagnifierLayout layout{Rect{cursor.x - 40, cursor.y - 40, 80, 80}, Rect{cursor.x + 20, cursor.y + 20, 160, 160}};
  if (layout.box.Bottom() + 50 > bounds.Bottom()) layout.box.y = cursor.y - 230;
  if (layout.box.Right() > bounds.Right()) layout.box.x = cursor.x - 180;
  return layout;
}

// The magnifier's two lines of text start 10 pixels below its box.
constexpr Point MagnifierTextOrigin(const Rect& box) { return Point{box.x, box.y + box.height + 10}; }

// The size label of `region`: a box round the text, above the region's
// corner, or inside the region when that would pass the top of `bounds`.
// `lineHeight` is the font's line height plus 12; the text measures
// `textWidth` x `textHeight`.
struct SizeLabelLayout {
  Rect box;
  Point text;  // the text's top-left corner
};
constexpr SizeLabelLayout PlaceSizeLabel(const Rect& region, const Rect& bounds, int lineHeight, int textWidth,
                                         int textHeight) {
  const bool above = region.y - lineHeight - 8 >= bounds.y;
  return SizeLabelLayout{Rect{region.x, above ? region.y - lineHeight - 8 : region.y + 12, textWidth + 24, textHeight + 8},
                         Point{region.x + 12, above ? region.y - lineHeight - 4 : region.y + 16}};
}

// "POS:(x,y)\r\nRGB:(r,g,b)".
inline std::wstring MagnifierText(Point screenCursor, int r, int g, int b) {
  return L"POS:(" + std::to_wstring(screenCursor.x) + L"," + std::to_wstring(screenCursor.y) + L")\r\nRGB:(" +
         std::to_wstring(r) + L"," + std::to_wstring(g) + L"," + std::to_wstring(b) + L")";
}

}  // namespace ScreenCapture
