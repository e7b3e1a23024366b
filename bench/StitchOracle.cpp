#include "StitchOracle.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <initializer_list>

namespace oracle {

// Every log line carries the position of the line that writes it.
#define ORACLE_LOG(env, level, ...) LogAt((env), (level), __FILE__, __LINE__, __VA_ARGS__)

using namespace ScreenCapture;

namespace {

// Scroll positions come from earlier steps; sums of them must not overflow.
int Saturate(long long v) { return v > 2147483647LL ? 2147483647 : v < -2147483647LL - 1 ? -2147483647 - 1 : static_cast<int>(v); }

void LogAt(const StitchEnvironment& env, int level, const char* file, int line, const char* format, ...) {
  if (!env.log) return;
  char buffer[512];
  va_list args;
  va_start(args, format);
  std::vsnprintf(buffer, sizeof(buffer), format, args);
  va_end(args);
  env.log(level, file, line, buffer);
}

int LastError(const StitchEnvironment& env) { return env.lastError ? env.lastError() : 0; }

bool PixelEqual(const PixelImage& a, int ra, int col, const PixelImage& b, int rb) {
  return std::memcmp(a.Row(ra) + col, b.Row(rb) + col, 4) == 0;
}

// Rows outside either picture are unequal.
bool RowEqual(const PixelImage& a, long long i64, const PixelImage& b, int j, int W, StitchState& st) {
  if (i64 < 0 || j < 0 || i64 >= a.height || j >= b.height) return false;
  const int i = static_cast<int>(i64);
  for (int col = st.left; col < W - st.right; ++col) {
    if (!PixelEqual(a, i, col, b, j)) return false;
  }
  const int leftEnd = st.left < W ? st.left : W;
  for (int col = 0; col < leftEnd; ++col) {
    if (!PixelEqual(a, i, col, b, j)) {
      if (!st.editHintShown) {
        st.leftMarginDiffers = true;
        st.tipText = kEditHintTip;
      }
      break;
    }
  }
  return true;
}

int CompareFrame(int wheel, const PixelImage& A, int Hi, const PixelImage& B, int Hf, int W, StitchState& st) {
  const int T = st.top, Bm = st.bottom;
  const bool up = wheel > 0;
  const int base = Saturate(static_cast<long long>(st.rollOffset) - st.rollOffsetMin);
  const int prev = st.rollOffset;
  (void)Hi;
  int maxMatchLines = 0;
  st.rollSave = 0;
  for (int s = 0; s < Hf - T - Bm; ++s) {
    if (maxMatchLines > 0 && maxMatchLines >= Hf - T - Bm - s) break;
    int bestLength = 0, bestStart = 0, bestEnd = 0;
    int runStart = -1;
    for (int l = Bm; l <= Hf - 1 - T - s; ++l) {
      const bool equal = up ? RowEqual(A, static_cast<long long>(base) + s + l, B, l, W, st) : RowEqual(A, static_cast<long long>(base) + l, B, s + l, W, st);
      if (equal) {
        if (runStart < 0) runStart = l;
        const int length = l - runStart + 1;
        if (length > bestLength) {
          bestLength = length;
          bestStart = runStart;
          bestEnd = l;
        }
      } else {
        runStart = -1;
      }
    }
    if (bestLength > maxMatchLines) {
      maxMatchLines = bestLength;
      st.rollSave = s;
      if (up) {
        st.imgLine = Hf - bestStart - 1;
        st.sourceLine = Hf - bestStart - s - 1;
      } else {
        st.imgLine = bestEnd + s;
        st.sourceLine = bestEnd;
      }
    }
  }
  st.sourceLine = Saturate(st.sourceLine + (up ? static_cast<long long>(st.rollOffsetMax) - prev : static_cast<long long>(prev) - st.rollOffsetMin));
  return maxMatchLines;
}

}  // namespace

void GuessBitmapEdge(const PixelImage& A, const PixelImage& B, int W, StitchState& st, const StitchEnvironment& env) {
  const int H = A.height;
  bool allEqual = true;
  for (int r = 0; r < H && allEqual; ++r) {
    for (int c = 0; c < W; ++c) {
      if (!PixelEqual(A, r, c, B, r)) {
        allEqual = false;
        break;
      }
    }
  }
  if (allEqual) {
    ORACLE_LOG(env, 3, "Compare Equal!");
    return;
  }
  if (st.previewPlacement == SHOW_RIGHT_INSIDE_20) {
    const int compareSize = 4 * (W - st.previewPanelWidth) - 80;
    ORACLE_LOG(env, 3, "SHOW_RIGHT_INSIDE_20 compareSize = %d", compareSize);
    const int bytes = compareSize < 0 ? 0 : compareSize > 4 * W ? 4 * W : compareSize;
    bool equal = true;
    for (int r = 0; r < H && equal; ++r) equal = std::memcmp(A.Row(r), B.Row(r), static_cast<size_t>(bytes)) == 0;
    if (equal) {
      ORACLE_LOG(env, 3, "Compare Equal!");
      return;
    }
  }
  const int d = W > 300 ? 50 : W > 50 ? 30 : 0;
  st.right = d;
  for (int col = W - d - 1; col >= 0; --col) {
    bool differs = false;
    for (int r = 0; r < H && !differs; ++r) differs = !PixelEqual(A, r, col, B, r);
    if (differs) {
      st.right = W - 1 - col;
      break;
    }
  }
  for (int col = 0; col <= W - st.right - 1; ++col) {
    bool differs = false;
    for (int r = 0; r < H && !differs; ++r) differs = !PixelEqual(A, r, col, B, r);
    if (differs) {
      st.left = col;
      break;
    }
  }
  const auto rowDiffers = [&](int r) { return std::memcmp(A.Row(r), B.Row(r), static_cast<size_t>(W) * 4) != 0; };
  for (int count = 0; count < H; ++count) {
    if (rowDiffers(H - 1 - count)) {
      st.top = count;
      break;
    }
  }
  for (int count = 0; count < H - st.top; ++count) {
    if (rowDiffers(count)) {
      st.bottom = count;
      break;
    }
  }
  ORACLE_LOG(env, 4, "GuessBitmapEdge : width:%d left:%d top:%d right:%d bottom:%d GUESS_EDGE_SCOPE:%f", W, st.left, st.top,
      st.right, st.bottom, 1.0);
}

int Combine(const PixelImage& A, const PixelImage& B, int W, int wheel, StitchState& st, const StitchEnvironment& env,
            PixelImage* joinedOut) {
  const uint32_t start = env.tickCount ? env.tickCount() : 0;
  if (wheel == 0) {
    ORACLE_LOG(env, 1, "wheel == 0:%d", LastError(env));
    return COMPARE_RESULT_FAILED;
  }
  if (!A.Valid()) {
    ORACLE_LOG(env, 1, "get m_scroolImage info failed!:%d", LastError(env));
    return COMPARE_RESULT_FAILED;
  }
  if (!B.Valid()) {
    ORACLE_LOG(env, 1, "get bitmap info failed!:%d", LastError(env));
    return COMPARE_RESULT_FAILED;
  }
  if (&A == &B) {
    ORACLE_LOG(env, 1, "the frame is the long image");
    return COMPARE_RESULT_FAILED;
  }
  if (A.width != B.width || A.width != W) {
    ORACLE_LOG(env, 1, "width error:%d -%d -%d", A.width, B.width, W);
    return COMPARE_RESULT_FAILED;
  }
  const int Hi = A.height, Hf = B.height;
  if (Hi < Hf) {
    ORACLE_LOG(env, 1, "sourceHeight<bitmapHeight -%d -%d", Hi, Hf);
    return COMPARE_RESULT_FAILED;
  }
  // Margins below zero count as zero, and none is wider than a picture can be.
  for (int* margin : {&st.left, &st.right, &st.top, &st.bottom}) {
    if (*margin < 0) *margin = 0;
    if (*margin > (1 << 24)) *margin = 1 << 24;
  }
  if (Hi == Hf && !st.marginsGuessed) {
    GuessBitmapEdge(A, B, W, st, env);
    st.marginsGuessed = true;
  }
  st.imgLine = -1;
  st.sourceLine = -1;
  const int savedOffset = st.rollOffset, savedMax = st.rollOffsetMax, savedMin = st.rollOffsetMin;
  const int savedPerWheel = st.rollPerWheel, savedMatch = st.matchOffset;

  // CompareFrame, steps 1 to 10.
  const bool up = wheel > 0;
  const int prev = st.rollOffset;
  int maxMatchLines = CompareFrame(wheel, A, Hi, B, Hf, W, st);
  int result;
  ORACLE_LOG(env, 4, "sourceLine = %d, imgLine = %d", st.sourceLine, st.imgLine);
  st.rollPerWheel += st.rollSave;
  if (st.matchOffset == 0 && st.rollSave > 0) st.matchOffset = maxMatchLines;
  ORACLE_LOG(env, 4, "rollSave = %d, maxMatchLines = %d, m_matchOffset = %d", st.rollSave, maxMatchLines, st.matchOffset);
  const int newOffset = Saturate(up ? static_cast<long long>(prev) + st.rollSave : static_cast<long long>(prev) - st.rollSave);
  const bool inside = st.rollOffsetMax > st.rollOffsetMin && st.rollOffsetMin <= newOffset && newOffset <= st.rollOffsetMax;
  // Unmoved at the long image's bottom, a trusted match that misses only
  // rows below it: those rows were repainted since they were joined.
  const int repainted = st.imgLine - maxMatchLines + 1;
  const bool repaintedBelow = !up && st.rollSave == 0 && maxMatchLines > 0 && repainted > st.bottom &&
                              prev == st.rollOffsetMin && inside && maxMatchLines >= 0.1 * st.matchOffset;
  if (maxMatchLines < 1) {
    result = COMPARE_RESULT_FAILED;
  } else if (up && st.rollSave == 0 && maxMatchLines == st.imgLine - st.top + 1) {
    result = COMPARE_RESULT_TOP;
  } else if (wheel < 0 && st.rollSave == 0 && maxMatchLines == st.imgLine - st.bottom + 1) {
    result = COMPARE_RESULT_BOTTOM;
  } else if (repaintedBelow && repainted <= Hf) {
    // The lowest `repainted` rows of the long image from the frame's lowest.
    PixelImage replaced = A;
    for (int r = 0; r < repainted; ++r) std::memcpy(replaced.Row(r), B.Row(r), static_cast<size_t>(W) * 4);
    if (joinedOut) *joinedOut = std::move(replaced);
    ORACLE_LOG(env, 4, "%d rows at the bottom repainted", repainted);
    if (env.setCaptureImage) env.setCaptureImage(Hi);
    result = COMPARE_RESULT_BOTTOM;
  } else if (st.rollSave == 0 && inside) {
    // Unmoved, with changes where nothing scrolls: the end or the top.
    result = up ? COMPARE_RESULT_TOP : COMPARE_RESULT_BOTTOM;
  } else {
    st.rollOffset = newOffset;
    if (newOffset > st.rollOffsetMax) st.rollOffsetMax = newOffset;
    if (newOffset < st.rollOffsetMin) st.rollOffsetMin = newOffset;
    ORACLE_LOG(env, 4, "m_rollOffset = %d, m_rollOffsetMax = %d, m_rollOffsetMin = %d", st.rollOffset, st.rollOffsetMax,
        st.rollOffsetMin);
    if (inside) {
      result = COMPARE_RESULT_INSIDE;
    } else {
      result = maxMatchLines >= 0.1 * st.matchOffset ? COMPARE_RESULT_COMBINE : COMPARE_RESULT_FAILED;
    }
  }

  if (result == COMPARE_RESULT_COMBINE) {
    // CombineImages, with the row ranges checked first.
    const int imgLine = st.imgLine, sourceLine = st.sourceLine;
    const long long Hn = static_cast<long long>(imgLine) - sourceLine + Hi;
    if (imgLine < 0 || imgLine > Hf || sourceLine < 0 || sourceLine > Hi || Hn < 1) {
      ORACLE_LOG(env, 1, "combine rows out of range: imgLine:%d sourceLine:%d sourceHeight:%d bitmapHeight:%d", imgLine,
          sourceLine, Hi, Hf);
      // Nothing joined: the scroll position as it was.
      st.rollOffset = savedOffset, st.rollOffsetMax = savedMax, st.rollOffsetMin = savedMin;
      st.rollPerWheel = savedPerWheel, st.matchOffset = savedMatch;
      result = COMPARE_RESULT_FAILED;
    } else {
      PixelImage joined;
      joined.width = W;
      joined.height = static_cast<int>(Hn);
      joined.pixels.resize(static_cast<size_t>(W) * static_cast<size_t>(Hn));
      int row = 0;
      if (!up) {
        for (int r = 0; r < imgLine; ++r) std::memcpy(joined.Row(row++), B.Row(r), static_cast<size_t>(W) * 4);
        for (int r = sourceLine; r < Hi; ++r) std::memcpy(joined.Row(row++), A.Row(r), static_cast<size_t>(W) * 4);
      } else {
        for (int r = 0; r < Hi - sourceLine; ++r) std::memcpy(joined.Row(row++), A.Row(r), static_cast<size_t>(W) * 4);
        for (int r = Hf - imgLine; r < Hf; ++r) std::memcpy(joined.Row(row++), B.Row(r), static_cast<size_t>(W) * 4);
      }
      if (joinedOut) *joinedOut = std::move(joined);
      if (env.setCaptureImage) env.setCaptureImage(static_cast<int>(Hn));
    }
  }
  ORACLE_LOG(env, 4, "m_mouseWheelOffset:%d wheel:%d  m_mouseWheelOffsetMin:%d m_mouseWheelOffsetMax:%d", st.rollOffset, wheel,
      st.rollOffsetMin, st.rollOffsetMax);
  ORACLE_LOG(env, 4,
      "Combine Result:%d m_mouseWheelOffset:%d wheel:%d  sourceHeight:%d bitmapHeight:%d imgLine:%d sourceLine:%d "
      "tickcount:%d",
      result, st.rollOffset, wheel, Hi, Hf, st.imgLine, st.sourceLine,
      static_cast<int>((env.tickCount ? env.tickCount() : 0) - start));
  return result;
}

}  // namespace oracle
