#include "core/PixelOps.h"

#include <algorithm>

namespace ScreenCapture {

void DimOverBlack(const uint32_t* source, uint32_t* target, size_t count, uint8_t alpha) {
  const uint32_t a = alpha;
  for (size_t i = 0; i < count; ++i) {
    const uint32_t p = source[i];
    // Red and blue, then green, each product in its own 16-bit lane
    // (255 * 255 fits); floor(v / 255) == (v + 1 + (v >> 8)) >> 8 for
    // every v below 65535.
    uint32_t rb = (p & 0x00FF00FFu) * a;
    uint32_t g = ((p >> 8) & 0xFFu) * a;
    rb = ((rb + 0x00010001u + ((rb >> 8) & 0x00FF00FFu)) >> 8) & 0x00FF00FFu;
    g = ((g + 1u + (g >> 8)) >> 8) & 0xFFu;
    target[i] = 0xFF000000u | rb | (g << 8);
  }
}

uint32_t Premultiply(uint32_t argb) {
  const uint32_t alpha = argb >> 24;
  const auto channel = [alpha](uint32_t c) { return (c * alpha + 127) / 255; };
  return (alpha << 24) | (channel((argb >> 16) & 0xFF) << 16) | (channel((argb >> 8) & 0xFF) << 8) |
         channel(argb & 0xFF);
}

void FillAroundHole(uint32_t* bits, int width, int height, size_t stride, const Rect& area, const Rect& hole,
                    uint32_t fill) {
  if (!bits || width <= 0 || height <= 0 || stride < static_cast<size_t>(width)) return;
  const Rect inside = area.Intersect(Rect{0, 0, width, height});
  if (inside.IsEmpty()) return;
  const Rect gap = hole.Intersect(inside);
  for (int y = inside.y; y < inside.Bottom(); ++y) {
    uint32_t* row = bits + static_cast<size_t>(y) * stride;
    if (gap.IsEmpty() || y < gap.y || y >= gap.Bottom()) {
      std::fill(row + inside.x, row + inside.Right(), fill);
      continue;
    }
    std::fill(row + inside.x, row + gap.x, fill);
    std::fill(row + gap.x, row + gap.Right(), 0u);
    std::fill(row + gap.Right(), row + inside.Right(), fill);
  }
}

}  // namespace ScreenCapture
