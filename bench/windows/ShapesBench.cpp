// Drawing and hit-testing stay cheap with many annotations: a repaint of a
// 1920x1080 region holding 500 rectangles and ellipses, and 10,000 hit tests
// against them.
#include <windows.h>
#include <gdiplus.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <vector>

#include "capture/CaptureControl.h"
#include "capture/CaptureShade.h"
#include "NullCapture.h"
#include "common/Clock.h"
#include "shapes/BrushShade.h"
#include "shapes/RoundShade.h"
#include "shapes/TextShape.h"
#include "ui/WindowWnd.h"

namespace {

using namespace ScreenCapture;

// The capture window's routing: an editor's notifications go back to it.
LRESULT CALLBACK ReflectingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if ((message == WM_COMMAND || message == WM_CTLCOLOREDIT) && lParam) {
    return ::SendMessageW(reinterpret_cast<HWND>(lParam), DuiLib::kReflectedMessageBase + message, wParam, lParam);
  }
  return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

}  // namespace

int wmain() {
  Gdiplus::GdiplusStartupInput input;
  ULONG_PTR token = 0;
  Gdiplus::GdiplusStartup(&token, &input, nullptr);
  {
    NullWindow window;
    SetCaptureWindow(&window);
    CCaptureShade mode;
    mode.SetRect(Rect{0, 0, 1920, 1080});
    mode.SetState(kStateIdle);
    window.control.mode = &mode;

    // A frozen screen to copy the region from.
    const HDC screen = ::GetDC(nullptr);
    const HDC frozenDC = ::CreateCompatibleDC(screen);
    const HBITMAP frozen = ::CreateCompatibleBitmap(screen, 1920, 1080);
    ::SelectObject(frozenDC, frozen);
    window.control.screenDC = frozenDC;

    unsigned seed = 12345;
    const auto next = [&seed](int range) {
      seed = seed * 1103515245u + 12345u;
      return static_cast<int>((seed >> 8) % static_cast<unsigned>(range));
    };
    const ARGB colors[] = {kColorRed, kColorYellow, kColorBlue, kColorGreen, kColorGray, kColorWhite};
    for (int i = 0; i < 500; ++i) {
      std::shared_ptr<CRectShade> shape;
      if (i % 2) shape = std::make_shared<CRoundShade>();
      else shape = std::make_shared<CSquareFrameShade>();
      shape->SetColor(colors[i % 6]);
      shape->SetWidth(i % 3 == 0 ? kSizeSmall : i % 3 == 1 ? kSizeMiddle : kSizeBig);
      shape->SetRect(Rect{next(1700), next(900), 20 + next(200), 20 + next(160)});
      shape->SetState(kStateIdle);
      mode.Add(shape);
    }

    // The paint target: the off-screen image of the capture window.
    const HDC paintDC = ::CreateCompatibleDC(screen);
    void* bits = nullptr;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = 1920;
    info.bmiHeader.biHeight = -1080;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    const HBITMAP target = ::CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ::SelectObject(paintDC, target);

    const auto paint = [&] {
      const double start = NowMs();
      Gdiplus::Graphics graphics(paintDC);
      graphics.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias8x8);
      graphics.SetCompositingQuality(Gdiplus::CompositingQualityHighQuality);
      mode.Draw(&graphics, false);
      graphics.Flush(Gdiplus::FlushIntentionSync);
      return NowMs() - start;
    };
    // Everything drawn (the first paint, or after an undo deep in the list).
    const double full = paint();
    // Nothing changed (the magnifier or the toolbar asked for the repaint).
    std::vector<double> unchanged;
    for (int i = 0; i < 15; ++i) unchanged.push_back(paint());
    // The newest shape selected and dragged: everything under it is kept.
    const auto& shapes = mode.GetShapes();
    auto newest = std::dynamic_pointer_cast<CRectShade>(shapes.back());
    newest->SetSelected(true);
    std::vector<double> editingNewest;
    for (int i = 0; i < 15; ++i) {
      Rect r = newest->GetRect();
      r.x += 3;
      newest->SetRect(r);
      editingNewest.push_back(paint());
    }
    newest->SetSelected(false);
    // The oldest rectangle selected and dragged: everything is drawn.
    auto oldest = std::dynamic_pointer_cast<CRectShade>(shapes.front());
    oldest->SetSelected(true);
    std::vector<double> editingOldest;
    for (int i = 0; i < 5; ++i) {
      Rect r = oldest->GetRect();
      r.x += 3;
      oldest->SetRect(r);
      editingOldest.push_back(paint());
    }
    oldest->SetSelected(false);

    int hits = 0;
    const double hitStart = NowMs();
    for (int i = 0; i < 10000; ++i) {
      const Point p{next(1920), next(1080)};
      for (const auto& shape : mode.GetShapes()) {
        if (shape->HitTest(p) || shape->HitTestHandle(p)) {
          ++hits;
          break;
        }
      }
    }
    const double hitMs = NowMs() - hitStart;

    std::printf("500 rectangles and ellipses on a 1920x1080 region:\n");
    std::printf("  repaint, nothing changed        median %7.2f ms (target < 16 ms)\n", Median(unchanged));
    std::printf("  repaint, newest shape dragged   median %7.2f ms\n", Median(editingNewest));
    std::printf("  repaint, oldest shape dragged   median %7.2f ms\n", Median(editingOldest));
    std::printf("  full repaint (first paint)             %7.2f ms\n", full);
    std::printf("  10,000 hit tests   %7.2f ms in all (%d hits, %.2f us each)\n", hitMs, hits, hitMs * 1000 / 10000);
    // A brush stroke of 5,000 points being drawn on an empty 1920x1080
    // region: each mouse move, the move itself and the repaint of what it
    // asks for, late in the stroke; and hit tests of the finished stroke.
    // An empty mode over the whole screen, the current one.
    const auto PrepareMode = [&](CCaptureShade& which) {
      which.SetRect(Rect{0, 0, 1920, 1080});
      which.SetState(kStateIdle);
      window.control.mode = &which;
    };
    // The repaint of what a change asked for, as the capture control paints.
    const auto repaintArea = [&](CCaptureShade& which, const Rect& area) {
      const int saved = ::SaveDC(paintDC);
      ::IntersectClipRect(paintDC, area.x, area.y, area.Right(), area.Bottom());
      Gdiplus::Graphics graphics(paintDC);
      graphics.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias8x8);
      graphics.SetCompositingQuality(Gdiplus::CompositingQualityHighQuality);
      ClipToPaintArea(paintDC, graphics);
      which.Draw(&graphics, false);
      graphics.Flush(Gdiplus::FlushIntentionSync);
      ::RestoreDC(paintDC, saved);
    };
    CCaptureShade strokeMode;
    PrepareMode(strokeMode);
    auto brush = std::make_shared<CBrushShade>();
    brush->SetColor(kColorRed);
    strokeMode.SetCurrentShape(brush);
    bool handled = false;
    Point press{100, 100};
    brush->OnLButtonDown(press, handled);
    std::vector<double> strokeMoves;
    const int points = 5000;
    for (int i = 0; i <= points; ++i) {
      // A scribble over the whole region, as a hand draws one: a smooth
      // curve that crosses itself, a few pixels a move.
      Point at{960 + static_cast<int>(800 * std::sin(i * 0.0071)), 540 + static_cast<int>(420 * std::sin(i * 0.0113))};
      const double start = NowMs();
      handled = false;
      strokeMode.OnMouseMove(at, handled);
      repaintArea(strokeMode, window.control.lastArea);
      if (i > points - 200) strokeMoves.push_back(NowMs() - start);
    }
    Point release{0, 0};
    brush->OnLButtonUp(release, handled);
    int strokeHits = 0;
    const double strokeHitStart = NowMs();
    for (int i = 0; i < 1000; ++i) strokeHits += brush->HitTest(Point{next(1920), next(1080)}) ? 1 : 0;
    const double strokeHitMs = (NowMs() - strokeHitStart) / 1000;
    window.control.mode = &mode;

    std::printf("a brush stroke of %zu points on a 1920x1080 region (target < 2 ms a move):\n", brush->GetPoints().size());
    std::printf("  move and repaint, last 200 moves  median %6.3f ms, worst %6.3f ms\n", Median(strokeMoves),
                *std::max_element(strokeMoves.begin(), strokeMoves.end()));
    std::printf("  hit test of the whole stroke      %6.3f ms each (%d of 1000 hit)\n", strokeHitMs, strokeHits);

    // Typing in a box that holds 2,000 characters, in the real editor: for
    // each key, the layout before the control shows it, the control's own
    // work, the layout of the changed text, and the repaint of the box and
    // of the editor.
    DuiLib::TFontInfo font;
    font.hFont.Reset(::CreateFontW(-20, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, CLEARTYPE_QUALITY, 0, L"\x5FAE\x8F6F\x96C5\x9ED1"));
    window.control.font = &font;
    WNDCLASSW wc = {};
    wc.lpfnWndProc = ReflectingProc;
    wc.lpszClassName = L"ZtdBenchCapture";
    ::RegisterClassW(&wc);
    window.hwnd = ::CreateWindowExW(0, wc.lpszClassName, L"", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 1920, 1080,
                                    nullptr, nullptr, nullptr, nullptr);
    CCaptureShade textMode;
    PrepareMode(textMode);
    auto text = std::make_shared<CTextShape>();
    text->SetColor(kColorRed);
    std::wstring typed;
    for (int i = 0; i < 2000; ++i) typed += i % 40 == 39 ? L' ' : static_cast<wchar_t>(i % 7 == 0 ? 0x4E16 : L'a' + i % 26);
    text->SetText(typed);
    Point at{200, 100};
    handled = false;
    text->BeginCreate(at, handled);
    const HWND editor = ::FindWindowExW(window.hwnd, nullptr, L"EditWnd", nullptr);
    std::vector<double> keys, layouts;
    for (int i = 0; i < 200 && editor; ++i) {
      const double start = NowMs();
      ::SendMessageW(editor, WM_CHAR, static_cast<WPARAM>(L'a' + i % 26), 1);
      const double typedAt = NowMs();
      if (!window.control.lastArea.IsEmpty()) repaintArea(textMode, window.control.lastArea);
      window.control.lastArea = Rect{};
      ::UpdateWindow(editor);
      keys.push_back(NowMs() - start);
      layouts.push_back(typedAt - start);
    }
    if (keys.empty()) keys.push_back(-1), layouts.push_back(-1);
    std::printf("typing into a box of %zu characters (target < 4 ms a key):\n", text->GetText().size());
    std::printf("  the key, laid out and taken by the control  median %6.3f ms\n", Median(layouts));
    std::printf("  with the repaint of box and control         median %6.3f ms, worst %6.3f ms (box %dx%d)\n",
                Median(keys), *std::max_element(keys.begin(), keys.end()), text->GetRect().width, text->GetRect().height);
    text.reset();
    ::DestroyWindow(window.hwnd);
    window.hwnd = nullptr;
    window.control.font = nullptr;
    ::DeleteDC(paintDC);
    ::DeleteObject(target);
    ::DeleteDC(frozenDC);
    ::DeleteObject(frozen);
    ::ReleaseDC(nullptr, screen);
    SetCaptureWindow(nullptr);
  }
  Gdiplus::GdiplusShutdown(token);
  return 0;
}
