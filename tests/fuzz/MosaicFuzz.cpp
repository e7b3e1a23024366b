// libFuzzer target for the mosaic filter: any picture size, row stride and
// block size stays inside the buffer, and every block comes out one colour.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "core/Mosaic.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace ScreenCapture;
  if (size < 4) return 0;
  const int width = data[0] % 70;
  const int height = data[1] % 70;
  const size_t stride = static_cast<size_t>(width) + data[2] % 5;
  const int block = static_cast<int>(data[3] % 24) - 2;
  const bool fromLastRow = (data[3] & 0x80) != 0;
  data += 4;
  size -= 4;
  std::vector<uint32_t> pixels(stride * static_cast<size_t>(height));
  for (size_t i = 0; i < pixels.size() && size; ++i, --size, ++data) pixels[i] = 0xFF000000u | (*data * 0x010307u);
  const std::vector<uint32_t> before = pixels;
  PixelateBlocks(pixels.data(), width, height, stride, block, fromLastRow);
  if (block < 1 || width == 0 || height == 0) {
    if (pixels != before) __builtin_trap();  // nothing to do
    return 0;
  }
  // The padding beyond each row's width is left alone.
  for (int y = 0; y < height; ++y) {
    for (size_t x = static_cast<size_t>(width); x < stride; ++x) {
      if (pixels[y * stride + x] != before[y * stride + x]) __builtin_trap();
    }
  }
  // Pixels in one block, by the grid's origin, are one colour.
  const int origin = fromLastRow ? height - 1 : 0;
  for (int y = 0; y < height; ++y) {
    const int gy = fromLastRow ? (origin - y) / block : y / block;
    const int y0 = fromLastRow ? origin - gy * block : gy * block;
    for (int x = 0; x < width; ++x) {
      if (pixels[y * stride + x] != pixels[static_cast<size_t>(y0) * stride + static_cast<size_t>(x / block * block)]) {
        __builtin_trap();
      }
    }
  }
  return 0;
}
