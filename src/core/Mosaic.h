#pragma once
// The mosaic filter: a picture turned into blocks of one plain colour each,
// the average of the block's pixels. Platform-free: a pixel buffer in place.
#include <cstddef>
#include <cstdint>

namespace ScreenCapture {

constexpr int kMosaicBlock = 10;

// The stroke width of a mosaic for a width preset: 16, 24 or 32 pixels for
// the small, middle and big sizes, any other value as it is.
constexpr int MosaicStrokeWidth(int preset) {
  return preset == 1 ? 16 : preset == 3 ? 24 : preset == 5 ? 32 : preset;
}

// Replaces every `block` x `block` block of a `width` x `height` picture of
// 32-bit pixels (blue in the lowest byte, `stride` pixels a row) with the
// truncated average of its blue, green and red; alpha becomes 0. The grid
// starts at row 0 and column 0 of the buffer, so with a bottom-up buffer it
// starts at the picture's bottom-left corner, and the blocks of the last
// rows and columns are cut short by the picture's edge. `fromLastRow` starts
// the grid at the buffer's last row instead (the bottom of a top-down
// buffer), so that either kind of buffer gets the same blocks. Nothing
// happens for an empty picture or a block size below 1.
void PixelateBlocks(uint32_t* pixels, int width, int height, size_t stride, int block = kMosaicBlock,
                    bool fromLastRow = false);

}  // namespace ScreenCapture
