#include "FixtureWindows.h"

#include "Harness.h"

namespace e2e {

namespace {

LRESULT CALLBACK FixtureProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CLOSE) {
    ::DestroyWindow(hwnd);
    return 0;
  }
  return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

void Register(const wchar_t* name, int brush) {
  WNDCLASSW wc = {};
  wc.lpfnWndProc = FixtureProc;
  wc.hInstance = ::GetModuleHandleW(nullptr);
  wc.hbrBackground = static_cast<HBRUSH>(::GetStockObject(brush));
  wc.lpszClassName = name;
  ::RegisterClassW(&wc);
}

HWND Top(const wchar_t* cls, DWORD style, int x, int y, int w, int h) {
  return ::CreateWindowExW(WS_EX_TOOLWINDOW, cls, cls, style, x, y, w, h, nullptr, nullptr, ::GetModuleHandleW(nullptr),
                           nullptr);
}

HWND Child(HWND parent, int x, int y, int w, int h) {
  return ::CreateWindowExW(0, L"ZtdFixtureChild", L"", WS_CHILD | WS_VISIBLE, x, y, w, h, parent, nullptr,
                           ::GetModuleHandleW(nullptr), nullptr);
}

}  // namespace

FixtureWindows::FixtureWindows() {
  m_thread = std::thread([this] { Run(); });
  while (!m_ready.load()) ::Sleep(10);
  // Until the display shows them: the button, a window on the ignore list and
  // the white ones, each in its brush.
  RECT b = {};
  ::GetWindowRect(button, &b);
  WaitUntil(
      [&] {
        const ScreenShot shot = GrabScreen();
        return shot.At((b.left + b.right) / 2, (b.top + b.bottom) / 2) == 0xC0C0C0 && shot.At(950, 200) == 0x808080 &&
               shot.At(1200, 30) == 0xFFFFFF && shot.At(1400, 300) == 0xFFFFFF;
      },
      5000);
}

FixtureWindows::~FixtureWindows() {
  ::PostThreadMessageW(m_threadId.load(), WM_QUIT, 0, 0);
  if (m_thread.joinable()) m_thread.join();
}

void FixtureWindows::Run() {
  m_threadId = ::GetCurrentThreadId();
  Register(L"ZtdFixtureApp", WHITE_BRUSH);
  Register(L"ZtdFixtureChild", LTGRAY_BRUSH);
  Register(L"PerryShadowWnd", GRAY_BRUSH);
  Register(L"popup", GRAY_BRUSH);
  const DWORD plain = WS_POPUP | WS_VISIBLE;
  low = Top(L"ZtdFixtureApp", plain, 1250, 150, 200, 200);
  lowChild = Child(low, 20, 20, 100, 100);
  high = Top(L"ZtdFixtureApp", plain, 1200, 100, 400, 400);
  offscreen = Top(L"ZtdFixtureApp", plain, 1700, 800, 400, 400);
  ignored = Top(L"PerryShadowWnd", plain, 800, 100, 300, 200);
  partial = Top(L"popup", plain, 800, 400, 300, 200);
  hidden = Top(L"ZtdFixtureApp", WS_POPUP, 100, 700, 300, 200);
  top = Top(L"ZtdFixtureApp", plain, 1000, 0, 400, 60);
  app = Top(L"ZtdFixtureApp", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_VISIBLE, 100, 100, 600, 400);
  panel = Child(app, 20, 20, 300, 200);
  button = Child(panel, 10, 10, 120, 40);
  // The later windows lie above the earlier ones; the app goes on top.
  ::SetWindowPos(app, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  for (HWND w : {low, high, offscreen, ignored, partial, top, app}) ::UpdateWindow(w);
  MSG msg;
  ::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);  // the queue exists before we say ready
  m_ready = true;
  while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
  for (HWND w : {app, top, hidden, partial, ignored, offscreen, high, low}) ::DestroyWindow(w);
}

}  // namespace e2e
