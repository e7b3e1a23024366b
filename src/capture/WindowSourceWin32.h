#pragma once
// The desktop's windows as the window finder sees them.
#include <windows.h>

#include "core/WindowFinder.h"

namespace ScreenCapture {

// The desktop window manager calls the finder uses; a test replaces them.
struct DwmCalls {
  HRESULT(WINAPI* isCompositionEnabled)(BOOL*) = nullptr;
  HRESULT(WINAPI* getWindowAttribute)(HWND, DWORD, void*, DWORD) = nullptr;
};

class CWindowSourceWin32 : public IWindowSource {
 public:
  CWindowSourceWin32();                       // the system's calls, Windows version from the system
  CWindowSourceWin32(DwmCalls dwm, int windowsMajorVersion);

  void EnumTopLevel(const std::function<void(WindowId)>& visit) override;
  void EnumChildren(WindowId parent, const std::function<void(WindowId)>& visit) override;
  bool IsVisible(WindowId window) override;
  bool IsCloaked(WindowId window) override;
  bool GetClassName(WindowId window, std::wstring& name) override;
  bool GetFrameBounds(WindowId window, Rect& bounds) override;
  bool GetWindowRect(WindowId window, Rect& rect) override;
  bool GetClientRect(WindowId window, Rect& rect) override;
  bool GetMaximisedBorders(WindowId window, int& horizontal, int& vertical) override;

 private:
  bool Composited();
  DwmCalls m_dwm;
  int m_major;
  int m_composited = -1;  // asked once
};

}  // namespace ScreenCapture
