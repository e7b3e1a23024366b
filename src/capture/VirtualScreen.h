#pragma once
// The virtual screen (the bounding rectangle of all monitors), read once per
// process. The frozen image, the capture window and every full-screen copy
// use this one rectangle.
#include "core/Geometry.h"

namespace ScreenCapture {

const Rect& GetVirtualScreenRect();

}  // namespace ScreenCapture
