#include "capture/CaptureControl.h"

#include "contracts/ICaptureMenu.h"

#include "core/PixelOps.h"

#include <gdiplus.h>

#include "capture/MosaicHelper.h"
#include "common/VirtualScreen.h"
#include "contracts/ICaptureWindow.h"
#include "contracts/ICaptureMenu.h"
#include "common/Logger.h"
#include "shapes/Commands.h"
#include "shapes/Cursors.h"
#include "ui/PaintManager.h"

namespace ScreenCapture {

CCaptureControl::CCaptureControl(HDC screenDC, ICaptureModes& modes)
    : m_screenDC(screenDC), m_modes(modes), m_mode(modes.MakeNormalCapture()) {}

CCaptureControl::~CCaptureControl() {
  StopMode();
  m_mark.End();
  m_mosaicPens.clear();
  m_mosaicImage.reset();
}

HWND CCaptureControl::GetHWND() { return m_manager ? m_manager->GetPaintWindow() : nullptr; }

void CCaptureControl::DoEvent(DuiLib::TEventUI& event) {
  LOG_DBG(L"capture event %d at %d,%d keys %d", event.Type, static_cast<int>(event.ptMouse.x),
          static_cast<int>(event.ptMouse.y), static_cast<int>(event.wKeyState));
  if (!m_mode) return;
  // The mode may be replaced while it handles the event (a click on nothing
  // starts afresh): it stays alive until its handler has returned.
  // Every move chooses its cursor afresh; where it chooses none, the class
  // cursor shows at once (not only at the next move), unless a drag holds
  // the mouse and keeps the cursor of its press.
  const bool move = event.Type == DuiLib::UIEVENT_MOUSEMOVE;
  if (move) ForgetChosenCursor();
  ++m_dispatchDepth;
  m_mode->HandleEvent(event);
  if (--m_dispatchDepth == 0) m_retiredModes.clear();
  const HWND hwnd = GetHWND();
  if (move && !ChosenCursor() && hwnd && ::GetCapture() != hwnd) ::SetCursor(GetWindowCursor(hwnd));
}

void ClipToPaintArea(HDC dc, Gdiplus::Graphics& graphics) {
  RECT box = {};
  const int kind = ::GetClipBox(dc, &box);
  if (kind == SIMPLEREGION || kind == COMPLEXREGION) {
    graphics.SetClip(Gdiplus::Rect(box.left, box.top, box.right - box.left, box.bottom - box.top));
  }
}

void CCaptureControl::PaintBkColor(HDC hDC) {
  if (!m_mode) return;
  // A layered window keeps its alpha in the image itself: draw straight into
  // its premultiplied pixels, so what is drawn is opaque where it is drawn.
  int stride = 0;
  SIZE size = {};
  uint32_t* bits = m_manager && m_mode->GetCaptureType() == kCaptureScroll ? m_manager->GetOffscreenBits(&stride, &size)
                                                                           : nullptr;
  std::unique_ptr<Gdiplus::Bitmap> surface;
  if (bits) {
    ::GdiFlush();
    surface = std::make_unique<Gdiplus::Bitmap>(size.cx, size.cy, stride, PixelFormat32bppPARGB,
                                                reinterpret_cast<BYTE*>(bits));
  }
  std::unique_ptr<Gdiplus::Graphics> onSurface = surface ? std::make_unique<Gdiplus::Graphics>(surface.get())
                                                         : std::make_unique<Gdiplus::Graphics>(hDC);
  Gdiplus::Graphics& graphics = *onSurface;
  graphics.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias8x8);
  graphics.SetCompositingQuality(Gdiplus::CompositingQualityHighQuality);
  ClipToPaintArea(hDC, graphics);
  m_mode->Draw(&graphics, false);
}

void CCaptureControl::ReplaceMode(std::unique_ptr<ICaptureShade> mode) {
  // The new mode is in place before the old one goes, so nothing that the
  // old one's destruction triggers can find a dangling current mode.
  std::unique_ptr<ICaptureShade> old = std::move(m_mode);
  m_mode = std::move(mode);
  if (m_dispatchDepth > 0) {
    m_retiredModes.push_back(std::move(old));  // still on the stack: destroyed after the event
    return;
  }
  old.reset();
}

