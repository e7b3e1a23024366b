// The scroll capture's low-level mouse hook: installed for the mode's life
// (away while the save dialog is open), it takes the left button and the
// wheel inside the selection. A click starts or stops the automatic
// scrolling; a wheel notch starts the worker of one step, or is swallowed
// while a step runs. Runs on the UI thread, which installed the hook.
#include "scroll/ScrollCapture.h"

#include "contracts/ICaptureControl.h"
#include "contracts/ICaptureWindow.h"
#include "common/VirtualScreen.h"
#include "common/BigDataHelper.h"
#include "common/Logger.h"
#include "common/WineQuirks.h"
#include "scroll/ScrollTimings.h"

namespace ScreenCapture {

namespace {

HHOOK g_hook = nullptr;
bool g_firstWheelReported = false;

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

}  // namespace

void ScrollCapture::Hook() {
  if (!g_hook) g_hook = ::SetWindowsHookExW(WH_MOUSE_LL, &MouseHook, ::GetModuleHandleW(nullptr), 0);
  if (!g_hook) LOG_ERR(L"mouse hook not set: %lu", ::GetLastError());
}

void ScrollCapture::Unhook() {
  if (g_hook) ::UnhookWindowsHookEx(g_hook);
  g_hook = nullptr;
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
      const DWORD now = ::GetTickCount();
      if (m_lastRelease != 0 && now - m_lastRelease < static_cast<DWORD>(ScrollTimings::kDoubleReleaseMs)) {
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
        StartAutoScroll();
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
        OnMouseWheel(wheel, info.dwExtraInfo, !injected && OwnWindowAt(info.pt));
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

void ScrollCapture::InjectLater() {
  LOG_DBG(L" BeginInvoke MOUSEEVENTF_WHEEL");
  // Threads that have ended are joined on the way, so they do not pile up.
  if (m_injectorThreads.size() > static_cast<size_t>(ScrollTimings::kMaxIdleInjectors) && m_injectors == 0) {
    for (std::thread& done : m_injectorThreads) done.join();
    m_injectorThreads.clear();
  }
  ++m_injectors;
  BackgroundStarted();
  m_injectorThreads.emplace_back([this] {
    if (Wait(ScrollTimings::kMakeUpNotchMs) && !m_held) {
      ::mouse_event(MOUSEEVENTF_WHEEL, 0, 0, static_cast<DWORD>(-WHEEL_DELTA), kInjectedMark);
    }
    --m_injectors;
    BackgroundEnded();
  });
}

// The capture window hands on a wheel it received inside the selection
// (see WineQuirks::ForwardWheel); outside it the wheel is not the page's.
void ScrollCapture::ForwardWheel(WPARAM wParam, LPARAM lParam) {
  const POINT at = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
  if (!CaptureToScreen(m_captureRect, GetVirtualScreenRect()).Contains(Point{static_cast<int>(at.x), static_cast<int>(at.y)})) {
    return;
  }
  ICaptureWindow* window = GetCaptureWindow();
  WineQuirks::ForwardWheel(window ? window->GetHWND() : nullptr, wParam, lParam);
}

HWND ScrollCapture::WindowUnder(const POINT& at) {
  ICaptureWindow* window = GetCaptureWindow();
  return WineQuirks::WindowBelow(window ? window->GetHWND() : nullptr, at);
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

}  // namespace ScreenCapture
