#include "shapes/BrushShade.h"

#include <windows.h>
#include <gdiplus.h>

#include <algorithm>
#include <cmath>

#include "contracts/ICaptureControl.h"
#include "core/Mosaic.h"
#include "core/StrokeGeometry.h"
#include "shapes/Commands.h"

namespace ScreenCapture {

void CBrushShade::OnCreateStart(Point& pt, bool& handled) {
  CBaseShade::OnCreateStart(pt, handled);
  // The stroke starts where the button went down, not where the first move
  // that arrived happens to be.
  Point start = m_startPoint;
  ClampToLimit(start);
  MapPointFromView(start);
  AddPoint(start);
}

void CBrushShade::AddPoint(const Point& pt) {
  const Point previous = m_points.empty() ? pt : m_points.back();
  m_points.push_back(pt);
  m_rect = m_points.size() == 1 ? Rect{pt.x, pt.y, 0, 0}
                                : Rect::FromEdges(std::min(m_rect.x, pt.x), std::min(m_rect.y, pt.y),
                                                  std::max(m_rect.Right(), pt.x), std::max(m_rect.Bottom(), pt.y));
  // Only the new segment changes on the screen.
  RequestRepaintArea(SegmentBox(previous, pt, GetStrokeWidth() / 2 + 2));
}

void CBrushShade::OnCreating(Point& pt, bool& handled) {
  CBaseShade::OnCreating(pt, handled);
  MapPointFromView(m_endPoint);
  AddPoint(m_endPoint);
}

void CBrushShade::BeginMove(Point& pt, bool& handled) {
  m_startPoint = pt;
  m_endPoint = pt;
  CBaseShade::BeginMove(pt, handled);
}

void CBrushShade::OnMoving(Point& pt, bool& handled) {
  CBaseShade::OnMoving(pt, handled);
  MoveTo(pt);
}

std::shared_ptr<ICommand> CBrushShade::MakeEditCommand() {
  const std::shared_ptr<CBrushShade> self = SharedSelf(this);
  if (!self || !EditedByDrag() || m_state != kStateMoving) return nullptr;
  return std::make_shared<ShapeEditCommand<CBrushShade, Point>>(self, GetPressOffset(), GetOffset(),
                                                                [](CBrushShade& shape, const Point& from, const Point& to) {
                                                                  shape.SetOffset(from);
                                                                  shape.MoveTo(to);
                                                                });
}

bool CBrushShade::MoveTo(const Point& pt) {
  const int dx = pt.x - m_startPoint.x, dy = pt.y - m_startPoint.y;
  m_startPoint = pt;
  if (m_points.empty()) return false;
  for (Point& p : m_points) p = Point{p.x + dx, p.y + dy};
  m_rect.x += dx;
  m_rect.y += dy;
  RequestRepaint();
  return true;
}

bool CBrushShade::HitTest(const Point& view) {
  Point pt = view;
  MapPointFromView(pt);
  const double reach = (m_width + 3) / 2.0;
  const int grow = static_cast<int>(std::ceil(reach)) + 1;
  const Rect nearby{m_rect.x - grow, m_rect.y - grow, m_rect.width + 2 * grow, m_rect.height + 2 * grow};
  return nearby.Contains(pt) && StrokeHit(m_points, pt, reach);
}

void CBrushShade::StrokeWith(Gdiplus::Graphics* graphics, Gdiplus::Pen* pen) const {
  if (m_points.size() < 2 || !pen) return;
  // Where the shape's space lies in the drawing (the editor's shapes lie
  // lower by their scroll offset), and what is being painted, in the
  // shape's space: a long stroke is drawn only where it shows.
  const Rect shift = MapRect(Rect{});
  Rect area = VisibleBounds(graphics);
  area.x -= shift.x;
  area.y -= shift.y;
  // One path of a figure per run: a single stroke call, however often the
  // stroke crosses the area.
  Gdiplus::GraphicsPath path;
  std::vector<Gdiplus::Point> run;
  for (const auto& [first, count] : StrokeRunsNear(m_points, area, GetStrokeWidth() / 2 + 2)) {
    run.clear();
    for (size_t i = first; i < first + count; ++i) run.emplace_back(m_points[i].x + shift.x, m_points[i].y + shift.y);
    path.StartFigure();
    path.AddLines(run.data(), static_cast<INT>(run.size()));
  }
  if (path.GetPointCount() > 0) graphics->DrawPath(pen, &path);
}

void CBrushShade::Draw(Gdiplus::Graphics* graphics, bool /*withoutHandles*/) {
  Gdiplus::Pen pen(Gdiplus::Color(m_color), static_cast<Gdiplus::REAL>(m_width));
  pen.SetLineJoin(Gdiplus::LineJoinRound);
  StrokeWith(graphics, &pen);
}

int CMosaicShade::GetStrokeWidth() const { return MosaicStrokeWidth(m_width); }

void CMosaicShade::Draw(Gdiplus::Graphics* graphics, bool /*withoutHandles*/) {
  ICaptureControl* control = ActiveControl();
  if (!control || m_points.size() < 2) return;
  StrokeWith(graphics, control->GetMosaicImage(GetStrokeWidth()));
}

}  // namespace ScreenCapture
