// The normal capture mode: painting the region, its annotations (through a
// snapshot of what did not change), the handles, the size label and the
// magnifier.
#include "capture/CaptureShade.h"
#include "capture/CaptureShadeCache.h"

#include <gdiplus.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>

#include "contracts/ICaptureControl.h"
#include "contracts/ICaptureWindow.h"
#include "common/SkinFonts.h"
#include "common/VirtualScreen.h"
#include "common/DrawHelpers.h"
#include "contracts/ICaptureControl.h"
#include "contracts/ICaptureWindow.h"
#include "common/SkinFonts.h"
#include "common/VirtualScreen.h"
#include "common/Handles.h"
#include "common/Logger.h"
#include "core/SelectionLayout.h"
#include "core/ShapeGeometry.h"
#include "contracts/ICaptureMenu.h"

namespace ScreenCapture {

namespace {

// Narrows the clip for a scope and puts the caller's back: the area being
// painted stays the clip (shapes draw only what lies in it).
class ClipScope {
 public:
  ClipScope(Gdiplus::Graphics* graphics, const Gdiplus::Rect& rect) : m_graphics(graphics) {
    m_graphics->GetClip(&m_saved);
    m_graphics->IntersectClip(rect);
  }
  ClipScope(const ClipScope&) = delete;
  ClipScope& operator=(const ClipScope&) = delete;
  ~ClipScope() { m_graphics->SetClip(&m_saved); }

 private:
  Gdiplus::Graphics* m_graphics;
  Gdiplus::Region m_saved;
};
}  // namespace

void CCaptureShade::Draw(Gdiplus::Graphics* graphics, bool withoutHandles) {
  const int flag = withoutHandles ? kOutputResult : kOutputScreen;
  DrawOverlayBefore(graphics);
  if (flag == kOutputScreen && GetCaptureType() == kCaptureNormal) {
    DrawContentWithCache(graphics);
  } else {
    DrawHandles(graphics, flag);
    DrawSelection(graphics, flag);
    const ClipScope inside(graphics, Gdiplus::Rect(m_rect.x, m_rect.y, m_rect.width, m_rect.height));
    DrawShapes(graphics, flag);
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
  // While windows are only offered nothing lies under a shape: a paint there
  // copies the bright picture (clipped) and draws the frame, cheaper than a
  // snapshot of the window's size, which the very first paint would pay.
  const bool cacheable = m_rect.width > 0 && m_rect.height > 0 && m_state != kStateNew;
  // The snapshot also holds the frame's outer half and the handles, which
  // reach beyond the selection.
  const int margin = std::max(m_width / 2, m_handleRadius) + 2;
  Rect area{m_rect.x - margin, m_rect.y - margin, m_rect.width + 2 * margin, m_rect.height + 2 * margin};
  bool hit = cacheable && m_cache && m_cache->rect == m_rect && m_cache->state == m_state &&
             m_cache->frameChanges == m_changeCount && m_cache->source == source && m_cache->shapes.size() == live;
  for (size_t i = 0; hit && i < live; ++i) {
    // A shape that died since cannot match, even if another took its address.
    hit = m_cache->shapes[i].first.lock() == order[i] && m_cache->shapes[i].second == order[i]->GetChangeCount();
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
    {
      const ClipScope inside(graphics, clip);
      for (size_t i = 0; i < live; ++i) order[i]->Draw(graphics, false);
    }
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
        m_cache->image.Attach(MemoryDC(target),
                              UniqueBitmap(::CreateCompatibleBitmap(target, area.width, area.height)));
      }
      if (m_cache->image) {
        ::BitBlt(m_cache->image.GetDC(), 0, 0, area.width, area.height, target, area.x, area.y, SRCCOPY);
        m_cache->rect = m_rect;
        m_cache->area = area;
        m_cache->state = m_state;
        m_cache->frameChanges = m_changeCount;
        m_cache->source = source;
        m_cache->shapes.clear();
        for (size_t i = 0; i < live; ++i) m_cache->shapes.emplace_back(order[i], order[i]->GetChangeCount());
      }
    }
    if (target) graphics->ReleaseHDC(target);
  }
  const ClipScope inside(graphics, clip);
  for (size_t i = live; i < order.size(); ++i) order[i]->Draw(graphics, false);
}

void CCaptureShade::DrawSelection(Gdiplus::Graphics* graphics, int outputFlag) {
  ICaptureControl* control = Control();
  const HDC source = control ? control->GetScreenDC() : nullptr;
  if (!source) return;
  // On the screen the frame keeps its own pixels; the result takes it all.
  const Rect area = outputFlag == kOutputScreen ? InsetRect(m_rect, m_width) : m_rect;
  if (area.width <= 0 || area.height <= 0) return;
  const Point offset = DeviceOffset(graphics);
  const int dx = offset.x, dy = offset.y;
  const HDC target = graphics->GetHDC();
  if (!target) return;
  ::BitBlt(target, area.x + dx, area.y + dy, area.width, area.height, source, area.x, area.y, SRCCOPY | CAPTUREBLT);
  graphics->ReleaseHDC(target);
}

