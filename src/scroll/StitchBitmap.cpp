#include "scroll/StitchBitmap.h"

#include <cstring>

#include "common/Handles.h"

namespace ScreenCapture {

namespace {
BITMAPINFO BottomUp32(int width, int height) {
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;  // positive: bottom-up
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  return info;
}
}  // namespace

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
  BITMAPINFO info = BottomUp32(width, height);
  const DuiLib::WindowDC screen(nullptr);
  const int lines =
      ::GetDIBits(screen.Get(), bitmap, 0, static_cast<UINT>(height), image.pixels.data(), &info, DIB_RGB_COLORS);
  if (lines != height) {
    image = PixelImage();
    return false;
  }
  return true;
}

HBITMAP CreateBitmapFromPixels(const PixelImage& image) {
  if (!image.Valid()) return nullptr;
  BITMAPINFO info = BottomUp32(image.width, image.height);
  void* bits = nullptr;
  DuiLib::Bitmap bitmap(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!bitmap || !bits) return nullptr;
  std::memcpy(bits, image.Row(0), static_cast<size_t>(image.width) * static_cast<size_t>(image.height) * sizeof(uint32_t));
  ::GdiFlush();
  return bitmap.Release();
}

bool GrabScreenPixels(int x, int y, int width, int height, PixelImage& image) {
  image = PixelImage();
  if (width <= 0 || height <= 0) return false;
  DuiLib::WindowDC screen(nullptr);
  DuiLib::MemoryDC dc(screen.Get());
  BITMAPINFO info = BottomUp32(width, height);
  void* bits = nullptr;
  DuiLib::Bitmap bitmap(::CreateDIBSection(screen.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!dc || !bitmap || !bits) return false;
  {
    DuiLib::SelectGuard select(dc.Get(), bitmap.Get());
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
