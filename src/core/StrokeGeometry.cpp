#include "core/StrokeGeometry.h"

#include <algorithm>
#include <cmath>

namespace ScreenCapture {

std::array<PointF, 7> ArrowOutline(Point start, Point end, int width) {
  const double a = width == 1 ? 0.2 : width == 5 ? 0.6 : 0.4;
  const double x1 = start.x, y1 = start.y, y2 = end.y;
  const double x2 = end.x == start.x ? end.x - 1.0 : static_cast<double>(end.x);
  const double theta = std::atan((y2 - y1) / (x2 - x1));
  // The barbs point back towards the start.
  const double length = x2 > x1 ? -20.0 : 20.0;
  const PointF p1{x2 + length * std::cos(theta - a), y2 + length * std::sin(theta - a)};
  const PointF p2{x2 + length * std::cos(theta + a), y2 + length * std::sin(theta + a)};
  const PointF q1{p1.x + 0.25 * (p2.x - p1.x), p1.y + 0.25 * (p2.y - p1.y)};
  const PointF q2{p1.x + 0.75 * (p2.x - p1.x), p1.y + 0.75 * (p2.y - p1.y)};
  return {PointF{x1, y1}, q1, p1, PointF{x2, y2}, p2, q2, PointF{x1, y1}};
}

bool PolygonContains(const PointF* points, size_t count, double x, double y) {
  bool inside = false;
  for (size_t i = 0, j = count ? count - 1 : 0; i < count; j = i++) {
    const PointF& a = points[i];
    const PointF& b = points[j];
    if ((a.y > y) != (b.y > y) && x < (b.x - a.x) * (y - a.y) / (b.y - a.y) + a.x) inside = !inside;
  }
  return inside;
}

Rect BoundsOf(const PointF* points, size_t count) {
  if (!count) return Rect{};
  double left = points[0].x, top = points[0].y, right = left, bottom = top;
  for (size_t i = 1; i < count; ++i) {
    left = std::min(left, points[i].x), right = std::max(right, points[i].x);
    top = std::min(top, points[i].y), bottom = std::max(bottom, points[i].y);
  }
  return Rect::FromEdges(static_cast<int>(std::floor(left)), static_cast<int>(std::floor(top)),
                         static_cast<int>(std::ceil(right)), static_cast<int>(std::ceil(bottom)));
}

namespace {

// Where the projection of `p` falls on the segment a-b (0 at a, 1 at b),
// and the squared distance to the nearest point of the segment.
std::pair<double, double> Nearest(Point a, Point b, Point p) {
  const double dx = b.x - a.x, dy = b.y - a.y;
  const double px = p.x - a.x, py = p.y - a.y;
  const double length2 = dx * dx + dy * dy;
  const double t = length2 > 0 ? (px * dx + py * dy) / length2 : 0.0;
  const double c = std::clamp(t, 0.0, 1.0);
  const double ex = px - c * dx, ey = py - c * dy;
  return {t, ex * ex + ey * ey};
}

}  // namespace

bool StrokeHit(const std::vector<Point>& points, Point pt, double reach) {
  const double reach2 = reach * reach;
  if (points.size() == 1) return false;  // a lone point paints nothing
  for (size_t i = 1; i < points.size(); ++i) {
    const auto [t, distance2] = Nearest(points[i - 1], points[i], pt);
    if (distance2 > reach2) continue;
    // Beyond the stroke's first or last point the pen is cut flat.
    if (i == 1 && t < 0 && points[0] != points[1]) continue;
    if (i + 1 == points.size() && t > 1 && points[i - 1] != points[i]) continue;
    return true;
  }
  return false;
}

Rect SegmentBox(Point a, Point b, int margin) {
  return Rect::FromEdges(std::min(a.x, b.x) - margin, std::min(a.y, b.y) - margin, std::max(a.x, b.x) + margin + 1,
                         std::max(a.y, b.y) + margin + 1);
}

std::vector<std::pair<size_t, size_t>> StrokeRunsNear(const std::vector<Point>& points, const Rect& area, int margin) {
  std::vector<std::pair<size_t, size_t>> runs;
  if (points.empty() || area.IsEmpty()) return runs;
  if (points.size() == 1) {
    if (!SegmentBox(points[0], points[0], margin).Intersect(area).IsEmpty()) runs.emplace_back(0, 1);
    return runs;
  }
  for (size_t i = 1; i < points.size(); ++i) {
    if (SegmentBox(points[i - 1], points[i], margin).Intersect(area).IsEmpty()) continue;
    // Segment i-1 .. i is needed: extend the current run or start one.
    if (!runs.empty() && runs.back().first + runs.back().second == i) {
      ++runs.back().second;
    } else {
      runs.emplace_back(i - 1, 2);
    }
  }
  return runs;
}

}  // namespace ScreenCapture
