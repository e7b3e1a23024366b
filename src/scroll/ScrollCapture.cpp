#include "scroll/ScrollCapture.h"

#include <gdiplus.h>

#include <chrono>
#include <cstring>

#include "contracts/ICaptureControl.h"
#include "contracts/ICaptureWindow.h"
#include "capture/OutputActions.h"
#include "common/VirtualScreen.h"
#include "common/BigDataHelper.h"
#include "common/Handles.h"
#include "common/Logger.h"
#include "common/UserHive.h"
#include "common/RunnableWindow.h"
#include "common/StringUtils.h"
#include "core/ShapeGeometry.h"
#include "contracts/ICaptureMenu.h"
#include "core/ScrollPreview.h"
#include "scroll/StitchBitmap.h"

namespace ScreenCapture {

namespace {
// A grabbed frame is taken once a grab this long after it shows the same
// pixels, tried this often.
constexpr int kSettleMs = 15;
constexpr int kSettleTries = 4;
}  // namespace

namespace {

HHOOK g_hook = nullptr;
bool g_firstWheelReported = false;
std::atomic<bool> g_stepDecided{false};  // the worker's once-per-process step rule ran

ScrollCapture* CurrentScrollCapture() {
  ICaptureWindow* window = GetCaptureWindow();
  ICaptureControl* control = window ? window->GetCaptureControl() : nullptr;
  return control ? dynamic_cast<ScrollCapture*>(control->GetCaptureShade()) : nullptr;
}

LRESULT CALLBACK MouseHook(int code, WPARAM wParam, LPARAM lParam) {
  bool swallow = false;
  if (code == HC_ACTION) {
    if (ScrollCapture* mode = CurrentScrollCapture()) {
      swallow = mode->OnHookEvent(wParam, *reinterpret_cast<const MSLLHOOKSTRUCT*>(lParam));
    }
  }
  ::CallNextHookEx(nullptr, code, wParam, lParam);
  return swallow ? 1 : 0;
}

DWORD Now() { return ::GetTickCount(); }

std::wstring Wide(const std::string& utf8) { return Utf8ToUtf16(utf8); }

}  // namespace

ScrollCapture::ScrollCapture(const Rect& selection) {
  m_color = 0xFF000000;
  m_width = 1;
  SetRect(selection);
  m_state = kStateIdle;
  m_captureRect = InsetRect(selection, 1);
  const Rect& screen = GetVirtualScreenRect();
  m_placement = ChoosePreviewPlacement(selection, screen.width, screen.height);
  m_stitch.previewPlacement = m_placement;
  m_maxHeight = static_cast<int>(
      ::GetPrivateProfileIntW(L"config", L"tdr_screecapture_maxscrollheight", 9000, L"C:\\config.ini"));
  LOG_INF(L"scroll capture %d,%d %dx%d, preview at %d, max height %d", m_captureRect.x, m_captureRect.y,
          m_captureRect.width, m_captureRect.height, m_placement, m_maxHeight);
  Hook();
  // Where the system sends wheels: 2 means to the window under the cursor.
  DWORD routing = 0;
  if (TDRUtils::ReadUserRegDword(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"MouseWheelRouting", routing)) {
    LOG_INF(L"Get MouseWheelRouting reg success, value = %lu", routing);
    m_wheelToWindowUnderCursor = routing == 2;
  }
  m_autoThread = std::thread([this] {
    AutoScroll();
    m_autoDone = true;
  });
  OnMouseWheel(0, 0);
}

ScrollCapture::~ScrollCapture() {
  // The capture window normally stopped everything already, while it still
  // stood; a mode ended on its own (replaced) stops here.
  StopThreads();
  m_mark.End();
}

void ScrollCapture::StopThreads() {
  // Stop first, then join: neither thread waits on this one.
  m_alive->store(false);
  m_stopping = true;
  m_autoScroll = false;
  if (m_threadsStopped) return;
  m_threadsStopped = true;
  const DWORD start = Now();
  // A wheel the automatic scrolling is injecting right now waits for this
  // thread to run the mouse hook: keep answering the hook's calls until that
  // thread has ended, so that neither waits on the other.
  while (!m_autoDone || m_injectors > 0) {
    if (::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_SENDMESSAGE) == WAIT_OBJECT_0) {
      MSG msg;
      ::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
  }
  Unhook();
  if (m_worker.joinable()) m_worker.join();
  if (m_autoThread.joinable()) m_autoThread.join();
  for (std::thread& injector : m_injectorThreads) injector.join();
  m_injectorThreads.clear();
  LOG_INF(L"scroll capture ended: threads joined in %d ms", static_cast<int>(Now() - start));
}

void ScrollCapture::Hook() {
  if (!g_hook) g_hook = ::SetWindowsHookExW(WH_MOUSE_LL, &MouseHook, ::GetModuleHandleW(nullptr), 0);
  if (!g_hook) LOG_ERR(L"mouse hook not set: %lu", ::GetLastError());
}

void ScrollCapture::Unhook() {
  if (g_hook) ::UnhookWindowsHookEx(g_hook);
  g_hook = nullptr;
}

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
  if (!tip.empty()) LOG_INF(L"scroll tip: %s", Wide(tip).c_str());
}

