// libFuzzer target for the frame stitching: random frames, long images,
// margins and scroll positions must give a result, never a read or write
// outside the pictures, and the same result, state and long image as the
// literal stitching of the benchmarks (the reference).
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "FuzzInput.h"
#include "StitchOracle.h"
#include "core/FrameStitcher.h"
#include "core/FrameStitcher.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace ScreenCapture;
  if (size < 16) return 0;
  const int width = 1 + (Take(data, size) & 31);
  const int frameHeight = 1 + (Take(data, size) & 31);
  const int longHeight = frameHeight + (Take(data, size) & 63);
  const int wheel = (Take(data, size) % 3 - 1) * 120;
  StitchState state;
  state.left = Take(data, size) % 40;
  state.right = Take(data, size) % 40;
  state.top = Take(data, size) % 40;
  state.bottom = Take(data, size) % 40;
  state.rollOffset = Take(data, size);
  state.rollOffsetMin = Take(data, size);
  state.rollOffsetMax = Take(data, size);
  state.matchOffset = Take(data, size) % 1000;
  state.marginsGuessed = (Take(data, size) & 1) != 0;
  state.previewPlacement = (Take(data, size) & 1) ? SHOW_RIGHT_INSIDE_20 : 0;
  state.previewPanelWidth = Take(data, size) % 64;
  PixelImage longImage, frame;
  longImage.width = frame.width = width;
  longImage.height = longHeight;
  frame.height = frameHeight;
  longImage.pixels.resize(static_cast<size_t>(width) * static_cast<size_t>(longHeight));
  frame.pixels.resize(static_cast<size_t>(width) * static_cast<size_t>(frameHeight));
  // Few distinct colours, so that rows match often.
  for (auto& p : longImage.pixels) p = size ? (data[0] & 3) : 0, data += size ? 1 : 0, size -= size ? 1 : 0;
  for (auto& p : frame.pixels) p = size ? (data[0] & 3) : 0, data += size ? 1 : 0, size -= size ? 1 : 0;
  StitchEnvironment env;
  env.setCaptureImage = [&](int height) {
    if (height != longImage.height || !longImage.Valid()) __builtin_trap();
  };
  StitchState expected = state;
  PixelImage joined = longImage;
  const int want = oracle::Combine(longImage, frame, width, wheel, expected, StitchEnvironment{}, &joined);
  CFrameStitcher stitcher(env);
  const int got = stitcher.Combine(longImage, frame, width, wheel, state);
  const auto same = [](const StitchState& a, const StitchState& b) {
    return a.left == b.left && a.right == b.right && a.top == b.top && a.bottom == b.bottom &&
           a.rollOffset == b.rollOffset && a.rollOffsetMax == b.rollOffsetMax && a.rollOffsetMin == b.rollOffsetMin &&
           a.matchOffset == b.matchOffset && a.rollPerWheel == b.rollPerWheel && a.tipText == b.tipText &&
           a.imgLine == b.imgLine && a.sourceLine == b.sourceLine && a.rollSave == b.rollSave;
  };
  if (got != want || !same(state, expected) || longImage.height != joined.height) __builtin_trap();
  for (int r = 0; r < joined.height; ++r) {
    if (std::memcmp(longImage.Row(r), joined.Row(r), static_cast<size_t>(width) * 4) != 0) __builtin_trap();
  }
  return 0;
}
