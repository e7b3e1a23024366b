#pragma once
// How the capture control makes its modes: it is given a maker and names no
// mode itself.
#include <windows.h>

#include <memory>

#include "core/Geometry.h"

namespace ScreenCapture {

class ICaptureShade;

class ICaptureModes {
 public:
  virtual ~ICaptureModes() = default;
  // The mode of a fresh normal capture.
  virtual std::unique_ptr<ICaptureShade> MakeNormalCapture() = 0;
  // The long capture of the selection.
  virtual std::unique_ptr<ICaptureShade> MakeScrollCapture(const Rect& selection) = 0;
  // The editor of the long image (the caller keeps the bitmap); null when
  // the editor could not be made ready.
  virtual std::unique_ptr<ICaptureShade> MakeScrollEditor(HBITMAP longImage, const Rect& selection) = 0;
};

}  // namespace ScreenCapture
