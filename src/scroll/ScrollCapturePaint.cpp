// The scroll capture's drawing: the status tip over the live screen in the
// selection, and the preview of the long image beside it.
#include "scroll/ScrollCapture.h"

#include <gdiplus.h>

#include <algorithm>

#include "capture/ICaptureControl.h"
#include "capture/SkinFonts.h"
#include "capture/VirtualScreen.h"
#include "common/Handles.h"
#include "common/StringUtils.h"
#include "core/Dpi.h"
#include "scroll/ScrollPreview.h"
#include "ui/SkinArchive.h"

namespace ScreenCapture {

void ScrollCapture::BuildPreview() {
  m_preview.reset();
  // The caller holds m_longLock.
  if (!m_long.Valid()) return;
  const PixelImage& image = m_long;
  const Rect& screen = GetVirtualScreenRect();
  m_previewRect = PreviewRect(m_placement, m_rect, image.width, image.height, screen.height, m_lastWheelUp);
  if (m_previewRect.width <= 0 || m_previewRect.height <= 0) return;
  const std::unique_ptr<Gdiplus::Bitmap> view = ViewOf(image);
  auto preview = std::make_unique<Gdiplus::Bitmap>(m_previewRect.width, m_previewRect.height, PixelFormat32bppPARGB);
  {
    Gdiplus::Graphics graphics(preview.get());
    graphics.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBilinear);
    graphics.DrawImage(view.get(), Gdiplus::Rect(0, 0, m_previewRect.width, m_previewRect.height), 0, 0, image.width,
                       image.height, Gdiplus::UnitPixel);
  }
  if (preview->GetLastStatus() == Gdiplus::Ok) m_preview = std::move(preview);
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

void ScrollCapture::DrawMouseIcon(Gdiplus::Graphics* graphics, float left, float middle, float size, int systemDpi) {
  // The skin's picture of a mouse for this DPI step, premultiplied.
  const DuiLib::TImageInfo* icon = DuiLib::CSkinArchive::Instance()->GetImage(L"Res/mouse.png", systemDpi);
  DIBSECTION dib = {};
  if (!icon || !icon->hBitmap || ::GetObjectW(icon->hBitmap, sizeof(dib), &dib) != sizeof(dib) || !dib.dsBm.bmBits) {
    return;
  }
  const int stride = dib.dsBm.bmWidthBytes;
  const bool bottomUp = dib.dsBmih.biHeight > 0;
  BYTE* top = static_cast<BYTE*>(dib.dsBm.bmBits) + (bottomUp ? static_cast<ptrdiff_t>(stride) * (icon->height - 1) : 0);
  Gdiplus::Bitmap view(icon->width, icon->height, bottomUp ? -stride : stride, PixelFormat32bppPARGB, top);
  graphics->DrawImage(&view, Gdiplus::RectF(left, middle - size / 2, size, size));
}

void ScrollCapture::DrawTip(Gdiplus::Graphics* graphics, const std::string& tip) {
  ICaptureControl* control = Control();
  const DuiLib::TFontInfo* info = control ? control->GetFontInfo(6) : nullptr;
  const HDC dc = graphics->GetHDC();
  if (!dc) return;
  const std::unique_ptr<Gdiplus::Font> font = MakeGdiplusFont(info ? info->hFont : nullptr, dc);
  graphics->ReleaseHDC(dc);
  if (!font) return;
  int systemDpi = 96;
  {
    DuiLib::WindowDC screen(nullptr);
    if (screen.Get()) systemDpi = ::GetDeviceCaps(screen.Get(), LOGPIXELSX);
  }
  const float scale = SnapDpi(systemDpi) / 96.0f;
  const std::wstring text = Utf8ToUtf16(tip);
  Gdiplus::RectF measured;
  graphics->MeasureString(text.c_str(), static_cast<INT>(text.size()), font.get(), Gdiplus::PointF(0, 0), &measured);
  const bool start = tip == kStartTip;
  const float w = measured.Width + (start ? 64 : 40) * scale;
  const float h = measured.Height + 2 * 8 * scale;
  const Rect& screen = GetVirtualScreenRect();
  float x = m_captureRect.x + (m_captureRect.width - w) / 2;
  float y = m_captureRect.y + (m_captureRect.height - h) / 2;
  x = std::max(0.0f, std::min(x, screen.width - w));
  y = std::max(8.0f, std::min(y, screen.height - h - 8));
  Gdiplus::GraphicsPath box;
  const float d = 16;
  box.AddArc(x, y, d, d, 180, 90);
  box.AddArc(x + w - d, y, d, d, 270, 90);
  box.AddArc(x + w - d, y + h - d, d, d, 0, 90);
  box.AddArc(x, y + h - d, d, d, 90, 90);
  box.CloseFigure();
  Gdiplus::SolidBrush fill{Gdiplus::Color(229, 0, 0, 0)};
  graphics->FillPath(&fill, &box);
  if (start) DrawMouseIcon(graphics, x + 16 * scale, y + h / 2, 20 * scale, systemDpi);
  Gdiplus::SolidBrush white{Gdiplus::Color(0xFFFFFFFF)};
  const float textX = start ? x + 40 * scale : x + 20 * scale;
  graphics->DrawString(text.c_str(), static_cast<INT>(text.size()), font.get(), Gdiplus::PointF(textX, y + 8 * scale),
                       &white);
}

}  // namespace ScreenCapture
