#pragma once
// The contract between the capture control and the current capture mode.
#include <windows.h>

#include "core/CaptureRules.h"
#include "core/Geometry.h"
#include "ui/UIDefs.h"

namespace Gdiplus {
class Graphics;
}

namespace ScreenCapture {

// Second argument of every drawing operation: on the screen with frame,
// handles, size label and magnifier, or the result image only.
enum OutputFlag : int { kOutputScreen = 0, kOutputResult = 1 };

class ICaptureShade {
 public:
  // Called when the control replaces or drops the mode.
  virtual ~ICaptureShade() = default;

  // Called by the control's paint step with GDI+ graphics on the paint DC.
  virtual void Draw(Gdiplus::Graphics* graphics, int outputFlag) = 0;
  // The selection rectangle (client coordinates of the capture window).
  virtual Rect GetRect() const = 0;
  // The selection frame's width.
  virtual int GetWidth() const = 0;

  // Called by the control for every event record that reaches it.
  virtual void HandleEvent(DuiLib::TEventUI& event) = 0;
  // Called by the control, the toolbar and the start logic.
  virtual int GetCaptureType() const = 0;
  // Called by the control when it switches from scroll capture to the editor.
  virtual HBITMAP GetCaptureBitmap() = 0;
  // Called by the control when it builds the pixelated mosaic source.
  virtual HDC GetSourceDC() = 0;
};

}  // namespace ScreenCapture
