#include "capture/VirtualScreen.h"

#include <windows.h>

namespace ScreenCapture {

namespace {
const Rect* g_override = nullptr;
}

const Rect& GetVirtualScreenRect() {
  if (g_override) return *g_override;
  static const Rect rect{::GetSystemMetrics(SM_XVIRTUALSCREEN), ::GetSystemMetrics(SM_YVIRTUALSCREEN),
                         ::GetSystemMetrics(SM_CXVIRTUALSCREEN), ::GetSystemMetrics(SM_CYVIRTUALSCREEN)};
  return rect;
}

ScopedVirtualScreen::ScopedVirtualScreen(const Rect& layout) : m_layout(layout), m_previous(g_override) {
  g_override = &m_layout;
}

ScopedVirtualScreen::~ScopedVirtualScreen() { g_override = m_previous; }

}  // namespace ScreenCapture
