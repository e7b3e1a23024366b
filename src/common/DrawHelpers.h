#pragma once
// Small drawing helpers shared by the toolkit, the shapes and the modes:
// colours as GDI takes them and rounded boxes for GDI+.
#include <windows.h>
#include <gdiplus.h>

#include <cstdint>

#include "common/Handles.h"

namespace ScreenCapture {

// An ARGB colour (alpha in the top byte) as a GDI COLORREF; alpha is dropped.
inline COLORREF ToColorRef(uint32_t argb) { return RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF); }

// Adds a closed figure of its own to `path`: the box at x, y of the given
// size with its corners rounded by quarter circles of `diameter`.
inline void AddRoundedRect(Gdiplus::GraphicsPath& path, float x, float y, float width, float height, float diameter) {
  path.StartFigure();
  path.AddArc(x, y, diameter, diameter, 180, 90);
  path.AddArc(x + width - diameter, y, diameter, diameter, 270, 90);
  path.AddArc(x + width - diameter, y + height - diameter, diameter, diameter, 0, 90);
  path.AddArc(x, y + height - diameter, diameter, diameter, 90, 90);
  path.CloseFigure();
}

}  // namespace ScreenCapture
