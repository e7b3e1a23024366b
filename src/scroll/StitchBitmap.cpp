#include "scroll/StitchBitmap.h"

#include <cstring>

#include "common/Handles.h"

namespace ScreenCapture {

bool ReadBitmapPixels(HBITMAP bitmap, PixelImage& image) {
  image = PixelImage();
  BITMAP header = {};
  if (!bitmap || ::GetObjectW(bitmap, sizeof(header), &header) != sizeof(header) || header.bmWidth <= 0 ||
      header.bmHeight == 0) {
    return false;
  }
  const int width = header.bmWidth;
  const int height = header.bmHeight < 0 ? -header.bmHeight : header.bmHeight;
  image.width = width;
  image.height = height;
  image.pixels.resize(static_cast<size_t>(width) * static_cast<size_t>(height));
  BITMAPINFO info = Dib32Info(width, height, DibRows::kBottomUp);
  const WindowDC screen(nullptr);
  const int lines =
      ::GetDIBits(screen.Get(), bitmap, 0, static_cast<UINT>(height), image.pixels.data(), &info, DIB_RGB_COLORS);
  if (lines != height) {
    image = PixelImage();
    return false;
  }
  return true;
}

UniqueBitmap CreateBitmapFromPixels(const PixelImage& image) {
  if (!image.Valid()) return UniqueBitmap();
  const BITMAPINFO info = Dib32Info(image.width, image.height, DibRows::kBottomUp);
  void* bits = nullptr;
  UniqueBitmap bitmap(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!bitmap || !bits) return UniqueBitmap();
  std::memcpy(bits, image.Row(0), static_cast<size_t>(image.width) * static_cast<size_t>(image.height) * sizeof(uint32_t));
  ::GdiFlush();
  return bitmap;
}

bool GrabScreenPixels(int x, int y, int width, int height, PixelImage& image) {
  image = PixelImage();
  if (width <= 0 || height <= 0) return false;
  WindowDC screen(nullptr);
  MemoryDC dc(screen.Get());
  BITMAPINFO info = Dib32Info(width, height, DibRows::kBottomUp);
  void* bits = nullptr;
  UniqueBitmap bitmap(::CreateDIBSection(screen.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!dc || !bitmap || !bits) return false;
  {
    SelectGuard select(dc.Get(), bitmap.Get());
    if (!::BitBlt(dc.Get(), 0, 0, width, height, screen.Get(), x, y, SRCCOPY | CAPTUREBLT)) return false;
  }
  ::GdiFlush();
  const auto* pixels = static_cast<const uint32_t*>(bits);
  if (!image.pixels.assign(pixels, pixels + static_cast<size_t>(width) * static_cast<size_t>(height))) return false;
  image.width = width;
  image.height = height;
  for (uint32_t& p : image.pixels) p |= 0xFF000000u;  // the screen has no alpha
  return true;
}

}  // namespace ScreenCapture
