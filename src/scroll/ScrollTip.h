#pragma once
// The status tip of the long capture and of its editor: the text in the
// skin's tip font, white on a rounded black box of the given opacity, centred
// in an area and kept on the screen; the start tip has the mouse beside it.
#include <windows.h>

#include <string>

#include "core/Geometry.h"

namespace Gdiplus {
class Graphics;
}

namespace ScreenCapture {

void DrawTipBox(Gdiplus::Graphics* graphics, const std::string& tip, const Rect& centreIn, BYTE alpha);

}  // namespace ScreenCapture
