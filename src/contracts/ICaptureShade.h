#pragma once
// The contract between the capture control and the current capture mode. A
// mode is itself a shape (its selection frame) and owns the list of
// annotations drawn on it.
#include <windows.h>

#include "core/CaptureRules.h"
#include "core/Geometry.h"
#include "contracts/IShade.h"
#include "contracts/ShapeManager.h"
#include "ui/UIDefs.h"

namespace ScreenCapture {

// Second argument of every drawing operation: on the screen with frame,
// handles, size label and magnifier, or the result image only.
enum OutputFlag : int { kOutputScreen = 0, kOutputResult = 1 };

class ICaptureShade : public virtual IShade, public ShapeManager {
 public:
  // Called by the mode's Draw after clipping to the selection, and by text
  // shapes rendering the picture under their edit box: every annotation.
  virtual void DrawShapes(Gdiplus::Graphics* graphics, int outputFlag) = 0;
  // Called by the control for every event record that reaches it.
  virtual void HandleEvent(DuiLib::TEventUI& event) = 0;
  // Called by the toolbar's download button; `saved` is non-zero when the
  // user confirmed the save dialog.
  virtual void SaveToFile(int* saved) = 0;
  // Called by the toolbar's finish button. False when the result could not
  // be made (memory): nothing left the program and the capture stays open.
  virtual bool FinishCapture() = 0;
  // Called by the toolbar's OCR button; false as for FinishCapture.
  virtual bool SendToOcr() = 0;
  // Called by the control, the toolbar and the start logic.
  virtual int GetCaptureType() const = 0;
  // Called by the control when it switches from scroll capture to the editor;
  // the caller owns the bitmap.
  virtual HBITMAP GetCaptureBitmap() = 0;
  // Called by the control when it builds the pixelated mosaic source.
  virtual HDC GetSourceDC() = 0;
  // Called by the control on the UI thread when the capture ends, before any
  // part of the capture window goes: a mode that runs threads or a hook
  // stops and joins them here. Nothing of the mode may reach the window
  // afterwards. A mode without threads has nothing to do.
  virtual void StopThreads() {}
  // Called by the capture window for a wheel message that reached it: true
  // when the mode took it. Only a mode that drives the wheel itself does.
  virtual bool HandleWindowWheel(WPARAM /*wParam*/, LPARAM /*lParam*/) { return false; }
};

}  // namespace ScreenCapture
