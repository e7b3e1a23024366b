#pragma once
// Geometry value types. A rectangle is x, y, width, height (signed 32-bit);
// containment is half-open: a point is inside when x <= px < x + width and
// y <= py < y + height, so the right and bottom edges belong to the next
// rectangle.
#include <algorithm>
#include <cstdint>

namespace ScreenCapture {

struct Point {
  int x = 0;
  int y = 0;
  constexpr bool operator==(const Point& o) const { return x == o.x && y == o.y; }
  constexpr bool operator!=(const Point& o) const { return !(*this == o); }
};

struct Margins {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  constexpr bool operator==(const Margins& o) const {
    return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
  }
};

struct Rect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;

  static constexpr Rect FromEdges(int left, int top, int right, int bottom) {
    return Rect{left, top, right - left, bottom - top};
  }
  constexpr int Right() const { return x + width; }    // exclusive
  constexpr int Bottom() const { return y + height; }  // exclusive
  constexpr bool IsEmpty() const { return width <= 0 || height <= 0; }
  constexpr bool Contains(Point p) const { return p.x >= x && p.x < Right() && p.y >= y && p.y < Bottom(); }
  constexpr Rect Offset(int dx, int dy) const { return Rect{x + dx, y + dy, width, height}; }
  constexpr Rect Deflate(const Margins& m) const {
    return Rect{x + m.left, y + m.top, std::max(0, width - m.left - m.right), std::max(0, height - m.top - m.bottom)};
  }
  // The common part; an empty rectangle at this one's origin when there is none.
  constexpr Rect Intersect(const Rect& o) const {
    const int l = std::max(x, o.x);
    const int t = std::max(y, o.y);
    const int r = std::min(Right(), o.Right());
    const int b = std::min(Bottom(), o.Bottom());
    return (r > l && b > t) ? Rect{l, t, r - l, b - t} : Rect{x, y, 0, 0};
  }
  constexpr bool operator==(const Rect& o) const {
    return x == o.x && y == o.y && width == o.width && height == o.height;
  }
  constexpr bool operator!=(const Rect& o) const { return !(*this == o); }
};

// The smallest rectangle holding both; an empty one adds nothing.
constexpr Rect UnionRect(const Rect& a, const Rect& b) {
  if (a.IsEmpty()) return b;
  if (b.IsEmpty()) return a;
  return Rect::FromEdges(std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.Right(), b.Right()),
                         std::max(a.Bottom(), b.Bottom()));
}

// Positions inside the capture are client coordinates of the capture window,
// whose client area starts at the virtual screen's top-left corner (negative
// where a monitor lies left of or above the primary one).
constexpr Point ScreenToCapture(Point screen, const Rect& virtualScreen) {
  return Point{screen.x - virtualScreen.x, screen.y - virtualScreen.y};
}
constexpr Point CaptureToScreen(Point client, const Rect& virtualScreen) {
  return Point{client.x + virtualScreen.x, client.y + virtualScreen.y};
}
constexpr Rect CaptureToScreen(const Rect& client, const Rect& virtualScreen) {
  return client.Offset(virtualScreen.x, virtualScreen.y);
}
constexpr Rect ScreenToCapture(const Rect& screen, const Rect& virtualScreen) {
  return screen.Offset(-virtualScreen.x, -virtualScreen.y);
}

// The largest virtual screen the program freezes; beyond it the frozen image
// stays empty (a bitmap that size would not fit a 32-bit address space anyway).
inline constexpr int kMaxVirtualScreenSide = 16384;
constexpr bool IsGrabbableScreen(const Rect& virtualScreen) {
  return virtualScreen.width > 0 && virtualScreen.height > 0 && virtualScreen.width <= kMaxVirtualScreenSide &&
         virtualScreen.height <= kMaxVirtualScreenSide;
}

}  // namespace ScreenCapture
