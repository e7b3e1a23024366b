#pragma once
// Pictures and results of frame stitching. A picture is W pixels wide, four
// bytes a pixel, rows stored bottom-up: stored row 0 is the bottom row of the
// picture (the layout of a bottom-up device-independent bitmap). Two pixels
// are equal when all four bytes are.
#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <mutex>
#include <new>
#include <string>
#include <utility>

namespace ScreenCapture {

// The pixels of a picture. Allocation never throws: a resize or copy that
// cannot get its memory leaves the buffer empty (and says so), which a
// 9,000-row long image in a 32-bit process must expect. New pixels are left
// uninitialised: pictures are written completely right after they are made.
class PixelBuffer {
 public:
  PixelBuffer() = default;
  PixelBuffer(const PixelBuffer& other) {
    if (Allocate(other.m_size) && m_size) std::memcpy(m_data.get(), other.m_data.get(), m_size * 4);
  }
  PixelBuffer(PixelBuffer&& other) noexcept { swap(other); }
  PixelBuffer& operator=(PixelBuffer other) noexcept {
    swap(other);
    return *this;
  }

  // Keeps the first min(size, count) pixels. False, with the buffer empty,
  // when the memory is not there.
  bool resize(size_t count) {
    if (count == m_size) return true;
    PixelBuffer grown;
    if (!grown.Allocate(count)) {
      *this = PixelBuffer();
      return false;
    }
    const size_t keep = count < m_size ? count : m_size;
    if (keep) std::memcpy(grown.m_data.get(), m_data.get(), keep * 4);
    swap(grown);
    return true;
  }
  bool assign(size_t count, uint32_t value) {
    if (!Allocate(count)) return false;
    for (size_t i = 0; i < count; ++i) m_data[i] = value;
    return true;
  }
  bool assign(const uint32_t* from, const uint32_t* to) {
    const size_t count = to > from ? static_cast<size_t>(to - from) : 0;
    if (!Allocate(count)) return false;
    if (count) std::memcpy(m_data.get(), from, count * 4);
    return true;
  }
  void swap(PixelBuffer& other) noexcept {
    std::swap(m_data, other.m_data);
    std::swap(m_size, other.m_size);
  }

  size_t size() const { return m_size; }
  bool empty() const { return m_size == 0; }
  uint32_t* data() { return m_data.get(); }
  const uint32_t* data() const { return m_data.get(); }
  uint32_t* begin() { return m_data.get(); }
  uint32_t* end() { return m_data.get() + m_size; }
  uint32_t& operator[](size_t i) { return m_data[i]; }
  const uint32_t& operator[](size_t i) const { return m_data[i]; }

 private:
  bool Allocate(size_t count) {
    m_data.reset();
    m_size = 0;
    if (count == 0) return true;
    if (count > static_cast<size_t>(-1) / 8) return false;
    m_data.reset(new (std::nothrow) uint32_t[count]);
    if (!m_data) return false;
    m_size = count;
    return true;
  }

  std::unique_ptr<uint32_t[]> m_data;
  size_t m_size = 0;
};

struct PixelImage {
  int width = 0;
  int height = 0;
  // Stored row r is at (first + r) * width. A long image keeps spare rows
  // below `first` and above `first + height` so that it grows at either end
  // without moving the rows it holds; a plain picture has none.
  int first = 0;
  PixelBuffer pixels;

  const uint32_t* Row(int r) const { return pixels.data() + Index(r); }
  uint32_t* Row(int r) { return pixels.data() + Index(r); }
  bool Valid() const {
    return width > 0 && height > 0 && first >= 0 &&
           pixels.size() >= static_cast<size_t>(width) * (static_cast<size_t>(first) + static_cast<size_t>(height));
  }
  // Rows held, spare ones included.
  int Capacity() const { return width > 0 ? static_cast<int>(pixels.size() / static_cast<size_t>(width)) : 0; }

 private:
  size_t Index(int r) const {
    return (static_cast<size_t>(first) + static_cast<size_t>(r)) * static_cast<size_t>(width);
  }
};

// Replaces the stored rows [0, drop) of `image` (its bottom) by `count` rows
// starting at `rows`, or, with `atTop`, the rows [height - drop, height) (its
// top). `rows` must not lie inside `image`. When the spare rows at that end
// run out the buffer is rebuilt with a quarter of the new height spare there,
// so each row is copied a bounded number of times however long the image
// grows, and the rebuild holds at most 2.5 times the image. False, with the
// image unchanged, when the memory for that is not there.
bool ReplaceRows(PixelImage& image, bool atTop, int drop, const uint32_t* rows, int count);

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
  // One log line: level (1 error ... 5 debug), the source file and line of
  // the stitching code that wrote it, and the text (UTF-8).
  std::function<void(int level, const char* file, int line, const std::string& text)> log;
  // The system's last error code, for the failure lines; 0 where there is none.
  std::function<int()> lastError;
  // Milliseconds, for the duration in the result line.
  std::function<uint32_t()> tickCount;
  // Told of the long image's new height after a join (the scroll capture's
  // SetCaptureImage): the stitching grows the long image in place.
  std::function<void(int height)> setCaptureImage;
  // Held while the long image's rows are written, so that another thread
  // may read the image under it; none needed when one thread does all.
  std::mutex* imageLock = nullptr;
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
