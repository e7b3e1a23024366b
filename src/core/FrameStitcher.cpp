#include "core/FrameStitcher.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <initializer_list>

namespace ScreenCapture {

// Every log line carries the position of the line that writes it.
#define STITCH_LOG(level, ...) LogAt((level), __FILE__, __LINE__, __VA_ARGS__)

namespace {

// Scroll positions come from earlier steps; sums of them must not overflow.
int Saturate(long long v) { return v > 2147483647LL ? 2147483647 : v < -2147483647LL - 1 ? -2147483647 - 1 : static_cast<int>(v); }

// A 64-bit hash of a band of pixels. It looks at every fourth 64-bit word
// only: equal hashes are confirmed byte by byte anyway, so the hash just has
// to tell most different rows apart, cheaply.
uint64_t HashBand(const uint32_t* p, int count) {
  const uint64_t k = 0x9E3779B97F4A7C15ull;
  uint64_t h0 = 1, h1 = 2;
  int i = 0;
  for (; i + 16 <= count; i += 16) {
    uint64_t w0, w1;
    std::memcpy(&w0, p + i, sizeof(w0));
    std::memcpy(&w1, p + i + 8, sizeof(w1));
    h0 = (h0 ^ w0) * k;
    h1 = (h1 ^ w1) * k;
  }
  for (; i < count; ++i) h0 = (h0 ^ p[i]) * k;
  uint64_t h = h0 ^ (h1 << 1) ^ static_cast<uint64_t>(count);
  h ^= h >> 31;
  return h;
}

// Numbers for row bands: equal numbers exactly for equal bands. An open
// hash table of (hash, number); equal hashes are checked byte by byte.
class BandNumbers {
 public:
  explicit BandNumbers(int expected) {
    size_t size = 16;
    while (size < static_cast<size_t>(expected) * 4) size <<= 1;
    m_mask = size - 1;
    m_slots.assign(size, Slot{0, -1});
    m_bands.reserve(static_cast<size_t>(expected));
  }

  int Number(const uint32_t* band, int length) {
    const uint64_t hash = HashBand(band, length);
    for (size_t i = hash & m_mask;; i = (i + 1) & m_mask) {
      Slot& slot = m_slots[i];
      if (slot.number < 0) {
        slot = Slot{hash, static_cast<int>(m_bands.size())};
        m_bands.push_back(band);
        return slot.number;
      }
      if (slot.hash == hash &&
          std::memcmp(m_bands[static_cast<size_t>(slot.number)], band, static_cast<size_t>(length) * 4) == 0) {
        return slot.number;
      }
    }
  }

