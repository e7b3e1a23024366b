#pragma once
// The base of every window of the program: an object that owns one native
// window. It registers the window's class (once per name, with the module
// that holds the program's code), attaches the object to the window from
// WM_NCCREATE on, hands it every message first, lets it superclass a system
// class (its messages then fall through to that class's procedure), tells it
// when the window is gone, and counts the windows alive across the process.
#include <windows.h>

namespace ScreenCapture {

class CNativeWindow {
 public:
  CNativeWindow() = default;
  // A window still there is let go first (its last messages go to its class
  // alone) and destroyed, when this thread may destroy it.
  virtual ~CNativeWindow();
  CNativeWindow(const CNativeWindow&) = delete;
  CNativeWindow& operator=(const CNativeWindow&) = delete;

  HWND GetHWND() const { return m_hwnd; }

  // Windows of the program alive right now, of every kind: what a leak check
  // counts. A window counts from WM_NCCREATE to WM_NCDESTROY, or until its
  // object let go of it and destroyed it.
  static long LiveCount();
  // The module whose classes the windows are of: the one with our code.
  static HINSTANCE ModuleInstance();

 protected:
  // Called when the class is registered and the window created.
  virtual const wchar_t* GetWindowClassName() const = 0;
  // The system class this one builds on, or null for a window of its own.
  virtual const wchar_t* GetSuperClassName() const { return nullptr; }
  // The window procedure of this object; the default passes the message on.
  virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  // Called after the window is gone (WM_NCDESTROY); may delete the object.
  virtual void OnFinalMessage(HWND) {}
  // The procedure a message falls through to: the superclass's or the
  // system's default.
  LRESULT CallDefault(UINT message, WPARAM wParam, LPARAM lParam);

  // Registers the class (once) and creates the window. Null on failure; a
  // failure after WM_NCCREATE has called OnFinalMessage already.
  HWND CreateNative(HWND parent, const wchar_t* title, DWORD style, DWORD exStyle, int x, int y, int width,
                    int height);
  // Lets go of a window still there and destroys it (what the destructor
  // does; a derived destructor calls it to have the window gone before its
  // own members go).
  void LetGoAndDestroy();

  HWND m_hwnd = nullptr;

 private:
  bool RegisterClassOnce();
  static LRESULT CALLBACK StaticProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

  WNDPROC m_superProc = nullptr;
};

}  // namespace ScreenCapture
