#pragma once
// Decisions of the capture control that depend only on numbers.
#include "core/Geometry.h"

namespace ScreenCapture {

// What a mode reports about itself.
enum CaptureType : int {
  kCaptureNormal = 0,
  kCaptureScroll = 1,
  kCaptureScrollEditor = 2,
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
