#include "common/VirtualScreen.h"

#include <windows.h>

namespace ScreenCapture {

namespace {
const Rect* g_override = nullptr;
uint64_t g_addressSpaceOverride = 0;
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

uint64_t AvailableAddressSpace() {
  if (g_addressSpaceOverride) return g_addressSpaceOverride;
  MEMORYSTATUSEX status = {};
  status.dwLength = sizeof(status);
  if (::GlobalMemoryStatusEx(&status)) return status.ullAvailVirtual;
  // Unknown: what a 32-bit process without the large-address flag has.
  return 1ull << 31;
}

ScopedAddressSpace::ScopedAddressSpace(uint64_t bytes) : m_previous(g_addressSpaceOverride) {
  g_addressSpaceOverride = bytes;
}

ScopedAddressSpace::~ScopedAddressSpace() { g_addressSpaceOverride = m_previous; }

}  // namespace ScreenCapture
