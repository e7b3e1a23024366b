#include "capture/CaptureWindow.h"

#include "common/Logger.h"
#include "ui/ModalLoop.h"

namespace ScreenCapture {

namespace {
ICaptureWindow* g_captureWindow = nullptr;
}

ICaptureWindow* GetCaptureWindow() { return g_captureWindow; }
void SetCaptureWindow(ICaptureWindow* window) { g_captureWindow = window; }

CCaptureWindow::CCaptureWindow() { m_runnable.Create(); }

CCaptureWindow::~CCaptureWindow() {
  if (m_hwnd && ::IsWindow(m_hwnd)) ::DestroyWindow(m_hwnd);
}

HWND CCaptureWindow::Create(HWND parent, const wchar_t* title, DWORD style, DWORD exStyle, int x, int y, int width,
                            int height) {
  const HINSTANCE instance = DuiLib::GetResourceInstance() ? DuiLib::GetResourceInstance() : ::GetModuleHandleW(nullptr);
  WNDCLASSEXW wc = {};
  wc.cbSize = sizeof(wc);
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = &CCaptureWindow::StaticWindowProc;
  wc.hInstance = instance;
  wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  wc.lpszClassName = kClassName;
  ::RegisterClassExW(&wc);
  return ::CreateWindowExW(exStyle, kClassName, title, style, x, y, width, height, parent, nullptr, instance, this);
}

UINT CCaptureWindow::ShowModal() { return m_hwnd ? DuiLib::RunModalLoop(m_hwnd, nullptr) : 0; }

void CCaptureWindow::CloseCapture() {
  if (m_hwnd && ::IsWindow(m_hwnd)) {
    ::PostMessageW(m_hwnd, WM_CLOSE, 1, 0);
    ::DestroyWindow(m_hwnd);
  }
  m_hwnd = nullptr;
  m_runnable.Destroy();
}

LRESULT CALLBACK CCaptureWindow::StaticWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  CCaptureWindow* self = nullptr;
  if (message == WM_NCCREATE) {
    self = static_cast<CCaptureWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->m_hwnd = hwnd;
    ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  } else {
    self = reinterpret_cast<CCaptureWindow*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  }
  if (!self) return ::DefWindowProcW(hwnd, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    self->m_hwnd = nullptr;
    return ::DefWindowProcW(hwnd, message, wParam, lParam);
  }
  return self->HandleMessage(message, wParam, lParam);
}

void CCaptureWindow::OnInitWindow() {
  // The window is a frameless surface: its client area is the whole window.
  const LONG_PTR style = ::GetWindowLongPtrW(m_hwnd, GWL_STYLE);
  ::SetWindowLongPtrW(m_hwnd, GWL_STYLE, style & ~static_cast<LONG_PTR>(WS_CAPTION | WS_THICKFRAME));
  const int x = ::GetSystemMetrics(SM_XVIRTUALSCREEN);
  const int y = ::GetSystemMetrics(SM_YVIRTUALSCREEN);
  const int width = ::GetSystemMetrics(SM_CXVIRTUALSCREEN);
  const int height = ::GetSystemMetrics(SM_CYVIRTUALSCREEN);
  ::SetWindowPos(m_hwnd, HWND_TOPMOST, x, y, width, height, SWP_NOACTIVATE | SWP_FRAMECHANGED);
  LOG_INF(L"capture window %d,%d %dx%d", x, y, width, height);
}

void CCaptureWindow::Paint() {
  PAINTSTRUCT ps;
  const HDC dc = ::BeginPaint(m_hwnd, &ps);
  if (dc) {
    const HBRUSH brush = ::CreateSolidBrush(RGB(32, 32, 32));
    ::FillRect(dc, &ps.rcPaint, brush);
    ::DeleteObject(brush);
  }
  ::EndPaint(m_hwnd, &ps);
}

LRESULT CCaptureWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      OnInitWindow();
      return 0;
    case WM_CHAR:
      if (wParam == VK_ESCAPE) CloseCapture();
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      Paint();
      return 0;
    default:
      return ::DefWindowProcW(m_hwnd, message, wParam, lParam);
  }
}

}  // namespace ScreenCapture
