#pragma once
// What the scroll capture decides after each wheel step, as value code: the
// results of the frames of one step summed up, the status tips with their
// exact texts, when the automatic scrolling stops, and how long each tip
// stays before the next step. The mode carries the decisions out.
#include <string>
#include <vector>

#include "core/StitchTypes.h"

namespace ScreenCapture {

// The status tips (UTF-8); the program compares tips by their text.
inline constexpr const char* kStartTip = "\xE5\x8D\x95\xE5\x87\xBB\xE6\xA1\x86\xE9\x80\x89\xE5\x8C\xBA\xE5\x9F\x9F\xEF\xBC\x8C\xE5\xBC\x80\xE5\xA7\x8B\xE9\x95\xBF\xE6\x88\xAA\xE5\x9B\xBE";  // 单击框选区域，开始长截图
inline constexpr const char* kPausedTip = "\xE5\xB7\xB2\xE6\x9A\x82\xE5\x81\x9C\xEF\xBC\x8C\xE5\x8D\x95\xE5\x87\xBB\xE7\xBB\xA7\xE7\xBB\xAD";  // 已暂停，单击继续
inline constexpr const char* kMaxHeightTip = "\xE5\xB7\xB2\xE8\xBE\xBE\xE6\x9C\x80\xE5\xA4\xA7\xE9\x95\xBF\xE5\xBA\xA6\xEF\xBC\x8C\xE6\x97\xA0\xE6\xB3\x95\xE7\xBB\xA7\xE7\xBB\xAD\xE9\x95\xBF\xE6\x88\xAA\xE5\x9B\xBE";  // 已达最大长度，无法继续长截图
inline constexpr const char* kBottomSoonTip = "\xE5\xB7\xB2\xE6\xBB\x9A\xE5\x8A\xA8\xE8\x87\xB3\xE5\xBA\x95\xE9\x83\xA8\x2E\x2E\x2E";  // 已滚动至底部...
inline constexpr const char* kTopSoonTip = "\xE5\xB7\xB2\xE6\xBB\x9A\xE5\x8A\xA8\xE8\x87\xB3\xE9\xA1\xB6\xE9\x83\xA8\x2E\x2E\x2E";  // 已滚动至顶部...
inline constexpr const char* kBottomTip = "\xE5\xB7\xB2\xE6\xBB\x9A\xE5\x8A\xA8\xE8\x87\xB3\xE5\xBA\x95\xE9\x83\xA8";  // 已滚动至底部
inline constexpr const char* kTopTip = "\xE5\xB7\xB2\xE6\xBB\x9A\xE5\x8A\xA8\xE8\x87\xB3\xE9\xA1\xB6\xE9\x83\xA8";  // 已滚动至顶部
inline constexpr const char* kAtBottomTip = "\xE5\xB7\xB2\xE4\xBD\x8D\xE4\xBA\x8E\xE5\xBA\x95\xE9\x83\xA8\xE5\x8C\xBA\xE5\x9F\x9F\xEF\xBC\x8C\xE6\x97\xA0\xE6\xB3\x95\xE9\x95\xBF\xE6\x88\xAA\xE5\x9B\xBE";  // 已位于底部区域，无法长截图
inline constexpr const char* kAtTopTip = "\xE5\xB7\xB2\xE4\xBD\x8D\xE4\xBA\x8E\xE9\xA1\xB6\xE9\x83\xA8\xE5\x8C\xBA\xE5\x9F\x9F\xEF\xBC\x8C\xE6\x97\xA0\xE6\xB3\x95\xE9\x95\xBF\xE6\x88\xAA\xE5\x9B\xBE";  // 已位于顶部区域，无法长截图
inline constexpr const char* kInvalidTip = "\xE6\x97\xA0\xE6\x95\x88\xE5\x8C\xBA\xE5\x9F\x9F\xEF\xBC\x8C\xE4\xB8\x8D\xE6\x94\xAF\xE6\x8C\x81\xE9\x95\xBF\xE6\x88\xAA\xE5\x9B\xBE";  // 无效区域，不支持长截图

// The result of one wheel step from the results of its frames: a join, a
// failure and "inside" replace what came before; the page's end or top
// count only while nothing else has come.
constexpr int AggregateResult(int aggregate, int frame) {
  if (frame == COMPARE_RESULT_COMBINE || frame == COMPARE_RESULT_FAILED || frame == COMPARE_RESULT_INSIDE) return frame;
  if ((frame == COMPARE_RESULT_BOTTOM || frame == COMPARE_RESULT_TOP) && aggregate == COMPARE_RESULT_NONE) return frame;
  return aggregate;
}

// A tip shown (and repainted) for a while: what the evaluation does in order.
struct TipShown {
  std::string tip;
  int waitMs = 0;
};

struct StepOutcome {
  std::vector<TipShown> shown;  // in order; the last one stays
  bool stopAutoScroll = false;
  bool finished = false;        // logs "Finish Auto Scroll!": the capture ends its scrolling for good
  bool maxHeightReached = false;
  bool editHintShown = false;
};

// The evaluation after each step of one scroll capture.
class ScrollStepEvaluator {
 public:
  // `result`: the step's aggregate; `longHeight`: the long image's height
  // now; `maxHeight`: the configured limit; `tip`: the tip shown now.
  StepOutcome Evaluate(int result, int longHeight, int maxHeight, const std::string& tip);

  // The page's end or top met for good.
  static bool IsEndTip(const std::string& tip);
  // The tips after which the scrolling cannot go on (no pause tip then).
  static bool IsFinalTip(const std::string& tip);

 private:
  int m_topCount = 0;
  int m_bottomCount = 0;
  bool m_onlyEnds = true;  // every step so far met the end or the top
  int m_previous = COMPARE_RESULT_NONE;
  int m_stalls = 0;
  int m_lastHeight = -1;
};

}  // namespace ScreenCapture
