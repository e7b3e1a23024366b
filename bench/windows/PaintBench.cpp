// Repainting a small invalidated area of the capture window must not cost a
// repaint of the whole virtual screen: 200x200 pixels, median of 200 paints.
// Run it on a 3840x2160 display (ZTD_SCREEN=3840x2160x24).
#include <windows.h>
#include <gdiplus.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

#include "FixtureWindows.h"
#include "capture/CaptureWindow.h"
#include "common/VirtualScreen.h"
#include "common/Clock.h"

namespace {
using ScreenCapture::NowMs;
}  // namespace

int wmain() {
  using namespace ScreenCapture;
  Gdiplus::GdiplusStartupInput input;
  ULONG_PTR token = 0;
  Gdiplus::GdiplusStartup(&token, &input, nullptr);
  {
    e2e::FixtureWindows fixture;  // windows to offer, on another thread
    auto window = std::make_unique<CCaptureWindow>();
    SetCaptureWindow(window.get());
    const Rect& screen = GetVirtualScreenRect();
    window->Create(nullptr, L"TDRScreenCaptureWnd", 0x96C80000, 0x88, screen.x, screen.y, CW_USEDEFAULT,
                   CW_USEDEFAULT);
    const HWND hwnd = window->GetHWND();
    ::ShowWindow(hwnd, SW_SHOWNORMAL);
    ::UpdateWindow(hwnd);

    std::vector<double> small, full;
    for (int i = 0; i < 200; ++i) {
      const int x = (i * 37) % (screen.width - 200);
      const int y = (i * 53) % (screen.height - 200);
      const RECT area = {x, y, x + 200, y + 200};
      const double start = NowMs();
      ::InvalidateRect(hwnd, &area, FALSE);
      ::UpdateWindow(hwnd);
      small.push_back(NowMs() - start);
    }
    for (int i = 0; i < 20; ++i) {
      const double start = NowMs();
      ::InvalidateRect(hwnd, nullptr, FALSE);
      ::UpdateWindow(hwnd);
      full.push_back(NowMs() - start);
    }
    // State 0: the mouse wanders over the fixture windows; each move may
    // offer another window and always moves the magnifier.
    std::vector<double> moves;
    // A hand's path: small steps that cross the fixture's windows.
    for (int i = 0; i < 500; ++i) {
      const int x = 60 + (i * 7) % 1800;
      const int y = 60 + (i * 3) % 1000 + ((i / 60) % 2) * 40;
      ::SetCursorPos(x, y);
      const double start = NowMs();
      ::SendMessageW(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
      ::UpdateWindow(hwnd);
      moves.push_back(NowMs() - start);
    }
    std::sort(moves.begin(), moves.end());
    std::sort(small.begin(), small.end());
    std::sort(full.begin(), full.end());
    std::printf("capture window paint on %dx%d:\n", screen.width, screen.height);
    std::printf("  200x200 invalidated  median %6.2f ms  (p90 %6.2f ms; target <= 2 ms)\n", small[small.size() / 2],
                small[small.size() * 9 / 10]);
    std::printf("  whole window         median %6.2f ms\n", full[full.size() / 2]);
    std::printf("  mouse move in state 0, move to end of paint: median %6.2f ms (p90 %6.2f ms; target <= 8 ms)\n",
                moves[moves.size() / 2], moves[moves.size() * 9 / 10]);
    window->CloseCapture();
    SetCaptureWindow(nullptr);
  }
  Gdiplus::GdiplusShutdown(token);
  return 0;
}
