#include "core/Mosaic.h"

#include <algorithm>
#include <vector>

namespace ScreenCapture {

void PixelateBlocks(uint32_t* pixels, int width, int height, size_t stride, int block, bool fromLastRow) {
  if (!pixels || width <= 0 || height <= 0 || block < 1 || stride < static_cast<size_t>(width)) return;
  const int columns = (width + block - 1) / block;
  // One band of `block` rows at a time: the sums of all its blocks are
  // gathered in one pass along the rows, then the band is written in a
  // second, so every pixel is read and written once, in memory order.
  std::vector<uint32_t> sums(static_cast<size_t>(columns) * 3);
  for (int done = 0; done < height; done += block) {
    const int rows = std::min(block, height - done);
    const int top = fromLastRow ? height - done - rows : done;
    std::fill(sums.begin(), sums.end(), 0u);
    for (int y = top; y < top + rows; ++y) {
      const uint32_t* row = pixels + static_cast<size_t>(y) * stride;
      for (int c = 0, x = 0; c < columns; ++c) {
        const int end = std::min(x + block, width);
        uint32_t b = 0, g = 0, r = 0;
        for (; x < end; ++x) {
          const uint32_t p = row[x];
          b += p & 0xFF;
          g += (p >> 8) & 0xFF;
          r += (p >> 16) & 0xFF;
        }
        uint32_t* s = &sums[static_cast<size_t>(c) * 3];
        s[0] += b;
        s[1] += g;
        s[2] += r;
      }
    }
    // The averages, one colour per block of this band.
    std::vector<uint32_t>& colours = sums;
    for (int c = 0; c < columns; ++c) {
      const uint32_t count = static_cast<uint32_t>(std::min(block, width - c * block) * rows);
      uint32_t* s = &colours[static_cast<size_t>(c) * 3];
      s[0] = ((s[2] / count) << 16) | ((s[1] / count) << 8) | (s[0] / count);
    }
    for (int y = top; y < top + rows; ++y) {
      uint32_t* row = pixels + static_cast<size_t>(y) * stride;
      for (int c = 0, x = 0; c < columns; ++c) {
        const int end = std::min(x + block, width);
        std::fill(row + x, row + end, colours[static_cast<size_t>(c) * 3]);
        x = end;
      }
    }
  }
}

}  // namespace ScreenCapture