void CCaptureShade::DrawHandles(Gdiplus::Graphics* graphics, int outputFlag) {
  if (outputFlag != kOutputScreen || m_rect.width <= 0 || m_rect.height <= 0) return;
  // A repaint inside the region (a stroke's new segment) leaves the frame
  // and the handles alone: drawing them costs as much as the frame is long.
  const Rect visible = VisibleBounds(graphics);
  const Rect inner = InsetRect(m_rect, m_width + 1);
  if (inner.Intersect(visible) == visible) return;
  DrawFrame(graphics);
  if (!ShouldShowHandles()) return;
  for (const auto& handle : m_handles) {
    if (!handle.second.Intersect(visible).IsEmpty()) DrawHandle(graphics, handle.second);
  }
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
  m_labelFont = MakeGdiplusFont(info ? info->hFont.Get() : nullptr, dc);
  graphics->ReleaseHDC(dc);
  return m_labelFont.get();
}

namespace {

// A measured extent rounded up to whole pixels.
int Ceil(Gdiplus::REAL value) { return static_cast<int>(std::ceil(value)); }

}  // namespace

bool CCaptureShade::MeasureOverlayTexts() {
  if (m_labelLineHeight > 0) return true;
  Gdiplus::Font* font = m_labelFont.get();
  if (!font) {
    ICaptureControl* control = Control();
    const HDC dc = control ? control->GetScreenDC() : nullptr;
    if (!dc) return false;
    Gdiplus::Graphics graphics(dc);
    font = LabelFont(&graphics);
  }
  if (!font) return false;
  const WindowDC screen(nullptr);
  if (!screen) return false;
  {
    Gdiplus::Graphics graphics(screen.Get());
    // The widest texts each can show: every digit as wide as the widest, the
    // editor's suffix, negative screen positions.
    const std::wstring label = L"88888 * 88888 \x7F16\x8F91\x4E2D";
    const std::wstring magnifier = L"POS:(-88888,-88888)\r\nRGB:(888,888,888)";
    Gdiplus::RectF measured;
    graphics.MeasureString(label.c_str(), static_cast<INT>(label.size()), font, Gdiplus::PointF(0, 0), &measured);
    m_labelTextWidth = Ceil(measured.Width) + 2;
    m_labelTextHeight = Ceil(measured.Height) + 2;
    graphics.MeasureString(magnifier.c_str(), static_cast<INT>(magnifier.size()), font, Gdiplus::PointF(0, 0), &measured);
    m_magnifierTextWidth = Ceil(measured.Width) + 2;
    m_magnifierTextHeight = Ceil(measured.Height) + 2;
  }
  m_labelLineHeight = static_cast<int>(font->GetHeight(1.0f) + 12);
  return true;
}

std::wstring CCaptureShade::SizeLabelText() const {
  int width = m_rect.width;
  // The region's height; the editor's is the whole long image, not its view.
  int height = GetHeight();
  if (CurrentStartMode() == kStartModeScroll && GetCaptureType() == kCaptureNormal) {
    width -= 2 * m_width;
    height -= 2 * m_width;
  }
  std::wstring text = std::to_wstring(std::max(0, width)) + L" * " + std::to_wstring(std::max(0, height));
  if (GetCaptureType() == kCaptureScrollEditor) text += L" \x7F16\x8F91\x4E2D";
  return text;
}

void CCaptureShade::DrawSizeLabel(Gdiplus::Graphics* graphics) {
  if (m_rect.height <= 0) return;
  // Nothing to do for a repaint elsewhere.
  if (LabelArea(m_rect).Intersect(VisibleBounds(graphics)).IsEmpty()) return;
  Gdiplus::Font* font = LabelFont(graphics);
  if (!font) return;
  const std::wstring text = SizeLabelText();
  const int lineHeight = static_cast<int>(font->GetHeight(1.0f) + 12);
  Gdiplus::RectF measured;
  graphics->MeasureString(text.c_str(), static_cast<INT>(text.size()), font, Gdiplus::PointF(0, 0), &measured);
  const SizeLabelLayout layout = PlaceSizeLabel(m_rect, OverlayBounds(), lineHeight, 0, 0);
  const Gdiplus::REAL boxX = static_cast<Gdiplus::REAL>(layout.box.x);
  const Gdiplus::REAL boxY = static_cast<Gdiplus::REAL>(layout.box.y);
  const Gdiplus::REAL boxW = measured.Width + 24;
  const Gdiplus::REAL boxH = measured.Height + 8;
  Gdiplus::GraphicsPath box;
  AddRoundedRect(box, boxX, boxY, boxW, boxH, 2);
  const BYTE alpha = GetCaptureType() == kCaptureScroll ? 127 : 191;
  Gdiplus::SolidBrush fill(Gdiplus::Color(alpha, 0, 0, 0));
  graphics->FillPath(&fill, &box);
  Gdiplus::SolidBrush white(Gdiplus::Color(0xFFFFFFFF));
  graphics->DrawString(text.c_str(), static_cast<INT>(text.size()), font,
                       Gdiplus::PointF(static_cast<Gdiplus::REAL>(layout.text.x), static_cast<Gdiplus::REAL>(layout.text.y)),
                       &white);
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
  const MagnifierLayout layout = PlaceMagnifier(at, OverlayBounds());
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
  const Point origin = MagnifierTextOrigin(layout.box);
  graphics->DrawString(text.c_str(), static_cast<INT>(text.size()), font,
                       Gdiplus::PointF(static_cast<Gdiplus::REAL>(origin.x), static_cast<Gdiplus::REAL>(origin.y)), &white);
}

}  // namespace ScreenCapture
