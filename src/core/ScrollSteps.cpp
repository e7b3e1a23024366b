#include "core/ScrollSteps.h"

namespace ScreenCapture {

bool ScrollStepEvaluator::IsEndTip(const std::string& tip) {
  return tip == kAtTopTip || tip == kAtBottomTip || tip == kTopTip || tip == kBottomTip;
}

bool ScrollStepEvaluator::IsFinalTip(const std::string& tip) { return IsEndTip(tip) || tip == kInvalidTip; }

StepOutcome ScrollStepEvaluator::Evaluate(int result, int longHeight, int maxHeight, const std::string& tip) {
  StepOutcome out;
  std::string now = tip;
  const auto finish = [&](const std::string& finalTip) {
    if (!finalTip.empty()) now = finalTip;
    out.stopAutoScroll = true;
    out.finished = true;
    out.shown.push_back({now, 400});
  };
  if (longHeight > maxHeight) {
    out.maxHeightReached = true;
    out.stopAutoScroll = true;
    now = kMaxHeightTip;
  } else if (now == kEditHintTip) {
    // Shown for two seconds, then gone.
    out.shown.push_back({now, 2000});
    now.clear();
    out.shown.push_back({now, 200});
    out.editHintShown = true;
  } else {
    if (result == COMPARE_RESULT_TOP || result == COMPARE_RESULT_BOTTOM) {
      const bool top = result == COMPARE_RESULT_TOP;
      int& count = top ? m_topCount : m_bottomCount;
      now = top ? kTopSoonTip : kBottomSoonTip;
      if (count >= 1 && m_onlyEnds) {
        now = top ? kAtTopTip : kAtBottomTip;
      } else if (count >= 2) {
        now = top ? kTopTip : kBottomTip;
      } else {
        count = m_previous == result ? count + 1 : 0;
      }
    } else {
      m_onlyEnds = false;
      if (result == COMPARE_RESULT_FAILED) finish(kInvalidTip);
    }
    if (!out.finished && IsEndTip(now)) finish(std::string());
    // A step that met the end or failed has its tip up: it resets the count,
    // so a restart gets its six steps again.
    if (longHeight == m_lastHeight && now.empty() && result == COMPARE_RESULT_COMBINE) {
      if (++m_stalls > 5) finish(kInvalidTip);
    } else {
      m_stalls = 0;
      m_lastHeight = longHeight;
    }
  }
  if (!now.empty()) out.shown.push_back({now, 200});
  m_previous = result;
  return out;
}

}  // namespace ScreenCapture
