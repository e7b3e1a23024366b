#include "capture/CaptureModes.h"

#include "capture/CaptureShade.h"
#include "scroll/ScrollCapture.h"
#include "scroll/ScrollCaptureEditor.h"

namespace ScreenCapture {

std::unique_ptr<ICaptureShade> CCaptureModes::MakeNormalCapture() { return std::make_unique<CCaptureShade>(); }

std::unique_ptr<ICaptureShade> CCaptureModes::MakeScrollCapture(const Rect& selection) {
  return std::make_unique<ScrollCapture>(selection);
}

std::unique_ptr<ICaptureShade> CCaptureModes::MakeScrollEditor(HBITMAP longImage, const Rect& selection) {
  auto editor = std::make_unique<CScrollCaptureEditor>(longImage, selection);
  if (!editor->IsReady()) return nullptr;
  return editor;
}

ICaptureModes& ProgramCaptureModes() {
  static CCaptureModes modes;
  return modes;
}

}  // namespace ScreenCapture
