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
// Makes the cursor of a kind current and the chosen one; a failed lookup
// changes nothing.
void SetShapeCursor(int kind);

// The cursor chosen for where the pointer is, which the capture window shows
// whenever the system asks (WM_SETCURSOR): without it the system would put
// the class cursor back before every move and hover cursors would flicker.
// Null when none was chosen: the window's class cursor shows.
void ChooseCursor(HCURSOR cursor);  // also makes it current
HCURSOR ChosenCursor();
void ForgetChosenCursor();
// The class cursor of `hwnd` (the arrow without a window), and setting it:
// it becomes current too and no other choice is remembered.
HCURSOR GetWindowCursor(HWND hwnd);
void SetWindowCursor(HWND hwnd, HCURSOR cursor);

}  // namespace ScreenCapture
