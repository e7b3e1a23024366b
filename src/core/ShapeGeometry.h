#pragma once
// Geometry of the annotation shapes: clamping into the region, squares,
// handle boxes and the corners a resize moves. Pure value code.
#include <array>

#include "core/Geometry.h"

namespace ScreenCapture {

// Keeps a point inside `limit`, `strokeWidth / 2` pixels from its edges, so
// that a stroke never paints outside the selection frame. Each axis is
// checked against its lower edge first.
constexpr Point ClampPoint(Point p, const Rect& limit, int strokeWidth) {
  const int m = strokeWidth / 2;
  if (p.x < limit.x + m) p.x = limit.x + m;
  else if (p.x > limit.x + limit.width - m) p.x = limit.x + limit.width - m;
  if (p.y < limit.y + m) p.y = limit.y + m;
  else if (p.y > limit.y + limit.height - m) p.y = limit.y + limit.height - m;
  return p;
}

// Moves a rectangle (keeping its size) so that it starts inside `limit` and,
// where it fits, ends inside it too.
constexpr Rect FitRect(Rect r, const Rect& limit) {
  if (r.x < limit.x) r.x = limit.x;
  if (r.x + r.width > limit.x + limit.width) r.x = limit.x + limit.width - r.width;
  if (r.y < limit.y) r.y = limit.y;
  if (r.y + r.height > limit.y + limit.height) r.y = limit.y + limit.height - r.height;
  return r;
}

// The corrections FitRect would apply, added to the caller's counters.
constexpr void AddFitCorrection(const Rect& r, const Rect& limit, int& dx, int& dy) {
  const Rect fitted = FitRect(r, limit);
  dx += fitted.x - r.x;
  dy += fitted.y - r.y;
}

// The rectangle spanned by two corners, with positive width and height.
constexpr Rect SpanRect(Point a, Point b) {
  return Rect{a.x < b.x ? a.x : b.x, a.y < b.y ? a.y : b.y, a.x < b.x ? b.x - a.x : a.x - b.x,
              a.y < b.y ? b.y - a.y : a.y - b.y};
}

// The end point of a square drag from `anchor` towards `pointer`: the longer
// side decides the square's size, the pointer's side of the anchor its
// direction.
constexpr Point SquareCandidate(Point anchor, Point pointer) {
  const int dx = pointer.x > anchor.x ? pointer.x - anchor.x : anchor.x - pointer.x;
  const int dy = pointer.y > anchor.y ? pointer.y - anchor.y : anchor.y - pointer.y;
  if (dy < dx) return Point{pointer.x, pointer.y > anchor.y ? anchor.y + dx : anchor.y - dx};
  return Point{anchor.x < pointer.x ? anchor.x + dy : anchor.x - dy, pointer.y};
}

// The selection inset on every side by its frame width.
constexpr Rect InsetRect(const Rect& r, int by) { return Rect{r.x + by, r.y + by, r.width - 2 * by, r.height - 2 * by}; }

// The pixels a pen of odd width `penWidth` covers when it outlines `r` with
// its centre on the lines x, x + width, y and y + height: four bands (top,
// bottom, left, right), half-open. Even widths straddle pixel edges, and a
// frame whose hole closes is left to the pen's own joins: for those all four
// come back empty.
constexpr std::array<Rect, 4> FrameBands(const Rect& r, int penWidth) {
  std::array<Rect, 4> bands{};
  if (penWidth <= 0 || penWidth % 2 == 0 || r.width <= penWidth || r.height <= penWidth) return bands;
  const int k = penWidth / 2;
  const int left = r.x - k, top = r.y - k, right = r.Right() + k + 1, bottom = r.Bottom() + k + 1;
  bands[0] = Rect::FromEdges(left, top, right, top + penWidth);
  bands[1] = Rect::FromEdges(left, bottom - penWidth, right, bottom);
  bands[2] = Rect::FromEdges(left, top + penWidth, left + penWidth, bottom - penWidth);
  bands[3] = Rect::FromEdges(right - penWidth, top + penWidth, right, bottom - penWidth);
  return bands;
}

inline constexpr int kHandleCount = 8;

// Handle centres 0..7 (top left, top middle, top right, middle left, middle
// right, bottom left, bottom middle, bottom right) on the centre line of a
// frame of width `frameWidth` drawn on `r`.
constexpr std::array<Point, kHandleCount> HandleCentres(const Rect& r, int frameWidth) {
  const int s = frameWidth / 2;
  const int lx = r.x + s, ty = r.y + s, w = r.width - 2 * s, h = r.height - 2 * s;
  return {Point{lx, ty},         Point{lx + w / 2, ty},     Point{lx + w, ty},     Point{lx, ty + h / 2},
          Point{lx + w, ty + h / 2}, Point{lx, ty + h},     Point{lx + w / 2, ty + h}, Point{lx + w, ty + h}};
}

constexpr Rect HandleBox(Point centre, int radius) {
  return Rect{centre.x - radius, centre.y - radius, 2 * radius, 2 * radius};
}

// Cursor kind for a handle: 1 north-west/south-east, 2 west/east, 3
// north/south, 4 north-east/south-west; indices 8 and 9 act like 3, 10 and 11
// like 4; -1 for anything else.
constexpr int HandleCursorKind(int handle) {
  switch (handle) {
    case 0: case 7: return 1;
    case 3: case 4: case 8: case 9: case 10: case 11: return 2;
    case 1: case 6: return 3;
    case 2: case 5: return 4;
    default: return -1;
  }
}

// The fixed corner and the moving corner of a resize by `handle`, from the
// rectangle at the press and the pointer. False for an unknown handle.
constexpr bool ResizeCorners(int handle, const Rect& press, Point pointer, Point& fixed, Point& moving) {
  const int x = press.x, y = press.y, w = press.width, h = press.height;
  switch (handle) {
    case 0: fixed = {x + w, y + h}; moving = pointer; return true;
    case 1: fixed = {x + w, y + h}; moving = {x, pointer.y}; return true;
    case 2: fixed = {x, y + h}; moving = pointer; return true;
    case 3: case 8: case 9: fixed = {x + w, y + h}; moving = {pointer.x, y}; return true;
    case 4: case 10: case 11: fixed = {x, y}; moving = {pointer.x, y + h}; return true;
    case 5: fixed = {x + w, y}; moving = pointer; return true;
    case 6: fixed = {x, y}; moving = {x + w, pointer.y}; return true;
    case 7: fixed = {x, y}; moving = pointer; return true;
    default: return false;
  }
}

// The region of a capture resized by `handle` to `pointer`, from its
// rectangle at the press: the moving corner never cuts into `annotations`
// (the union of what is drawn on it; empty for none) and stays inside
// `bounds`. False for an unknown handle, leaving `region` as it was.
constexpr bool ResizeRegion(int handle, const Rect& press, Point pointer, const Rect& annotations, const Rect& bounds,
                            int strokeWidth, Rect& region) {
  Point fixed, moving;
  if (!ResizeCorners(handle, press, pointer, fixed, moving)) return false;
  if (annotations.width > 0 || annotations.height > 0) {
    const int left = annotations.x, top = annotations.y, right = annotations.Right(), bottom = annotations.Bottom();
    const auto atMost = [](int v, int limit) { return v < limit ? v : limit; };
    const auto atLeast = [](int v, int limit) { return v > limit ? v : limit; };
    switch (handle) {
      case 0: moving = {atMost(moving.x, left), atMost(moving.y, top)}; break;
      case 1: moving.y = atMost(moving.y, top); break;
      case 2: moving = {atLeast(moving.x, right), atMost(moving.y, top)}; break;
      case 3: case 8: case 9: moving.x = atMost(moving.x, left); break;
      case 4: case 10: case 11: moving.x = atLeast(moving.x, right); break;
      case 5: moving = {atMost(moving.x, left), atLeast(moving.y, bottom)}; break;
      case 6: moving.y = atLeast(moving.y, bottom); break;
      case 7: moving = {atLeast(moving.x, right), atLeast(moving.y, bottom)}; break;
      default: break;
    }
  }
  region = SpanRect(fixed, ClampPoint(moving, bounds, strokeWidth));
  return true;
}

constexpr bool IsCornerHandle(int handle) { return handle == 0 || handle == 2 || handle == 5 || handle == 7; }

}  // namespace ScreenCapture
