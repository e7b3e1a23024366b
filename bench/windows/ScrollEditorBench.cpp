// The long-image editor on a 9,000-row image 1,918 pixels wide: a repaint
// while a rectangle is being drawn (a mouse move), a repaint after one wheel
// step, both with a rectangle, an arrow and a brush stroke already on the
// image; and the result of a 9,000 x 3,840 image with the peak memory.
#include <windows.h>
#include <gdiplus.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

#include "NullCapture.h"
#include "BenchStats.h"
#include "common/Clock.h"
#include "common/Handles.h"
#include "scroll/ScrollCaptureEditor.h"
#include "shapes/ScrollShapes.h"

namespace {

using namespace ScreenCapture;
using benchstats::Median;
using benchstats::PeakMb;

// A long image of bands, as a DIB section.
UniqueBitmap LongImage(int width, int height) {
  void* bits = nullptr;
  UniqueBitmap bitmap = CreateDib32(nullptr, width, height, &bits);
  if (!bitmap) return bitmap;
  auto* p = static_cast<uint32_t*>(bits);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) p[static_cast<size_t>(y) * width + x] = 0xFF000000u | ((y * 2654435761u) >> 8) ^ (x / 40 * 0x0F1F2Fu);
  }
  return bitmap;
}

template <class Shape>
std::shared_ptr<Shape> Placed(const Rect& r, int offset) {
  auto shape = std::make_shared<Shape>();
  shape->SetScrollOffset(offset);
  shape->SetColor(0xFFFF0000);
  Point start{r.x, r.y}, end{r.Right(), r.Bottom()};
  bool handled = false;
  shape->BeginCreate(start, handled);
  shape->OnMouseMove(end, handled);
  shape->OnMouseMove(end, handled);
  shape->OnLButtonUp(end, handled);
  return shape;
}

}  // namespace

int wmain() {
  Gdiplus::GdiplusStartupInput input;
  ULONG_PTR token = 0;
  Gdiplus::GdiplusStartup(&token, &input, nullptr);
  {
    NullWindow window;
    SetCaptureWindow(&window);
    std::unique_ptr<CScrollCaptureEditor> editor;
    {
      ScreenCapture::UniqueBitmap image = LongImage(1918, 9000);
      editor = std::make_unique<CScrollCaptureEditor>(image.Get(), Rect{0, 0, 1920, 1080});
    }
    window.control.mode = editor.get();
    if (!editor->IsReady()) {
      std::printf("the editor could not be made\n");
      return 1;
    }
    editor->Add(Placed<CScrollSquareShade>(Rect{200, 200, 400, 300}, 0));
    editor->Add(Placed<CScrollArrawShade>(Rect{700, 200, 300, 200}, 0));
    editor->Add(Placed<CScrollBrushShade>(Rect{300, 600, 600, 200}, 0));
    // The screen the paint goes to.
    void* bits = nullptr;
    ScreenCapture::MemoryDC target(nullptr);
    ScreenCapture::UniqueBitmap surface = ScreenCapture::CreateDib32(nullptr, 1920, 1080, &bits);
    ScreenCapture::SelectGuard select(target.Get(), surface.Get());
    const auto repaint = [&] {
      Gdiplus::Graphics graphics(target.Get());
      graphics.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias8x8);
      graphics.SetCompositingQuality(Gdiplus::CompositingQualityHighQuality);
      editor->Draw(&graphics, false);
    };
    repaint();

    // A rectangle being drawn, its corner following the mouse.
    auto drawing = std::make_shared<CScrollSquareShade>();
    drawing->SetScrollOffset(0);
    Point start{500, 500};
    bool handled = false;
    drawing->BeginCreate(start, handled);
    editor->SetCurrentShape(drawing);
    std::vector<double> moves, wheels;
    for (int i = 0; i < 100; ++i) {
      Point at{600 + i * 3, 600 + i * 2};
      const double t0 = NowMs();
      drawing->OnMouseMove(at, handled);
      repaint();
      moves.push_back(NowMs() - t0);
    }
    editor->SetCurrentShape(nullptr);
    for (int i = 0; i < 60; ++i) {
      const double t0 = NowMs();
      if (i < 30) {
        editor->ScrollDown(Point{900, 500});
      } else {
        editor->ScrollUp(Point{900, 500});
      }
      repaint();
      wheels.push_back(NowMs() - t0);
    }
    std::printf("editor on a 9,000 x 1,918 long image (target: at most 16 ms each):\n");
    std::printf("  repaint while a rectangle is drawn   median %6.2f ms, worst %6.2f ms\n", Median(moves),
                *std::max_element(moves.begin(), moves.end()));
    std::printf("  one wheel step with its repaint      median %6.2f ms, worst %6.2f ms\n", Median(wheels),
                *std::max_element(wheels.begin(), wheels.end()));
    window.control.mode = nullptr;
  }
  {
    // The result of 9,000 rows at 3,840 wide.
    NullWindow window;
    SetCaptureWindow(&window);
    const double before = PeakMb();
    std::unique_ptr<CScrollCaptureEditor> editor;
    {
      ScreenCapture::UniqueBitmap image = LongImage(3840, 9000);
      editor = std::make_unique<CScrollCaptureEditor>(image.Get(), Rect{0, 0, 3842, 1080});
    }
    window.control.mode = editor.get();
    const double t0 = NowMs();
    std::unique_ptr<Gdiplus::Bitmap> result = editor->IsReady() ? editor->RenderResult() : nullptr;
    const double ms = NowMs() - t0;
    const double imageMb = 3840.0 * 9000 * 4 / 1048576.0;
    if (!result) {
      std::printf("the result of 9,000 x 3,840 could not be made\n");
    } else {
      std::printf("result %ux%u in %.0f ms; peak memory %.0f MB (%.0f MB before; the image is %.0f MB)\n",
                  result->GetWidth(), result->GetHeight(), ms, PeakMb(), before, imageMb);
    }
    result.reset();
    window.control.mode = nullptr;
  }
  Gdiplus::GdiplusShutdown(token);
  return 0;
}
