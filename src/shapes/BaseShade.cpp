#include "shapes/BaseShade.h"

#include <windows.h>
#include <gdiplus.h>

#include <cmath>

#include "contracts/ICaptureControl.h"
#include "contracts/ICaptureShade.h"
#include "contracts/ICaptureWindow.h"
#include "core/ShapeGeometry.h"
#include "shapes/Cursors.h"

namespace ScreenCapture {

namespace {
ICaptureControl* Control() {
  ICaptureWindow* window = GetCaptureWindow();
  return window ? window->GetCaptureControl() : nullptr;
}
}  // namespace

void CBaseShade::RequestRepaint() {
  ++m_changeCount;
  if (m_repaintSuppressed) return;
  if (ICaptureControl* control = Control()) control->Invalidate();
}

ICaptureControl* CBaseShade::ActiveControl() { return Control(); }

void CBaseShade::RequestRepaintArea(const Rect& area) {
  ++m_changeCount;
  if (ICaptureControl* control = Control()) control->InvalidateArea(area);
}

int CBaseShade::EditorScrollOffset() {
  ICaptureControl* control = Control();
  ICaptureShade* mode = control ? control->GetCaptureShade() : nullptr;
  return mode ? mode->GetScrollOffset() : 0;
}

Rect CBaseShade::VisibleBounds(Gdiplus::Graphics* graphics) {
  Gdiplus::RectF visible;
  if (graphics->GetVisibleClipBounds(&visible) != Gdiplus::Ok || visible.Width <= 0 || visible.Height <= 0) {
    return Rect{-1000000, -1000000, 2000000, 2000000};
  }
  return Rect::FromEdges(static_cast<int>(std::floor(visible.X)), static_cast<int>(std::floor(visible.Y)),
                         static_cast<int>(std::ceil(visible.X + visible.Width)),
                         static_cast<int>(std::ceil(visible.Y + visible.Height)));
}

Point CBaseShade::DeviceOffset(Gdiplus::Graphics* graphics) {
  Gdiplus::Matrix transform;
  graphics->GetTransform(&transform);
  return Point{static_cast<int>(std::lround(transform.OffsetX())), static_cast<int>(std::lround(transform.OffsetY()))};
}

void CBaseShade::DrawHandleBox(Gdiplus::Graphics* graphics, const Rect& box) {
  Gdiplus::SolidBrush fill(Gdiplus::Color(0xFFFFFFFF));
  Gdiplus::Pen outline(Gdiplus::Color(0xFFFF0000), 1.0f);
  graphics->FillEllipse(&fill, box.x, box.y, box.width, box.height);
  graphics->DrawEllipse(&outline, box.x, box.y, box.width, box.height);
}

void CBaseShade::SetSelected(bool selected) {
  const int value = selected ? 1 : 0;
  if (value == m_selected) return;
  m_selected = value;
  RequestRepaint();
}

void CBaseShade::SetColor(ARGB color) {
  if (color == m_color) return;
  RequestRepaint();
  m_color = color;
}

void CBaseShade::SetSecondaryColor(ARGB color) {
  if (color == m_secondaryColor) return;
  RequestRepaint();
  m_secondaryColor = color;
}

void CBaseShade::SetWidth(int width) {
  if (width == m_width) return;
  RequestRepaint();
  m_width = width;
}

Rect CBaseShade::GetLimitRect() {
  ICaptureControl* control = Control();
  ICaptureShade* mode = control ? control->GetCaptureShade() : nullptr;
  return mode ? InsetRect(mode->GetRect(), mode->GetWidth()) : Rect{};
}

void CBaseShade::ClampToLimit(Point& pt) { pt = ClampPoint(pt, GetLimitRect(), GetStrokeWidth()); }

void CBaseShade::OnLButtonDown(Point& pt, bool& handled) {
  const bool placed = m_state == kStateIdle;
  const bool onHandle = placed && HitTestHandle(pt);
  const bool onBody = placed && !onHandle && HitTest(pt);
  const bool onExtra = placed && !onHandle && !onBody && HitTestExtra(pt);
  const PressStep step = StepForPress(m_state, onHandle, onBody, onExtra);
  if (step == PressStep::kCreate) {
    BeginCreate(pt, handled);
    return;
  }
  if (!placed) return;
  m_pressPoint = pt;
  m_lastPoint = pt;
  m_pressRect = GetRect();
  switch (step) {
    case PressStep::kResize: BeginResize(pt, handled); break;
    case PressStep::kMove: BeginMove(pt, handled); break;
    case PressStep::kExtra: OnExtraPress(pt, handled); break;
    default: break;
  }
}

void CBaseShade::OnMouseMove(Point& pt, bool& handled) {
  if (m_state == kStatePressed) {
    // A hand that slips by a pixel or two still clicks; a move out of the
    // drag rectangle starts the drag and goes on to shape what is created.
    if (!MoveStartsCreation(m_state, m_startPoint, pt, ::GetSystemMetrics(SM_CXDRAG), ::GetSystemMetrics(SM_CYDRAG))) {
      handled = true;
      return;
    }
    OnCreateStart(pt, handled);
  }
  const bool idle = m_state == kStateIdle;
  const bool onHandle = idle && HitTestHandle(pt);
  const bool onBody = idle && !onHandle && HitTest(pt);
  switch (StepForMove(m_state, pt == m_startPoint, onHandle, onBody)) {
    case MoveStep::kCreate: OnCreating(pt, handled); break;
    case MoveStep::kHoverHandle: OnHoverHandle(pt, handled); break;
    case MoveStep::kHoverBody: OnHoverBody(pt, handled); break;
    case MoveStep::kMove:
      OnMoving(pt, handled);
      m_lastPoint = pt;
      break;
    case MoveStep::kResize:
      OnResizing(pt, handled);
      m_lastPoint = pt;
      break;
    case MoveStep::kNone: break;
  }
}

void CBaseShade::OnLButtonUp(Point&, bool&) { SetState(kStateIdle); }

void CBaseShade::BeginCreate(Point& pt, bool& handled) {
  m_startPoint = pt;
  m_endPoint = pt;
  SetState(kStatePressed);
  handled = true;
}

void CBaseShade::BeginResize(Point&, bool& handled) {
  SetState(kStateResizing);
  handled = true;
}

void CBaseShade::BeginMove(Point&, bool& handled) {
  SetState(kStateMoving);
  SetShapeCursor(kCursorSizeAll);
  handled = true;
}

void CBaseShade::OnCreateStart(Point&, bool& handled) {
  SetState(kStateCreating);
  handled = true;
}

void CBaseShade::OnCreating(Point& pt, bool& handled) {
  m_endPoint = pt;
  ClampToLimit(m_endPoint);
  handled = true;
}

void CBaseShade::OnHoverHandle(Point&, bool& handled) { handled = true; }

void CBaseShade::OnHoverBody(Point&, bool& handled) {
  SetShapeCursor(kCursorSizeAll);
  handled = true;
}

void CBaseShade::OnMoving(Point& pt, bool& handled) {
  RequestRepaint();
  ClampToLimit(pt);
  handled = true;
}

}  // namespace ScreenCapture
