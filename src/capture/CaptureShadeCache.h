#pragma once
// What the last full paint of the normal capture left in the selection
// rectangle before the first shape that is being edited, and what it was
// made of. Shared by the files of the capture mode only.
#include <windows.h>

#include <memory>
#include <utility>
#include <vector>

#include "capture/CaptureShade.h"
#include "common/Handles.h"

namespace ScreenCapture {

struct CCaptureShade::ContentCache {
  BitmapDC image;
  Rect rect;
  Rect area;  // where the snapshot came from: the selection and a margin, within the target
  int state = -1;
  unsigned frameChanges = 0;
  HDC source = nullptr;
  std::vector<std::pair<std::weak_ptr<IBaseShade>, unsigned>> shapes;  // the cached prefix, with change counts
};

}  // namespace ScreenCapture
