#include "common/WineQuirks.h"

#include "common/SystemFunctions.h"

namespace ScreenCapture {
namespace WineQuirks {

bool RunningUnderWine() {
  using WineVersionFn = const char*(CDECL*)();
  static const bool wine = Lookup<WineVersionFn>(::GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
  return wine;
}

void RestackAboveOwner(HWND popup) {
  if (!popup || !::IsWindowVisible(popup) || !RunningUnderWine()) return;
  ::ShowWindow(popup, SW_HIDE);
  ::ShowWindow(popup, SW_SHOWNOACTIVATE);
}

HWND WindowBelow(HWND self, POINT at) {
  const HWND under = ::WindowFromPoint(at);
  if (!self || !under || ::GetAncestor(under, GA_ROOT) != self) return under;
  for (HWND below = ::GetWindow(self, GW_HWNDNEXT); below; below = ::GetWindow(below, GW_HWNDNEXT)) {
    RECT r = {};
    DWORD pid = 0;
    ::GetWindowThreadProcessId(below, &pid);
    if (pid == ::GetCurrentProcessId() || !::IsWindowVisible(below) || !::GetWindowRect(below, &r) || !::PtInRect(&r, at)) {
      continue;
    }
    HWND target = below;
    for (;;) {
      POINT client = at;
      ::ScreenToClient(target, &client);
      const HWND child = ::ChildWindowFromPointEx(target, client, CWP_SKIPINVISIBLE | CWP_SKIPTRANSPARENT);
      if (!child || child == target) break;
      target = child;
    }
    return target;
  }
  return nullptr;
}

void ForwardWheel(HWND self, WPARAM wParam, LPARAM lParam) {
  const POINT at = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
  const HWND target = WindowBelow(self, at);
  DWORD pid = 0;
  if (target) ::GetWindowThreadProcessId(target, &pid);
  if (target && pid != ::GetCurrentProcessId()) ::PostMessageW(target, WM_MOUSEWHEEL, wParam, lParam);
}

}  // namespace WineQuirks
}  // namespace ScreenCapture
