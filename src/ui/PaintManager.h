#pragma once
// The paint manager of a skin window: it holds the element tree, turns window
// messages into event records for the elements, paints the tree double-
// buffered (only what was invalidated), scales the skin by its DPI, keeps the
// skin's fonts, and can switch the window to per-pixel alpha (layered).
#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ui/Control.h"
#include "common/Handles.h"
#include "ui/ModalLoop.h"
#include "ui/UIDefs.h"
#include "ui/WindowWnd.h"

namespace DuiLib {

// The tooltip of a skin window: the system's tooltip control, superclassed
// so that it is one of the program's windows. Its owner's end ends it.
class CToolTipWnd : public CWindowWnd {
 public:
  // Null when the control could not be made.
  HWND Open(HWND owner);

 protected:
  const wchar_t* GetWindowClassName() const override { return L"ZtdToolTip"; }
  const wchar_t* GetSuperClassName() const override;
};

class CPaintManagerUI : public IMessageFilterUI {
 public:
  CPaintManagerUI() = default;
  ~CPaintManagerUI() override;
  CPaintManagerUI(const CPaintManagerUI&) = delete;
  CPaintManagerUI& operator=(const CPaintManagerUI&) = delete;

  // Called once the window exists.
  void Init(HWND hwnd);
  HWND GetPaintWindow() const { return m_hwnd; }

  // Takes ownership of the tree and lays it out over the client area.
  void AttachDialog(CControlUI* root);
  CControlUI* GetRoot() const { return m_root.get(); }
  CControlUI* FindControl(POINT pt) const;
  CControlUI* FindControl(const std::wstring& name) const;

  // Skin DPI (96, 144, 192, 288, 384): every size and font scales with it.
  void SetDPI(int dpi);
  int GetDPI() const { return m_dpi; }
  int Scale(int value) const;

  // Size the layout asks for ("size" of the window tag), at 96 DPI.
  void SetInitSize(int cx, int cy) { m_initSize = SIZE{cx, cy}; }
  SIZE GetInitSize() const { return m_initSize; }

  // Fonts by id; a negative id means the default font.
  void AddFont(int id, const std::wstring& face, int size, bool bold, bool underline, bool italic, bool isDefault);
  TFontInfo* GetFontInfo(int id);
  HFONT GetFont(int id);

  // Draws a skin image attribute ("file='x.png' dest='l,t,r,b'" or a bare
  // name) into a control's rectangle, at this manager's DPI.
  bool DrawImage(HDC hDC, const RECT& controlRect, const std::wstring& attribute);

  // Marks an area (client coordinates) for repainting.
  void Invalidate(const RECT& rc);
  // Paints what is pending now instead of at the next WM_PAINT.
  void Update();

  // Per-pixel alpha through UpdateLayeredWindow, on or off at run time.
  void SetLayered(bool layered);
  bool IsLayered() const { return m_layered; }
  // The off-screen pixels (32-bit, top-down, premultiplied alpha in layered
  // mode); null before the first paint.
  uint32_t* GetOffscreenBits(int* stride, SIZE* size = nullptr) const;

  // The layout's window background is transparent ("bktrans"): the window
  // is painted with per-pixel alpha.
  void SetTransparentBackground(bool transparent) { m_transparentBackground = transparent; }
  bool IsTransparentBackground() const { return m_transparentBackground; }
  // GDI draws with alpha 0: after GDI text on a layered window, the area it
  // covered is made opaque (its background is opaque).
  void MarkOpaque(const RECT& area);

  void SetFocus(CControlUI* control) { m_focus = control; }
  CControlUI* GetFocus() const { return m_focus; }

  void AddNotifier(INotifyUI* notifier);
  void SendNotify(CControlUI* sender, const wchar_t* type, WPARAM wParam = 0, LPARAM lParam = 0);

  void AddPreMessageFilter(IMessageFilterUI* filter);
  // Called by the modal loop for every message of the thread.
  bool PreTranslateMessage(const MSG& msg) override;

  // Called by the window procedure; true when the message was handled here.
  bool MessageHandler(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

  // The tooltip window, once an element with a tooltip was under the mouse.
  HWND GetToolTipWindow() const { return m_toolTip.GetHWND(); }

  // Painting counters, for tests and benchmarks.
  struct PaintStats {
    unsigned paints = 0;
    RECT lastArea = {};
  };
  const PaintStats& GetPaintStats() const { return m_stats; }

 private:
  void Layout();
  bool EnsureOffscreen(int width, int height);
  void Render(const RECT& area);
  void PaintLayered();
  void DeliverMouse(int type, WPARAM wParam, POINT pt, bool capture);
  void DeliverKey(int type, WPARAM wParam, LPARAM lParam);

  HWND m_hwnd = nullptr;
  std::unique_ptr<CControlUI> m_root;
  int m_dpi = 96;
  SIZE m_initSize = {};
  std::map<int, TFontInfo> m_fonts;
  int m_defaultFont = -1;
  CControlUI* m_focus = nullptr;
  CControlUI* m_captured = nullptr;
  CControlUI* m_hover = nullptr;
  CToolTipWnd m_toolTip;  // shows the "tooltip" of the element under the mouse
  void UpdateToolTip();
  bool m_trackingLeave = false;
  bool m_transparentBackground = false;
  std::vector<INotifyUI*> m_notifiers;
  std::vector<IMessageFilterUI*> m_preFilters;

  ScreenCapture::BitmapDC m_offscreen;
  uint32_t* m_bits = nullptr;
  SIZE m_offscreenSize = {};
  bool m_layered = false;
  bool m_layeredPaintPosted = false;
  RECT m_layeredDirty = {};
  PaintStats m_stats;
};

}  // namespace DuiLib
