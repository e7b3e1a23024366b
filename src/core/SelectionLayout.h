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

// "POS:(x,y)\r\nRGB:(r,g,b)".
inline std::wstring MagnifierText(Point screenCursor, int r, int g, int b) {
  return L"POS:(" + std::to_wstring(screenCursor.x) + L"," + std::to_wstring(screenCursor.y) + L")\r\nRGB:(" +
         std::to_wstring(r) + L"," + std::to_wstring(g) + L"," + std::to_wstring(b) + L")";
}

}  // namespace ScreenCapture
