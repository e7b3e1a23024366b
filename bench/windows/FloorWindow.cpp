// The floor of the start-up benchmark: the least a Win32 program does to show
// one full-screen window and paint it (a plain colour). Esc ends it.
#include <windows.h>

#include "common/StartupTrace.h"

namespace {
LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      const HDC dc = ::BeginPaint(hwnd, &ps);
      const HBRUSH brush = ::CreateSolidBrush(RGB(10, 20, 30));
      ::FillRect(dc, &ps.rcPaint, brush);
      ::DeleteObject(brush);
      ::EndPaint(hwnd, &ps);
      ScreenCapture::MarkStartup(ScreenCapture::StartupPhase::kFirstPaint);
      return 0;
    }
    case WM_CHAR:
      if (wParam == VK_ESCAPE) ::DestroyWindow(hwnd);
      return 0;
    case WM_DESTROY:
      ::PostQuitMessage(0);
      return 0;
    default:
      return ::DefWindowProcW(hwnd, message, wParam, lParam);
  }
}
}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
  ScreenCapture::MarkStartup(ScreenCapture::StartupPhase::kEntry);
  WNDCLASSW wc = {};
  wc.lpfnWndProc = Proc;
  wc.hInstance = instance;
  wc.lpszClassName = L"FloorWindow";
  ::RegisterClassW(&wc);
  const HWND hwnd = ::CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, L"FloorWindow", L"floor", WS_POPUP,
                                      ::GetSystemMetrics(SM_XVIRTUALSCREEN), ::GetSystemMetrics(SM_YVIRTUALSCREEN),
                                      ::GetSystemMetrics(SM_CXVIRTUALSCREEN), ::GetSystemMetrics(SM_CYVIRTUALSCREEN),
                                      nullptr, nullptr, instance, nullptr);
  ::ShowWindow(hwnd, SW_SHOWNORMAL);
  ScreenCapture::MarkStartup(ScreenCapture::StartupPhase::kWindowCreated);
  MSG msg;
  while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
  return 0;
}
