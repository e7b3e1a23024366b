#pragma once
// The full-screen, topmost capture window. It covers the virtual screen,
// owns the start parameters and the UI-thread runner, and ends the capture on
// Esc.
#include <windows.h>

#include "capture/ICaptureWindow.h"
#include "common/RunnableWindow.h"

namespace ScreenCapture {

class CCaptureWindow : public ICaptureWindow {
 public:
  // Creates the runner's hidden window last, on the calling (UI) thread.
  CCaptureWindow();
  ~CCaptureWindow() override;
  CCaptureWindow(const CCaptureWindow&) = delete;
  CCaptureWindow& operator=(const CCaptureWindow&) = delete;

  static constexpr const wchar_t* kClassName = L"ZTDScreenCaptureWnd";

  // Creates the window; it then places itself over the virtual screen.
  HWND Create(HWND parent, const wchar_t* title, DWORD style, DWORD exStyle, int x, int y, int width, int height);
  // Runs the modal loop on the window; returns its result.
  UINT ShowModal();

  HWND GetHWND() const override { return m_hwnd; }
  ICaptureControl* GetCaptureControl() override { return nullptr; }
  ICaptureMenu* GetCaptureMenu() override { return nullptr; }
  void CloseCapture() override;
  CaptureStartParams* GetStartParams() override { return &m_startParams; }
  RunnableHelper::CRunnalbeWindow* GetRunnableWindow() override { return &m_runnable; }

 private:
  static LRESULT CALLBACK StaticWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void OnInitWindow();
  void Paint();

  HWND m_hwnd = nullptr;
  RunnableHelper::CRunnalbeWindow m_runnable;
  CaptureStartParams m_startParams;
};

}  // namespace ScreenCapture
