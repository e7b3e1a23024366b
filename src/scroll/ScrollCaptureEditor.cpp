#include "scroll/ScrollCaptureEditor.h"

#include <gdiplus.h>

#include <algorithm>

#include "contracts/ICaptureControl.h"
#include "contracts/ICaptureWindow.h"
#include "common/VirtualScreen.h"
#include "common/SkinFonts.h"
#include "common/Logger.h"
#include "common/StringUtils.h"
#include "core/ScrollEditorLayout.h"
#include "core/ShapeGeometry.h"
#include "contracts/ICaptureMenu.h"
#include "scroll/ScrollTip.h"

namespace ScreenCapture {

namespace {

// 可调整截图宽度
constexpr const char* kWidthTip = "\xE5\x8F\xAF\xE8\xB0\x83\xE6\x95\xB4\xE6\x88\xAA\xE5\x9B\xBE\xE5\xAE\xBD\xE5\xBA\xA6";

// The primary monitor (the one holding the point 1,1) in capture coordinates.
Rect PrimaryMonitor() {
  MONITORINFO info = {};
  info.cbSize = sizeof(info);
  const HMONITOR monitor = ::MonitorFromPoint(POINT{1, 1}, MONITOR_DEFAULTTOPRIMARY);
  const Rect& screen = GetVirtualScreenRect();
  if (!monitor || !::GetMonitorInfoW(monitor, &info)) return Rect{0, 0, screen.width, screen.height};
  const RECT& r = info.rcMonitor;
  return ScreenToCapture(Rect{r.left, r.top, r.right - r.left, r.bottom - r.top}, screen);
}

}  // namespace

CScrollCaptureEditor::CScrollCaptureEditor(HBITMAP longImage, const Rect& selection) {
  m_color = kFrameColor;
  m_width = 1;
  BITMAP held = {};
  if (!longImage || ::GetObjectW(longImage, sizeof(held), &held) != sizeof(held) || held.bmWidth <= 0) {
    LOG_ERR(L"scroll editor: no long image");
    return;
  }
  const int imageWidth = held.bmWidth;
  m_bitmapHeight = held.bmHeight < 0 ? -held.bmHeight : held.bmHeight;
  const Rect placed = PlaceEditor(selection, PrimaryMonitor(), m_bitmapHeight, m_width);
  SetRect(placed);
  m_state = kStateIdle;
  // The canvas: capture coordinates from the origin down to the image's end.
  const Rect bounds = InsetRect(placed, m_width);
  m_imageLeft = bounds.x;
  m_imageRight = bounds.x + imageWidth;
  const int canvasWidth = bounds.x + imageWidth, canvasHeight = bounds.y + m_bitmapHeight;
  WindowDC screen(nullptr);
  void* bits = nullptr;
  UniqueBitmap canvas = CreateDib32(screen.Get(), canvasWidth, canvasHeight, &bits);
  if (!m_canvas.Attach(MemoryDC(screen.Get()), std::move(canvas))) {
    LOG_ERR(L"scroll editor: a canvas of %dx%d could not be made", canvasWidth, canvasHeight);
    return;
  }
  MemoryDC source(screen.Get());
  {
    SelectGuard select(source.Get(), longImage);
    ::BitBlt(m_canvas.GetDC(), bounds.x, bounds.y, imageWidth, m_bitmapHeight, source.Get(), 0, 0, SRCCOPY);
  }
  LOG_INF(L"scroll editor %d,%d %dx%d on a long image of %dx%d", placed.x, placed.y, placed.width, placed.height,
          imageWidth, m_bitmapHeight);
}

CScrollCaptureEditor::~CScrollCaptureEditor() = default;

bool CScrollCaptureEditor::SetRect(const Rect& rect) {
  const bool changed = CCaptureShade::SetRect(rect);
  m_captureBounds = InsetRect(m_rect, m_width);
  return changed;
}

void CScrollCaptureEditor::UpdateHandles() {
  // Six handles on the frame's centre line, all of them moving sideways only.
  const auto c = HandleCentres(GetRect(), GetFrameWidth());
  m_handles.clear();
  m_handles[8] = HandleBox(c[0], m_handleRadius);
  m_handles[10] = HandleBox(c[2], m_handleRadius);
  m_handles[3] = HandleBox(c[3], m_handleRadius);
  m_handles[4] = HandleBox(c[4], m_handleRadius);
  m_handles[9] = HandleBox(c[5], m_handleRadius);
  m_handles[11] = HandleBox(c[7], m_handleRadius);
}

void CScrollCaptureEditor::OnResizing(Point& pt, bool& handled) {
  handled = true;
  // Narrower or wider, never past the long image's own columns.
  const Rect columns = Rect::FromEdges(m_imageLeft - m_width, m_rect.y, m_imageRight + m_width, m_rect.Bottom());
  Rect resized;
  if (ResizeRegion(m_grabbedHandle, m_pressRect, pt, AnnotationBounds(), columns, GetStrokeWidth(), resized) &&
      resized.width > 2 * m_width + 1) {
    SetRect(resized);
  }
}

Rect CScrollCaptureEditor::Thumb() const { return ThumbRect(m_captureBounds, m_bitmapHeight, m_scrollOffset); }

bool CScrollCaptureEditor::HitTest(const Point&) { return false; }

void CScrollCaptureEditor::OnLButtonDown(Point& pt, bool& handled) {
  if (!m_currentShape && !HitTestHandle(pt)) {
    switch (ClassifyBarPress(Thumb(), pt)) {
      case BarPress::kThumb:
        handled = true;
        m_thumbDrag = true;
        m_thumbPress = pt;
        m_thumbPressOffset = m_scrollOffset;
        return;
      case BarPress::kAbove:
        handled = true;
        ScrollTo(ClampOffset(static_cast<long long>(m_scrollOffset) - m_captureBounds.height, m_bitmapHeight,
                             m_captureBounds.height),
                 pt);
        return;
      case BarPress::kBelow:
        handled = true;
        ScrollTo(ClampOffset(static_cast<long long>(m_scrollOffset) + m_captureBounds.height, m_bitmapHeight,
                             m_captureBounds.height),
                 pt);
        return;
      case BarPress::kBeside:
        // Only while no tool is chosen: a press that would start nothing.
        if (ICaptureMenu* menu = Menu(); !menu || menu->GetShapeType() == kShapeNone) {
          if (GetSelected() == nullptr) {
            LOG_ERR(L"出错了，鼠标点击在哪里了?");
            handled = true;
            return;
          }
        }
        break;
      case BarPress::kNone:
        break;
    }
  }
  CCaptureShade::OnLButtonDown(pt, handled);
}

void CScrollCaptureEditor::OnMouseMove(Point& pt, bool& handled) {
  if (m_thumbDrag) {
    handled = true;
    ScrollTo(DragOffset(m_thumbPressOffset, pt.y - m_thumbPress.y, m_bitmapHeight, m_captureBounds.height), pt);
    return;
  }
  CCaptureShade::OnMouseMove(pt, handled);
}

void CScrollCaptureEditor::OnLButtonUp(Point& pt, bool& handled) {
  if (m_thumbDrag) {
    m_thumbDrag = false;
    handled = true;
    return;
  }
  CCaptureShade::OnLButtonUp(pt, handled);
}

void CScrollCaptureEditor::BeginShape(Point& pt, bool& handled) {
  ICaptureMenu* menu = Menu();
  if (!menu) return;
  m_currentShape = menu->CreateShape();
  if (!m_currentShape) return;
  // The shape keeps the offset it was started at: its coordinates are the
  // view's of this moment.
  m_currentShape->SetScrollOffset(m_scrollOffset);
  menu->SetSelectedShape(m_currentShape);
  m_currentShape->BeginCreate(pt, handled);
}

void CScrollCaptureEditor::ScrollUp(const Point& pt) {
  if (m_bitmapHeight <= m_captureBounds.height || m_scrollOffset <= 0) return;
  ScrollTo(ScrollOffsetBy(m_scrollOffset, -kEditorScrollRows, m_bitmapHeight, m_captureBounds.height), pt);
}

void CScrollCaptureEditor::ScrollDown(const Point& pt) {
  if (m_bitmapHeight <= m_captureBounds.height) return;
  ScrollTo(ScrollOffsetBy(m_scrollOffset, kEditorScrollRows, m_bitmapHeight, m_captureBounds.height), pt);
}

void CScrollCaptureEditor::ScrollTo(int offset, const Point& pt) {
  if (offset == m_scrollOffset) return;
  m_scrollOffset = offset;
  // A drag in progress follows the content.
  Point at = pt;
  bool handled = false;
  if (m_currentShape) {
    m_currentShape->OnMouseMove(at, handled);
  } else if (const ShapePtr selected = GetSelected()) {
    if (selected->GetState() != kStateIdle) selected->OnMouseMove(at, handled);
  }
  Repaint();
}

void CScrollCaptureEditor::HandleEvent(DuiLib::TEventUI& event) {
  const Point pt{static_cast<int>(event.ptMouse.x), static_cast<int>(event.ptMouse.y)};
  if (event.Type == DuiLib::UIEVENT_SCROLLWHEEL) {
    if (event.wParam == SB_LINEUP) ScrollUp(pt);
    if (event.wParam == SB_LINEDOWN) ScrollDown(pt);
    return;
  }
  if (event.Type == DuiLib::UIEVENT_KEYDOWN && (event.wParam == VK_UP || event.wParam == VK_DOWN)) {
    POINT cursor = {};
    ::GetCursorPos(&cursor);
    const Point at = ScreenToCapture(Point{static_cast<int>(cursor.x), static_cast<int>(cursor.y)}, GetVirtualScreenRect());
    if (event.wParam == VK_UP) ScrollUp(at);
    if (event.wParam == VK_DOWN) ScrollDown(at);
    return;
  }
  CCaptureShade::HandleEvent(event);
}

void CScrollCaptureEditor::RenderCanvasArea(HDC target, const Rect& area, bool withoutHandles) {
  // Rows past the image's end (a view higher than the image) stay black.
  ::PatBlt(target, 0, 0, area.width, area.height, BLACKNESS);
  ::BitBlt(target, 0, 0, area.width, area.height, m_canvas.GetDC(), area.x, area.y, SRCCOPY);
  Gdiplus::Graphics graphics(target);
  graphics.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias8x8);
  graphics.SetCompositingQuality(Gdiplus::CompositingQualityHighQuality);
  graphics.TranslateTransform(static_cast<Gdiplus::REAL>(-area.x), static_cast<Gdiplus::REAL>(-area.y));
  graphics.SetClip(Gdiplus::Rect(area.x, area.y, area.width, area.height));
  for (const ShapePtr& shape : DrawOrder()) shape->Draw(&graphics, withoutHandles);
}

