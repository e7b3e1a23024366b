#include "capture/CaptureShade.h"

#include <gdiplus.h>

#include <algorithm>

#include "capture/ICaptureControl.h"
#include "capture/ICaptureWindow.h"
#include "capture/VirtualScreen.h"
#include "common/Logger.h"
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
  if (flag == kOutputScreen && GetCaptureType() == kCaptureNormal) {
    DrawContentWithCache(graphics);
  } else {
    DrawHandles(graphics, flag);
    DrawSelection(graphics, flag);
    graphics->IntersectClip(Gdiplus::Rect(m_rect.x, m_rect.y, m_rect.width, m_rect.height));
    DrawShapes(graphics, flag);
    graphics->ResetClip();
  }
  if (flag == kOutputScreen && m_rect.width > 0 && m_rect.height > 0 && ShouldShowHandles()) {
    // Once more, so that no annotation covers a handle.
    for (const auto& handle : m_handles) DrawHandle(graphics, handle.second);
  }
  DrawOverlayAfter(graphics);
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
