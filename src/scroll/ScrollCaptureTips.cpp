// The scroll capture's status tip: which tip is up, and the short times a
// tip is taken away (so that it is not grabbed with the page) or held up
// (so that it is seen). Tips are set from the worker and the automatic
// scrolling thread and read by the painting, under m_tipLock.
#include "scroll/ScrollCapture.h"

#include "common/Logger.h"
#include "common/StringUtils.h"
#include "scroll/ScrollTimings.h"

namespace ScreenCapture {

std::string ScrollCapture::GetTip() const {
  std::lock_guard<std::mutex> lock(m_tipLock);
  return m_tip;
}

void ScrollCapture::SetTip(const std::string& tip) {
  {
    std::lock_guard<std::mutex> lock(m_tipLock);
    if (m_tip == tip) return;
    m_tip = tip;
  }
  if (!tip.empty()) LOG_INF(L"scroll tip: %s", Utf8ToUtf16(tip).c_str());
}

void ScrollCapture::FlashTip() {
  const std::string tip = GetTip();
  if (tip.empty()) return;
  SetTip(std::string());
  RepaintSoon();
  if (!Wait(ScrollTimings::kTipAwayMs)) return;
  {
    std::lock_guard<std::mutex> lock(m_tipLock);
    if (m_tip.empty()) m_tip = tip;
  }
  RepaintSoon();
}

void ScrollCapture::PreClearRollTips(std::initializer_list<const char*> keep) {
  const std::string tip = GetTip();
  if (tip.empty()) return;
  for (const char* kept : keep) {
    if (tip == kept) {
      LOG_DBG(L"PreClearRollTips!, m_tipText = %s", Utf8ToUtf16(tip).c_str());
      return;
    }
  }
  // The click that the start tip asks for has been made: it goes for good.
  if (tip == kStartTip) {
    SetTip(std::string());
    m_startTipTaken = true;
    RepaintSoon();
    return;
  }
  FlashTip();
}

void ScrollCapture::PauseAutoScroll(bool pause, bool wait) {
  const std::string tip = GetTip();
  LOG_DBG(L"m_tipText = %s", Utf8ToUtf16(tip).c_str());
  if (!m_stoppedByLeaving && (ScrollStepEvaluator::IsFinalTip(tip) || m_maxHeightReached)) {
    LOG_DBG(L"CheckShowPause false, m_tipText = %s", Utf8ToUtf16(tip).c_str());
    return;
  }
  if (pause && m_scrolledByUser) {
    LOG_DBG(L"bPause = %d, m_ScrollbyUser = %d", 1, 1);
    return;
  }
  LOG_DBG(L"PauseAutoScroll----m_ScrollbyUser = %d", m_scrolledByUser ? 1 : 0);
  if (m_pauseShown.exchange(pause) == pause) return;
  if (pause) {
    SetTip(kPausedTip);
  } else {
    // Resuming takes away only the pause tip, not one that came since.
    std::lock_guard<std::mutex> lock(m_tipLock);
    if (m_tip == kPausedTip) m_tip.clear();
  }
  RepaintSoon();
  if (wait) Wait(ScrollTimings::kPauseTipMs);
}

}  // namespace ScreenCapture
