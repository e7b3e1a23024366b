#include "shapes/RoundShade.h"

#include <windows.h>
#include <gdiplus.h>

namespace ScreenCapture {

CRoundShade::CRoundShade() : m_ring(std::make_unique<Gdiplus::Region>()) {
  m_ring->MakeEmpty();
  m_regionStatus = m_ring->GetLastStatus();
}

CRoundShade::~CRoundShade() = default;

bool CRoundShade::SetRect(const Rect& rect) {
  if (!CRectShade::SetRect(rect)) return false;
  RebuildRing();
  return true;
}

void CRoundShade::SetWidth(int width) {
  if (width == m_width) return;
  CRectShade::SetWidth(width);
  RebuildRing();
}

void CRoundShade::RebuildRing() {
  // A ring as thick as the stroke, inside the rectangle.
  const Rect r = m_rect;
  m_regionStatus = m_ring->MakeEmpty();
  Gdiplus::GraphicsPath outer;
  outer.AddEllipse(r.x, r.y, r.width, r.height);
  const Gdiplus::Status unionStatus = m_ring->Union(&outer);
  if (unionStatus != Gdiplus::Ok) m_regionStatus = unionStatus;
  Gdiplus::GraphicsPath inner;
  inner.AddEllipse(r.x + m_width, r.y + m_width, r.width - 2 * m_width, r.height - 2 * m_width);
  const Gdiplus::Status excludeStatus = m_ring->Exclude(&inner);
  if (excludeStatus != Gdiplus::Ok) m_regionStatus = excludeStatus;
}

void CRoundShade::Draw(Gdiplus::Graphics* graphics, bool withoutHandles) {
  Gdiplus::Pen pen(Gdiplus::Color(m_color), static_cast<Gdiplus::REAL>(m_width));
  const Rect r = GetDrawRect();
  graphics->DrawEllipse(&pen, r.x, r.y, r.width, r.height);
  if (!withoutHandles && IsSelected()) {
    DrawFrame(graphics);
    DrawAllHandles(graphics);
  }
}

bool CRoundShade::HitTest(const Point& pt) {
  Point inShape = pt;  // the ring lies where the shape's own rectangle is
  MapPointFromView(inShape);
  return GetViewRect().Contains(pt) && m_ring->IsVisible(inShape.x, inShape.y) != FALSE;
}

}  // namespace ScreenCapture