void CScrollCaptureEditor::DrawShapes(Gdiplus::Graphics* graphics, int outputFlag) {
  const Rect& view = m_captureBounds;
  if (!m_canvas || view.width <= 0 || view.height <= 0) return;
  if (!m_view || m_viewSize.width != view.width || m_viewSize.height != view.height) {
    void* bits = nullptr;
    WindowDC screen(nullptr);
    m_view.Attach(MemoryDC(screen.Get()),
                  CreateDib32(screen.Get(), view.width, view.height, &bits));
    m_viewSize = view;
    if (!m_view) return;
  }
  // Only the rows the view shows, with the shapes over them.
  RenderCanvasArea(m_view.GetDC(), Rect{view.x, view.y + m_scrollOffset, view.width, view.height},
                   outputFlag != kOutputScreen);
  const Point offset = DeviceOffset(graphics);
  if (const HDC target = graphics->GetHDC()) {
    ::BitBlt(target, view.x + offset.x, view.y + offset.y, view.width, view.height, m_view.GetDC(), 0, 0,
             SRCCOPY | CAPTUREBLT);
    graphics->ReleaseHDC(target);
  }
  if (outputFlag != kOutputScreen || view.height >= m_bitmapHeight) return;
  const Rect thumb = Thumb();
  Gdiplus::SolidBrush fill{Gdiplus::Color(0xC8000000)};
  graphics->FillRectangle(&fill, thumb.x, thumb.y, thumb.width, thumb.height);
  LOG_DBG(L"m_bitmapHeight = %d,  m_captureBounds.Height = %d", m_bitmapHeight, view.height);
}

