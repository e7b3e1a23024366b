#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "core/Mosaic.h"

using namespace ScreenCapture;

// The filter as plainly as it can be said: per block, float sums of the
// channels over the pixels inside the picture, the averages truncated.
static std::vector<uint32_t> PlainMosaic(const std::vector<uint32_t>& in, int width, int height, size_t stride) {
  std::vector<uint32_t> out = in;
  for (int by = 0; by < height; by += 10) {
    for (int bx = 0; bx < width; bx += 10) {
      double b = 0, g = 0, r = 0;
      int count = 0;
      for (int y = by; y < std::min(by + 10, height); ++y) {
        for (int x = bx; x < std::min(bx + 10, width); ++x) {
          const uint32_t p = in[static_cast<size_t>(y) * stride + static_cast<size_t>(x)];
          b += p & 0xFF;
          g += (p >> 8) & 0xFF;
          r += (p >> 16) & 0xFF;
          ++count;
        }
      }
      const uint32_t colour = (static_cast<uint32_t>(r / count) << 16) | (static_cast<uint32_t>(g / count) << 8) |
                              static_cast<uint32_t>(b / count);
      for (int y = by; y < std::min(by + 10, height); ++y) {
        for (int x = bx; x < std::min(bx + 10, width); ++x) out[static_cast<size_t>(y) * stride + static_cast<size_t>(x)] = colour;
      }
    }
  }
  return out;
}

// Blocks anchored at buffer row 0 (the bottom of a bottom-up picture) and
// column 0, cut short at the far edges (1925 x 1085: a 5-pixel top row and
// right column); the padding of each row untouched. Top-down buffers are
// checked through the program's own picture in the Windows tests.
TEST(Mosaic, BlocksAreThePlainAverageAndStayInsideThePicture) {
  struct Case {
    int width, height;
    size_t stride;
  };
  for (const Case c : {Case{1925, 1085, 1925}, Case{1, 1, 1}, Case{7, 13, 9}, Case{30, 20, 30}, Case{1, 40, 3}}) {
    std::vector<uint32_t> in(c.stride * static_cast<size_t>(c.height));
    uint32_t seed = 99;
    for (uint32_t& p : in) p = seed = seed * 1664525u + 1013904223u;
    std::vector<uint32_t> out = in;
    PixelateBlocks(out.data(), c.width, c.height, c.stride);
    const std::vector<uint32_t> expected = PlainMosaic(in, c.width, c.height, c.stride);
    size_t wrong = 0;
    for (int y = 0; y < c.height; ++y) {
      for (size_t x = 0; x < c.stride; ++x) {
        const size_t i = static_cast<size_t>(y) * c.stride + x;
        const uint32_t want = x < static_cast<size_t>(c.width) ? expected[i] : in[i];
        if (out[i] != want) ++wrong;
      }
    }
    EXPECT_EQ(wrong, 0u) << c.width << "x" << c.height;
  }
  // Nothing to do, nothing done.
  uint32_t one = 0xFF123456u;
  PixelateBlocks(&one, 0, 1, 1);
  PixelateBlocks(&one, 1, 1, 0);
  PixelateBlocks(nullptr, 1, 1, 1);
  EXPECT_EQ(one, 0xFF123456u);
}
