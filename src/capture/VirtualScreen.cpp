#include "capture/VirtualScreen.h"

#include <windows.h>

namespace ScreenCapture {

const Rect& GetVirtualScreenRect() {
  static const Rect rect{::GetSystemMetrics(SM_XVIRTUALSCREEN), ::GetSystemMetrics(SM_YVIRTUALSCREEN),
                         ::GetSystemMetrics(SM_CXVIRTUALSCREEN), ::GetSystemMetrics(SM_CYVIRTUALSCREEN)};
  return rect;
}

}  // namespace ScreenCapture
