#include "capture/ScreenBackgroundHelper.h"

#include "common/VirtualScreen.h"
#include "common/Clock.h"
#include "common/Logger.h"
#include "common/StartupTrace.h"
#include "core/PixelOps.h"

namespace ScreenCapture {

namespace {

// A 32-bit top-down image in a memory DC; `bits` gets its pixels.
bool MakeImage(HDC compatibleWith, const Rect& area, BitmapDC& image, uint32_t*& bits) {
  void* raw = nullptr;
  UniqueBitmap bitmap = CreateDib32(compatibleWith, area.width, area.height, &raw);
  if (!bitmap || !image.Attach(MemoryDC(compatibleWith), std::move(bitmap))) {
    LOG_ERR(L"screen image %dx%d could not be made: %d", area.width, area.height, static_cast<int>(::GetLastError()));
    image.Reset();
    return false;
  }
  bits = static_cast<uint32_t*>(raw);
  return true;
}

}  // namespace

ScreenBackgroundHelper::ScreenBackgroundHelper()
    : ScreenBackgroundHelper(GetVirtualScreenRect(), AvailableAddressSpace()) {}

ScreenBackgroundHelper::ScreenBackgroundHelper(const Rect& area, uint64_t availableBytes) : m_area(area) {
  if (!IsGrabbableScreen(area, availableBytes)) {
    LOG_ERR(L"virtual screen %dx%d cannot be frozen (%d MB of images, %d MB of address space free); the capture "
            L"goes on without it",
            area.width, area.height, static_cast<int>(ImageBytes(area) * kScreenSizedImages >> 20),
            static_cast<int>(availableBytes >> 20));
    return;
  }
  uint32_t* screenBits = nullptr;
  uint32_t* dimmedBits = nullptr;
  {
    WindowDC desktop(::GetDesktopWindow(), true);
    if (!MakeImage(desktop.Get(), area, m_screen, screenBits)) return;
  }
  if (!MakeImage(m_screen.GetDC(), area, m_dimmed, dimmedBits)) dimmedBits = nullptr;

  // The copy and the dimming run on a worker while the UI thread goes on
  // with its window, still hidden: no window of ours is shown before the
  // images are finished (the owner waits for them before it shows it). The
  // worker is the only user of the image DCs until then.
  const HDC screenDC = m_screen.GetDC();
  auto freeze = [area, screenDC, screenBits, dimmedBits] {
    const double start = NowMs();
    {
      WindowDC desktop(::GetDesktopWindow(), true);
      // Layered and transparent windows are part of what the user sees.
      ::BitBlt(screenDC, 0, 0, area.width, area.height, desktop.Get(), area.x, area.y, SRCCOPY | CAPTUREBLT);
      ::GdiFlush();
    }
    MarkStartup(StartupPhase::kScreenGrabbed);
    const double grabbed = NowMs();
    if (dimmedBits) {
      // The same as alpha-blending the screen over black at 127, computed
      // directly: ten times faster than the system blend.
      DimOverBlack(screenBits, dimmedBits, static_cast<size_t>(area.width) * static_cast<size_t>(area.height),
                   kDimAlpha);
    }
    MarkStartup(StartupPhase::kScreenDimmed);
    LOG_TRA(L"screen frozen %dx%d at %d,%d: grab %d ms, dim %d ms", area.width, area.height, area.x, area.y,
            static_cast<int>(grabbed - start), static_cast<int>(NowMs() - grabbed));
  };
  // Without a worker the images are made here, before anything goes on.
  if (!m_worker.Start(freeze)) freeze();
}

ScreenBackgroundHelper::~ScreenBackgroundHelper() { WaitForImages(); }

void ScreenBackgroundHelper::WaitForImages() { m_worker.Join(); }

}  // namespace ScreenCapture
