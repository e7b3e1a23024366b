#include "capture/CaptureWindow.h"
#include "capture/CaptureModes.h"

#include <windowsx.h>

#include "common/VirtualScreen.h"
#include "common/DrawHelpers.h"
#include "common/Logger.h"
#include "common/StartupTrace.h"
#include "common/VirtualScreen.h"
#include "common/SystemFunctions.h"
#include "core/Dpi.h"
#include "shapes/Cursors.h"
#include "ui/WindowWnd.h"

namespace ScreenCapture {

CCaptureWindow::CCaptureWindow() = default;

CCaptureWindow::~CCaptureWindow() {
  // The mode's threads and hook end before any member goes, and nothing
  // finds this window through the process-wide pointer from here on: the
  // modes go last, with the paint manager's element tree.
  StopMode();
  if (g_captureWindow == this) g_captureWindow = nullptr;
  m_mark.End();
  m_control = nullptr;
}

void CCaptureWindow::StopMode() {
  if (m_control) m_control->StopMode();
}

HWND CCaptureWindow::Create(HWND parent, const wchar_t* title, DWORD style, DWORD exStyle, int x, int y, int width,
                            int height) {
  // The window and its skin are made hidden while the worker still copies
  // the screen; it is shown, as a visible style asks, only once the frozen
  // images are finished, so it never appears in its own background and its
  // first paint has the finished images.
  const HWND hwnd =
      DuiLib::WindowImplBase::Create(parent, title, style & ~WS_VISIBLE, exStyle, x, y, width, height);
  WaitForImages();
  MarkStartup(StartupPhase::kImagesReady);
  if (hwnd && ::IsWindow(hwnd) && (style & WS_VISIBLE)) {
    // The frozen screen is painted first, before anything it does not need:
    // the activation (with the input method's set-up it brings) follows the
    // paint. Shown, the window is raised and takes the keyboard as a plain
    // show would; showing it normally again later changes nothing.
    ::ShowWindow(hwnd, SW_SHOWNOACTIVATE);
    MarkStartup(StartupPhase::kWindowCreated);
    ::UpdateWindow(hwnd);
    ::SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  }
  // Nothing reaches the runner or the toolbar before the user acts, and every
  // input message comes after this: they are made once the frozen screen is
  // up. The toolbar is owned by this window and hidden until a region exists.
  m_runnable.Create();
  if (hwnd && ::IsWindow(hwnd)) {
    m_menu.Create(hwnd, L"CaptureMenuWnd", 0x86C80000, 0x88, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                  CW_USEDEFAULT);
  }
  MarkStartup(StartupPhase::kToolbar);
  return hwnd;
}

void CCaptureWindow::InitWindow() {
  const int systemDpi = SystemDpi();
  m_pm.SetDPI(SnapDpi(systemDpi));
  LOG_INF(L"skin dpi %d (system %d)", m_pm.GetDPI(), systemDpi);

  // Physical pixels: the window covers every monitor exactly.
  const Rect& screen = GetVirtualScreenRect();
  ::SetWindowPos(m_hwnd, nullptr, screen.x, screen.y, screen.width, screen.height, SWP_NOZORDER | SWP_NOACTIVATE);
  if (m_control) m_pm.SetFocus(m_control);
  LOG_INF(L"capture window %d,%d %dx%d", screen.x, screen.y, screen.width, screen.height);
}

DuiLib::CControlUI* CCaptureWindow::CreateControl(const std::wstring& name) {
  if (name == L"CaptureControl") {
    m_control = new CCaptureControl(GetScreenImageDC(), ProgramCaptureModes());
    return m_control;
  }
  if (name == L"CaptureContain") return new CCaptureBkContain(GetDimmedImageDC(), CCaptureBkContain::kDimColor);
  return nullptr;
}

LRESULT CCaptureWindow::HandleCustomMessage(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled) {
  int type = 0;
  switch (message) {
    case WM_COMMAND:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
      // A text editor's notifications go back to the editor itself.
      if (const HWND child = reinterpret_cast<HWND>(lParam)) {
        if (::IsChild(m_hwnd, child)) {
          handled = TRUE;
          return ::SendMessageW(child, DuiLib::kReflectedMessageBase + message, wParam, lParam);
        }
      }
      handled = FALSE;
      return 0;
    case WM_SETCURSOR:
      // Over the capture itself: the cursor the mode chose for the pointer's
      // place, else the class cursor. A child (a text editor) keeps its own.
      if (reinterpret_cast<HWND>(wParam) == m_hwnd && LOWORD(lParam) == HTCLIENT) {
        const HCURSOR chosen = ChosenCursor();
        ::SetCursor(chosen ? chosen : GetWindowCursor(m_hwnd));
        handled = TRUE;
        return TRUE;
      }
      handled = FALSE;
      return 0;
    case WM_MOUSEWHEEL:
      {
        ICaptureShade* mode = m_control ? m_control->GetCaptureShade() : nullptr;
        handled = mode && mode->HandleWindowWheel(wParam, lParam) ? TRUE : FALSE;
      }
      return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      // A press on the capture takes the keyboard back: an open text editor
      // closes once this press is handled.
      if (::GetFocus() != m_hwnd) ::SetFocus(m_hwnd);
      handled = FALSE;
      return 0;
    case WM_RBUTTONDOWN: type = DuiLib::UIEVENT_RBUTTONDOWN; break;
    case WM_RBUTTONUP: type = DuiLib::UIEVENT_RBUTTONUP; break;
    case WM_MBUTTONDOWN: type = DuiLib::UIEVENT_MBUTTONDOWN; break;
    case WM_MBUTTONUP: type = DuiLib::UIEVENT_MBUTTONUP; break;
    case WM_DESTROY:
      // However the window goes, the mode's threads stop while it still stands.
      StopMode();
      handled = FALSE;
      return 0;
    case WM_CHAR:
      if (wParam == VK_ESCAPE) {
        EndCapture(this);
        handled = TRUE;
      }
      return 0;
    default:
      handled = FALSE;
      return 0;
  }
  // Right and middle buttons go straight to the control, whatever element
  // lies under the mouse.
  const POINT pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  DuiLib::TEventUI event;
  event.Type = type;
  event.pSender = m_pm.FindControl(pt);
  event.dwTimestamp = ::GetTickCount();
  event.ptMouse = pt;
  event.wKeyState = static_cast<WORD>(((wParam & MK_SHIFT) ? DuiLib::UIKEYSTATE_SHIFT : 0) |
                                      ((wParam & MK_CONTROL) ? DuiLib::UIKEYSTATE_CONTROL : 0));
  event.wParam = wParam;
  event.lParam = lParam;
  if (m_control) m_control->DoEvent(event);
  handled = TRUE;
  return 0;
}

void CCaptureWindow::CloseCapture() {
  m_mark.Check("capture window");
  StopMode();
  if (m_hwnd && ::IsWindow(m_hwnd)) {
    const HWND hwnd = m_hwnd;
    ::PostMessageW(hwnd, WM_CLOSE, 1, 0);
    ::DestroyWindow(hwnd);
  }
  m_hwnd = nullptr;
  m_runnable.Destroy();
}

}  // namespace ScreenCapture
