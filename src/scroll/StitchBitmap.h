#pragma once
// Platform bitmaps as the stitching's pixel pictures: 32 bits a pixel, rows
// stored bottom-up.
#include <windows.h>

#include "common/Handles.h"
#include "core/StitchTypes.h"
#include "core/StitchTypes.h"

namespace ScreenCapture {

// The bitmap's pixels; false (and `image` empty) when they cannot be read.
bool ReadBitmapPixels(HBITMAP bitmap, PixelImage& image);

// A new bitmap (a bottom-up DIB section) holding the picture; null on failure.
UniqueBitmap CreateBitmapFromPixels(const PixelImage& image);

// The screen's pixels of the area at `x`, `y` (screen coordinates) as a
// picture the stitching reads, layered windows included; false when the
// screen cannot be read.
bool GrabScreenPixels(int x, int y, int width, int height, PixelImage& image);

}  // namespace ScreenCapture
