#include "capture/ScreenBackgroundHelper.h"

#include "capture/VirtualScreen.h"
#include "common/Logger.h"

namespace ScreenCapture {

namespace {
double NowMs() {
  LARGE_INTEGER frequency, counter;
  ::QueryPerformanceFrequency(&frequency);
  ::QueryPerformanceCounter(&counter);
  return static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}
}  // namespace

ScreenBackgroundHelper::ScreenBackgroundHelper() : ScreenBackgroundHelper(GetVirtualScreenRect()) {}

ScreenBackgroundHelper::ScreenBackgroundHelper(const Rect& area) : m_area(area) {
  if (!IsGrabbableScreen(area)) {
    LOG_ERR(L"virtual screen %dx%d cannot be frozen; the capture goes on without it", area.width, area.height);
    return;
  }
  const double start = NowMs();
  const HWND desktop = ::GetDesktopWindow();
  {
    DuiLib::WindowDC desktopDC(desktop, true);
    DuiLib::MemoryDC memory(desktopDC.Get());
    DuiLib::Bitmap bitmap(::CreateCompatibleBitmap(desktopDC.Get(), area.width, area.height));
    if (m_screen.Attach(std::move(memory), std::move(bitmap))) {
      ::BitBlt(m_screen.GetDC(), 0, 0, area.width, area.height, desktopDC.Get(), area.x, area.y, SRCCOPY | CAPTUREBLT);
    } else {
      LOG_ERR(L"screen image %dx%d could not be made: %d", area.width, area.height, static_cast<int>(::GetLastError()));
    }
  }
  const double grabbed = NowMs();
  if (m_screen) {
    DuiLib::MemoryDC memory(m_screen.GetDC());
    // The blend darkens over black.
    DuiLib::Bitmap bitmap(::CreateCompatibleBitmap(m_screen.GetDC(), area.width, area.height));
    if (m_dimmed.Attach(std::move(memory), std::move(bitmap))) {
      ::PatBlt(m_dimmed.GetDC(), 0, 0, area.width, area.height, BLACKNESS);
      const BLENDFUNCTION blend = {AC_SRC_OVER, 0, kDimAlpha, 0};
      ::AlphaBlend(m_dimmed.GetDC(), 0, 0, area.width, area.height, m_screen.GetDC(), 0, 0, area.width, area.height,
                   blend);
    } else {
      LOG_ERR(L"dimmed image %dx%d could not be made: %d", area.width, area.height, static_cast<int>(::GetLastError()));
    }
  }
  const double dimmed = NowMs();
  LOG_TRA(L"screen frozen %dx%d at %d,%d: grab %d ms, dim %d ms", area.width, area.height, area.x, area.y,
          static_cast<int>(grabbed - start), static_cast<int>(dimmed - grabbed));
}

ScreenBackgroundHelper::~ScreenBackgroundHelper() = default;

}  // namespace ScreenCapture
