#include "ui/ModalLoop.h"

namespace DuiLib {

namespace {
HINSTANCE g_resourceInstance = nullptr;

void ReleaseOwner(HWND owner) {
  if (!owner) return;
  ::EnableWindow(owner, TRUE);
  ::SetFocus(owner);
}
}  // namespace

void SetResourceInstance(HINSTANCE instance) { g_resourceInstance = instance; }
HINSTANCE GetResourceInstance() { return g_resourceInstance; }

UINT RunModalLoop(HWND hwnd, IMessageFilterUI* filter) {
  const HWND owner = ::GetWindow(hwnd, GW_OWNER);
  ::ShowWindow(hwnd, SW_SHOWNORMAL);
  if (owner) ::EnableWindow(owner, FALSE);

  UINT result = 0;
  bool quit = false;
  MSG msg = {};
  while (::IsWindow(hwnd)) {
    const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0) {
      quit = true;
      break;
    }
    if (got == -1) break;
    if (msg.message == WM_CLOSE && msg.hwnd == hwnd) {
      result = static_cast<UINT>(msg.wParam);
      ReleaseOwner(owner);
    }
    if (!filter || !filter->PreTranslateMessage(msg)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
    }
  }
  ReleaseOwner(owner);
  if (quit) ::PostQuitMessage(static_cast<int>(msg.wParam));
  return result;
}

}  // namespace DuiLib