void CCaptureControl::StopMode() {
  for (const std::unique_ptr<ICaptureShade>& retired : m_retiredModes) retired->StopThreads();
  if (m_mode) m_mode->StopThreads();
}

void CCaptureControl::SetLayered(bool layered) {
  if (m_manager) m_manager->SetLayered(layered);
}

void CCaptureControl::ResetCapture() {
  LOG_INF(L"fresh capture");
  ICaptureWindow* window = GetCaptureWindow();
  ICaptureMenu* menu = window ? window->GetCaptureMenu() : nullptr;
  if (menu) {
    menu->ShowMenu(false);
    menu->SelectShapeType(kShapeNone);
  }
  SetLayered(false);
  // No cursor of the old capture stays on the window.
  SetWindowCursor(GetHWND(), GetShapeCursor(kCursorArrow));
  // The editor may have left its long image's mosaic, or a failure to make one.
  DropMosaicCache();
  ReplaceMode(m_modes.MakeNormalCapture());
  Invalidate();
  if (menu) menu->GetCommandOrders().Clear();
}

DuiLib::TFontInfo* CCaptureControl::GetFontInfo(int id) {
  return m_manager ? m_manager->GetFontInfo(id) : nullptr;
}

void CCaptureControl::DropMosaicCache() {
  m_mosaicPens.clear();
  m_mosaicImage.reset();
  m_mosaicFailed = false;
}

Gdiplus::Pen* CCaptureControl::GetMosaicImage(int penWidth) {
  if (!m_mosaicImage) {
    // A screen-sized copy that failed once fails again: not at every paint.
    if (m_mosaicFailed) return nullptr;
    const HDC source = m_mode ? m_mode->GetSourceDC() : nullptr;
    if (!source) return nullptr;
    // The frozen screen, or the long image of the editor (the bitmap its
    // source holds).
    const Rect& screen = GetVirtualScreenRect();
    int width = screen.width, height = screen.height;
    if (m_mode->GetCaptureType() == kCaptureScrollEditor) {
      BITMAP held = {};
      if (::GetObjectW(::GetCurrentObject(source, OBJ_BITMAP), sizeof(held), &held) != sizeof(held)) {
        m_mosaicFailed = true;
        return nullptr;
      }
      width = held.bmWidth;
      height = held.bmHeight < 0 ? -held.bmHeight : held.bmHeight;
    }
    const DWORD start = ::GetTickCount();
    {
      MemoryDC dc(source);
      UniqueBitmap copy(::CreateCompatibleBitmap(source, width, height));
      if (dc && copy) {
        {
          SelectGuard select(dc.Get(), copy.Get());
          ::BitBlt(dc.Get(), 0, 0, width, height, source, 0, 0, SRCCOPY | CAPTUREBLT);
        }
        m_mosaicImage.reset(MosaicHelper::Pixelate(copy.Get(), dc.Get()));
      }
    }
    LOG_INF(L"GetMosaicImage diff:%d", static_cast<int>(::GetTickCount() - start));
    if (!m_mosaicImage) {
      LOG_WAR(L"mosaic image %dx%d could not be made: mosaics stay unpainted in this capture", width, height);
      m_mosaicFailed = true;
      return nullptr;
    }
  }
  const auto cached = m_mosaicPens.find(penWidth);
  if (cached != m_mosaicPens.end()) return cached->second.get();
  // The texture starts at the surface's origin and is the picture pixel for
  // pixel: a stroke shows the blocks of exactly what it covers.
  Gdiplus::TextureBrush texture(m_mosaicImage.get(), Gdiplus::WrapModeTile);
  auto pen = std::make_shared<Gdiplus::Pen>(&texture, static_cast<Gdiplus::REAL>(penWidth));
  if (pen->GetLastStatus() != Gdiplus::Ok) return nullptr;
  if (pen->SetStartCap(Gdiplus::LineCapRound) != Gdiplus::Ok || pen->SetEndCap(Gdiplus::LineCapRound) != Gdiplus::Ok ||
      pen->SetLineJoin(Gdiplus::LineJoinRound) != Gdiplus::Ok) {
    LOG_WAR(L"mosaic pen %d: caps or join not set", penWidth);
  }
  m_mosaicPens[penWidth] = pen;
  return pen.get();
}

