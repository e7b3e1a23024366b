// One wheel step of the scroll capture at 1920 wide and 800 rows: the grab
// of the area from the screen and the stitching onto a long image that is
// short, 4,000 and 9,000 rows high; and the memory a 9,000-row long image
// takes at its peak (the join builds the next image beside the current one);
// and what the UI thread does for a join at 9,000 rows: the rebuild of the
// preview under the long image's lock, its longest stretch between two
// answers to the mouse hook.
#include <windows.h>
#include <gdiplus.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <mutex>
#include <vector>

#include "../../tests/native/StitchPages.h"
#include "BenchStats.h"
#include "common/Clock.h"
#include "core/FrameStitcher.h"
#include "core/ScrollPreview.h"
#include "scroll/StitchBitmap.h"

namespace {

using namespace ScreenCapture;
using benchstats::Median;
using benchstats::PeakMb;

}  // namespace

int wmain() {
  const int width = 1918, height = 798;  // an 800-row region less its frame
  std::vector<double> grabs;
  for (int i = 0; i < 20; ++i) {
    PixelImage frame;
    const double start = NowMs();
    GrabScreenPixels(0, 0, width, height, frame);
    grabs.push_back(NowMs() - start);
  }
  std::printf("one wheel step at %dx%d (target: grab and stitching < 33 ms):\n", width, height);
  std::printf("  grab from the screen       median %6.2f ms\n", Median(grabs));

  stitchtest::PageSpec spec;
  spec.width = width;
  spec.viewHeight = height;
  spec.pageHeight = 10200;
  spec.header = 60;
  spec.footer = 40;
  spec.scrollBar = 16;
  spec.blankRows = 0.3;
  spec.seed = 11;
  const stitchtest::Page page(spec);
  const double before = PeakMb();
  PixelImage longImage = page.Frame(0);
  StitchState state;
  StitchEnvironment env;
  CFrameStitcher stitcher(env);
  std::vector<double> at800, at4000, at9000;
  int offset = 0;
  // The long image's buffers at their largest: the one it had and the one it
  // grows into, side by side while the rows move over.
  double buffersPeakMb = 0;
  while (longImage.height < 9000 && offset < spec.pageHeight - height - 120) {
    offset += 120;
    const PixelImage frame = page.Frame(offset);
    const int h = longImage.height;
    const int capacity = longImage.Capacity();
    const double start = NowMs();
    const int result = stitcher.Combine(longImage, frame, width, -120, state);
    const double ms = NowMs() - start;
    const int held = longImage.Capacity() + (longImage.Capacity() != capacity ? capacity : 0);
    buffersPeakMb = std::max(buffersPeakMb, static_cast<double>(held) * width * 4 / 1048576.0);
    if (result != COMPARE_RESULT_COMBINE) {
      std::printf("  stitching stopped with result %d at %d rows\n", result, longImage.height);
      break;
    }
    (h < 1600 ? at800 : h < 4400 && h >= 3600 ? at4000 : h >= 8400 ? at9000 : grabs).push_back(ms);
  }
  const auto report = [](const char* what, const std::vector<double>& v) {
    if (!v.empty()) std::printf("  stitching onto %-12s median %6.2f ms\n", what, Median(v));
  };
  report("~1,000 rows", at800);
  report("~4,000 rows", at4000);
  report("~9,000 rows", at9000);
  const double imageMb = static_cast<double>(longImage.width) * longImage.height * 4 / 1048576.0;
  std::printf("a long image of %d rows: %.1f MB; its buffers at their peak %.1f MB (%.2f times the image); peak\n"
              "memory of the process %.1f MB (%.1f MB before it, the generated page), %.2f times the image\n",
              longImage.height, imageMb, buffersPeakMb, buffersPeakMb / imageMb, PeakMb(), before,
              (PeakMb() - before) / imageMb);

  // The preview beside an 800-row selection, rebuilt once per join while the
  // UI thread holds the long image's lock. Earlier every join drew the whole
  // image at high quality; now the preview is sampled from it.
  Gdiplus::GdiplusStartupInput input;
  ULONG_PTR token = 0;
  if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok) return 1;
  {
    std::mutex longLock;
    const Rect preview = PreviewRect(0, Rect{0, 100, width + 2, height + 2}, longImage.width, longImage.height, 1080, false);
    const auto stretch = [&](bool wholeImage) {
      std::vector<double> ms;
      for (int i = 0; i < 10; ++i) {
        const double start = NowMs();
        const std::lock_guard<std::mutex> lock(longLock);
        Gdiplus::Bitmap out(preview.width, preview.height, PixelFormat32bppPARGB);
        if (wholeImage) {
          Gdiplus::Bitmap view(longImage.width, longImage.height, -longImage.width * 4, PixelFormat32bppRGB,
                               reinterpret_cast<BYTE*>(longImage.Row(longImage.height - 1)));
          Gdiplus::Graphics graphics(&out);
          graphics.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBilinear);
          graphics.DrawImage(&view, Gdiplus::Rect(0, 0, preview.width, preview.height), 0, 0, longImage.width,
                             longImage.height, Gdiplus::UnitPixel);
        } else {
          const Gdiplus::Rect all(0, 0, preview.width, preview.height);
          Gdiplus::BitmapData data = {};
          if (out.LockBits(&all, Gdiplus::ImageLockModeWrite, PixelFormat32bppPARGB, &data) == Gdiplus::Ok) {
            ScalePreview(longImage, preview.width, preview.height, static_cast<uint32_t*>(data.Scan0),
                         static_cast<size_t>(data.Stride / 4));
            out.UnlockBits(&data);
          }
        }
        ms.push_back(NowMs() - start);
      }
      std::printf("  %-44s median %7.2f ms, longest %7.2f ms\n",
                  wholeImage ? "whole image drawn at high quality (earlier)" : "sampled from the image (now)", Median(ms),
                  *std::max_element(ms.begin(), ms.end()));
    };
    std::printf("the UI thread's busy stretch per join at %d rows (preview %dx%d; target: well under the\n"
                "hook's 1,000 ms time-out on Windows 10, and under a frame):\n",
                longImage.height, preview.width, preview.height);
    stretch(true);
    stretch(false);
  }
  Gdiplus::GdiplusShutdown(token);
  return 0;
}
