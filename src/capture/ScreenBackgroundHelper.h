#pragma once
// The frozen screen: the whole virtual screen copied once, before any window
// of the program is shown, and a copy of it dimmed to about half brightness.
#include <windows.h>

#include "core/Geometry.h"
#include "ui/GdiHandles.h"

namespace ScreenCapture {

class ScreenBackgroundHelper {
 public:
  // Grabs `area` of the desktop (normally the virtual screen). Pixel 0,0 of
  // both images is the area's top-left corner. A refused DC or bitmap, or an
  // area beyond the largest grabbable size, leaves that image empty.
  explicit ScreenBackgroundHelper(const Rect& area);
  ScreenBackgroundHelper();
  virtual ~ScreenBackgroundHelper();

  // Dim blend: each channel becomes value * 127 / 255 over black.
  static constexpr BYTE kDimAlpha = 127;

  HDC GetScreenImageDC() const { return m_screen.GetDC(); }
  HDC GetDimmedImageDC() const { return m_dimmed.GetDC(); }
  HBITMAP GetScreenBitmap() const { return m_screen.GetBitmap(); }
  const Rect& GetImageArea() const { return m_area; }

 private:
  Rect m_area;
  DuiLib::BitmapDC m_screen;
  DuiLib::BitmapDC m_dimmed;
};

}  // namespace ScreenCapture
