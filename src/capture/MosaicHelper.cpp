#include "capture/MosaicHelper.h"

#include <gdiplus.h>

#include <memory>

#include "common/Handles.h"
#include "common/Logger.h"
#include "core/Mosaic.h"

namespace ScreenCapture {
namespace MosaicHelper {

Gdiplus::Bitmap* Pixelate(HBITMAP bitmap, HDC dc) {
  BITMAP header = {};
  if (!bitmap || ::GetObjectW(bitmap, sizeof(header), &header) != sizeof(header) || header.bmWidth <= 0 ||
      header.bmHeight == 0) {
    return nullptr;
  }
  const int width = header.bmWidth;
  const int height = header.bmHeight < 0 ? -header.bmHeight : header.bmHeight;
  // The pixels go straight into the result: no screen-sized buffer between.
  std::unique_ptr<Gdiplus::Bitmap> result(new Gdiplus::Bitmap(width, height, PixelFormat32bppRGB));
  if (!result || result->GetLastStatus() != Gdiplus::Ok) {
    LOG_ERR(L"mosaic image %dx%d could not be made", width, height);
    return nullptr;
  }
  Gdiplus::Rect all(0, 0, width, height);
  Gdiplus::BitmapData data = {};
  if (result->LockBits(&all, Gdiplus::ImageLockModeWrite, PixelFormat32bppRGB, &data) != Gdiplus::Ok) return nullptr;
  bool read = false;
  if (data.Stride == width * 4) {
    BITMAPINFO info = Dib32Info(width, height, DibRows::kTopDown);  // as GDI+ keeps its rows
    const auto readWith = [&](HDC with) {
      return ::GetDIBits(with, bitmap, 0, static_cast<UINT>(height), data.Scan0, &info, DIB_RGB_COLORS) == height;
    };
    read = dc ? readWith(dc) : readWith(WindowDC(nullptr).Get());
    // The grid starts at the picture's bottom-left corner: the last row here.
    if (read) {
      PixelateBlocks(static_cast<uint32_t*>(data.Scan0), width, height, static_cast<size_t>(width), kMosaicBlock, true);
    }
  }
  result->UnlockBits(&data);
  return read ? result.release() : nullptr;
}

}  // namespace MosaicHelper
}  // namespace ScreenCapture
