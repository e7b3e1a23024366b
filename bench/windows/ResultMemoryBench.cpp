// What finishing a small region costs in memory on a large screen: the peak
// of the memory the process has committed while the result of a 200x200 region
// with annotations is made on a 3840x2160 frozen screen. Measured once the
// way the program does it (only the region is rendered) and once through a
// whole-screen image cropped afterwards, for comparison.
#include <windows.h>
#include <gdiplus.h>

#include <atomic>
#include <cstdio>
#include <thread>
#include <memory>

#include "NullCapture.h"
#include "capture/CaptureControl.h"
#include "capture/CaptureShade.h"
#include "common/VirtualScreen.h"
#include "common/Handles.h"
#include "shapes/RoundShade.h"

namespace {

using namespace ScreenCapture;

// The memory committed in this process: every committed page, private or
// mapped (GDI's DIB sections are mapped sections under Wine, so the system's
// own counters leave them out).
SIZE_T Committed() {
  SIZE_T total = 0;
  MEMORY_BASIC_INFORMATION info = {};
  for (const char* at = nullptr; ::VirtualQuery(at, &info, sizeof(info)) == sizeof(info);
       at = static_cast<const char*>(info.BaseAddress) + info.RegionSize) {
    if (info.State == MEM_COMMIT) total += info.RegionSize;
    if (info.RegionSize == 0) break;
  }
  return total;
}

// The highest commit seen while `work` runs, sampled by a second thread.
template <class Work>
SIZE_T PeakDuring(Work work) {
  std::atomic<bool> done{false};
  std::atomic<SIZE_T> peak{Committed()};
  std::thread sampler([&] {
    while (!done.load()) {
      const SIZE_T now = Committed();
      if (now > peak.load()) peak.store(now);
    }
  });
  work();
  const SIZE_T after = Committed();
  done.store(true);
  sampler.join();
  return after > peak.load() ? after : peak.load();
}

double Mb(SIZE_T bytes) { return static_cast<double>(bytes) / (1024.0 * 1024.0); }

}  // namespace

int wmain() {
  Gdiplus::GdiplusStartupInput input;
  ULONG_PTR token = 0;
  Gdiplus::GdiplusStartup(&token, &input, nullptr);
  int status = 0;
  {
    constexpr int kWidth = 3840, kHeight = 2160;
    ScopedVirtualScreen layout(Rect{0, 0, kWidth, kHeight});
    NullWindow window;
    SetCaptureWindow(&window);

    // The frozen screen, as the capture window holds it.
    const ScreenCapture::WindowDC screen(nullptr);
    void* bits = nullptr;
    ScreenCapture::BitmapDC frozen;
    frozen.Attach(ScreenCapture::MemoryDC(screen.Get()), ScreenCapture::CreateDib32(screen.Get(), kWidth, kHeight, &bits));
    if (!frozen) {
      std::printf("no %dx%d frozen screen could be made\n", kWidth, kHeight);
      return 1;
    }
    window.control.screenDC = frozen.GetDC();

    CCaptureShade mode;
    window.control.mode = &mode;
    const Rect region{1800, 1000, 200, 200};
    mode.SetRect(region);
    mode.SetState(kStateIdle);
    auto ellipse = std::make_shared<CRoundShade>();
    ellipse->SetRect(Rect{1820, 1020, 120, 90});
    ellipse->SetState(kStateIdle);
    mode.Add(ellipse);

    // Warm GDI+ up (its first use allocates caches) so that neither figure
    // carries that cost.
    mode.RenderResult();

    const SIZE_T base = Committed();
    std::unique_ptr<Gdiplus::Bitmap> result;
    const SIZE_T regionOnly = PeakDuring([&] { result = mode.RenderResult(); }) - base;
    const bool made = result && result->GetWidth() == 200 && result->GetHeight() == 200;
    result.reset();

    // The whole-screen way: the full picture with its annotations, read by
    // GDI+, then cropped.
    const SIZE_T base2 = Committed();
    const SIZE_T wholeScreen = PeakDuring([&] {
      ScreenCapture::UniqueBitmap whole(mode.GetCaptureBitmap());
      Gdiplus::Bitmap source(whole.Get(), nullptr);
      Gdiplus::Bitmap cropped(region.width, region.height, PixelFormat32bppARGB);
      Gdiplus::Graphics graphics(&cropped);
      graphics.DrawImage(&source, -region.x, -region.y, static_cast<INT>(source.GetWidth()),
                         static_cast<INT>(source.GetHeight()));
    }) - base2;

    std::printf("result of a 200x200 region on a %dx%d screen (peak of committed memory added):\n", kWidth, kHeight);
    std::printf("  region rendered alone          %8.2f MB%s\n", Mb(regionOnly), made ? "" : "  (NO RESULT)");
    std::printf("  whole screen, then cropped     %8.2f MB\n", Mb(wholeScreen));
    std::printf("  committed with the frozen screen %6.2f MB\n", Mb(base));
    if (!made) status = 1;

    // The mosaic: the pixelated picture, made by the first stroke, and one
    // textured pen per width (GDI+ gives each pen its own copy of the texture).
    CCaptureControl control(frozen.GetDC());
    const SIZE_T base3 = Committed();
    const DWORD start = ::GetTickCount();
    const SIZE_T firstPeak = PeakDuring([&] { control.GetMosaicImage(16); }) - base3;
    const DWORD filterMs = ::GetTickCount() - start;
    const SIZE_T withOne = Committed() - base3;
    control.GetMosaicImage(24);
    control.GetMosaicImage(32);
    const SIZE_T withThree = Committed() - base3;
    std::printf("mosaic on the %dx%d screen (committed memory added):\n", kWidth, kHeight);
    std::printf("  first stroke: image and pen     %8.2f MB (peak %.2f MB, %lu ms)\n", Mb(withOne), Mb(firstPeak),
                static_cast<unsigned long>(filterMs));
    std::printf("  with pens of all three widths   %8.2f MB\n", Mb(withThree));
    std::printf("  process committed in all        %8.2f MB\n", Mb(Committed()));
    SetCaptureWindow(nullptr);
  }
  Gdiplus::GdiplusShutdown(token);
  return status;
}
