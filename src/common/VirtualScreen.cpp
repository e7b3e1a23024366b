#include "common/VirtualScreen.h"

#include <windows.h>

namespace ScreenCapture {

#if defined(ZTD_TEST_HOOKS)
namespace {
const Rect* g_override = nullptr;
uint64_t g_addressSpaceOverride = 0;
}  // namespace
#endif

const Rect& GetVirtualScreenRect() {
#if defined(ZTD_TEST_HOOKS)
  if (g_override) return *g_override;
#endif
  static const Rect rect{::GetSystemMetrics(SM_XVIRTUALSCREEN), ::GetSystemMetrics(SM_YVIRTUALSCREEN),
                         ::GetSystemMetrics(SM_CXVIRTUALSCREEN), ::GetSystemMetrics(SM_CYVIRTUALSCREEN)};
  return rect;
}

uint64_t AvailableAddressSpace() {
#if defined(ZTD_TEST_HOOKS)
  if (g_addressSpaceOverride) return g_addressSpaceOverride;
#endif
  MEMORYSTATUSEX status = {};
  status.dwLength = sizeof(status);
  if (::GlobalMemoryStatusEx(&status)) return status.ullAvailVirtual;
  // Unknown: what a 32-bit process without the large-address flag has.
  return 1ull << 31;
}

#if defined(ZTD_TEST_HOOKS)
ScopedVirtualScreen::ScopedVirtualScreen(const Rect& layout) : m_layout(layout), m_previous(g_override) {
  g_override = &m_layout;
}

ScopedVirtualScreen::~ScopedVirtualScreen() { g_override = m_previous; }

ScopedAddressSpace::ScopedAddressSpace(uint64_t bytes) : m_previous(g_addressSpaceOverride) {
  g_addressSpaceOverride = bytes;
}

ScopedAddressSpace::~ScopedAddressSpace() { g_addressSpaceOverride = m_previous; }
#endif

}  // namespace ScreenCapture
