#include "core/PixelOps.h"

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

}  // namespace ScreenCapture
