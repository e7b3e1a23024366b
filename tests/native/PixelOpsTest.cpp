#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "core/PixelOps.h"

using namespace ScreenCapture;

TEST(PixelOps, DimOverBlackIsExactForEveryValueAndAlpha) {
  std::vector<uint32_t> pixels(256);
  std::vector<uint32_t> out(256);
  for (uint32_t alpha = 0; alpha <= 255; ++alpha) {
    for (uint32_t v = 0; v < 256; ++v) pixels[v] = (0x12u << 24) | (v << 16) | ((255 - v) << 8) | ((v * 7) & 0xFF);
    DimOverBlack(pixels.data(), out.data(), pixels.size(), static_cast<uint8_t>(alpha));
    for (uint32_t v = 0; v < 256; ++v) {
      const uint32_t want = 0xFF000000u | ((v * alpha / 255) << 16) | (((255 - v) * alpha / 255) << 8) |
                            (((v * 7) & 0xFF) * alpha / 255);
      ASSERT_EQ(out[v], want) << "alpha " << alpha << " value " << v;
    }
  }
  // White at 127 reads 127 in every channel; in place works too.
  uint32_t white = 0x00FFFFFF;
  DimOverBlack(&white, &white, 1, 127);
  EXPECT_EQ(white, 0xFF7F7F7Fu);
}

TEST(PixelOps, FillAroundHoleStaysInsideTheImage) {
  EXPECT_EQ(Premultiply(0x7F000000u), 0x7F000000u);
  EXPECT_EQ(Premultiply(0x80FF8000u), 0x80804000u);
  // A 40 x 30 image in rows of 48 pixels, with guard rows after it; the area
  // to paint reaches far past the image, as a control larger than its window does.
  constexpr int kWidth = 40, kHeight = 30, kStride = 48;
  std::vector<uint32_t> bits(static_cast<size_t>(kStride) * (kHeight + 4), 0xDEADBEEFu);
  const Rect hole{30, 20, 50, 50};  // runs off the right and bottom edges
  FillAroundHole(bits.data(), kWidth, kHeight, kStride, Rect{-100, 5, 10000, 10000}, hole, 0x7F000000u);
  for (int y = 0; y < kHeight + 4; ++y) {
    for (int x = 0; x < kStride; ++x) {
      const uint32_t got = bits[static_cast<size_t>(y) * kStride + x];
      uint32_t want = 0xDEADBEEFu;
      if (x < kWidth && y < kHeight && y >= 5) want = hole.Contains(Point{x, y}) ? 0u : 0x7F000000u;
      ASSERT_EQ(got, want) << x << "," << y;
    }
  }
  // Nothing at all for an area outside the image or a stride too short.
  FillAroundHole(bits.data(), kWidth, kHeight, kStride, Rect{kWidth, 0, 5, 5}, hole, 1u);
  FillAroundHole(bits.data(), kWidth, kHeight, kWidth - 1, Rect{0, 0, 5, 5}, hole, 1u);
  EXPECT_EQ(std::count(bits.begin(), bits.end(), 1u), 0);
}
