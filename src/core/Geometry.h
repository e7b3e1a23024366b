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

  // The span between two edges, kept where the right (bottom) edge stays
  // representable: edges from untrusted input (a skin attribute) may lie
  // further apart than an int can count.
  static constexpr int Span(int from, int to) {
    const long long span = static_cast<long long>(to) - from;
    const long long most = 2147483647LL - (from > 0 ? from : 0);
    const long long least = -2147483647LL - 1 - (from < 0 ? from : 0);
    return static_cast<int>(span > most ? most : span < least ? least : span);
  }
  static constexpr Rect FromEdges(int left, int top, int right, int bottom) {
    return Rect{left, top, Span(left, right), Span(top, bottom)};
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
  // The smallest rectangle whose edges hold both; a rectangle without area
  // (a straight line's box) counts with its edges too.
  constexpr Rect Union(const Rect& o) const {
    return FromEdges(std::min(x, o.x), std::min(y, o.y), std::max(Right(), o.Right()), std::max(Bottom(), o.Bottom()));
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
  return a.Union(b);
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

// What freezing a virtual screen costs: the frozen screen, its dimmed copy
// and the window's paint buffer are each a 32-bit image of the whole screen.
inline constexpr uint64_t kBytesPerPixel = 4;
inline constexpr uint64_t kScreenSizedImages = 3;
// GDI computes a bitmap's size in signed 32 bits.
inline constexpr uint64_t kMaxImageBytes = 0x7FFFFFFF;

constexpr uint64_t ImageBytes(const Rect& area) {
  return area.width > 0 && area.height > 0
             ? static_cast<uint64_t>(area.width) * static_cast<uint64_t>(area.height) * kBytesPerPixel
             : 0;
}

// Whether `images` 32-bit images of `area` fit the address space the process
// still has free (`availableBytes`). They may take at most half of it: the
// rest is left for the images made on demand (the mosaic's source, the
// result) and for the gaps a 32-bit address space always has.
constexpr bool FitsAddressSpace(const Rect& area, uint64_t images, uint64_t availableBytes) {
  const uint64_t image = ImageBytes(area);
  return image > 0 && image <= kMaxImageBytes && image * images <= availableBytes / 2;
}

// Whether the capture can freeze `virtualScreen`.
constexpr bool IsGrabbableScreen(const Rect& virtualScreen, uint64_t availableBytes) {
  return FitsAddressSpace(virtualScreen, kScreenSizedImages, availableBytes);
}

}  // namespace ScreenCapture
