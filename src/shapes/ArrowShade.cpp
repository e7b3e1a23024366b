#include "shapes/ArrowShade.h"

#include <windows.h>
#include <gdiplus.h>

#include <utility>

#include "shapes/Commands.h"

namespace ScreenCapture {

namespace {
Rect EndBox(const Point& p) { return Rect{p.x - 8, p.y - 8, 16, 16}; }
}  // namespace

std::shared_ptr<ICommand> CArrawShade::MakeEditCommand() {
  const std::shared_ptr<CArrawShade> self = SharedSelf(this);
  if (!self || !EditedByDrag()) return nullptr;
  using Ends = std::pair<Point, Point>;
  return std::make_shared<ShapeEditCommand<CArrawShade, Ends>>(
      self, Ends{m_savedStart, m_savedEnd}, Ends{m_startPoint, m_endPoint},
      [](CArrawShade& shape, const Ends&, const Ends& to) { shape.SetPoints(to.first, to.second); });
}

void CArrawShade::SetPoints(const Point& start, const Point& end) {
  m_startPoint = start;
  m_endPoint = end;
  m_placed = true;
  m_startBox = EndBox(start);
  m_endBox = EndBox(end);
  m_outline = ArrowOutline(start, end, m_width);
  // The outline's bounds: what the arrow covers, also when it is exactly
  // horizontal or vertical.
  m_rect = BoundsOf(m_outline.data(), m_outline.size());
  RequestRepaint();
}

void CArrawShade::SetWidth(int width) {
  CBaseShade::SetWidth(width);
  if (m_placed) SetPoints(m_startPoint, m_endPoint);
}

void CArrawShade::Draw(Gdiplus::Graphics* graphics, bool withoutHandles) {
  if (!m_placed) return;
  Gdiplus::PointF points[7];
  const Rect shift = MapRect(Rect{});  // where the shape's space lies in the drawing
  for (size_t i = 0; i < m_outline.size(); ++i) {
    points[i] = Gdiplus::PointF(static_cast<Gdiplus::REAL>(m_outline[i].x + shift.x),
                                static_cast<Gdiplus::REAL>(m_outline[i].y + shift.y));
  }
  Gdiplus::SolidBrush fill{Gdiplus::Color(m_color)};
  graphics->FillPolygon(&fill, points, 7, Gdiplus::FillModeAlternate);
  if (!withoutHandles && IsSelected()) {
    DrawHandleBox(graphics, MapRect(m_startBox));
    DrawHandleBox(graphics, MapRect(m_endBox));
  }
}

bool CArrawShade::HitTest(const Point& pt) {
  Point p = pt;
  MapPointFromView(p);
  return m_placed && PolygonContains(m_outline.data(), m_outline.size(), p.x, p.y);
}

bool CArrawShade::HitTestHandle(const Point& pt) {
  if (!m_placed) return false;
  const bool onStart = MapRectToView(m_startBox).Contains(pt);
  if (m_state == kStateIdle) m_grabbedEnd = onStart ? 1 : 0;
  return onStart || MapRectToView(m_endBox).Contains(pt);
}

void CArrawShade::SaveEnds() {
  m_savedStart = m_startPoint;
  m_savedEnd = m_endPoint;
}

void CArrawShade::BeginMove(Point& pt, bool& handled) {
  SaveEnds();
  CBaseShade::BeginMove(pt, handled);
}

void CArrawShade::BeginResize(Point& pt, bool& handled) {
  SaveEnds();
  CBaseShade::BeginResize(pt, handled);
}

void CArrawShade::OnCreating(Point& pt, bool& handled) {
  CBaseShade::OnCreating(pt, handled);
  MapPointFromView(m_endPoint);
  SetPoints(m_startPoint, m_endPoint);
}

void CArrawShade::OnMoving(Point& pt, bool& handled) {
  CBaseShade::OnMoving(pt, handled);
  const int dx = pt.x - m_lastPoint.x, dy = pt.y - m_lastPoint.y;
  SetPoints(Point{m_startPoint.x + dx, m_startPoint.y + dy}, Point{m_endPoint.x + dx, m_endPoint.y + dy});
}

void CArrawShade::OnResizing(Point& pt, bool& handled) {
  handled = true;
  Point p = pt;
  ClampToLimit(p);
  MapPointFromView(p);
  if (m_grabbedEnd == 0) {
    SetPoints(m_startPoint, p);
  } else {
    SetPoints(p, m_endPoint);
  }
}

}  // namespace ScreenCapture
