#pragma once
// Where the growing long image is previewed beside the selection during a
// scroll capture. Coordinates are the capture window's, in which the virtual
// screen is (0, 0, screenWidth, screenHeight). Value code.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/Geometry.h"
#include "core/StitchTypes.h"

namespace ScreenCapture {

// The first side, in the order right, left, below, above, whose free space
// is more than the selection's width (right, left) or height (below,
// above) plus 60 pixels: 0 to 3; then the same at 0.6 of the selection's
// size: 4 to 7; else 8, inside the selection at its right edge.
constexpr int ChoosePreviewPlacement(const Rect& sel, int screenWidth, int screenHeight) {
  const long long free[4] = {screenWidth - (sel.x + sel.width), sel.x, screenHeight - (sel.y + sel.height), sel.y};
  const long long size[4] = {sel.width, sel.width, sel.height, sel.height};
  for (int pass = 0; pass < 2; ++pass) {
    const long long tenths = pass == 0 ? 10 : 6;
    for (int side = 0; side < 4; ++side) {
      if (free[side] * 10 > tenths * size[side] + 600) return pass * 4 + side;
    }
  }
  return SHOW_RIGHT_INSIDE_20;
}

// The preview of an image `imageWidth` x `imageHeight` for a placement: at
// full size (0 to 3), 0.6 (4 to 7) or a fifth of the selection's height (8),
// cut to the room of its side keeping the proportions. Empty for an empty
// image. `afterWheelUp` places the inside preview at the bottom.
constexpr Rect PreviewRect(int placement, const Rect& sel, int imageWidth, int imageHeight, int screenHeight,
                           bool afterWheelUp) {
  if (imageWidth <= 0 || imageHeight <= 0) return Rect{};
  if (placement == SHOW_RIGHT_INSIDE_20) {
    const int h = static_cast<int>(sel.height * 0.2);
    const int w = static_cast<int>(static_cast<long long>(h) * imageWidth / imageHeight);
    return Rect{sel.x + sel.width - w - 20, afterWheelUp ? sel.y + sel.height - h - 20 : sel.y + 20, w, h};
  }
  const double f = placement < 4 ? 1.0 : 0.6;
  const int side = placement % 4;
  int w = static_cast<int>(imageWidth * f);
  int h = static_cast<int>(imageHeight * f);
  const int limit = side < 2 ? sel.y + sel.height - 40 : side == 2 ? screenHeight - (sel.y + sel.height) - 60 : sel.y - 60;
  bool capped = false;
  if (h > limit) {
    h = limit > 0 ? limit : 0;
    w = static_cast<int>(static_cast<long long>(h) * imageWidth / imageHeight);
    capped = true;
  }
  const int x = side == 0 ? sel.x + sel.width + 20 : side == 1 ? sel.x - w - 20 : sel.x + sel.width - w;
  const int y = side == 2 ? sel.y + sel.height + 20 : side == 3 ? sel.y - h - 20 : capped ? 40 : sel.y + sel.height - h;
  return Rect{x, y, w, h};
}

// Scales `image` (rows stored bottom-up) to `width` x `height` into `out`,
// top row first, `stride` pixels a row, opaque. Each pixel is the mean of
// 3 x 3 samples spread over the part of the image it covers: the cost follows
// the preview's size, not the image's, so a 9,000-row image costs what a
// short one does.
inline void ScalePreview(const PixelImage& image, int width, int height, uint32_t* out, size_t stride) {
  if (!image.Valid() || width <= 0 || height <= 0 || !out) return;
  constexpr int kTaps = 3;
  const auto spread = [](int target, int source) {
    std::vector<int> at(static_cast<size_t>(target) * kTaps);
    for (size_t i = 0; i < at.size(); ++i) {
      const long long pos = (2 * static_cast<long long>(i) + 1) * source / (2 * static_cast<long long>(at.size()));
      at[i] = pos < source ? static_cast<int>(pos) : source - 1;
    }
    return at;
  };
  const std::vector<int> cols = spread(width, image.width), rows = spread(height, image.height);
  for (int y = 0; y < height; ++y) {
    const uint32_t* src[kTaps];
    for (int t = 0; t < kTaps; ++t) src[t] = image.Row(image.height - 1 - rows[static_cast<size_t>(y) * kTaps + t]);
    uint32_t* dst = out + static_cast<size_t>(y) * stride;
    for (int x = 0; x < width; ++x) {
      uint32_t r = 0, g = 0, b = 0;
      for (const uint32_t* line : src) {
        for (int t = 0; t < kTaps; ++t) {
          const uint32_t p = line[cols[static_cast<size_t>(x) * kTaps + t]];
          r += (p >> 16) & 0xFF;
          g += (p >> 8) & 0xFF;
          b += p & 0xFF;
        }
      }
      constexpr uint32_t n = kTaps * kTaps;
      dst[x] = 0xFF000000u | (r / n) << 16 | (g / n) << 8 | (b / n);
    }
  }
}

}  // namespace ScreenCapture