void CScrollCaptureEditor::DrawOverlayAfter(Gdiplus::Graphics* graphics) {
  // The tip is shown with the first paint only.
  if (m_tipText == kWidthTip) return;
  m_tipText = kWidthTip;
  LOG_DBG(L"m_tipText = %s", Utf8ToUtf16(m_tipText).c_str());
  DrawTipBox(graphics, m_tipText, m_captureBounds, 242);
}

std::unique_ptr<Gdiplus::Bitmap> CScrollCaptureEditor::RenderResult() {
  // The whole long image at the chosen width, with the annotations.
  const Rect area{m_captureBounds.x, m_captureBounds.y, m_captureBounds.width, m_bitmapHeight};
  if (!m_canvas || area.width <= 0 || area.height <= 0) return nullptr;
  void* bits = nullptr;
  MemoryDC dc(m_canvas.GetDC());
  UniqueBitmap image = CreateDib32(m_canvas.GetDC(), area.width, area.height, &bits);
  if (!dc || !image) {
    LOG_ERR(L"long result %dx%d could not be made", area.width, area.height);
    return nullptr;
  }
  {
    SelectGuard select(dc.Get(), image.Get());
    RenderCanvasArea(dc.Get(), area, true);
  }
  ::GdiFlush();
  Gdiplus::Bitmap view(area.width, area.height, area.width * 4, PixelFormat32bppRGB, static_cast<BYTE*>(bits));
  std::unique_ptr<Gdiplus::Bitmap> copy(view.Clone(0, 0, area.width, area.height, PixelFormat32bppARGB));
  if (copy && copy->GetLastStatus() != Gdiplus::Ok) copy.reset();
  if (!copy) LOG_ERR(L"long result %dx%d could not be copied for output", area.width, area.height);
  return copy;
}

HBITMAP CScrollCaptureEditor::GetCaptureBitmap() {
  if (!m_canvas) return nullptr;
  const Rect area{m_captureBounds.x, m_captureBounds.y, m_captureBounds.width, m_bitmapHeight};
  void* bits = nullptr;
  MemoryDC dc(m_canvas.GetDC());
  UniqueBitmap image = CreateDib32(m_canvas.GetDC(), area.width, area.height, &bits);
  if (!dc || !image) return nullptr;
  {
    SelectGuard select(dc.Get(), image.Get());
    ::BitBlt(dc.Get(), 0, 0, area.width, area.height, m_canvas.GetDC(), area.x, area.y, SRCCOPY);
  }
  return image.Release();
}

}  // namespace ScreenCapture
