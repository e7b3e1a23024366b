// libFuzzer target for the frame stitching: random frames, long images,
// margins and scroll positions must give a result, never a read or write
// outside the pictures.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "FuzzInput.h"
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
  CFrameStitcher stitcher(env);
  stitcher.Combine(longImage, frame, width, wheel, state);
  return 0;
}
