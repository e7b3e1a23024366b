#pragma once
// The virtual screen (the bounding rectangle of all monitors), read once per
// process. The frozen image, the capture window and every full-screen copy
// use this one rectangle.
#include "core/Geometry.h"

namespace ScreenCapture {

const Rect& GetVirtualScreenRect();

// Tests pretend another monitor layout (a monitor left of or above the
// primary gives a negative origin) for the lifetime of this object.
class ScopedVirtualScreen {
 public:
  explicit ScopedVirtualScreen(const Rect& layout);
  ~ScopedVirtualScreen();
  ScopedVirtualScreen(const ScopedVirtualScreen&) = delete;
  ScopedVirtualScreen& operator=(const ScopedVirtualScreen&) = delete;

 private:
  Rect m_layout;
  const Rect* m_previous;
};

}  // namespace ScreenCapture
