// The scroll capture's drawing: the status tip over the live screen in the
// selection, and the preview of the long image beside it.
#include "scroll/ScrollCapture.h"

#include <gdiplus.h>

#include "common/Logger.h"
#include "common/VirtualScreen.h"
#include "core/ScrollPreview.h"
#include "scroll/ScrollTip.h"

namespace ScreenCapture {

void ScrollCapture::BuildPreview() {
  m_preview.reset();
  // The caller holds m_longLock.
  if (!m_long.Valid()) return;
  const PixelImage& image = m_long;
  const Rect& screen = GetVirtualScreenRect();
  m_previewRect = PreviewRect(m_placement, m_rect, image.width, image.height, screen.height, m_lastWheelUp);
  // Inside the area the stitching leaves the framed preview out.
  m_previewPanelWidth = m_placement == SHOW_RIGHT_INSIDE_20 && m_previewRect.width > 0 ? m_previewRect.width + 4 : 0;
  if (m_previewRect.width <= 0 || m_previewRect.height <= 0) return;
  // The UI thread also answers the mouse hook: the preview is sampled from
  // the image (its cost follows the preview's size), never drawn from every
  // row of it.
  auto preview = std::make_unique<Gdiplus::Bitmap>(m_previewRect.width, m_previewRect.height, PixelFormat32bppPARGB);
  const Gdiplus::Rect all(0, 0, m_previewRect.width, m_previewRect.height);
  Gdiplus::BitmapData data = {};
  if (preview->GetLastStatus() != Gdiplus::Ok ||
      preview->LockBits(&all, Gdiplus::ImageLockModeWrite, PixelFormat32bppPARGB, &data) != Gdiplus::Ok) {
    LOG_WAR(L"preview %dx%d not made", m_previewRect.width, m_previewRect.height);
    return;
  }
  ScalePreview(image, m_previewRect.width, m_previewRect.height, static_cast<uint32_t*>(data.Scan0),
               static_cast<size_t>(data.Stride / 4));
  if (preview->UnlockBits(&data) == Gdiplus::Ok) m_preview = std::move(preview);
}

void ScrollCapture::DrawOverlayBefore(Gdiplus::Graphics* graphics) {
  if (!m_preview) return;
  const Rect& r = m_previewRect;
  graphics->DrawImage(m_preview.get(), r.x, r.y, r.width, r.height);
  Gdiplus::Pen frame(Gdiplus::Color(m_secondaryColor), 2.0f);
  graphics->DrawRectangle(&frame, r.x - 1, r.y - 1, r.width + 2, r.height + 2);
}

void ScrollCapture::DrawSelection(Gdiplus::Graphics* graphics, int outputFlag) {
  // The live screen shows through the selection: only the tip is drawn.
  if (outputFlag != kOutputScreen) return;
  const std::string tip = GetTip();
  if (tip.empty() || tip == kBottomSoonTip || tip == kTopSoonTip) return;
  DrawTip(graphics, tip);
}

void ScrollCapture::DrawTip(Gdiplus::Graphics* graphics, const std::string& tip) {
  DrawTipBox(graphics, tip, m_captureRect, 229);
}

}  // namespace ScreenCapture
