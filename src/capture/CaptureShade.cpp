#include "capture/CaptureShade.h"

#include <gdiplus.h>

#include "capture/ICaptureControl.h"
#include "capture/ICaptureWindow.h"
#include "capture/VirtualScreen.h"
#include "common/Logger.h"
#include "core/ShapeGeometry.h"
#include "ui/GdiHandles.h"

namespace ScreenCapture {

CCaptureShade::CCaptureShade() {
  m_color = kFrameColor;
  m_width = 3;
  m_handleRadius = 4;
  m_handleBorderWidth = 1;
}

CCaptureShade::~CCaptureShade() = default;

ICaptureControl* CCaptureShade::Control() {
  ICaptureWindow* window = GetCaptureWindow();
  return window ? window->GetCaptureControl() : nullptr;
}

const Rect& CCaptureShade::GetLimitRect() {
  static Rect bounds;
  const Rect& screen = GetVirtualScreenRect();
  bounds = Rect{0, 0, screen.width, screen.height};
  return bounds;
}

bool CCaptureShade::HitTest(const Point& pt) {
  // The toolbar's tool choice joins this test once the toolbar exists.
  return m_rect.Contains(pt) && m_shapes.empty();
}

void CCaptureShade::SetState(int state) {
  m_state = state;
  if (state != kStateNew) RequestRepaint();
}

void CCaptureShade::OnLButtonUp(Point& pt, bool& handled) {
  if ((m_rect.width == 0 || m_rect.height == 0) && GetCaptureType() == kCaptureNormal) {
    // Nothing chosen: start again with a fresh capture.
    if (ICaptureControl* control = Control()) control->ResetCapture();
    return;
  }
  CRectShade::OnLButtonUp(pt, handled);
}

void CCaptureShade::Draw(Gdiplus::Graphics* graphics, bool withoutHandles) {
  const int flag = withoutHandles ? kOutputResult : kOutputScreen;
  DrawOverlayBefore(graphics);
  DrawSizeLabel(graphics);
  DrawHandles(graphics, flag);
  DrawSelection(graphics, flag);
  graphics->IntersectClip(Gdiplus::Rect(m_rect.x, m_rect.y, m_rect.width, m_rect.height));
  DrawShapes(graphics, flag);
  graphics->ResetClip();
  if (flag == kOutputScreen && m_rect.width > 0 && m_rect.height > 0 && ShouldShowHandles()) {
    // Once more, so that no annotation covers a handle.
    for (const auto& handle : m_handles) DrawHandle(graphics, handle.second);
  }
  DrawOverlayAfter(graphics);
  DrawMagnifier(graphics);
}

void CCaptureShade::DrawShapes(Gdiplus::Graphics* graphics, int outputFlag) {
  // Mosaics lie under every other annotation; newer shapes cover older ones.
  const bool withoutHandles = outputFlag != kOutputScreen;
  const bool currentIsMosaic = m_currentShape && m_currentShape->GetType() == kShapeMosaic;
  if (currentIsMosaic) m_currentShape->Draw(graphics, withoutHandles);
  for (const ShapePtr& shape : m_shapes) {
    if (shape->GetType() == kShapeMosaic) shape->Draw(graphics, withoutHandles);
  }
  for (const ShapePtr& shape : m_shapes) {
    if (shape->GetType() != kShapeMosaic) shape->Draw(graphics, withoutHandles);
  }
  if (m_currentShape && !currentIsMosaic) m_currentShape->Draw(graphics, withoutHandles);
}

void CCaptureShade::DrawSelection(Gdiplus::Graphics* graphics, int outputFlag) {
  ICaptureControl* control = Control();
  const HDC source = control ? control->GetScreenDC() : nullptr;
  if (!source) return;
  // On the screen the frame keeps its own pixels; the result takes it all.
  const Rect area = outputFlag == kOutputScreen ? InsetRect(m_rect, m_width) : m_rect;
  if (area.width <= 0 || area.height <= 0) return;
  const HDC target = graphics->GetHDC();
  if (!target) return;
  ::BitBlt(target, area.x, area.y, area.width, area.height, source, area.x, area.y, SRCCOPY | CAPTUREBLT);
  graphics->ReleaseHDC(target);
}

void CCaptureShade::DrawHandles(Gdiplus::Graphics* graphics, int outputFlag) {
  if (outputFlag != kOutputScreen || m_rect.width <= 0 || m_rect.height <= 0) return;
  DrawFrame(graphics);
  if (!ShouldShowHandles()) return;
  for (const auto& handle : m_handles) DrawHandle(graphics, handle.second);
}

void CCaptureShade::DrawHandle(Gdiplus::Graphics* graphics, const Rect& box) {
  Gdiplus::SolidBrush fill(Gdiplus::Color(0xFFFFFFFF));
  Gdiplus::Pen outline(Gdiplus::Color(m_color), static_cast<Gdiplus::REAL>(m_handleBorderWidth));
  graphics->FillEllipse(&fill, box.x, box.y, box.width, box.height);
  graphics->DrawEllipse(&outline, box.x, box.y, box.width, box.height);
}

// The magnifier and the size label come with region selection.
void CCaptureShade::DrawMagnifier(Gdiplus::Graphics*) {}
void CCaptureShade::DrawSizeLabel(Gdiplus::Graphics*) {}

void CCaptureShade::HandleEvent(DuiLib::TEventUI& event) {
  Point pt{static_cast<int>(event.ptMouse.x), static_cast<int>(event.ptMouse.y)};
  bool handled = false;
  switch (event.Type) {
    case DuiLib::UIEVENT_BUTTONDOWN:
      OnLButtonDown(pt, handled);
      break;
    case DuiLib::UIEVENT_MOUSEMOVE:
      OnMouseMove(pt, handled);
      break;
    case DuiLib::UIEVENT_BUTTONUP:
      OnLButtonUp(pt, handled);
      break;
    case DuiLib::UIEVENT_RBUTTONUP:
      OnRButtonUp(pt, handled);
      break;
    default:
      break;
  }
}

void CCaptureShade::OnRButtonUp(Point&, bool&) {
  if (m_state == kStateNew || m_state == kStatePressed || m_state == kStateCreating) {
    if (ICaptureWindow* window = GetCaptureWindow()) window->CloseCapture();
  } else if (m_state == kStateIdle && m_shapes.empty() && !m_currentShape) {
    // Back to offering windows (the undo and redo stacks are emptied here
    // once the toolbar holds them).
    SetState(kStateNew);
  }
}

void CCaptureShade::BeginShape(Point&, bool&) {}

int CCaptureShade::OnFirstCaptureSelected() { return 0; }

// The output actions come with the toolbar.
void CCaptureShade::SaveToFile(int* saved) {
  if (saved) *saved = 0;
}
void CCaptureShade::FinishCapture() {}
void CCaptureShade::SendToOcr() {}

Gdiplus::Bitmap* CCaptureShade::RenderResult() { return nullptr; }

HDC CCaptureShade::GetSourceDC() {
  ICaptureControl* control = Control();
  return control ? control->GetScreenDC() : nullptr;
}

HBITMAP CCaptureShade::GetCaptureBitmap() {
  const Rect& screen = GetVirtualScreenRect();
  const HDC source = GetSourceDC();
  if (!source || !IsGrabbableScreen(screen)) return nullptr;
  void* bits = nullptr;
  DuiLib::Bitmap bitmap(DuiLib::CreateDib32(source, screen.width, screen.height, &bits));
  DuiLib::MemoryDC dc(source);
  if (!bitmap || !dc) {
    LOG_ERR(L"capture bitmap %dx%d could not be made", screen.width, screen.height);
    return nullptr;
  }
  {
    DuiLib::SelectGuard select(dc.Get(), bitmap.Get());
    ::BitBlt(dc.Get(), 0, 0, screen.width, screen.height, source, 0, 0, SRCCOPY | CAPTUREBLT);
    Gdiplus::Graphics graphics(dc.Get());
    graphics.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias8x8);
    graphics.SetCompositingQuality(Gdiplus::CompositingQualityHighQuality);
    Draw(&graphics, true);
  }
  return bitmap.Release();
}

}  // namespace ScreenCapture
