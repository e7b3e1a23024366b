#pragma once
// How modes, the toolbar and the background reach the capture control.
#include <windows.h>

#include "core/Geometry.h"
#include "ui/UIDefs.h"

namespace Gdiplus {
class Pen;
}

namespace ScreenCapture {

class ICaptureShade;

class ICaptureControl {
 public:
  virtual ~ICaptureControl() = default;
  // Repaints the control.
  virtual void Invalidate() = 0;
  // DC of the frozen screen image.
  virtual HDC GetScreenDC() = 0;
  // The window the control paints into.
  virtual HWND GetHWND() = 0;
  // The current mode, or null.
  virtual ICaptureShade* GetCaptureShade() = 0;
  // Starts a fresh normal capture.
  virtual void ResetCapture() = 0;
  // The skin font with that id (negative: the default font); its text
  // metrics are measured on first use.
  virtual DuiLib::TFontInfo* GetFontInfo(int id) = 0;
  // A shared pen for the mosaic tool, or null.
  virtual Gdiplus::Pen* GetMosaicImage(int penWidth) = 0;
  // Switches a normal capture to scroll capture.
  virtual void StartScrollCapture() = 0;
  // Switches a scroll capture to its editor.
  virtual void StartScrollEditor() = 0;
  // Repaints only part of the control (client coordinates).
  virtual void InvalidateArea(const Rect& area) = 0;
};

}  // namespace ScreenCapture