void CCaptureControl::StartScrollCapture() {
  if (!m_mode) return;
  switch (DecideScrollStart(m_mode->GetCaptureType(), m_mode->GetRect(), m_mode->GetWidth())) {
    case ScrollStart::kIgnore:
      return;
    case ScrollStart::kStart: {
      const Rect selection = m_mode->GetRect();
      ReplaceMode(m_modes.MakeScrollCapture(selection));
      SetLayered(true);
      ICaptureWindow* window = GetCaptureWindow();
      if (ICaptureMenu* menu = window ? window->GetCaptureMenu() : nullptr) {
        // The region's commands act on the current mode: a redo would put
        // its shapes into the live hole, where the next grab bakes them in.
        menu->GetCommandOrders().Clear();
        menu->UpdateMenuMode();
      }
      Invalidate();
      return;
    }
    case ScrollStart::kFreshCapture:
      ResetCapture();
      return;
  }
}

void CCaptureControl::InvalidateArea(const Rect& area) {
  if (!m_manager || area.IsEmpty()) return;
  RECT rc = {area.x, area.y, area.Right(), area.Bottom()};
  RECT clipped;
  if (::IntersectRect(&clipped, &rc, &m_rcItem)) m_manager->Invalidate(clipped);
}

void CCaptureControl::StartScrollEditor() {
  if (!m_mode || !CanStartScrollEditor(m_mode->GetCaptureType(), m_mode->GetRect())) return;
  UniqueBitmap longImage(m_mode->GetCaptureBitmap());
  if (!longImage) {
    LOG_ERR(L"the long image could not be read for the editor");
    return;
  }
  auto editor = m_modes.MakeScrollEditor(longImage.Get(), m_mode->GetRect());
  if (!editor) return;  // the long capture stays, nothing lost
  longImage.Reset();
  // The editor's mosaics come from the long image, not the frozen screen.
  DropMosaicCache();
  ReplaceMode(std::move(editor));
  SetLayered(false);
  ICaptureWindow* window = GetCaptureWindow();
  if (ICaptureMenu* menu = window ? window->GetCaptureMenu() : nullptr) {
    menu->SelectShapeType(kShapeNone);
    menu->UpdateMenuMode();
  }
  Invalidate();
}

CCaptureBkContain::CCaptureBkContain(HDC dimmedDC, uint32_t dimColor) : m_dimmedDC(dimmedDC), m_dimColor(dimColor) {}

void CCaptureBkContain::PaintBkColor(HDC hDC) {
  ICaptureWindow* window = GetCaptureWindow();
  ICaptureControl* control = window ? window->GetCaptureControl() : nullptr;
  ICaptureShade* mode = control ? control->GetCaptureShade() : nullptr;
  RECT box = {};
  if (::GetClipBox(hDC, &box) == ERROR) box = m_rcItem;

  if (!mode || mode->GetCaptureType() != kCaptureScroll) {
    // Only the area being repainted is copied.
    if (m_dimmedDC) {
      ::BitBlt(hDC, box.left, box.top, box.right - box.left, box.bottom - box.top, m_dimmedDC, box.left, box.top,
               SRCCOPY | CAPTUREBLT);
    }
    return;
  }

  // Layered window: write premultiplied pixels straight into the off-screen
  // image: the dim colour around the selection, a transparent hole inside.
  int stride = 0;
  SIZE size = {};
  uint32_t* bits = m_manager ? m_manager->GetOffscreenBits(&stride, &size) : nullptr;
  if (!bits) return;
  // Bounded by the repainted box, the control and the image written to.
  const Rect area = Rect::FromEdges(box.left, box.top, box.right, box.bottom)
                        .Intersect(Rect::FromEdges(m_rcItem.left, m_rcItem.top, m_rcItem.right, m_rcItem.bottom));
  FillAroundHole(bits, size.cx, size.cy, static_cast<size_t>(stride / 4), area, mode->GetRect(), Premultiply(m_dimColor));
}

}  // namespace ScreenCapture
