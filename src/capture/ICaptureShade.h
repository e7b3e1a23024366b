#pragma once
// The contract between the capture control and the current capture mode.
#include <windows.h>

#include "core/Geometry.h"
#include "ui/UIDefs.h"

namespace Gdiplus {
class Graphics;
}

namespace ScreenCapture {

// What a mode reports about itself.
enum CaptureType : int {
  kCaptureNormal = 0,
  kCaptureScroll = 1,
  kCaptureScrollEditor = 2,
};

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

// What the control does when a scroll capture is asked for.
enum class ScrollStart { kIgnore, kStart, kFreshCapture };

// Only a normal capture switches; its selection must be wider and taller than
// twice the frame width, else a fresh normal capture starts instead.
constexpr ScrollStart DecideScrollStart(int captureType, const Rect& selection, int frameWidth) {
  if (captureType != kCaptureNormal) return ScrollStart::kIgnore;
  return selection.width > 2 * frameWidth && selection.height > 2 * frameWidth ? ScrollStart::kStart
                                                                               : ScrollStart::kFreshCapture;
}

// The editor opens only from a scroll capture with a real selection.
constexpr bool CanStartScrollEditor(int captureType, const Rect& selection) {
  return captureType == kCaptureScroll && selection.width > 0 && selection.height > 0;
}

}  // namespace ScreenCapture
