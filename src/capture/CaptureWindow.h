#pragma once
// The full-screen, topmost capture window. Built from the skin file
// "CaptureWindow.xml": a background that shows the dimmed frozen screen and,
// on top, the capture control that owns the current capture mode.
#include <windows.h>

#include "capture/CaptureControl.h"
#include "contracts/ICaptureWindow.h"
#include "capture/ScreenBackgroundHelper.h"
#include "common/LifetimeMark.h"
#include "common/RunnableWindow.h"
#include "menu/CaptureMenuWnd.h"
#include "ui/WindowImplBase.h"

namespace ScreenCapture {

// The frozen screen is the first base: it is made before anything else and
// dies after the element tree whose controls paint from its device contexts.
class CCaptureWindow : private ScreenBackgroundHelper, public DuiLib::WindowImplBase, public ICaptureWindow {
 public:
  // Freezes the screen first (no window of ours exists yet).
  CCaptureWindow();
  ~CCaptureWindow() override;

  static constexpr const wchar_t* kClassName = L"ZTDScreenCaptureWnd";
  static constexpr const wchar_t* kSkinFile = L"CaptureWindow.xml";

  // Waits for the frozen screen first: whatever the skin does, the window
  // must never appear in its own background. A visible window is painted at
  // once; the runner's hidden window and the toolbar (on this, the UI,
  // thread) are made after that first paint.
  HWND Create(HWND parent, const wchar_t* title, DWORD style, DWORD exStyle, int x, int y, int width, int height);
  using DuiLib::WindowImplBase::ShowModal;

  // ICaptureWindow
  HWND GetHWND() const override {
    m_mark.Check("capture window");
    return m_hwnd;
  }
  ICaptureControl* GetCaptureControl() override {
    m_mark.Check("capture window");
    return m_control;
  }
  ICaptureMenu* GetCaptureMenu() override {
    m_mark.Check("capture window");
    return &m_menu;
  }
  void CloseCapture() override;
  CaptureStartParams* GetStartParams() override {
    m_mark.Check("capture window");
    return &m_startParams;
  }
  RunnableHelper::CRunnalbeWindow* GetRunnableWindow() override {
    m_mark.Check("capture window");
    return &m_runnable;
  }

  // True once the frozen screen is finished and no worker touches it.
  bool IsScreenFrozen() const { return ScreenBackgroundHelper::IsFinished(); }

  // The skin DPI the window chose at start.
  int GetSkinDpi() const { return m_pm.GetDPI(); }
  DuiLib::CPaintManagerUI& PaintManager() { return m_pm; }
  CCaptureMenuWnd& Menu() { return m_menu; }

 protected:
  const wchar_t* GetWindowClassName() const override { return kClassName; }
  std::wstring GetSkinFile() override { return kSkinFile; }
  void InitWindow() override;
  DuiLib::CControlUI* CreateControl(const std::wstring& name) override;
  LRESULT HandleCustomMessage(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled) override;

 private:
  // The current mode stops its threads and hook while everything they could
  // reach still stands (UI thread; once is enough, again does nothing).
  void StopMode();

  RunnableHelper::CRunnalbeWindow m_runnable;
  CCaptureMenuWnd m_menu;
  CCaptureControl* m_control = nullptr;  // owned by the element tree
  CaptureStartParams m_startParams;
  CommonDef::LifetimeMark m_mark;
};

}  // namespace ScreenCapture
