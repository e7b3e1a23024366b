#include "scroll/ScrollTip.h"

#include <gdiplus.h>

#include <algorithm>
#include <memory>

#include "contracts/ICaptureControl.h"
#include "contracts/ICaptureWindow.h"
#include "common/SkinFonts.h"
#include "common/VirtualScreen.h"
#include "common/DrawHelpers.h"
#include "common/Handles.h"
#include "contracts/CurrentCapture.h"
#include "common/SkinFonts.h"
#include "common/VirtualScreen.h"
#include "common/StringUtils.h"
#include "common/SystemFunctions.h"
#include "core/Dpi.h"
#include "core/ScrollSteps.h"
#include "ui/SkinArchive.h"

namespace ScreenCapture {

namespace {

// The start tip's mouse, `size` pixels square, its left edge at `left`.
void DrawMouseIcon(Gdiplus::Graphics* graphics, float left, float middle, float size, int systemDpi) {
  // The skin's picture of a mouse for this DPI step, premultiplied.
  const DuiLib::TImageInfo* icon = DuiLib::CSkinArchive::Instance()->GetImage(L"Res/mouse.png", systemDpi);
  DIBSECTION dib = {};
  if (!icon || !icon->hBitmap || ::GetObjectW(icon->hBitmap.Get(), sizeof(dib), &dib) != sizeof(dib) || !dib.dsBm.bmBits) {
    return;
  }
  const int stride = dib.dsBm.bmWidthBytes;
  const bool bottomUp = dib.dsBmih.biHeight > 0;
  BYTE* top = static_cast<BYTE*>(dib.dsBm.bmBits) + (bottomUp ? static_cast<ptrdiff_t>(stride) * (icon->height - 1) : 0);
  Gdiplus::Bitmap view(icon->width, icon->height, bottomUp ? -stride : stride, PixelFormat32bppPARGB, top);
  graphics->DrawImage(&view, Gdiplus::RectF(left, middle - size / 2, size, size));
}

}  // namespace

void DrawTipBox(Gdiplus::Graphics* graphics, const std::string& tip, const Rect& centreIn, BYTE alpha) {
  ICaptureControl* control = CurrentControl();
  const DuiLib::TFontInfo* info = control ? control->GetFontInfo(6) : nullptr;
  const HDC dc = graphics->GetHDC();
  if (!dc) return;
  const std::unique_ptr<Gdiplus::Font> font = MakeGdiplusFont(info ? info->hFont.Get() : nullptr, dc);
  graphics->ReleaseHDC(dc);
  if (!font) return;
  const int systemDpi = SystemDpi();
  const int skinDpi = SnapDpi(systemDpi);
  const auto scaled = [skinDpi](int pixels) { return static_cast<float>(ScaleByDpi(pixels, skinDpi)); };
  const std::wstring text = Utf8ToUtf16(tip);
  Gdiplus::RectF measured;
  graphics->MeasureString(text.c_str(), static_cast<INT>(text.size()), font.get(), Gdiplus::PointF(0, 0), &measured);
  const bool start = tip == kStartTip;
  const float w = measured.Width + scaled(start ? 64 : 40);
  const float h = measured.Height + scaled(2 * 8);
  const Rect& screen = GetVirtualScreenRect();
  float x = static_cast<float>(centreIn.x) + (static_cast<float>(centreIn.width) - w) / 2;
  float y = static_cast<float>(centreIn.y) + (static_cast<float>(centreIn.height) - h) / 2;
  x = std::max(0.0f, std::min(x, static_cast<float>(screen.width) - w));
  y = std::max(8.0f, std::min(y, static_cast<float>(screen.height) - h - 8));
  Gdiplus::GraphicsPath box;
  AddRoundedRect(box, x, y, w, h, 16);
  Gdiplus::SolidBrush fill{Gdiplus::Color(alpha, 0, 0, 0)};
  graphics->FillPath(&fill, &box);
  if (start) DrawMouseIcon(graphics, x + scaled(16), y + h / 2, scaled(20), systemDpi);
  Gdiplus::SolidBrush white{Gdiplus::Color(0xFFFFFFFF)};
  const float textX = x + scaled(start ? 40 : 20);
  graphics->DrawString(text.c_str(), static_cast<INT>(text.size()), font.get(), Gdiplus::PointF(textX, y + scaled(8)),
                       &white);
}

}  // namespace ScreenCapture
