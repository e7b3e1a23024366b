#pragma once
// Whole-image pixel operations on 32-bit pixels (0xAARRGGBB).
#include <cstddef>
#include <cstdint>

#include "core/Geometry.h"

namespace ScreenCapture {

// What blending over black at a constant alpha gives: every colour channel
// becomes channel * alpha / 255, rounded down; the result is opaque.
// `source` and `target` may be the same buffer.
void DimOverBlack(const uint32_t* source, uint32_t* target, size_t count, uint8_t alpha);

// A premultiplied pixel of `argb` (0xAARRGGBB, straight alpha).
uint32_t Premultiply(uint32_t argb);

// Writes `area` of a `width` x `height` image (`stride` pixels a row): `fill`
// everywhere but inside `hole`, which becomes 0 (transparent). Only the part
// of `area` that lies in the image is written, whatever `area` says.
void FillAroundHole(uint32_t* bits, int width, int height, size_t stride, const Rect& area, const Rect& hole,
                    uint32_t fill);

}  // namespace ScreenCapture
