#pragma once
// The parts of the running capture, reached through the process's capture
// window; each is null while it does not exist.
#include "contracts/ICaptureControl.h"
#include "contracts/ICaptureWindow.h"

namespace ScreenCapture {

inline ICaptureControl* CurrentControl() {
  ICaptureWindow* window = GetCaptureWindow();
  return window ? window->GetCaptureControl() : nullptr;
}

inline ICaptureShade* CurrentMode() {
  ICaptureControl* control = CurrentControl();
  return control ? control->GetCaptureShade() : nullptr;
}

inline ICaptureMenu* CurrentMenu() {
  ICaptureWindow* window = GetCaptureWindow();
  return window ? window->GetCaptureMenu() : nullptr;
}

}  // namespace ScreenCapture
