#pragma once
// Base of the skin windows: a window whose content is built from a layout
// file of the skin and painted by a paint manager.
#include <windows.h>

#include <string>

#include "ui/DialogBuilder.h"
#include "ui/PaintManager.h"
#include "ui/WindowWnd.h"

namespace DuiLib {

class WindowImplBase : public CWindowWnd, public INotifyUI {
 public:
  WindowImplBase() = default;
  ~WindowImplBase() override;
  WindowImplBase(const WindowImplBase&) = delete;
  WindowImplBase& operator=(const WindowImplBase&) = delete;

  // Registers the class and creates the window; the skin is loaded while the
  // window is created. Null on failure.
  HWND Create(HWND parent, const wchar_t* title, DWORD style, DWORD exStyle, int x, int y, int width, int height);
  // Runs the modal loop on this window with the paint manager as filter.
  UINT ShowModal();
  // Notifications the skin's controls send; the base does nothing.
  void Notify(TNotifyUI& msg) override;

 protected:
  // Called at creation: the layout file in the skin archive.
  virtual std::wstring GetSkinFile() = 0;
  // Called at creation, after the skin has been loaded and laid out.
  virtual void InitWindow() {}
  // Called by the builder for each element name the toolkit does not know.
  virtual CControlUI* CreateControl(const std::wstring& name);
  // Called for every message before the paint manager sees it; set `handled`
  // to keep it from the toolkit.
  virtual LRESULT HandleCustomMessage(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
  // The window procedure: the custom messages, then the paint manager.
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  CPaintManagerUI m_pm;

 private:
  LRESULT OnCreate();
};

}  // namespace DuiLib
