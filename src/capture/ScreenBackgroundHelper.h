#pragma once
// The frozen screen: the whole virtual screen copied once, before any window
// of the program is shown, and a copy of it dimmed to about half brightness.
#include <windows.h>

#include <cstdint>

#include "core/Geometry.h"
#include "common/Handles.h"
#include "common/WorkerThread.h"

namespace ScreenCapture {

class ScreenBackgroundHelper {
 public:
  // Grabs `area` of the desktop (normally the virtual screen), before any
  // window of the program is shown. Pixel 0,0 of both images is the area's
  // top-left corner. A refused DC or bitmap, or an
  // area beyond the largest grabbable size, leaves that image empty.
  // `availableBytes` is the address space the process can still allocate:
  // a screen whose images do not fit it is refused.
  ScreenBackgroundHelper(const Rect& area, uint64_t availableBytes);
  ScreenBackgroundHelper();
  virtual ~ScreenBackgroundHelper();

  // Dim blend: each channel becomes value * 127 / 255 over black.
  static constexpr BYTE kDimAlpha = 127;

  // The images are finished on a worker thread: each getter waits for it.
  HDC GetScreenImageDC() const {
    WaitForImages();
    return m_screen.GetDC();
  }
  HDC GetDimmedImageDC() const {
    WaitForImages();
    return m_dimmed.GetDC();
  }
  HBITMAP GetScreenBitmap() const {
    WaitForImages();
    return m_screen.GetBitmap();
  }
  // The same DCs without waiting: they are made before the worker starts and
  // stay the same, but must not be drawn from or into before WaitForImages.
  HDC ScreenImageDCHandle() const { return m_screen.GetDC(); }
  HDC DimmedImageDCHandle() const { return m_dimmed.GetDC(); }
  void WaitForImages() const;
  // True when the worker has been waited for (or never ran).
  bool IsFinished() const { return !m_worker.Joinable(); }
  const Rect& GetImageArea() const { return m_area; }

 private:
  Rect m_area;
  DuiLib::BitmapDC m_screen;
  DuiLib::BitmapDC m_dimmed;
  mutable WorkerThread m_worker;
};

}  // namespace ScreenCapture
