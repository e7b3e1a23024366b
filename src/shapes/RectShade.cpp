#include "shapes/RectShade.h"

#include <windows.h>
#include <gdiplus.h>

#include "core/ShapeGeometry.h"
#include "shapes/Commands.h"
#include "shapes/Cursors.h"

namespace ScreenCapture {

std::shared_ptr<ICommand> CRectShade::MakeEditCommand() {
  const std::shared_ptr<CRectShade> self = SharedSelf(this);
  if (!self || !EditedByDrag()) return nullptr;
  return std::make_shared<ShapeEditCommand<CRectShade, Rect>>(self, m_pressRect, m_rect,
                                                               [](CRectShade& shape, const Rect&, const Rect& to) {
                                                                 shape.SetPressRect(to);
                                                                 shape.SetRect(to);
                                                               });
}

bool IsShiftDown() { return ::GetKeyState(VK_SHIFT) < 0; }

bool CRectShade::SetRect(const Rect& rect) {
  if (rect == m_rect) return false;
  m_rect = rect;
  UpdateHandles();
  RequestRepaint();
  return true;
}

void CRectShade::SetWidth(int width) {
  if (width == m_width) return;
  CBaseShade::SetWidth(width);
  UpdateHandles();
}

void CRectShade::UpdateHandles() {
  const auto centres = HandleCentres(GetRect(), GetFrameWidth());
  m_handles.clear();
  for (int i = 0; i < kHandleCount; ++i) m_handles[i] = HandleBox(centres[static_cast<size_t>(i)], m_handleRadius);
}

int CRectShade::FindHandle(const Point& pt) const {
  for (const auto& handle : m_handles) {
    if (MapRectToView(handle.second).Contains(pt)) return handle.first;
  }
  return -1;
}

bool CRectShade::HitTestHandle(const Point& pt) { return FindHandle(pt) >= 0; }

void CRectShade::BeginResize(Point& pt, bool& handled) {
  CBaseShade::BeginResize(pt, handled);
  const int handle = FindHandle(pt);
  if (handle >= 0) {
    m_grabbedHandle = handle;
    SetShapeCursor(HandleCursorKind(handle));
  }
}

void CRectShade::OnHoverHandle(Point& pt, bool& handled) {
  m_grabbedHandle = -1;
  const int handle = FindHandle(pt);
  if (handle >= 0) {
    m_grabbedHandle = handle;
    SetShapeCursor(HandleCursorKind(handle));
    handled = true;
  }
}

bool CRectShade::ApplySquare(const Point& anchor, const Point& pointer, Point& end) {
  if (!IsShiftDown()) return false;
  // The square replaces the end point only when it stays in the region.
  const Point candidate = SquareCandidate(anchor, pointer);
  if (GetLimitRect().Contains(candidate)) end = candidate;
  return true;
}

void CRectShade::OnCreating(Point& pt, bool& handled) {
  if (!ApplySquare(m_startPoint, pt, m_endPoint)) CBaseShade::OnCreating(pt, handled);
  MapPointFromView(m_endPoint);
  SetRect(SpanRect(m_startPoint, m_endPoint));
  handled = true;
}

void CRectShade::OnMoving(Point& pt, bool& handled) {
  CBaseShade::OnMoving(pt, handled);
  Rect moved = DraggedTo(GetViewRect(), pt);
  AdjustMovedRect(moved);
  Point corner{moved.x, moved.y};
  MapPointFromView(corner);
  SetRect(Rect{corner.x, corner.y, moved.width, moved.height});
}

void CRectShade::OnResizing(Point& pt, bool& handled) {
  handled = true;
  Point fixed, moving;
  if (!ResizeCorners(m_grabbedHandle, MapRectToView(m_pressRect), pt, fixed, moving)) return;
  moving = ClampPoint(moving, GetLimitRect(), GetStrokeWidth());
  if (IsCornerHandle(m_grabbedHandle)) ApplySquare(fixed, pt, moving);
  MapPointFromView(fixed);
  MapPointFromView(moving);
  SetRect(SpanRect(fixed, moving));
}

void CRectShade::DrawHandle(Gdiplus::Graphics* graphics, const Rect& box) { DrawHandleBox(graphics, box); }

void CRectShade::DrawAllHandles(Gdiplus::Graphics* graphics) {
  for (const auto& handle : m_handles) DrawHandle(graphics, MapRect(handle.second));
}

bool CRectShade::FillFrame(Gdiplus::Graphics* graphics, const Rect& r, int width, ARGB color) {
  // An opaque frame of odd width covers whole pixels: four fills give the
  // pen's pixels without rasterising the frame's whole box (a 1-pixel pen
  // round a full screen costs tens of milliseconds antialiased).
  if ((color >> 24) != 0xFF) return false;
  const auto bands = FrameBands(r, width);
  if (bands[0].IsEmpty()) return false;
  const Gdiplus::SmoothingMode smoothing = graphics->GetSmoothingMode();
  const Gdiplus::PixelOffsetMode offset = graphics->GetPixelOffsetMode();
  graphics->SetSmoothingMode(Gdiplus::SmoothingModeNone);
  graphics->SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
  Gdiplus::SolidBrush brush{Gdiplus::Color(color)};
  for (const Rect& band : bands) {
    if (!band.IsEmpty()) graphics->FillRectangle(&brush, band.x, band.y, band.width, band.height);
  }
  graphics->SetPixelOffsetMode(offset);
  graphics->SetSmoothingMode(smoothing);
  return true;
}

void CRectShade::DrawFrame(Gdiplus::Graphics* graphics) {
  const Rect r = GetDrawRect();
  if (FillFrame(graphics, r, GetFrameWidth(), GetFrameColor())) return;
  Gdiplus::Pen pen(Gdiplus::Color(GetFrameColor()), static_cast<Gdiplus::REAL>(GetFrameWidth()));
  pen.SetDashStyle(Gdiplus::DashStyleSolid);
  pen.SetDashOffset(0.0f);
  graphics->DrawRectangle(&pen, r.x, r.y, r.width, r.height);
}

void CSquareFrameShade::Draw(Gdiplus::Graphics* graphics, bool withoutHandles) {
  if (m_rect.width > 0 && m_rect.height > 0) DrawFrame(graphics);
  if (!withoutHandles && ShouldShowHandles()) DrawAllHandles(graphics);
}

bool CSquareFrameShade::HitTest(const Point& pt) {
  const Rect view = GetViewRect();
  return view.Contains(pt) && !InsetRect(view, m_width + 3).Contains(pt);
}

}  // namespace ScreenCapture
