// The scroll capture's threads besides the UI thread: the worker of one
// wheel step (grab the selection again and again, stitch each frame onto
// the long image until the page rests, then decide what the step means) and
// the automatic scrolling, which injects a notch at a steady pace. Neither
// touches a window: repaints and the new long image go to the UI thread
// through the runner.
#include "scroll/ScrollCapture.h"

#include <cstring>

#include "common/VirtualScreen.h"
#include "common/Logger.h"
#include "common/StringUtils.h"
#include "core/ScrollPreview.h"
#include "scroll/ScrollTimings.h"
#include "scroll/StitchBitmap.h"

namespace ScreenCapture {

namespace {

using T = ScrollTimings;

std::atomic<bool> g_stepDecided{false};  // the worker's once-per-process step rule ran

// Waits for `event` or the stop event, whichever comes first; without
// either (never made) a short sleep stands in.
void WaitForEither(HANDLE event, HANDLE stop) {
  const HANDLE both[] = {event, stop};
  if (!event || !stop || ::WaitForMultipleObjects(2, both, FALSE, INFINITE) == WAIT_FAILED) ::Sleep(ScrollTimings::kPollWithoutEventMs);
}

}  // namespace

void ScrollCapture::OnMouseWheel(int wheel, ULONG_PTR wheelInfo, bool overOwnWindow) {
  LOG_DBG(L"OnMouseWheel..:%d", wheel);
  m_workerBusy = true;
  if (m_worker.joinable()) m_worker.join();  // it has finished: the flag was clear
  if (m_workerIdle) ::ResetEvent(m_workerIdle.Get());
  // The preview inside the area moves away from where this direction takes
  // new rows (the top going down, the bottom going up) before the first grab.
  bool previewMoved = false;
  if (wheel != 0 && m_lastWheelUp.exchange(wheel > 0) != (wheel > 0) && m_placement == SHOW_RIGHT_INSIDE_20) {
    {
      const std::lock_guard<std::mutex> lock(m_longLock);
      BuildPreview();
    }
    Repaint();
    previewMoved = true;
  }
  m_worker = std::thread([this, wheel, wheelInfo, previewMoved, overOwnWindow] {
    if (!m_stopping) Worker(wheel, wheelInfo, previewMoved, overOwnWindow);  // before anything else
    m_workerBusy = false;
    if (m_workerIdle) ::SetEvent(m_workerIdle.Get());
  });
}

void ScrollCapture::WaitWorkerIdle() {
  while (m_workerBusy && !m_stopping) WaitForEither(m_workerIdle.Get(), m_stopEvent.Get());
}

void ScrollCapture::Worker(int wheel, ULONG_PTR wheelInfo, bool previewMoved, bool overOwnWindow) {
  std::vector<TipShown> tips;
  const StepEnd end = RunStep(wheel, wheelInfo, previewMoved, overOwnWindow, tips);
  // What the step means for the other threads goes out before its tips are
  // shown: the automatic scrolling stops at once, not after the tips.
  Publish(end);
  for (const TipShown& shown : tips) {
    SetTip(shown.tip);
    RepaintSoon();
    if (!Wait(shown.waitMs)) return;
  }
}

ScrollCapture::StepEnd ScrollCapture::RunStep(int wheel, ULONG_PTR wheelInfo, bool previewMoved, bool overOwnWindow,
                                              std::vector<TipShown>& tips) {
  const std::string tip = GetTip();
  LOG_DBG(L"wheelInfo = %d, m_tipText = %s, m_bMAXHeight = %d", static_cast<int>(wheelInfo), Utf8ToUtf16(tip).c_str(),
          m_maxHeightReached ? 1 : 0);
  const bool injected = wheelInfo == kInjectedMark;
  if (m_maxHeightReached) {
    if (!injected) {
      FlashTip();
      if (overOwnWindow) return StepEnd::kAtLimit;
    }
    SetTip(kMaxHeightTip);
    RepaintSoon();
    Wait(T::kMaxHeightTipMs);
    return StepEnd::kAtLimit;
  }
  if (wheel != 0 && tip == kStartTip && !injected && overOwnWindow) {
    // Wheeling over one of the program's own windows: the step rule is
    // decided again at the next notch.
    FlashTip();
    return StepEnd::kOwnWindow;
  }
  m_stitch.rollPerWheel = 0;
  if (wheel == 0 || !m_long.Valid()) {
    // The first frame, once the window under the selection shows again; a
    // grab that failed is tried again at the next wheel, so the capture still
    // shows its tip and takes the wheel.
    PixelImage first;
    if (!Wait(T::kTipAwayMs)) return StepEnd::kStopped;
    const bool grabbed = GrabFrame(first);
    if (grabbed) {
      {
        const std::lock_guard<std::mutex> lock(m_longLock);
        m_long = std::move(first);
      }
      PostPreview();
    } else {
      LOG_ERR(L"scroll capture: the first frame could not be grabbed");
    }
    SetTip(kStartTip);
    RepaintSoon();
    return grabbed ? StepEnd::kStarted : StepEnd::kNoFirstFrame;
  }
  // The first step after the start tip grabs kTipAwayMs after its notch, as
  // a step does that takes a tip away, even when the click already took the
  // start tip: the one-time margin guess must see the page moved. So does a
  // step whose preview moved, once the preview shows at its new place.
  const bool settleFirst = m_startTipTaken.exchange(false) || previewMoved;
  int last = COMPARE_RESULT_NONE, aggregate = COMPARE_RESULT_NONE;
  bool hintDue = false;
  if (GrabAndStitch(wheel, settleFirst, last, aggregate, hintDue) == LoopEnd::kStopped) return StepEnd::kStopped;
  LOG_DBG(L"lastCombineResult =%d, allCombineResult = %d, ", last, aggregate);
  if (aggregate == COMPARE_RESULT_COMBINE) {
    m_wheelOffset += wheel > 0 ? 1 : -1;
    m_wheelOffsetMin = m_wheelOffset < m_wheelOffsetMin ? m_wheelOffset : m_wheelOffsetMin;
    m_wheelOffsetMax = m_wheelOffset > m_wheelOffsetMax ? m_wheelOffset : m_wheelOffsetMax;
    LOG_DBG(L"COMPARE_RESULT_COMBINE  wheel= %d, m_mouseWheelOffset = %d", wheel, m_wheelOffset);
  }
  if (!g_stepDecided && m_stitch.rollPerWheel != 0 && !m_configuredStep) {
    // Once per process: a page that moves less than the frame's compared
    // band per notch has every notch processed.
    g_stepDecided = true;
    if (m_stitch.rollPerWheel < m_captureRect.height - m_stitch.top - m_stitch.bottom) m_scrollStep = 1;
    LOG_DBG(L"rollPerWheel = %d, m_scrollStep = %d, ", m_stitch.rollPerWheel, m_scrollStep.load());
  }
  if (hintDue && !m_stitch.editHintShown) SetTip(kEditHintTip);
  const StepOutcome outcome = m_evaluator.Evaluate(aggregate, m_long.height, m_maxHeight, GetTip());
  if (outcome.editHintShown) m_stitch.editHintShown = true;
  tips = outcome.shown;
  if (outcome.maxHeightReached) return StepEnd::kReachedLimit;
  if (outcome.finished) {
    return !tips.empty() && tips.back().tip == kInvalidTip ? StepEnd::kFailed : StepEnd::kReachedEnd;
  }
  return aggregate == COMPARE_RESULT_COMBINE ? StepEnd::kJoined : StepEnd::kUnjoined;
}

void ScrollCapture::Publish(StepEnd end) {
  switch (end) {
    case StepEnd::kOwnWindow:
      m_scrollStep = 0;
      LOG_DBG(L"m_scrollStep = %d", 0);
      break;
    case StepEnd::kReachedLimit:
      m_maxHeightReached = true;
      StopAutoScroll();
      break;
    case StepEnd::kReachedEnd:
    case StepEnd::kFailed:
      StopAutoScroll();
      LOG_INF(L"Finish Auto Scroll! m_autoScrollEnd=FALSE");
      break;
    default:
      break;
  }
}

ScrollCapture::LoopEnd ScrollCapture::GrabAndStitch(int wheel, bool settle, int& last, int& aggregate, bool& hintDue) {
  StitchEnvironment env;
  env.log = [](int level, const char* file, int line, const std::string& text) {
    Logger::Instance()->Log(level, L"%s", Utf8ToUtf16(file).c_str(), line, Utf8ToUtf16(text).c_str());
  };
  env.lastError = [] { return static_cast<int>(::GetLastError()); };
  env.tickCount = [] { return static_cast<uint32_t>(::GetTickCount()); };
  env.imageLock = &m_longLock;
  env.setCaptureImage = [this](int) { PostPreview(); };
  CFrameStitcher stitcher(env);
  const DWORD t0 = ::GetTickCount();
  for (int count = 0;; ++count) {
    if (!GetTip().empty()) {
      SetTip(std::string());
      RepaintSoon();
      settle = true;
    }
    if (!Wait(settle ? T::kTipAwayMs : T::kGrabIntervalMs)) return LoopEnd::kStopped;
    settle = false;
    LOG_DBG(L"count = %d", count);
    const DWORD t1 = ::GetTickCount();
    PixelImage frame;
    bool stopped = false;
    const bool grabbed = GrabSettledFrame(frame, stopped);
    if (stopped) return LoopEnd::kStopped;
    if (!grabbed) {
      last = COMPARE_RESULT_FAILED;
    } else {
      m_stitch.previewPanelWidth = m_previewPanelWidth;
      last = stitcher.Combine(m_long, frame, frame.width, wheel, m_stitch);
    }
    // The edit hint is shown after the step (the next grab would take it
    // away at once).
    if (m_stitch.tipText == kEditHintTip) hintDue = true;
    m_stitch.tipText.clear();
    aggregate = AggregateResult(aggregate, last);
    if (t1 - t0 > static_cast<DWORD>(T::kStepSettleMs) && last != COMPARE_RESULT_COMBINE) return LoopEnd::kSettled;
    if (::GetTickCount() - t0 > static_cast<DWORD>(T::kStepLimitMs)) return LoopEnd::kTimeLimit;
  }
}

bool ScrollCapture::GrabSettledFrame(PixelImage& frame, bool& stopped) const {
  const bool grabbed = GrabFrame(frame);
  // A page still painting the rows its scroll revealed shows old and new
  // rows at once, which would be joined as they are: a frame counts once a
  // second grab a moment later agrees (a few tries; an animated page gives
  // its latest frame).
  for (int tries = 0; grabbed && tries < T::kSettleTries; ++tries) {
    if (!Wait(T::kFrameAgreeMs)) {
      stopped = true;
      return false;
    }
    PixelImage again;
    if (!GrabFrame(again)) break;
    const bool settled = again.pixels.size() == frame.pixels.size() &&
                         std::memcmp(again.pixels.data(), frame.pixels.data(), frame.pixels.size() * 4) == 0;
    frame = std::move(again);
    if (settled) break;
  }
  return grabbed;
}

bool ScrollCapture::GrabFrame(PixelImage& frame) const {
  const Rect area = CaptureToScreen(m_captureRect, GetVirtualScreenRect());
  return GrabScreenPixels(area.x, area.y, area.width, area.height, frame);
}

void ScrollCapture::StartAutoScroll() {
  m_autoScroll = true;
  if (m_autoWake) ::SetEvent(m_autoWake.Get());
}

void ScrollCapture::StopAutoScroll() {
  if (m_autoScroll.exchange(false)) LOG_INF(L"m_autoScrollEnd=FALSE");
}

void ScrollCapture::HoldAutoScroll(bool hold) {
  m_held = hold;
  if (m_autoScroll) LOG_INF(L"automatic scrolling %s", hold ? L"held for the save dialog" : L"goes on");
}

void ScrollCapture::AutoScroll() {
  // One thread for the mode's life: it injects a notch every kAutoNotchMs
  // while the automatic scrolling runs, and shows the pause tip when it stops.
  bool running = false;
  while (!m_stopping) {
    if (!m_autoScroll) {
      if (running) {
        running = false;
        WaitWorkerIdle();
        if (!m_stopping) PauseAutoScroll(true, true);
      }
      // Asleep until a click starts the scrolling or the mode stops.
      if (!m_autoScroll) WaitForEither(m_autoWake.Get(), m_stopEvent.Get());
      continue;
    }
    if (!running) {
      running = true;
      PauseAutoScroll(false, true);
      PreClearRollTips({kEditHintTip});
    }
    if (!Wait(T::kAutoNotchMs) || !m_autoScroll) continue;
    if (m_held) continue;
    PreClearRollTips({kEditHintTip, kMaxHeightTip});
    if (!m_autoScroll || m_stopping || m_held) continue;
    ::mouse_event(MOUSEEVENTF_WHEEL, static_cast<DWORD>(m_clickPoint.x), static_cast<DWORD>(m_clickPoint.y),
                  static_cast<DWORD>(-WHEEL_DELTA), kInjectedMark);
    LOG_DBG(L"Auto Scrool... :%d-%d %d", static_cast<int>(m_clickPoint.x), static_cast<int>(m_clickPoint.y), -WHEEL_DELTA);
  }
}

}  // namespace ScreenCapture
