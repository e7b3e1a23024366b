#pragma once
// A plain native window owned by an object: the object gets every message
// first, may superclass a system class (its messages then fall through to
// that class's procedure) and is told when the window is gone.
#include <windows.h>

namespace DuiLib {

// A parent hands a child's notifications (WM_COMMAND, the colour messages)
// back to the child with this added, so that the child handles its own.
inline constexpr UINT kReflectedMessageBase = WM_USER + 0x1C00;

class CWindowWnd {
 public:
  CWindowWnd() = default;
  virtual ~CWindowWnd();
  CWindowWnd(const CWindowWnd&) = delete;
  CWindowWnd& operator=(const CWindowWnd&) = delete;

  // Registers the class (once) and creates the window; null on failure.
  HWND Create(HWND parent, DWORD style, DWORD exStyle, const RECT& rect);
  HWND GetHWND() const { return m_hwnd; }
  // Asks the window to close once the messages before it are handled.
  void Close();
  // Live windows of this kind across the process (for leak checks).
  static long LiveCount();

 protected:
  // Called when the class is registered.
  virtual const wchar_t* GetWindowClassName() const = 0;
  // The system class this one builds on, or null for a window of its own.
  virtual const wchar_t* GetSuperClassName() const { return nullptr; }
  // The window procedure of this object; the default passes the message on.
  virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  // Called after the window is gone (WM_NCDESTROY); may delete the object.
  virtual void OnFinalMessage(HWND) {}
  // The procedure the message falls through to.
  LRESULT CallDefault(UINT message, WPARAM wParam, LPARAM lParam);

  HWND m_hwnd = nullptr;

 private:
  bool RegisterClassOnce();
  static LRESULT CALLBACK StaticProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  WNDPROC m_superProc = nullptr;
};

}  // namespace DuiLib
