#pragma once
// The standard cursors shapes use, loaded once and kept.
#include <windows.h>

namespace ScreenCapture {

enum CursorKind : int {
  kCursorArrow = 0,
  kCursorSizeNWSE = 1,
  kCursorSizeWE = 2,
  kCursorSizeNS = 3,
  kCursorSizeNESW = 4,
  kCursorSizeAll = 5,
};

// The cursor of a kind; null for an unknown kind or a failed load.
HCURSOR GetShapeCursor(int kind);
// Makes the cursor of a kind current; a failed lookup changes nothing.
void SetShapeCursor(int kind);

}  // namespace ScreenCapture
