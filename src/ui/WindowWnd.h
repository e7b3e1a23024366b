#pragma once
// A plain native window of the toolkit: the program's window base with the
// toolkit's way of creating and closing it.
#include <windows.h>

#include "common/NativeWindow.h"

namespace DuiLib {

// A parent hands a child's notifications (WM_COMMAND, the colour messages)
// back to the child with this added, so that the child handles its own.
inline constexpr UINT kReflectedMessageBase = WM_USER + 0x1C00;

class CWindowWnd : public ScreenCapture::CNativeWindow {
 public:
  // Registers the class (once) and creates the window; null on failure.
  HWND Create(HWND parent, DWORD style, DWORD exStyle, const RECT& rect) {
    return CreateNative(parent, L"", style, exStyle, rect.left, rect.top, rect.right - rect.left,
                        rect.bottom - rect.top);
  }
  // Asks the window to close once the messages before it are handled.
  void Close() {
    if (m_hwnd && ::IsWindow(m_hwnd)) ::PostMessageW(m_hwnd, WM_CLOSE, 0, 0);
  }
};

}  // namespace DuiLib
