#pragma once
// The mosaic filter on a GDI bitmap: the picture in 10 x 10 blocks of their
// average colour, the grid anchored at its bottom-left corner.
#include <windows.h>

namespace Gdiplus {
class Bitmap;
}

namespace ScreenCapture {
namespace MosaicHelper {

// A new GDI+ bitmap of the pixelated picture of `bitmap` (any depth; read as
// 32 bits a pixel through `dc`, or the screen's DC when null), or null when
// the bitmap cannot be read or memory runs out. The caller owns the result.
Gdiplus::Bitmap* Pixelate(HBITMAP bitmap, HDC dc);

}  // namespace MosaicHelper
}  // namespace ScreenCapture
