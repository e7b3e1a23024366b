#pragma once
// Frame stitching for the scroll capture: for each new frame, how far the
// page moved against the long image built so far, whether the page ended,
// and the join of the new rows. Fixed margins (header, footer, side bars,
// scroll bar) are guessed once and left out of the comparison.
//
// Each row's compared band is read once per call: rows get numbers that are
// equal exactly when their bands are (hash, then byte comparison against the
// first row of each hash), and the search for the shift compares numbers.
// The results are those of the row-by-row comparison it replaces, to the byte.
#include "core/StitchTypes.h"

namespace ScreenCapture {

class CFrameStitcher {
 public:
  explicit CFrameStitcher(StitchEnvironment env) : m_env(std::move(env)) {}

  // Compares `frame` with `longImage` (both `width` pixels wide) for a wheel
  // step of `wheel` (positive up, negative down) and, on a movement, joins
  // the frame's new rows onto the long image in place and tells the
  // environment. Returns a CompareResult.
  int Combine(PixelImage& longImage, const PixelImage& frame, int width, int wheel, StitchState& state);

  // Sets the fixed margins from two equally high pictures.
  void GuessBitmapEdge(const PixelImage& a, const PixelImage& b, int width, StitchState& state);

 private:
  int CompareFrame(int wheel, const PixelImage& a, const PixelImage& b, int width, StitchState& state);
  // One line to the environment's log, with the writing line's position
  // (STITCH_LOG passes it).
  void LogAt(int level, const char* file, int line, const char* format, ...);

  StitchEnvironment m_env;
};

}  // namespace ScreenCapture
