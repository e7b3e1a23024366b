#pragma once
// The modes of this program: the normal capture, the long capture and its
// editor, as the capture window gives them to its control.
#include "contracts/ICaptureModes.h"

namespace ScreenCapture {

class CCaptureModes : public ICaptureModes {
 public:
  std::unique_ptr<ICaptureShade> MakeNormalCapture() override;
  std::unique_ptr<ICaptureShade> MakeScrollCapture(const Rect& selection) override;
  std::unique_ptr<ICaptureShade> MakeScrollEditor(HBITMAP longImage, const Rect& selection) override;
};

// The one maker of the process.
ICaptureModes& ProgramCaptureModes();

}  // namespace ScreenCapture