void ScrollCapture::FlashTip() {
  const std::string tip = GetTip();
  if (tip.empty()) return;
  SetTip(std::string());
  RepaintSoon();
  if (!Wait(200)) return;
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
      LOG_DBG(L"PreClearRollTips!, m_tipText = %s", Wide(tip).c_str());
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
  LOG_DBG(L"m_tipText = %s", Wide(tip).c_str());
  if (!m_stoppedByLeaving && (ScrollStepEvaluator::IsFinalTip(tip) || m_maxHeightReached)) {
    LOG_DBG(L"CheckShowPause false, m_tipText = %s", Wide(tip).c_str());
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
  if (wait) Wait(200);
}

bool ScrollCapture::Wait(int ms) const {
  const DWORD start = Now();
  while (static_cast<int>(Now() - start) < ms) {
    if (m_stopping) return false;
    ::Sleep(ms < 10 ? static_cast<DWORD>(ms) : 10);
  }
  return !m_stopping;
}

void ScrollCapture::RepaintSoon() {
  if (m_stopping) return;  // the window may be going: not reached any more
  ICaptureWindow* window = GetCaptureWindow();
  RunnableHelper::CRunnalbeWindow* runner = window ? window->GetRunnableWindow() : nullptr;
  if (!runner) return;
  const auto alive = m_alive;
  runner->PostRunnable([alive] {
    if (!alive->load()) return;
    if (ICaptureWindow* w = GetCaptureWindow()) {
      if (ICaptureControl* control = w->GetCaptureControl()) control->Invalidate();
    }
  });
}

HWND ScrollCapture::WindowUnder(const POINT& at) {
  ICaptureWindow* window = GetCaptureWindow();
  const HWND self = window ? window->GetHWND() : nullptr;
  HWND under = ::WindowFromPoint(at);
  if (!self || !under || ::GetAncestor(under, GA_ROOT) != self) return under;
  // The first visible window of another process below ours under the
  // pointer, then its innermost child there.
  for (HWND below = ::GetWindow(self, GW_HWNDNEXT); below; below = ::GetWindow(below, GW_HWNDNEXT)) {
    RECT r = {};
    DWORD pid = 0;
    ::GetWindowThreadProcessId(below, &pid);
    if (pid == ::GetCurrentProcessId() || !::IsWindowVisible(below) || !::GetWindowRect(below, &r) || !::PtInRect(&r, at)) {
      continue;
    }
    HWND target = below;
    for (;;) {
      POINT client = at;
      ::ScreenToClient(target, &client);
      const HWND child = ::ChildWindowFromPointEx(target, client, CWP_SKIPINVISIBLE | CWP_SKIPTRANSPARENT);
      if (!child || child == target) break;
      target = child;
    }
    return target;
  }
  return nullptr;
}

bool ScrollCapture::OwnWindowAt(const POINT& at) {
  const HWND under = ::WindowFromPoint(at);
  ICaptureWindow* window = GetCaptureWindow();
  if (!under || (window && ::GetAncestor(under, GA_ROOT) == window->GetHWND())) return false;
  DWORD pid = 0;
  ::GetWindowThreadProcessId(under, &pid);
  return pid == ::GetCurrentProcessId();
}

void ScrollCapture::ForceForegroundWindow(HWND window) {
  if (!window) return;
  const HWND root = ::GetAncestor(window, GA_ROOT);
  const HWND foreground = ::GetForegroundWindow();
  const DWORD mine = ::GetCurrentThreadId();
  const DWORD theirs = foreground ? ::GetWindowThreadProcessId(foreground, nullptr) : 0;
  if (theirs != 0 && theirs != mine) {
    ::AttachThreadInput(mine, theirs, TRUE);
    ::BringWindowToTop(root);
    ::AttachThreadInput(mine, theirs, FALSE);
  } else if (::GetFocus() != window) {
    ::SetForegroundWindow(root);
    ::BringWindowToTop(root);
    if (!(::GetWindowLongPtrW(root, GWL_EXSTYLE) & WS_EX_TOPMOST)) {
      ::SetWindowPos(root, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
      ::SetWindowPos(root, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    }
  }
  LOG_DBG(L"ForceForegroundWindow, bFocus=%d", ::GetFocus() == window ? 1 : 0);
}

void ScrollCapture::InjectLater() {
  LOG_DBG(L" BeginInvoke MOUSEEVENTF_WHEEL");
  // Threads that have ended are joined on the way, so they do not pile up.
  if (m_injectorThreads.size() > 16 && m_injectors == 0) {
    for (std::thread& done : m_injectorThreads) done.join();
    m_injectorThreads.clear();
  }
  ++m_injectors;
  m_injectorThreads.emplace_back([this] {
    if (Wait(20) && !m_held) {
      ::mouse_event(MOUSEEVENTF_WHEEL, 0, 0, static_cast<DWORD>(-WHEEL_DELTA), kInjectedMark);
    }
    --m_injectors;
  });
}

void ScrollCapture::StopAutoScroll() {
  if (m_autoScroll.exchange(false)) LOG_INF(L"m_autoScrollEnd=FALSE");
}

bool ScrollCapture::OnHookEvent(WPARAM message, const MSLLHOOKSTRUCT& info) {
  m_mark.Check("scroll capture (mouse hook)");
  // Ending: the hook is still answered while the threads stop, and nothing
  // may start now.
  if (m_stopping) return false;
  const Rect area = CaptureToScreen(m_captureRect, GetVirtualScreenRect());
  const bool inside = area.Contains(Point{static_cast<int>(info.pt.x), static_cast<int>(info.pt.y)});
  switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MBUTTONDBLCLK: {
      if (!inside) return false;
      if (OwnWindowAt(info.pt)) {
        LOG_DBG(L"NOT HOOK CURRENT PROCES");
        return false;
      }
      if (message != WM_LBUTTONUP) return true;
      const DWORD now = Now();
      if (m_lastRelease != 0 && now - m_lastRelease < 500) {
        LOG_DBG(L"curTime=%d, lastTime=%d", static_cast<int>(now), static_cast<int>(m_lastRelease));
        return true;
      }
      m_lastRelease = now;
      if (m_autoScroll) {
        StopAutoScroll();
      } else {
        m_clickPoint = info.pt;
        m_scrolledByUser = false;
        m_stoppedByLeaving = false;
        m_autoScroll = true;
        LOG_INF(L"WM_LBUTTONUP->mouse_event");
      }
      return true;
    }
    case WM_MOUSEWHEEL: {
      const int wheel = static_cast<short>(HIWORD(info.mouseData));
      LOG_DBG(L"WM_MOUSEWHEEL:%d-%d %d", static_cast<int>(info.pt.x), static_cast<int>(info.pt.y), wheel);
      LOG_DBG(L"msl_mousehook->dwExtraInfo = %d", static_cast<int>(info.dwExtraInfo));
      if (!m_wheelToWindowUnderCursor) ForceForegroundWindow(WindowUnder(info.pt));
      if (m_autoScroll && !inside) {
        StopAutoScroll();
        m_stoppedByLeaving = true;
      }
      if (!inside) return false;
      const bool injected = info.dwExtraInfo == kInjectedMark;
      if (!injected) {
        m_scrolledByUser = true;
        PauseAutoScroll(false, false);
        LOG_DBG(L"m_ScrollbyUser = %d", 1);
        StopAutoScroll();
      } else if (!m_autoScroll && (m_maxHeightReached || GetTip() == kPausedTip)) {
        return true;
      } else if (m_autoScroll && m_maxHeightReached) {
        StopAutoScroll();
      }
      if (m_workerBusy) return true;
      if (!injected && !g_firstWheelReported) {
        g_firstWheelReported = true;
        BigDataHelper::Instance()->Report(L"SC0003");
      }
      if (StepProcessed(info.pt)) {
        m_cursor = info.pt;
        OnMouseWheel(wheel, info.dwExtraInfo);
      } else if (m_autoScroll) {
        InjectLater();
      }
      return false;
    }
    default:
      return false;
  }
}

bool ScrollCapture::StepProcessed(const POINT& at) {
  if (m_scrollStep == 0) {
    m_scrollStep = 1;
    m_scrollCount = 0;
    wchar_t name[256] = {};
    if (const HWND under = WindowUnder(at)) ::GetClassNameW(under, name, 256);
    ICaptureWindow* window = GetCaptureWindow();
    const CaptureStartParams* params = window ? window->GetStartParams() : nullptr;
    m_configuredStep = false;
    if (params && name[0] && !params->scrollStepWindowClassName.empty() &&
        params->scrollStepWindowClassName.find(std::wstring(L";") + name + L";") != std::wstring::npos) {
      m_scrollStep = params->scrollStepCount > 0 ? params->scrollStepCount : 1;
      m_configuredStep = true;
      LOG_INF(L"Have config m_scrollStep = %d", m_scrollStep.load());
    }
  }
  ++m_scrollCount;
  const int step = m_scrollStep;
  const bool processed = m_scrollCount % (step > 0 ? step : 1) == 0;
  LOG_DBG(L"scrollCount = %d, m_scrollStep = %d, checkRet = %d", m_scrollCount, step, processed ? 1 : 0);
  return processed;
}

void ScrollCapture::OnMouseWheel(int wheel, ULONG_PTR wheelInfo) {
  LOG_DBG(L"OnMouseWheel..:%d", wheel);
  m_workerBusy = true;
  if (m_worker.joinable()) m_worker.join();  // it has finished: the flag was clear
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
  m_worker = std::thread([this, wheel, wheelInfo, previewMoved] { Worker(wheel, wheelInfo, previewMoved); });
}

bool ScrollCapture::GrabFrame(PixelImage& frame) const {
  const Rect area = CaptureToScreen(m_captureRect, GetVirtualScreenRect());
  return GrabScreenPixels(area.x, area.y, area.width, area.height, frame);
}

std::unique_ptr<Gdiplus::Bitmap> ScrollCapture::ViewOf(const PixelImage& image) {
  // Rows are stored bottom-up: the top row is the last one. The view shares
  // the image's pixels.
  return std::make_unique<Gdiplus::Bitmap>(image.width, image.height, -image.width * 4, PixelFormat32bppRGB,
                                           reinterpret_cast<BYTE*>(const_cast<uint32_t*>(image.Row(image.height - 1))));
}

void ScrollCapture::ShowLongImage() {
  m_mark.Check("scroll capture (preview)");
  // From here a new join asks for another rebuild.
  m_previewQueued = false;
  {
    const std::lock_guard<std::mutex> lock(m_longLock);
    LOG_DBG(L"long image %dx%d", m_long.width, m_long.height);
    BuildPreview();
  }
  Repaint();
}

void ScrollCapture::Worker(int wheel, ULONG_PTR wheelInfo, bool previewMoved) {
  struct Done {
    std::atomic<bool>& busy;
    ~Done() { busy = false; }
  } done{m_workerBusy};
  if (m_stopping) return;  // before anything reaches the window
  std::string tip = GetTip();
  LOG_DBG(L"wheelInfo = %d, m_tipText = %s, m_bMAXHeight = %d", static_cast<int>(wheelInfo), Wide(tip).c_str(),
          m_maxHeightReached ? 1 : 0);
  const bool injected = wheelInfo == kInjectedMark;
  if (m_maxHeightReached) {
    if (!injected) {
      FlashTip();
      if (OwnWindowAt(m_cursor)) return;
    }
    SetTip(kMaxHeightTip);
    RepaintSoon();
    Wait(200);
    return;
  }
  if (wheel != 0 && tip == kStartTip && !injected && OwnWindowAt(m_cursor)) {
    // Wheeling over one of the program's own windows: decide the step again
    // at the next notch.
    FlashTip();
    m_scrollStep = 0;
    LOG_DBG(L"m_scrollStep = %d", 0);
    return;
  }
  const auto post = [this] { PostPreview(); };
  const DWORD t0 = Now();
  m_stitch.rollPerWheel = 0;
  if (wheel == 0 || !m_long.Valid()) {
    // The first frame, once the window under the selection shows again; a
    // grab that failed is tried again at the next wheel, so the capture still
    // shows its tip and takes the wheel.
    PixelImage first;
    if (!Wait(200)) return;
    if (GrabFrame(first)) {
      {
        const std::lock_guard<std::mutex> lock(m_longLock);
        m_long = std::move(first);
      }
      post();
    } else {
      LOG_ERR(L"scroll capture: the first frame could not be grabbed");
    }
    SetTip(kStartTip);
    RepaintSoon();
    return;
  }
  if (!m_long.Valid()) return;
  StitchEnvironment env;
  env.log = [](int level, const std::string& text) {
    Logger::Instance()->Log(level, L"%s", L"FrameStitcher.cpp", 0, Wide(text).c_str());
  };
  env.lastError = [] { return static_cast<int>(::GetLastError()); };
  env.tickCount = [] { return static_cast<uint32_t>(::GetTickCount()); };
  env.imageLock = &m_longLock;
  env.setCaptureImage = [&](int) { post(); };
  CFrameStitcher stitcher(env);
  int last = COMPARE_RESULT_NONE, aggregate = COMPARE_RESULT_NONE;
  // The first step after the start tip grabs 200 ms after its notch, as a
  // step does that takes a tip away, even when the click already took the
  // start tip: the one-time margin guess must see the page moved. So does a
  // step whose preview moved, once the preview shows at its new place.
  bool settle = m_startTipTaken.exchange(false) || previewMoved;
  bool hintDue = false;
  for (int count = 0;; ++count) {
    if (!GetTip().empty()) {
      SetTip(std::string());
      RepaintSoon();
      settle = true;
    }
    if (!Wait(settle ? 200 : 5)) return;
    settle = false;
    LOG_DBG(L"count = %d", count);
    const DWORD t1 = Now();
    PixelImage frame;
    bool grabbed = GrabFrame(frame);
    // A page still painting the rows its scroll revealed shows old and new
    // rows at once, which would be joined as they are: a frame counts once a
    // second grab a moment later agrees (a few tries; an animated page gives
    // its latest frame).
    for (int tries = 0; grabbed && tries < kSettleTries; ++tries) {
      if (!Wait(kSettleMs)) return;
      PixelImage again;
      if (!GrabFrame(again)) break;
      const bool settled = again.pixels.size() == frame.pixels.size() &&
                           std::memcmp(again.pixels.data(), frame.pixels.data(), frame.pixels.size() * 4) == 0;
      frame = std::move(again);
      if (settled) break;
    }
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
    if ((t1 - t0 > 200 && last != COMPARE_RESULT_COMBINE) || Now() - t0 > 10000) break;
  }
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
  if (outcome.maxHeightReached) m_maxHeightReached = true;
  if (outcome.editHintShown) m_stitch.editHintShown = true;
  if (outcome.stopAutoScroll) StopAutoScroll();
  if (outcome.finished) LOG_INF(L"Finish Auto Scroll! m_autoScrollEnd=FALSE");
  for (const TipShown& shown : outcome.shown) {
    SetTip(shown.tip);
    RepaintSoon();
    if (!Wait(shown.waitMs)) return;
  }
}

void ScrollCapture::PostPreview() {
  if (m_stopping || m_previewQueued.exchange(true)) return;  // the one on its way shows the newest image
  ICaptureWindow* window = GetCaptureWindow();
  RunnableHelper::CRunnalbeWindow* runner = window ? window->GetRunnableWindow() : nullptr;
  const auto alive = m_alive;
  if (!runner || !runner->PostRunnable([this, alive] {
        if (alive->load()) ShowLongImage();
      })) {
    m_previewQueued = false;
  }
}

void ScrollCapture::HoldAutoScroll(bool hold) {
  m_held = hold;
  if (m_autoScroll) LOG_INF(L"automatic scrolling %s", hold ? L"held for the save dialog" : L"goes on");
}

void ScrollCapture::AutoScroll() {
  // One thread for the mode's life: it injects a notch every 100 ms while the
  // automatic scrolling runs, and shows the pause tip when it stops.
  bool running = false;
  while (!m_stopping) {
    if (!m_autoScroll) {
      if (running) {
        running = false;
        while (m_workerBusy && !m_stopping) ::Sleep(10);
        if (!m_stopping) PauseAutoScroll(true, true);
      }
      ::Sleep(20);
      continue;
    }
    if (!running) {
      running = true;
      PauseAutoScroll(false, true);
      PreClearRollTips({kEditHintTip});
    }
    if (!Wait(100) || !m_autoScroll) continue;
    if (m_held) continue;
    PreClearRollTips({kEditHintTip, kMaxHeightTip});
    if (!m_autoScroll || m_stopping || m_held) continue;
    ::mouse_event(MOUSEEVENTF_WHEEL, static_cast<DWORD>(m_clickPoint.x), static_cast<DWORD>(m_clickPoint.y),
                  static_cast<DWORD>(-WHEEL_DELTA), kInjectedMark);
    LOG_DBG(L"Auto Scrool... :%d-%d %d", static_cast<int>(m_clickPoint.x), static_cast<int>(m_clickPoint.y), -WHEEL_DELTA);
  }
}

void ScrollCapture::ForwardWheel(WPARAM wParam, LPARAM lParam) {
  const POINT at = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
  if (!CaptureToScreen(m_captureRect, GetVirtualScreenRect()).Contains(Point{static_cast<int>(at.x), static_cast<int>(at.y)})) {
    return;
  }
  // Over the selection WindowUnder looks through the capture window.
  const HWND target = WindowUnder(at);
  DWORD pid = 0;
  if (target) ::GetWindowThreadProcessId(target, &pid);
  if (target && pid != ::GetCurrentProcessId()) ::PostMessageW(target, WM_MOUSEWHEEL, wParam, lParam);
}

HBITMAP ScrollCapture::GetCaptureBitmap() {
  const std::lock_guard<std::mutex> lock(m_longLock);
  return CreateBitmapFromPixels(m_long);
}

void ScrollCapture::SaveToFile(int* saved) {
  // No hook and no injected wheel while the dialog is open: its clicks and
  // wheels are its own, and nothing under the pointer scrolls by itself.
  Unhook();
  HoldAutoScroll(true);
  CCaptureShade::SaveToFile(saved);
  if (saved && *saved) {
    // The dialog only chose the path: the long image is written here. When
    // it cannot be, the capture stays open so that the image is not lost.
    const std::unique_ptr<Gdiplus::Bitmap> image(RenderResult());
    if (WritePng(image.get(), m_extraOutputPath)) {
      LOG_TRA(L"saved %s", m_extraOutputPath.c_str());
    } else {
      LOG_ERR(L"could not save the long image to %s", m_extraOutputPath.c_str());
      *saved = 0;
    }
  }
  if (!saved || !*saved) {
    Hook();
    HoldAutoScroll(false);  // cancelled, or not written: the scrolling goes on where it was
  }
}

Gdiplus::Bitmap* ScrollCapture::RenderResult() {
  const std::lock_guard<std::mutex> lock(m_longLock);
  if (!m_long.Valid()) return nullptr;
  const PixelImage& image = m_long;
  Gdiplus::Bitmap* copy = ViewOf(image)->Clone(0, 0, image.width, image.height, PixelFormat32bppARGB);
  if (copy && copy->GetLastStatus() != Gdiplus::Ok) {
    delete copy;
    copy = nullptr;
  }
  if (!copy) LOG_ERR(L"long image %dx%d could not be copied for output", image.width, image.height);
  return copy;
}

}  // namespace ScreenCapture
