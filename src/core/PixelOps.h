#pragma once
// Whole-image pixel operations on 32-bit pixels (0xAARRGGBB).
#include <cstddef>
#include <cstdint>

namespace ScreenCapture {

// What blending over black at a constant alpha gives: every colour channel
// becomes channel * alpha / 255, rounded down; the result is opaque.
// `source` and `target` may be the same buffer.
void DimOverBlack(const uint32_t* source, uint32_t* target, size_t count, uint8_t alpha);

}  // namespace ScreenCapture
