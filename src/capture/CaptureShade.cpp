#include "capture/CaptureShade.h"

#include <commdlg.h>
#include <gdiplus.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>

#include "capture/ICaptureControl.h"
#include "capture/WindowSourceWin32.h"
#include "common/BigDataHelper.h"
#include "menu/ICaptureMenu.h"
#include "shapes/Commands.h"
#include "shapes/Cursors.h"
#include "capture/ICaptureWindow.h"
#include "app/HandOver.h"
#include "capture/OutputActions.h"
#include "common/FileUtils.h"
#include "core/LogPath.h"
#include "core/OutputNames.h"
#include "capture/VirtualScreen.h"
#include "common/Logger.h"
#include "core/SelectionLayout.h"
#include "core/ShapeGeometry.h"
#include "ui/GdiHandles.h"

namespace ScreenCapture {

struct CCaptureShade::ContentCache {
  DuiLib::BitmapDC image;
  Rect rect;
  Rect area;  // where the snapshot came from: the selection and a margin, within the target
  int state = -1;
  unsigned frameChanges = 0;
  HDC source = nullptr;
  std::vector<std::pair<std::weak_ptr<IBaseShade>, unsigned>> shapes;  // the cached prefix, with change counts
};

namespace {
unsigned ChangeCount(const IBaseShade* shape) {
  const auto* base = dynamic_cast<const CBaseShade*>(shape);
  return base ? base->GetChangeCount() : 0;
}
}  // namespace

namespace {

ICaptureWindow* Window() { return GetCaptureWindow(); }

WindowId OwnWindow() {
  ICaptureWindow* window = Window();
  return window ? reinterpret_cast<WindowId>(window->GetHWND()) : 0;
}

std::wstring IgnoredClasses() {
  ICaptureWindow* window = Window();
  const CaptureStartParams* params = window ? window->GetStartParams() : nullptr;
  return params ? params->ignoreWindowClassName : std::wstring(kDefaultIgnoredWindowClasses);
}

int CurrentStartMode() {
  ICaptureWindow* window = Window();
  const CaptureStartParams* params = window ? window->GetStartParams() : nullptr;
  return params ? params->startMode : kStartModeNormal;
}

}  // namespace

CCaptureShade::CCaptureShade() : m_finder(OwnWindow(), IgnoredClasses()) {
  m_color = kFrameColor;
  m_width = 3;
  m_handleRadius = 4;
  m_handleBorderWidth = 1;
  m_rememberedCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  m_mosaicCursor = m_rememberedCursor;
  CWindowSourceWin32 desktop;
  m_finder.Build(desktop);
}

CCaptureShade::~CCaptureShade() = default;

ICaptureControl* CCaptureShade::Control() {
  ICaptureWindow* window = Window();
  return window ? window->GetCaptureControl() : nullptr;
}

ICaptureMenu* CCaptureShade::Menu() {
  ICaptureWindow* window = Window();
  return window ? window->GetCaptureMenu() : nullptr;
}

CommandOrders* CCaptureShade::Orders() {
  ICaptureMenu* menu = Menu();
  return menu ? &menu->GetCommandOrders() : nullptr;
}

void CCaptureShade::Repaint() {
  if (ICaptureControl* control = Control()) control->Invalidate();
}

void CCaptureShade::RepaintArea(const Rect& area) {
  if (ICaptureControl* control = Control()) control->InvalidateArea(area);
}

Rect CCaptureShade::MagnifierArea(Point cursor) {
  // The box with its frame, and the two lines of text under it.
  const Rect box = PlaceMagnifier(cursor, CaptureBounds()).box;
  return Rect{box.x - 2, box.y - 2, 240, box.height + 80};
}

Rect CCaptureShade::SelectionArea(const Rect& r) const {
  if (r.IsEmpty()) return Rect{};
  // Frame, handles and the size label above (or inside at the top edge).
  const int m = std::max(m_width, m_handleRadius) + 2;
  return Rect{r.x - m, r.y - 64, std::max(r.width + 2 * m, 360), r.height + 64 + m};
}

Rect CCaptureShade::CaptureBounds() {
  const Rect& screen = GetVirtualScreenRect();
  return Rect{0, 0, screen.width, screen.height};
}

const Rect& CCaptureShade::GetLimitRect() {
  static Rect bounds;
  bounds = CaptureBounds();
  return bounds;
}

bool CCaptureShade::HitTest(const Point& pt) {
  // The region moves only while it holds nothing and no tool is chosen.
  ICaptureMenu* menu = Menu();
  return m_rect.Contains(pt) && m_shapes.empty() && (!menu || menu->GetShapeType() == kShapeNone);
}

void CCaptureShade::SetState(int state) {
  const int old = m_state;
  m_state = state;
  if (state != kStateNew) RequestRepaint();
  if (state == kStateIdle) {
    LOG_DBG(L"region %d,%d %dx%d frame %d", m_rect.x, m_rect.y, m_rect.width, m_rect.height, m_width);
  }
  if (state == kStateIdle && GetCaptureType() == kCaptureNormal && (old == kStatePressed || old == kStateCreating)) {
    if (OnFirstCaptureSelected() != 0) return;
  }
  if (ICaptureMenu* menu = Menu()) menu->ShowMenu(state == kStateIdle);
}

const Rect& CCaptureShade::AnnotationBounds() {
  if (m_annotationBoundsStale) {
    int left = 2147483647, top = 2147483647, right = 0, bottom = 0;
    bool any = false;
    for (const ShapePtr& shape : m_shapes) {
      const int grow = shape->GetStrokeWidth() / 2;
      const Rect r = shape->GetRect();
      const int l = r.x - grow, t = r.y - grow, rr = r.Right() + grow, b = r.Bottom() + grow;
      if (!any) {
        left = l, top = t, right = rr, bottom = b;
        any = true;
      } else {
        left = std::min(left, l), top = std::min(top, t), right = std::max(right, rr), bottom = std::max(bottom, b);
      }
    }
    m_annotationBounds = any ? Rect::FromEdges(left, top, right, bottom) : Rect{2147483647, 2147483647, 0, 0};
    m_annotationBoundsStale = false;
  }
  return m_annotationBounds;
}

void CCaptureShade::OnLButtonDown(Point& pt, bool& handled) {
  m_annotationBoundsStale = true;
  if (m_currentShape) {
    m_currentShape->OnLButtonDown(pt, handled);
    if (handled) return;
    m_currentShape.reset();  // never listed
  }
  CRectShade::OnLButtonDown(pt, handled);
  if (!handled && m_state == kStateIdle && m_rect.Contains(pt)) AnnotationPress(pt, handled);
}

void CCaptureShade::AnnotationPress(Point& pt, bool& handled) {
  const ShapePtr selected = GetSelected();
  if (selected && (selected->HitTest(pt) || selected->HitTestHandle(pt) || selected->HitTestExtra(pt))) {
    selected->OnLButtonDown(pt, handled);
    return;
  }
  for (const ShapePtr& shape : std::vector<ShapePtr>(m_shapes)) {
    shape->SetSelected(false);
    if (shape->IsEditing()) {
      // This press only ends the text editing.
      handled = true;
      return;
    }
  }
  for (const ShapePtr& shape : std::vector<ShapePtr>(m_shapes)) {
    if (shape->HitTest(pt) || shape->HitTestHandle(pt) || shape->HitTestExtra(pt)) {
      shape->SetSelected(true);
      if (ICaptureMenu* menu = Menu()) menu->SetSelectedShape(shape);
      shape->OnLButtonDown(pt, handled);
      return;
    }
  }
  BeginShape(pt, handled);
}

void CCaptureShade::OnMouseMove(Point& pt, bool& handled) {
  if (m_state == kStateNew || m_state == kStatePressed) {
    // The magnifier follows the mouse: repaint where it was and where it goes.
    POINT cursor = {};
    ::GetCursorPos(&cursor);
    const Point at = ScreenToCapture(Point{static_cast<int>(cursor.x), static_cast<int>(cursor.y)},
                                     GetVirtualScreenRect());
    RepaintArea(UnionRect(m_magnifierArea, MagnifierArea(at)));
  }
  if (m_state == kStateNew) {
    const Rect& screen = GetVirtualScreenRect();
    Rect offered;
    if (m_finder.Find(CaptureToScreen(pt, screen), offered)) {
      const Rect client = ScreenToCapture(offered, screen);
      if (client != m_rect) {
        // Only the old and the new window's places change.
        const Rect old = m_rect;
        m_repaintSuppressed = true;
        SetRect(client);
        m_repaintSuppressed = false;
        RepaintArea(SelectionArea(old));
        RepaintArea(SelectionArea(client));
        LOG_DBG(L"offered %d,%d %dx%d", client.x, client.y, client.width, client.height);
      }
    }
    return;
  }
  if (m_currentShape) {
    m_currentShape->OnMouseMove(pt, handled);
    Repaint();
    return;
  }
  if (const ShapePtr selected = GetSelected()) selected->OnMouseMove(pt, handled);
  for (size_t i = 0; !handled && i < m_shapes.size(); ++i) {
    const ShapePtr shape = m_shapes[i];
    if (shape->HitTest(pt) || shape->HitTestHandle(pt)) shape->OnMouseMove(pt, handled);
  }
  if (!handled) CRectShade::OnMouseMove(pt, handled);
}

void CCaptureShade::OnCreateStart(Point& pt, bool& handled) {
  CRectShade::OnCreateStart(pt, handled);
  m_width = 1;
  UpdateHandles();
  ReportSelectionDragStart(CurrentStartMode());
}

void CCaptureShade::OnLButtonUp(Point& pt, bool& /*handled*/) {
  if ((m_rect.width == 0 || m_rect.height == 0) && GetCaptureType() == kCaptureNormal) {
    // Nothing chosen: start again with a fresh capture.
    if (ICaptureControl* control = Control()) control->ResetCapture();
    return;
  }
  SetState(kStateIdle);
  AnnotationRelease(pt);
}

void CCaptureShade::AnnotationRelease(Point& pt) {
  CommandOrders* orders = Orders();
  if (m_currentShape) {
    bool handled = false;
    m_currentShape->OnLButtonUp(pt, handled);
    if (handled) return;  // a text box that keeps editing stays the shape being drawn
    if (m_currentShape->IsValid()) {
      if (orders) {
        orders->Do(std::make_shared<CreateShapeCommand>(m_currentShape));
      } else {
        Add(m_currentShape);
      }
    }
    m_currentShape.reset();
    return;
  }
  const ShapePtr selected = GetSelected();
  if (!selected) return;
  const auto* base = dynamic_cast<const CBaseShade*>(selected.get());
  const int state = selected->GetState();
  if (orders && base && base->IsChanged() && (state == kStateMoving || state == kStateResizing)) {
    // Built before the shape's own release, while it still has its press values.
    if (auto rect = std::dynamic_pointer_cast<CRectShade>(selected)) {
      orders->Record(std::make_shared<CommonShapeCommand<CRectShade, 0>>(rect));
    }
    // The arrow, brush and text shapes record their own commands here.
  }
  bool handled = false;
  selected->OnLButtonUp(pt, handled);
}

void CCaptureShade::OnLButtonDblClk(Point& pt, bool& handled) {
  for (size_t i = 0; !handled && i < m_shapes.size(); ++i) {
    const ShapePtr shape = m_shapes[i];
    shape->OnLButtonDblClk(pt, handled);
  }
}

void CCaptureShade::OnMoving(Point& pt, bool& handled) {
  const Rect bounds = CaptureBounds();
  pt = ClampPoint(pt, bounds, GetStrokeWidth());
  Repaint();
  Rect moved = m_rect;
  moved.x += pt.x - m_lastPoint.x;
  moved.y += pt.y - m_lastPoint.y;
  SetRect(FitRect(moved, bounds));
  handled = true;
}

void CCaptureShade::OnResizing(Point& pt, bool& handled) {
  handled = true;
  Point fixed, moving;
  if (!ResizeCorners(m_grabbedHandle, m_pressRect, pt, fixed, moving)) return;
  const Rect& a = AnnotationBounds();
  if (a.width > 0 || a.height > 0) {
    // Never cut off an annotation.
    const int right = a.Right(), bottom = a.Bottom();
    switch (m_grabbedHandle) {
      case 0: moving.x = std::min(moving.x, a.x); moving.y = std::min(moving.y, a.y); break;
      case 1: moving.y = std::min(moving.y, a.y); break;
      case 2: moving.y = std::min(moving.y, a.y); moving.x = std::max(moving.x, right); break;
      case 3: case 8: case 9: moving.x = std::min(moving.x, a.x); break;
      case 4: case 10: case 11: moving.x = std::max(moving.x, right); break;
      case 5: moving.y = std::max(moving.y, bottom); moving.x = std::min(moving.x, a.x); break;
      case 6: moving.y = std::max(moving.y, bottom); break;
      case 7: moving.y = std::max(moving.y, bottom); moving.x = std::max(moving.x, right); break;
      default: break;
    }
  }
  moving = ClampPoint(moving, CaptureBounds(), GetStrokeWidth());
  SetRect(SpanRect(fixed, moving));
}

void CCaptureShade::Draw(Gdiplus::Graphics* graphics, bool withoutHandles) {
  const int flag = withoutHandles ? kOutputResult : kOutputScreen;
  DrawOverlayBefore(graphics);
  if (flag == kOutputScreen && GetCaptureType() == kCaptureNormal) {
    DrawContentWithCache(graphics);
  } else {
    DrawHandles(graphics, flag);
    DrawSelection(graphics, flag);
    graphics->IntersectClip(Gdiplus::Rect(m_rect.x, m_rect.y, m_rect.width, m_rect.height));
    DrawShapes(graphics, flag);
    graphics->ResetClip();
  }
  DrawOverlayAfter(graphics);
  // The label, the last handles and the magnifier are for the screen only:
  // the result holds the region's picture and its annotations, nothing else.
  if (flag != kOutputScreen) return;
  // After the selection, not before it: at the top edge the label sits inside
  // the region, where the copied picture would cover it.
  DrawSizeLabel(graphics);
  if (m_rect.width > 0 && m_rect.height > 0 && ShouldShowHandles()) {
    // Once more, so that no annotation covers a handle.
    for (const auto& handle : m_handles) DrawHandle(graphics, handle.second);
  }
  DrawMagnifier(graphics);
}

std::vector<ShapeManager::ShapePtr> CCaptureShade::DrawOrder() const {
  // Mosaics lie under every other annotation; newer shapes cover older ones.
  std::vector<ShapePtr> order;
  order.reserve(m_shapes.size() + 1);
  const bool currentIsMosaic = m_currentShape && m_currentShape->GetType() == kShapeMosaic;
  if (currentIsMosaic) order.push_back(m_currentShape);
  for (const ShapePtr& shape : m_shapes) {
    if (shape->GetType() == kShapeMosaic) order.push_back(shape);
  }
  for (const ShapePtr& shape : m_shapes) {
    if (shape->GetType() != kShapeMosaic) order.push_back(shape);
  }
  if (m_currentShape && !currentIsMosaic) order.push_back(m_currentShape);
  return order;
}

void CCaptureShade::DrawShapes(Gdiplus::Graphics* graphics, int outputFlag) {
  const bool withoutHandles = outputFlag != kOutputScreen;
  for (const ShapePtr& shape : DrawOrder()) shape->Draw(graphics, withoutHandles);
}

void CCaptureShade::DrawContentWithCache(Gdiplus::Graphics* graphics) {
  const std::vector<ShapePtr> order = DrawOrder();
  // Shapes from the first one being edited (drawn now, or selected) on are
  // painted every time; what lies under them can come from the snapshot.
  size_t live = 0;
  while (live < order.size() && order[live] != m_currentShape && !order[live]->IsSelected()) ++live;

  ICaptureControl* control = Control();
  const HDC source = control ? control->GetScreenDC() : nullptr;
  const Gdiplus::Rect clip(m_rect.x, m_rect.y, m_rect.width, m_rect.height);
  const bool cacheable = m_rect.width > 0 && m_rect.height > 0;
  // The snapshot also holds the frame's outer half and the handles, which
  // reach beyond the selection.
  const int margin = std::max(m_width / 2, m_handleRadius) + 2;
  Rect area{m_rect.x - margin, m_rect.y - margin, m_rect.width + 2 * margin, m_rect.height + 2 * margin};
  bool hit = cacheable && m_cache && m_cache->rect == m_rect && m_cache->state == m_state &&
             m_cache->frameChanges == m_changeCount && m_cache->source == source && m_cache->shapes.size() == live;
  for (size_t i = 0; hit && i < live; ++i) {
    // A shape that died since cannot match, even if another took its address.
    hit = m_cache->shapes[i].first.lock() == order[i] && m_cache->shapes[i].second == ChangeCount(order[i].get());
  }

  if (hit) {
    area = m_cache->area;
    if (const HDC target = graphics->GetHDC()) {
      ::BitBlt(target, area.x, area.y, area.width, area.height, m_cache->image.GetDC(), 0, 0, SRCCOPY);
      graphics->ReleaseHDC(target);
    }
  } else {
    DrawHandles(graphics, kOutputScreen);
    DrawSelection(graphics, kOutputScreen);
    graphics->IntersectClip(clip);
    for (size_t i = 0; i < live; ++i) order[i]->Draw(graphics, false);
    graphics->ResetClip();
    // Keep a snapshot when this paint covered the whole selection.
    const HDC target = graphics->GetHDC();
    // Only the part of the area that the target image has can be kept.
    BITMAP surface = {};
    if (target && ::GetObjectW(::GetCurrentObject(target, OBJ_BITMAP), sizeof(surface), &surface) == sizeof(surface)) {
      area = area.Intersect(Rect{0, 0, surface.bmWidth, surface.bmHeight});
    }
    RECT box = {};
    if (target && cacheable && !area.IsEmpty() && ::GetClipBox(target, &box) != ERROR && box.left <= area.x && box.top <= area.y &&
        box.right >= area.Right() && box.bottom >= area.Bottom()) {
      if (!m_cache) m_cache = std::make_unique<ContentCache>();
      if (m_cache->area.width != area.width || m_cache->area.height != area.height || !m_cache->image) {
        m_cache->image.Attach(DuiLib::MemoryDC(target),
                              DuiLib::Bitmap(::CreateCompatibleBitmap(target, area.width, area.height)));
      }
      if (m_cache->image) {
        ::BitBlt(m_cache->image.GetDC(), 0, 0, area.width, area.height, target, area.x, area.y, SRCCOPY);
        m_cache->rect = m_rect;
        m_cache->area = area;
        m_cache->state = m_state;
        m_cache->frameChanges = m_changeCount;
        m_cache->source = source;
        m_cache->shapes.clear();
        for (size_t i = 0; i < live; ++i) m_cache->shapes.emplace_back(order[i], ChangeCount(order[i].get()));
      }
    }
    if (target) graphics->ReleaseHDC(target);
  }
  graphics->IntersectClip(clip);
  for (size_t i = live; i < order.size(); ++i) order[i]->Draw(graphics, false);
  graphics->ResetClip();
}

void CCaptureShade::DrawSelection(Gdiplus::Graphics* graphics, int outputFlag) {
  ICaptureControl* control = Control();
  const HDC source = control ? control->GetScreenDC() : nullptr;
  if (!source) return;
  // On the screen the frame keeps its own pixels; the result takes it all.
  const Rect area = outputFlag == kOutputScreen ? InsetRect(m_rect, m_width) : m_rect;
  if (area.width <= 0 || area.height <= 0) return;
  // Plain GDI on the target does not see the graphics' world transform (the
  // result is drawn shifted by the region's corner): apply its offset here.
  Gdiplus::Matrix transform;
  graphics->GetTransform(&transform);
  const int dx = static_cast<int>(std::lround(transform.OffsetX()));
  const int dy = static_cast<int>(std::lround(transform.OffsetY()));
  const HDC target = graphics->GetHDC();
  if (!target) return;
  ::BitBlt(target, area.x + dx, area.y + dy, area.width, area.height, source, area.x, area.y, SRCCOPY | CAPTUREBLT);
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

Gdiplus::Font* CCaptureShade::LabelFont(Gdiplus::Graphics* graphics) {
  if (m_labelFont) return m_labelFont.get();
  ICaptureControl* control = Control();
  DuiLib::TFontInfo* info = control ? control->GetFontInfo(99) : nullptr;
  const HDC dc = graphics->GetHDC();
  if (!dc) return nullptr;
  // The wide form: the skin's face name is CJK, which an ANSI code page
  // would turn into question marks.
  LOGFONTW logfont = {};
  if (info && info->hFont && ::GetObjectW(info->hFont, sizeof(logfont), &logfont) == sizeof(logfont)) {
    m_labelFont = std::make_unique<Gdiplus::Font>(dc, &logfont);
  } else {
    m_labelFont = std::make_unique<Gdiplus::Font>(dc);
  }
  graphics->ReleaseHDC(dc);
  if (m_labelFont->GetLastStatus() != Gdiplus::Ok) m_labelFont.reset();
  return m_labelFont.get();
}

void CCaptureShade::DrawSizeLabel(Gdiplus::Graphics* graphics) {
  if (m_rect.height <= 0) return;
  Gdiplus::Font* font = LabelFont(graphics);
  if (!font) return;
  int width = m_rect.width;
  int height = m_rect.height;
  if (CurrentStartMode() == kStartModeScroll && GetCaptureType() == kCaptureNormal) {
    width -= 2 * m_width;
    height -= 2 * m_width;
  }
  std::wstring text = std::to_wstring(std::max(0, width)) + L" * " + std::to_wstring(std::max(0, height));
  if (GetCaptureType() == kCaptureScrollEditor) text += L" \x7F16\x8F91\x4E2D";
  const int lineHeight = static_cast<int>(font->GetHeight(1.0f) + 12);
  Gdiplus::RectF measured;
  graphics->MeasureString(text.c_str(), static_cast<INT>(text.size()), font, Gdiplus::PointF(0, 0), &measured);
  const Rect bounds = CaptureBounds();
  const bool above = m_rect.y - lineHeight - 8 >= bounds.y;
  const Gdiplus::REAL boxX = static_cast<Gdiplus::REAL>(m_rect.x);
  const Gdiplus::REAL boxY = static_cast<Gdiplus::REAL>(above ? m_rect.y - lineHeight - 8 : m_rect.y + 12);
  const Gdiplus::REAL boxW = measured.Width + 24;
  const Gdiplus::REAL boxH = measured.Height + 8;
  Gdiplus::GraphicsPath box;
  const Gdiplus::REAL r = 2;
  box.AddArc(boxX, boxY, r, r, 180, 90);
  box.AddArc(boxX + boxW - r, boxY, r, r, 270, 90);
  box.AddArc(boxX + boxW - r, boxY + boxH - r, r, r, 0, 90);
  box.AddArc(boxX, boxY + boxH - r, r, r, 90, 90);
  box.CloseFigure();
  const BYTE alpha = GetCaptureType() == kCaptureScroll ? 127 : 191;
  Gdiplus::SolidBrush fill(Gdiplus::Color(alpha, 0, 0, 0));
  graphics->FillPath(&fill, &box);
  Gdiplus::SolidBrush white(Gdiplus::Color(0xFFFFFFFF));
  const Gdiplus::REAL textY = static_cast<Gdiplus::REAL>(above ? m_rect.y - lineHeight - 4 : m_rect.y + 16);
  graphics->DrawString(text.c_str(), static_cast<INT>(text.size()), font,
                       Gdiplus::PointF(static_cast<Gdiplus::REAL>(m_rect.x + 12), textY), &white);
}

void CCaptureShade::DrawMagnifier(Gdiplus::Graphics* graphics) {
  if (m_state != kStateNew && m_state != kStatePressed && m_state != kStateCreating && m_state != kStateResizing) {
    return;
  }
  ICaptureControl* control = Control();
  const HDC source = control ? control->GetScreenDC() : nullptr;
  POINT cursor = {};
  if (!source || !::GetCursorPos(&cursor)) return;
  const Rect& screen = GetVirtualScreenRect();
  const Point at = ScreenToCapture(Point{static_cast<int>(cursor.x), static_cast<int>(cursor.y)}, screen);
  const MagnifierLayout layout = PlaceMagnifier(at, CaptureBounds());
  m_magnifierArea = MagnifierArea(at);

  if (const HDC target = graphics->GetHDC()) {
    ::SetStretchBltMode(target, COLORONCOLOR);
    ::StretchBlt(target, layout.box.x, layout.box.y, layout.box.width, layout.box.height, source, layout.source.x,
                 layout.source.y, layout.source.width, layout.source.height, SRCCOPY | CAPTUREBLT);
    graphics->ReleaseHDC(target);
  }
  Gdiplus::Pen pen(Gdiplus::Color(m_color), 1.0f);
  graphics->DrawRectangle(&pen, layout.box.x, layout.box.y, layout.box.width, layout.box.height);
  graphics->DrawLine(&pen, layout.box.x + 80, layout.box.y, layout.box.x + 80, layout.box.Bottom());
  graphics->DrawLine(&pen, layout.box.x, layout.box.y + 80, layout.box.Right(), layout.box.y + 80);

  Gdiplus::Font* font = m_labelFont.get();  // no text until the label has made it
  if (!font) return;
  const COLORREF pixel = ::GetPixel(source, at.x, at.y);
  const std::wstring text = MagnifierText(Point{static_cast<int>(cursor.x), static_cast<int>(cursor.y)},
                                          GetRValue(pixel), GetGValue(pixel), GetBValue(pixel));
  Gdiplus::SolidBrush white(Gdiplus::Color(0xFFFFFFFF));
  graphics->DrawString(text.c_str(), static_cast<INT>(text.size()), font,
                       Gdiplus::PointF(static_cast<Gdiplus::REAL>(layout.box.x),
                                       static_cast<Gdiplus::REAL>(layout.box.y + 160 + 10)),
                       &white);
}

void CCaptureShade::HandleEvent(DuiLib::TEventUI& event) {
  Point pt{static_cast<int>(event.ptMouse.x), static_cast<int>(event.ptMouse.y)};
  bool handled = false;
  switch (event.Type) {
    case DuiLib::UIEVENT_BUTTONDOWN:
      m_buttonDown = true;
      m_lastPointer = pt;
      OnLButtonDown(pt, handled);
      break;
    case DuiLib::UIEVENT_MOUSEMOVE:
      m_lastPointer = pt;
      OnMouseMove(pt, handled);
      if (!HitTestHandle(pt) && m_state == kStateIdle) UpdateCursor(pt);
      break;
    case DuiLib::UIEVENT_BUTTONUP:
      if (m_buttonDown && pt != m_lastPointer) {
        // The release is where the drag ends, even when no move reported
        // that point (moves coalesced by the system, or none at all).
        m_lastPointer = pt;
        OnMouseMove(pt, handled);
        handled = false;
      }
      m_buttonDown = false;
      OnLButtonUp(pt, handled);
      break;
    case DuiLib::UIEVENT_RBUTTONUP:
      OnRButtonUp(pt, handled);
      break;
    case DuiLib::UIEVENT_DBLCLICK:
      OnLButtonDblClk(pt, handled);
      break;
    case DuiLib::UIEVENT_KEYDOWN:
      OnKeyDown(event);
      break;
    case DuiLib::UIEVENT_KEYUP:
      OnKeyUp(event);
      break;
    default:
      break;
  }
}

void CCaptureShade::OnKeyDown(const DuiLib::TEventUI& event) {
  if (!(event.wKeyState & DuiLib::UIKEYSTATE_CONTROL) || (event.chKey != L'Z' && event.chKey != L'z')) return;
  CommandOrders* orders = Orders();
  if (!orders) return;
  const bool shift = (event.wKeyState & DuiLib::UIKEYSTATE_SHIFT) != 0;
  // Ctrl+Shift+Z redoes, and undoes when there is nothing to redo.
  const bool changed = shift && orders->CanRedo() ? orders->RedoLast() : orders->UndoLast();
  if (changed) Repaint();
}

void CCaptureShade::OnKeyUp(const DuiLib::TEventUI& event) {
  if (event.wParam != VK_DELETE) return;
  const ShapePtr selected = GetSelected();
  CommandOrders* orders = Orders();
  if (!selected || !orders) return;
  orders->Do(std::make_shared<DeleteShapeCommand>(selected));
  Repaint();
}

void CCaptureShade::OnRButtonUp(Point&, bool&) {
  if (m_state == kStateNew || m_state == kStatePressed || m_state == kStateCreating) {
    if (ICaptureMenu* menu = Menu()) menu->ShowMenu(false);
    ICaptureWindow* window = Window();
    if (window && window->GetHWND() && ::IsWindow(window->GetHWND())) ::ShowWindow(window->GetHWND(), SW_HIDE);
    if (window) window->CloseCapture();
  } else if (m_state == kStateIdle && m_shapes.empty() && !m_currentShape) {
    if (CommandOrders* orders = Orders()) orders->Clear();
    SetState(kStateNew);  // back to offering windows
  }
}

void CCaptureShade::BeginShape(Point& pt, bool& handled) {
  ICaptureMenu* menu = Menu();
  if (!menu) return;
  m_currentShape = menu->CreateShape();
  LOG_DBG(L"new shape of tool %d: %s", menu->GetShapeType(), m_currentShape ? L"made" : L"none");
  if (!m_currentShape) return;
  menu->SetSelectedShape(m_currentShape);
  m_currentShape->BeginCreate(pt, handled);
}

void CCaptureShade::UpdateCursor(const Point& pt) {
  ICaptureMenu* menu = Menu();
  const bool inside = m_rect.Contains(pt);
  if (menu && menu->GetShapeType() == kShapeMosaic && inside) {
    const int size = menu->GetShapeSize();
    if (size != m_mosaicCursorSize) {
      const struct { int size, id, pixels; } table[] = {{1, 117, 16}, {3, 115, 24}, {5, 111, 32}};
      for (const auto& entry : table) {
        if (entry.size != size) continue;
        const HINSTANCE module = ::GetModuleHandleW(nullptr);
        const auto cursor = static_cast<HCURSOR>(
            ::LoadImageW(module, MAKEINTRESOURCEW(entry.id), IMAGE_CURSOR, entry.pixels, entry.pixels, LR_DEFAULTCOLOR));
        if (cursor) {
          ::SetCursor(cursor);
          ICaptureWindow* window = Window();
          if (window && window->GetHWND()) {
            ::SetClassLongPtrW(window->GetHWND(), GCLP_HCURSOR, reinterpret_cast<LONG_PTR>(cursor));
          }
          m_mosaicCursorSize = size;
        }
      }
    }
  } else if (m_mosaicCursorSize != 0) {
    ::SetCursor(m_rememberedCursor);
    ICaptureWindow* window = Window();
    if (window && window->GetHWND()) {
      ::SetClassLongPtrW(window->GetHWND(), GCLP_HCURSOR, reinterpret_cast<LONG_PTR>(m_rememberedCursor));
    }
    m_mosaicCursorSize = 0;
  }
  if (inside) {
    m_mosaicCursor = ::GetCursor();
  } else {
    m_rememberedCursor = ::GetCursor();
  }
}

int CCaptureShade::OnFirstCaptureSelected() {
  ICaptureWindow* window = Window();
  const CaptureStartParams* params = window ? window->GetStartParams() : nullptr;
  if (!params) return 0;
  switch (params->startMode) {
    case kStartModeHandOver:
      // The region goes to the starting program; the capture ends at once.
      // A mapping that cannot be made or written is passed over silently.
      WriteHandOverRecord(params->fileMappingName, m_rect);
      LOG_INF(L"hand over %d,%d %dx%d", m_rect.x, m_rect.y, m_rect.width, m_rect.height);
      window->CloseCapture();
      return 1;
    default:
      // The scroll start (mode 1) switches to the long capture here once it
      // is part of the program; until then it captures as mode 0 does.
      return 0;
  }
}

Gdiplus::Bitmap* CCaptureShade::RenderResult() {
  // Only the region is rendered: a small region of a 4K screen costs a small
  // bitmap, not two screen-sized ones.
  DuiLib::Bitmap region(RenderArea(m_rect));
  if (!region) return nullptr;
  Gdiplus::Bitmap source(region.Get(), nullptr);
  if (source.GetLastStatus() != Gdiplus::Ok) {
    LOG_ERR(L"result %dx%d could not be read", m_rect.width, m_rect.height);
    return nullptr;
  }
  // GDI+ allocates through its own operator new: null when memory runs out.
  std::unique_ptr<Gdiplus::Bitmap> result(new Gdiplus::Bitmap(m_rect.width, m_rect.height, PixelFormat32bppARGB));
  if (!result || result->GetLastStatus() != Gdiplus::Ok) {
    LOG_ERR(L"result bitmap %dx%d could not be made", m_rect.width, m_rect.height);
    return nullptr;
  }
  result->SetResolution(source.GetHorizontalResolution(), source.GetVerticalResolution());
  {
    Gdiplus::Graphics graphics(result.get());
    graphics.Clear(Gdiplus::Color(0x00FFFFFF));
    graphics.DrawImage(&source, 0, 0, m_rect.width, m_rect.height);
  }
  if (result->GetLastStatus() != Gdiplus::Ok) return nullptr;
  return result.release();
}

void CCaptureShade::SaveToFile(int* saved) {
  if (saved) *saved = 0;
  wchar_t file[MAX_PATH] = {};
  wchar_t title[MAX_PATH] = {};
  const std::wstring name = ImageFileName(CurrentTimeStamp());
  wcsncpy(file, name.c_str(), MAX_PATH - 1);
  OPENFILENAMEW dialog = {};
  dialog.lStructSize = sizeof(dialog);
  ICaptureWindow* window = Window();
  dialog.hwndOwner = window ? window->GetHWND() : nullptr;
  dialog.lpstrFilter = L"PNG (*.png)\0*.png\0\0";
  dialog.lpstrFile = file;
  dialog.nMaxFile = MAX_PATH;
  dialog.lpstrFileTitle = title;
  dialog.nMaxFileTitle = MAX_PATH;
  dialog.lpstrDefExt = L"png";
  dialog.Flags = OFN_OVERWRITEPROMPT | OFN_EXPLORER | OFN_HIDEREADONLY;
  m_extraOutputPath.clear();
  // The dialog library is loaded when it is first needed, not at start-up.
  using SaveDialogFn = BOOL(WINAPI*)(OPENFILENAMEW*);
  static const SaveDialogFn showDialog = [] {
    const HMODULE comdlg = ::LoadLibraryW(L"comdlg32.dll");
    return comdlg ? reinterpret_cast<SaveDialogFn>(reinterpret_cast<void*>(::GetProcAddress(comdlg, "GetSaveFileNameW")))
                  : nullptr;
  }();
  if (!showDialog || !showDialog(&dialog)) return;  // cancelled: the capture stays open
  m_extraOutputPath = file;
  if (GetCaptureType() == kCaptureScroll) {
    if (saved) *saved = 1;
    return;
  }
  // Only a written file counts as saved: otherwise the capture stays open
  // and the user can try another place instead of losing the image.
  std::unique_ptr<Gdiplus::Bitmap> result(RenderResult());
  if (WritePng(result.get(), m_extraOutputPath)) {
    LOG_TRA(L"saved %s", m_extraOutputPath.c_str());
    if (saved) *saved = 1;
  } else {
    LOG_ERR(L"could not save %s", m_extraOutputPath.c_str());
  }
}

void CCaptureShade::FinishCapture() {
  std::unique_ptr<Gdiplus::Bitmap> result(RenderResult());
  const std::wstring stamp = CurrentTimeStamp();
  ICaptureWindow* window = Window();
  const CaptureStartParams* params = window ? window->GetStartParams() : nullptr;
  const std::wstring cache = params ? params->cachePath : std::wstring();
  const bool cacheUsable = !cache.empty() && FileUtils::DirectoryExists(cache);
  std::wstring imagePath;
  if (cacheUsable) {
    imagePath = CacheImagePath(cache, stamp);
    LOG_TRA(L"formatImgPath = %s", imagePath.c_str());
    if (!WritePng(result.get(), imagePath)) LOG_ERR(L"could not write %s", imagePath.c_str());
  }
  // The clipboard needs no folder: without a usable cache folder the image
  // still goes there instead of being lost.
  ICaptureControl* control = Control();
  PutOnClipboard(result.get(), control ? control->GetScreenDC() : nullptr);
  result.reset();
  if (!cacheUsable || !params) return;
  const std::wstring program = FileUtils::GetCurrentDllFolder() + L"ZTDPopWindow.exe";
  const std::wstring parameters = SiblingParameters(L"--cachepath=", imagePath, *params);
  LOG_TRA(L"cmdline = %s", parameters.c_str());
  if (FileUtils::FileExists(program) && !imagePath.empty()) {
    LaunchProgram(program, parameters, false, PathFolder(program), SW_SHOWNORMAL, false, 0, nullptr, nullptr);
  }
}

void CCaptureShade::SendToOcr() {
  std::unique_ptr<Gdiplus::Bitmap> result(RenderResult());
  const std::wstring stamp = CurrentTimeStamp();
  ICaptureWindow* window = Window();
  const CaptureStartParams* params = window ? window->GetStartParams() : nullptr;
  const std::wstring cache = params ? params->cachePath : std::wstring();
  if (!params || cache.empty() || !FileUtils::DirectoryExists(cache)) return;
  const std::wstring imagePath = CacheImagePath(cache, stamp);
  LOG_TRA(L"formatImgPath = %s", imagePath.c_str());
  if (!WritePng(result.get(), imagePath)) LOG_ERR(L"could not write %s", imagePath.c_str());
  result.reset();
  const std::wstring program = FileUtils::GetCurrentDllFolder() + L"..\\ZTDOcrWindow.exe";
  const std::wstring parameters = SiblingParameters(L"--imgpath=", imagePath, *params);
  LOG_TRA(L"cmdline = %s", parameters.c_str());
  if (FileUtils::FileExists(program) && !imagePath.empty()) {
    LaunchProgram(program, parameters, false, PathFolder(program), SW_SHOWNORMAL, false, 0, nullptr, nullptr);
  }
}

HDC CCaptureShade::GetSourceDC() {
  ICaptureControl* control = Control();
  return control ? control->GetScreenDC() : nullptr;
}

HBITMAP CCaptureShade::GetCaptureBitmap() { return RenderArea(Rect{0, 0, GetVirtualScreenRect().width, GetVirtualScreenRect().height}); }

HBITMAP CCaptureShade::RenderArea(const Rect& area) {
  const HDC source = GetSourceDC();
  if (!source || area.width <= 0 || area.height <= 0 || !IsGrabbableScreen(area)) return nullptr;
  void* bits = nullptr;
  DuiLib::Bitmap bitmap(DuiLib::CreateDib32(source, area.width, area.height, &bits));
  DuiLib::MemoryDC dc(source);
  if (!bitmap || !dc) {
    LOG_ERR(L"capture bitmap %dx%d could not be made", area.width, area.height);
    return nullptr;
  }
  {
    DuiLib::SelectGuard select(dc.Get(), bitmap.Get());
    ::BitBlt(dc.Get(), 0, 0, area.width, area.height, source, area.x, area.y, SRCCOPY | CAPTUREBLT);
    Gdiplus::Graphics graphics(dc.Get());
    graphics.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias8x8);
    graphics.SetCompositingQuality(Gdiplus::CompositingQualityHighQuality);
    // Everything is drawn in capture coordinates, shifted onto this bitmap.
    graphics.TranslateTransform(static_cast<Gdiplus::REAL>(-area.x), static_cast<Gdiplus::REAL>(-area.y));
    Draw(&graphics, true);
  }
  return bitmap.Release();
}

}  // namespace ScreenCapture
