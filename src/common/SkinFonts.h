#pragma once
// GDI+ fonts made from the skin's GDI fonts, in one place for every text the
// capture draws (the size label, the magnifier, text boxes and markers).
#include <windows.h>
#include <gdiplus.h>

#include <memory>

namespace ScreenCapture {

// A GDI+ font for `font` through its wide LOGFONT: the skin's faces are
// Chinese, which a narrow one turns into question marks on other code pages.
// When the font cannot be read (or none is given), the font selected in `dc`.
// Null only when GDI+ can make neither.
std::unique_ptr<Gdiplus::Font> MakeGdiplusFont(HFONT font, HDC dc);

}  // namespace ScreenCapture
