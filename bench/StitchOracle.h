#pragma once
// The stitching written as literally as its description reads, without any
// speed-up: the baseline the benchmarks measure the product's stitching
// against, and the reference the stitch fuzzer compares it with.
#include "core/StitchTypes.h"
#include "core/StitchTypes.h"

namespace oracle {

// Builds the joined (or repainted) image as a new picture in `joined`
// (when given); `joined` stays as it was when nothing changes.
int Combine(const ScreenCapture::PixelImage& longImage, const ScreenCapture::PixelImage& frame, int width, int wheel,
            ScreenCapture::StitchState& state, const ScreenCapture::StitchEnvironment& env,
            ScreenCapture::PixelImage* joined = nullptr);

void GuessBitmapEdge(const ScreenCapture::PixelImage& a, const ScreenCapture::PixelImage& b, int width,
                     ScreenCapture::StitchState& state, const ScreenCapture::StitchEnvironment& env);

}  // namespace oracle
