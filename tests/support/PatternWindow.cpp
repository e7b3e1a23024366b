#include "PatternWindow.h"

#include "Harness.h"

#include <vector>

namespace e2e {

namespace {

constexpr uint32_t kBands[] = {0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF, 0xC86432, 0x000000, 0xFFFF00};

struct Screen {
  int x, y, width, height;
};

Screen VirtualScreen() {
  return Screen{::GetSystemMetrics(SM_XVIRTUALSCREEN), ::GetSystemMetrics(SM_YVIRTUALSCREEN),
                ::GetSystemMetrics(SM_CXVIRTUALSCREEN), ::GetSystemMetrics(SM_CYVIRTUALSCREEN)};
}

LRESULT CALLBACK PatternProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PAINT) {
    PAINTSTRUCT ps;
    const HDC dc = ::BeginPaint(hwnd, &ps);
    const Screen s = VirtualScreen();
    // Build the whole picture once as a DIB and copy it.
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = s.width;
    info.bmiHeader.biHeight = -s.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    std::vector<uint32_t> pixels(static_cast<size_t>(s.width) * s.height);
    for (int y = 0; y < s.height; ++y) {
      for (int x = 0; x < s.width; ++x) pixels[static_cast<size_t>(y) * s.width + x] = PatternWindow::ColourAt(x, y, s.width, s.height);
    }
    ::SetDIBitsToDevice(dc, 0, 0, s.width, s.height, 0, 0, 0, s.height, pixels.data(), &info, DIB_RGB_COLORS);
    ::EndPaint(hwnd, &ps);
    auto* painted = reinterpret_cast<std::atomic<bool>*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (painted) painted->store(true);
    return 0;
  }
  if (message == WM_ERASEBKGND) return 1;
  if (message == WM_CLOSE) {
    ::DestroyWindow(hwnd);
    return 0;
  }
  if (message == WM_DESTROY) {
    ::PostQuitMessage(0);
    return 0;
  }
  return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace

uint32_t PatternWindow::ColourAt(int x, int y, int width, int height) {
  if (y < height / 2) {
    const int band = x * 7 / (width > 0 ? width : 1);
    return kBands[band < 0 ? 0 : band > 6 ? 6 : band];
  }
  return ((x / 8) + (y / 8)) % 2 == 0 ? 0xFFFFFF : 0x000000;
}

uint32_t Dimmed(uint32_t rgb) {
  const auto dim = [](uint32_t c) { return c * 127 / 255; };
  return (dim((rgb >> 16) & 0xFF) << 16) | (dim((rgb >> 8) & 0xFF) << 8) | dim(rgb & 0xFF);
}

PatternWindow::PatternWindow() {
  m_thread = std::thread([this] { Run(); });
  const DWORD start = ::GetTickCount();
  while (!m_painted.load() && ::GetTickCount() - start < 10000) ::Sleep(10);
  // Until the display shows it: both ends of the bands and two squares.
  const Screen s = VirtualScreen();
  const int w = s.width, h = s.height;
  const int points[][2] = {{w / 14, h / 4}, {w - 1 - w / 14, h / 4}, {4, h - 4}, {12, h - 4}};
  WaitUntil(
      [&] {
        const ScreenShot shot = GrabScreen();
        for (const auto& p : points) {
          if (shot.At(p[0], p[1]) != ColourAt(p[0], p[1], w, h)) return false;
        }
        return true;
      },
      5000);
}

PatternWindow::~PatternWindow() {
  const HWND hwnd = m_hwnd.load();
  if (hwnd) ::PostMessageW(hwnd, WM_CLOSE, 0, 0);
  if (m_thread.joinable()) m_thread.join();
}

void PatternWindow::Run() {
  WNDCLASSW wc = {};
  wc.lpfnWndProc = PatternProc;
  wc.hInstance = ::GetModuleHandleW(nullptr);
  wc.lpszClassName = L"ZtdPatternFixture";
  ::RegisterClassW(&wc);
  const Screen s = VirtualScreen();
  const HWND hwnd = ::CreateWindowExW(0, L"ZtdPatternFixture", L"pattern", WS_POPUP, s.x, s.y, s.width, s.height,
                                      nullptr, nullptr, wc.hInstance, nullptr);
  ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&m_painted));
  m_hwnd.store(hwnd);
  ::ShowWindow(hwnd, SW_SHOW);
  ::UpdateWindow(hwnd);
  MSG msg;
  while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
}

}  // namespace e2e