 private:
  struct Slot {
    uint64_t hash;
    int number;
  };
  size_t m_mask = 0;
  std::vector<Slot> m_slots;
  std::vector<const uint32_t*> m_bands;
};

}  // namespace

bool ReplaceRows(PixelImage& image, bool atTop, int drop, const uint32_t* rows, int count) {
  if (!image.Valid() || drop < 0 || drop > image.height || count < 0) return false;
  const long long height = static_cast<long long>(image.height) - drop + count;
  if (height < 1 || height > (1 << 24)) return false;
  const size_t rowPixels = static_cast<size_t>(image.width);
  const int kept = image.height - drop;
  const int keptFrom = atTop ? 0 : drop;  // stored rows of the image that stay
  const long long newFirst = atTop ? image.first : static_cast<long long>(image.first) + drop - count;
  if (newFirst < 0 || newFirst + height > image.Capacity()) {
    // Rebuild with a quarter of the new height spare at the growing end.
    const long long spare = height / 4 + 1;
    const long long capacity = height + spare;
    if (static_cast<unsigned long long>(capacity) * rowPixels > static_cast<size_t>(-1) / 8) return false;
    PixelBuffer grown;
    if (!grown.resize(static_cast<size_t>(capacity) * rowPixels)) return false;
    const size_t first = atTop ? 0 : static_cast<size_t>(spare);
    uint32_t* keptTo = grown.data() + (first + (atTop ? 0 : static_cast<size_t>(count))) * rowPixels;
    std::memcpy(keptTo, image.Row(keptFrom), static_cast<size_t>(kept) * rowPixels * 4);
    image.pixels.swap(grown);
    image.first = static_cast<int>(first);
  } else {
    image.first = static_cast<int>(newFirst);  // the kept rows stay where they are
  }
  image.height = static_cast<int>(height);
  uint32_t* to = atTop ? image.Row(kept) : image.Row(0);
  std::memcpy(to, rows, static_cast<size_t>(count) * rowPixels * 4);
  return true;
}

void CFrameStitcher::LogAt(int level, const char* file, int line, const char* format, ...) {
  if (!m_env.log) return;
  char buffer[512];
  va_list args;
  va_start(args, format);
  std::vsnprintf(buffer, sizeof(buffer), format, args);
  va_end(args);
  m_env.log(level, file, line, buffer);
}

void CFrameStitcher::GuessBitmapEdge(const PixelImage& A, const PixelImage& B, int W, StitchState& st) {
  const int H = A.height;
  // One pass: which columns and which rows differ anywhere.
  std::vector<char> columnDiffers(static_cast<size_t>(W), 0);
  std::vector<char> rowDiffers(static_cast<size_t>(H), 0);
  bool anyDiffers = false;
  for (int r = 0; r < H; ++r) {
    const uint32_t* a = A.Row(r);
    const uint32_t* b = B.Row(r);
    if (std::memcmp(a, b, static_cast<size_t>(W) * 4) == 0) continue;
    rowDiffers[static_cast<size_t>(r)] = 1;
    anyDiffers = true;
    for (int c = 0; c < W; ++c) {
      if (a[c] != b[c]) columnDiffers[static_cast<size_t>(c)] = 1;
    }
  }
  if (!anyDiffers) {
    STITCH_LOG(3, "Compare Equal!");
    return;
  }
  if (st.previewPlacement == SHOW_RIGHT_INSIDE_20) {
    const int compareSize = 4 * (W - st.previewPanelWidth) - 80;
    STITCH_LOG(3, "SHOW_RIGHT_INSIDE_20 compareSize = %d", compareSize);
    const int bytes = compareSize < 0 ? 0 : compareSize > 4 * W ? 4 * W : compareSize;
    bool equal = true;
    for (int r = 0; r < H && equal; ++r) equal = std::memcmp(A.Row(r), B.Row(r), static_cast<size_t>(bytes)) == 0;
    if (equal) {
      STITCH_LOG(3, "Compare Equal!");
      return;
    }
  }
  const int d = W > 300 ? 50 : W > 50 ? 30 : 0;
  st.right = d;
  for (int col = W - d - 1; col >= 0; --col) {
    if (columnDiffers[static_cast<size_t>(col)]) {
      st.right = W - 1 - col;
      break;
    }
  }
  for (int col = 0; col <= W - st.right - 1; ++col) {
    if (columnDiffers[static_cast<size_t>(col)]) {
      st.left = col;
      break;
    }
  }
  for (int count = 0; count < H; ++count) {
    if (rowDiffers[static_cast<size_t>(H - 1 - count)]) {
      st.top = count;
      break;
    }
  }
  for (int count = 0; count < H - st.top; ++count) {
    if (rowDiffers[static_cast<size_t>(count)]) {
      st.bottom = count;
      break;
    }
  }
  STITCH_LOG(4, "GuessBitmapEdge : width:%d left:%d top:%d right:%d bottom:%d GUESS_EDGE_SCOPE:%f", W, st.left, st.top,
      st.right, st.bottom, 1.0);
}

int CFrameStitcher::CompareFrame(int wheel, const PixelImage& A, const PixelImage& B, int W, StitchState& st) {
  const int T = st.top, Bm = st.bottom;
  const int Hf = B.height;
  const bool up = wheel > 0;
  const int base = Saturate(static_cast<long long>(st.rollOffset) - st.rollOffsetMin);
  const int prev = st.rollOffset;
  int maxMatchLines = 0;
  st.rollSave = 0;

  const int shifts = Hf - T - Bm;
  if (shifts > 0) {
    // Rows Bm .. Hf-1-T of the frame and base+Bm .. base+Hf-1-T of the long
    // image are all the search can look at. Rows outside a picture get -1:
    // unequal to everything.
    const int bandStart = st.left < W ? st.left : W;
    const int bandEnd = W - st.right > bandStart ? W - st.right : bandStart;
    const int bandLength = bandEnd - bandStart;
    const int leftLength = st.left < W ? st.left : W;
    const bool watchLeft = leftLength > 0;
    BandNumbers bands(2 * shifts);
    BandNumbers lefts(watchLeft ? 2 * shifts : 1);
    std::vector<int> idA(static_cast<size_t>(shifts)), idB(static_cast<size_t>(shifts));
    std::vector<int> leftA(watchLeft ? static_cast<size_t>(shifts) : 0), leftB(leftA.size());
    for (int l = 0; l < shifts; ++l) {
      const long long ra = static_cast<long long>(base) + Bm + l;
      const int rb = Bm + l;
      if (ra < 0 || ra >= A.height) {
        idA[static_cast<size_t>(l)] = -1;
      } else {
        idA[static_cast<size_t>(l)] = bandLength > 0 ? bands.Number(A.Row(static_cast<int>(ra)) + bandStart, bandLength) : 0;
        if (watchLeft) leftA[static_cast<size_t>(l)] = lefts.Number(A.Row(static_cast<int>(ra)), leftLength);
      }
      idB[static_cast<size_t>(l)] = bandLength > 0 ? bands.Number(B.Row(rb) + bandStart, bandLength) : 0;
      if (watchLeft) leftB[static_cast<size_t>(l)] = lefts.Number(B.Row(rb), leftLength);
    }
    // Index k of idA/idB is row Bm + k (plus base for the long image).
    for (int s = 0; s < shifts; ++s) {
      if (maxMatchLines > 0 && maxMatchLines >= shifts - s) break;
      const int count = shifts - s;  // l = Bm .. Hf-1-T-s
      const int* a = idA.data() + (up ? s : 0);
      const int* b = idB.data() + (up ? 0 : s);
      const int* la = watchLeft ? leftA.data() + (up ? s : 0) : nullptr;
      const int* lb = watchLeft ? leftB.data() + (up ? 0 : s) : nullptr;
      int bestLength = 0, bestStart = 0, bestEnd = 0, runStart = -1;
      for (int k = 0; k < count; ++k) {
        if (a[k] >= 0 && a[k] == b[k]) {
          // Asked again at every differing strip until the hint has been
          // shown: a hint set in the middle of a step is gone by its end.
          if (la && la[k] != lb[k] && !st.editHintShown) {
            st.leftMarginDiffers = true;
            st.tipText = kEditHintTip;
          }
          if (runStart < 0) runStart = k;
          if (k - runStart + 1 > bestLength) {
            bestLength = k - runStart + 1;
            bestStart = runStart;
            bestEnd = k;
          }
        } else {
          runStart = -1;
        }
      }
      if (bestLength > maxMatchLines) {
        maxMatchLines = bestLength;
        st.rollSave = s;
        const int start = Bm + bestStart, end = Bm + bestEnd;
        if (up) {
          st.imgLine = Hf - start - 1;
          st.sourceLine = Hf - start - s - 1;
        } else {
          st.imgLine = end + s;
          st.sourceLine = end;
        }
      }
    }
  }
  st.sourceLine = Saturate(st.sourceLine + (up ? static_cast<long long>(st.rollOffsetMax) - prev : static_cast<long long>(prev) - st.rollOffsetMin));
  return maxMatchLines;
}

int CFrameStitcher::Combine(PixelImage& A, const PixelImage& B, int W, int wheel, StitchState& st) {
  const uint32_t start = m_env.tickCount ? m_env.tickCount() : 0;
  const int lastError = m_env.lastError ? m_env.lastError() : 0;
  if (wheel == 0) {
    STITCH_LOG(1, "wheel == 0:%d", lastError);
    return COMPARE_RESULT_FAILED;
  }
  if (!A.Valid()) {
    STITCH_LOG(1, "get m_scroolImage info failed!:%d", lastError);
    return COMPARE_RESULT_FAILED;
  }
  if (!B.Valid()) {
    STITCH_LOG(1, "get bitmap info failed!:%d", lastError);
    return COMPARE_RESULT_FAILED;
  }
  if (&A == &B) {
    STITCH_LOG(1, "the frame is the long image");
    return COMPARE_RESULT_FAILED;
  }
  if (A.width != B.width || A.width != W) {
    STITCH_LOG(1, "width error:%d -%d -%d", A.width, B.width, W);
    return COMPARE_RESULT_FAILED;
  }
  const int Hi = A.height, Hf = B.height;
  if (Hi < Hf) {
    STITCH_LOG(1, "sourceHeight<bitmapHeight -%d -%d", Hi, Hf);
    return COMPARE_RESULT_FAILED;
  }
  // Margins below zero count as zero, and none is wider than a picture can be.
  for (int* margin : {&st.left, &st.right, &st.top, &st.bottom}) {
    if (*margin < 0) *margin = 0;
    if (*margin > (1 << 24)) *margin = 1 << 24;
  }
  if (Hi == Hf && !st.marginsGuessed) {
    GuessBitmapEdge(A, B, W, st);
    st.marginsGuessed = true;
  }
  st.imgLine = -1;
  st.sourceLine = -1;
  const int savedOffset = st.rollOffset, savedMax = st.rollOffsetMax, savedMin = st.rollOffsetMin;
  const int savedPerWheel = st.rollPerWheel, savedMatch = st.matchOffset;

  const bool up = wheel > 0;
  const int prev = st.rollOffset;
  const int maxMatchLines = CompareFrame(wheel, A, B, W, st);
  STITCH_LOG(4, "sourceLine = %d, imgLine = %d", st.sourceLine, st.imgLine);
  st.rollPerWheel += st.rollSave;
  if (st.matchOffset == 0 && st.rollSave > 0) st.matchOffset = maxMatchLines;
  STITCH_LOG(4, "rollSave = %d, maxMatchLines = %d, m_matchOffset = %d", st.rollSave, maxMatchLines, st.matchOffset);
  const int newOffset = Saturate(up ? static_cast<long long>(prev) + st.rollSave : static_cast<long long>(prev) - st.rollSave);
  const bool inside = st.rollOffsetMax > st.rollOffsetMin && st.rollOffsetMin <= newOffset && newOffset <= st.rollOffsetMax;
  // Scrolling down, a page may still be painting the rows it uncovered when
  // a frame is grabbed, and that frame may have been joined. Unmoved, at the
  // long image's bottom, a trusted match that only misses rows below it
  // means those rows were repainted since: they replace the long image's.
  const int repainted = st.imgLine - maxMatchLines + 1;  // rows below the run, margin included
  const bool repaintedBelow = !up && st.rollSave == 0 && maxMatchLines > 0 && repainted > st.bottom &&
                              prev == st.rollOffsetMin && inside && maxMatchLines >= 0.1 * st.matchOffset;
  int result;
  if (maxMatchLines < 1) {
    result = COMPARE_RESULT_FAILED;
  } else if (up && st.rollSave == 0 && maxMatchLines == st.imgLine - st.top + 1) {
    result = COMPARE_RESULT_TOP;
  } else if (wheel < 0 && st.rollSave == 0 && maxMatchLines == st.imgLine - st.bottom + 1) {
    result = COMPARE_RESULT_BOTTOM;
  } else if (repaintedBelow && repainted <= Hf) {
    bool replaced;
    {
      std::unique_lock<std::mutex> lock;
      if (m_env.imageLock) lock = std::unique_lock<std::mutex>(*m_env.imageLock);
      replaced = ReplaceRows(A, false, repainted, B.Row(0), repainted);
    }
    STITCH_LOG(4, "%d rows at the bottom repainted", repainted);
    if (replaced && m_env.setCaptureImage) m_env.setCaptureImage(A.height);
    result = replaced ? COMPARE_RESULT_BOTTOM : COMPARE_RESULT_FAILED;
  } else if (st.rollSave == 0 && inside) {
    // The page did not move, though some rows changed where nothing scrolls
    // (a caret, the preview drawn inside the area): its end or its top, not
    // a place inside what is captured. Otherwise a page with a blinking caret
    // never ends the automatic scrolling.
    result = up ? COMPARE_RESULT_TOP : COMPARE_RESULT_BOTTOM;
  } else {
    st.rollOffset = newOffset;
    if (newOffset > st.rollOffsetMax) st.rollOffsetMax = newOffset;
    if (newOffset < st.rollOffsetMin) st.rollOffsetMin = newOffset;
    STITCH_LOG(4, "m_rollOffset = %d, m_rollOffsetMax = %d, m_rollOffsetMin = %d", st.rollOffset, st.rollOffsetMax,
        st.rollOffsetMin);
    if (inside) {
      result = COMPARE_RESULT_INSIDE;
    } else {
      // A match shorter than a tenth of the first movement's is not trusted.
      result = maxMatchLines >= 0.1 * st.matchOffset ? COMPARE_RESULT_COMBINE : COMPARE_RESULT_FAILED;
    }
  }

  if (result == COMPARE_RESULT_COMBINE) {
    // The rows to join come from the search and the scroll position: check
    // them against both pictures before a single byte moves.
    const int imgLine = st.imgLine, sourceLine = st.sourceLine;
    const long long Hn = static_cast<long long>(imgLine) - sourceLine + Hi;
    if (imgLine < 0 || imgLine > Hf || sourceLine < 0 || sourceLine > Hi || Hn < 1) {
      STITCH_LOG(1, "combine rows out of range: imgLine:%d sourceLine:%d sourceHeight:%d bitmapHeight:%d", imgLine,
          sourceLine, Hi, Hf);
      st.rollOffset = savedOffset, st.rollOffsetMax = savedMax, st.rollOffsetMin = savedMin;
      st.rollPerWheel = savedPerWheel, st.matchOffset = savedMatch;
      result = COMPARE_RESULT_FAILED;
    } else {
      // Scrolling down, the newly revealed bottom of the page replaces the
      // long image's rows below the top of the matching run; scrolling up,
      // the newly revealed top replaces the rows above its bottom.
      bool joined;
      {
        std::unique_lock<std::mutex> lock;
        if (m_env.imageLock) lock = std::unique_lock<std::mutex>(*m_env.imageLock);
        joined = up ? ReplaceRows(A, true, sourceLine, B.Row(Hf - imgLine), imgLine)
                    : ReplaceRows(A, false, sourceLine, B.Row(0), imgLine);
      }
      if (!joined) {
        STITCH_LOG(1, "long image of %lld rows could not be made", Hn);
        st.rollOffset = savedOffset, st.rollOffsetMax = savedMax, st.rollOffsetMin = savedMin;
        st.rollPerWheel = savedPerWheel, st.matchOffset = savedMatch;
        result = COMPARE_RESULT_FAILED;
      } else if (m_env.setCaptureImage) {
        m_env.setCaptureImage(static_cast<int>(Hn));
      }
    }
  }
  STITCH_LOG(4, "m_mouseWheelOffset:%d wheel:%d  m_mouseWheelOffsetMin:%d m_mouseWheelOffsetMax:%d", st.rollOffset, wheel,
      st.rollOffsetMin, st.rollOffsetMax);
  STITCH_LOG(4,
      "Combine Result:%d m_mouseWheelOffset:%d wheel:%d  sourceHeight:%d bitmapHeight:%d imgLine:%d sourceLine:%d "
      "tickcount:%d",
      result, st.rollOffset, wheel, Hi, Hf, st.imgLine, st.sourceLine,
      static_cast<int>((m_env.tickCount ? m_env.tickCount() : 0) - start));
  return result;
}

}  // namespace ScreenCapture
