#include "common/SystemFunctions.h"

#include "common/Handles.h"

namespace ScreenCapture {

int SystemDpi() {
  WindowDC screen(nullptr);
  return screen.Get() ? ::GetDeviceCaps(screen.Get(), LOGPIXELSX) : 96;
}

}  // namespace ScreenCapture
