#pragma once
// Geometry of the arrow and of freehand strokes, on plain points: the
// arrow's outline, hit tests along a stroke and the parts of a long stroke
// that a repaint area needs.
#include <array>
#include <cstddef>
#include <utility>
#include <vector>

#include "core/Geometry.h"

namespace ScreenCapture {

struct PointF {
  double x = 0;
  double y = 0;
};

// The arrow from `start` to the tip `end` as one closed polygon of 7 points:
// start, the shaft's corner on the head's base, a barb, the tip, the other
// barb, the other corner, start again. The head is 20 pixels long and opens
// by a half-angle of 0.2, 0.4 or 0.6 radians for the width presets 1, 3 and
// 5. A vertical arrow is built with its tip 1 pixel to the left, so that the
// slope is finite and the head still shows.
std::array<PointF, 7> ArrowOutline(Point start, Point end, int width);

// Even-odd rule: whether (x, y) lies inside the closed polygon `points`.
bool PolygonContains(const PointF* points, size_t count, double x, double y);

// The integer box that holds every point: floor of the least, ceiling of the
// greatest coordinates (empty for no points).
Rect BoundsOf(const PointF* points, size_t count);

// Whether `pt` lies within `reach` pixels of the open polyline `points`:
// round where two segments meet, flat (cut square) at both of its ends.
bool StrokeHit(const std::vector<Point>& points, Point pt, double reach);

// The runs of consecutive points (first index, count) whose segments come
// within `margin` of `area`: all a painter clipped to `area` has to draw of
// the stroke. A single-point stroke is one run when the point is near.
std::vector<std::pair<size_t, size_t>> StrokeRunsNear(const std::vector<Point>& points, const Rect& area, int margin);

// The box of the two points of a segment grown by `margin` on every side.
Rect SegmentBox(Point a, Point b, int margin);

}  // namespace ScreenCapture
