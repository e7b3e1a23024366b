#pragma once
// Pictures and results of frame stitching. A picture is W pixels wide, four
// bytes a pixel, rows stored bottom-up: stored row 0 is the bottom row of the
// picture (the layout of a bottom-up device-independent bitmap). Two pixels
// are equal when all four bytes are.
#include <cstdint>
#include <functional>
#include <memory>
#include <new>
#include <string>
#include <utility>
#include <vector>

namespace ScreenCapture {

// An allocator that leaves new pixels uninitialised: a joined image is
// written completely right after it is made, so zeroing it first would only
// double the cost of the join.
template <class T>
struct UninitialisedAllocator : std::allocator<T> {
  template <class U>
  struct rebind {
    using other = UninitialisedAllocator<U>;
  };
  UninitialisedAllocator() = default;
  template <class U>
  UninitialisedAllocator(const UninitialisedAllocator<U>&) {}
  template <class U>
  void construct(U* p) {
    ::new (static_cast<void*>(p)) U;
  }
  template <class U, class... Args>
  void construct(U* p, Args&&... args) {
    ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
  }
};

using PixelVector = std::vector<uint32_t, UninitialisedAllocator<uint32_t>>;

struct PixelImage {
  int width = 0;
  int height = 0;
  PixelVector pixels;  // width * height, stored row r at r * width

  const uint32_t* Row(int r) const { return pixels.data() + static_cast<size_t>(r) * static_cast<size_t>(width); }
  uint32_t* Row(int r) { return pixels.data() + static_cast<size_t>(r) * static_cast<size_t>(width); }
  bool Valid() const {
    return width > 0 && height > 0 && pixels.size() == static_cast<size_t>(width) * static_cast<size_t>(height);
  }
};

enum CompareResult : int {
  COMPARE_RESULT_COMBINE = 0,  // a movement was found; the frame is joined
  COMPARE_RESULT_BOTTOM = 1,   // scrolling down, nothing moved: the page's end
  COMPARE_RESULT_TOP = 2,      // scrolling up, nothing moved: the page's top
  COMPARE_RESULT_FAILED = 3,   // no usable match, or unusable input
  COMPARE_RESULT_INSIDE = 4,   // the frame lies inside what is captured already
  COMPARE_RESULT_NONE = 5,     // no result yet
};

// The preview panel drawn inside the capture area at its right edge.
inline constexpr int SHOW_RIGHT_INSIDE_20 = 8;

// The tip shown once when a fixed left margin still changes between frames.
inline constexpr const char* kEditHintTip = "\xE6\x88\xAA\xE5\x9B\xBE\xE5\xAE\x8C\xE6\x88\x90\xE5\x90\x8E\xEF\xBC\x8C"
                                           "\xE6\x94\xAF\xE6\x8C\x81\xE7\xBC\x96\xE8\xBE\x91\xE5\x93\xA6";

// What the stitching needs from its surroundings.
struct StitchEnvironment {
  // One log line: level (1 error ... 5 debug) and the text (UTF-8).
  std::function<void(int level, const std::string& text)> log;
  // The system's last error code, for the failure lines; 0 where there is none.
  std::function<int()> lastError;
  // Milliseconds, for the duration in the result line.
  std::function<uint32_t()> tickCount;
  // Receives the joined long image and its height (the scroll capture's
  // SetCaptureImage); the stitching never writes the image it was given.
  std::function<void(PixelImage&& image, int height)> setCaptureImage;
};

// Everything a Combine reads and changes besides the pictures.
struct StitchState {
  int left = 0, right = 0, top = 0, bottom = 0;  // fixed margins
  int rollOffset = 0, rollOffsetMax = 0, rollOffsetMin = 0;
  int matchOffset = 0;   // m_matchOffset: the first movement's run
  int rollPerWheel = 0;  // movements since the wheel step began
  int previewPlacement = 0;
  int previewPanelWidth = 0;
  bool editHintShown = false;       // the hint was shown in this capture
  bool leftMarginDiffers = false;   // set when the hint is due
  std::string tipText;
  bool marginsGuessed = false;      // margins are guessed once per process

  // Per call, for tests and the caller's logs.
  int imgLine = -1;
  int sourceLine = -1;
  int rollSave = 0;
};

}  // namespace ScreenCapture
