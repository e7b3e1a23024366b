#pragma once
// Elements of a skin: the base element and its containers. Sizes from the
// layout are kept at 96 DPI and scaled by the paint manager's DPI whenever
// the element is placed, so the DPI can change after the skin is loaded.
#include <windows.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "core/SkinLayout.h"
#include "ui/UIDefs.h"

namespace DuiLib {

class CPaintManagerUI;

class CControlUI {
 public:
  CControlUI() = default;
  virtual ~CControlUI() = default;
  CControlUI(const CControlUI&) = delete;
  CControlUI& operator=(const CControlUI&) = delete;

  // The element kind, as a layout names it.
  virtual const wchar_t* GetClass() const { return L"Control"; }

  const std::wstring& GetName() const { return m_name; }
  void SetName(const std::wstring& name) { m_name = name; }

  // Called by the builder for each attribute of the element's layout tag.
  virtual void SetAttribute(const std::wstring& name, const std::wstring& value);
  // Any attribute as written in the layout ("" when absent).
  std::wstring GetAttribute(const std::wstring& name) const;

  // Called when the element joins a tree; containers pass it on.
  virtual void SetManager(CPaintManagerUI* manager, CControlUI* parent);
  CPaintManagerUI* GetManager() const { return m_manager; }
  CControlUI* GetParent() const { return m_parent; }

  // Placement in client coordinates of the window.
  const RECT& GetPos() const { return m_rcItem; }
  // Called by the parent (or the paint manager for the root) when the
  // element's area is decided.
  virtual void SetPos(const RECT& rc);
  // How the parent is to place this element, at 96 DPI.
  const ScreenCapture::LayoutChild& GetLayout() const { return m_layout; }
  void SetFixedWidth(int width) { m_layout.fixedWidth = width; }
  void SetFixedHeight(int height) { m_layout.fixedHeight = height; }

  bool IsVisible() const { return m_layout.visible; }
  virtual void SetVisible(bool visible);
  bool IsEnabled() const { return m_enabled; }
  void SetEnabled(bool enabled) { m_enabled = enabled; }

  // The deepest visible element at a client point, or null.
  virtual CControlUI* FindControlAt(POINT pt);
  virtual CControlUI* FindControlByName(const std::wstring& name);

  // Asks for this element's area to be repainted.
  void Invalidate();

  // Called by the paint manager when the mouse enters or leaves the element.
  virtual void SetHot(bool hot);
  bool IsHot() const { return m_hot; }

  // Calls `visit` for this element and, in a container, every descendant.
  virtual void ForEach(const std::function<void(CControlUI*)>& visit) { visit(this); }

  // Called by the paint manager for every event record aimed at this element.
  // The base passes events on to the parent.
  virtual void DoEvent(TEventUI& event);

  // Called by the paint manager with the off-screen DC and the area being
  // repainted; runs the painting steps below, in this order.
  virtual void DoPaint(HDC hDC, const RECT& rcPaint);
  // The painting steps, each called by DoPaint.
  virtual void PaintBkColor(HDC hDC);
  virtual void PaintBkImage(HDC hDC);
  virtual void PaintStatusImage(HDC hDC);
  virtual void PaintText(HDC hDC);
  virtual void PaintBorder(HDC hDC);

 protected:
  CPaintManagerUI* m_manager = nullptr;
  CControlUI* m_parent = nullptr;
  std::wstring m_name;
  RECT m_rcItem = {};
  ScreenCapture::LayoutChild m_layout;
  bool m_enabled = true;
  bool m_hot = false;
  uint32_t m_bkColor = 0;  // ARGB; 0 paints nothing
  std::map<std::wstring, std::wstring> m_attributes;
};

// A container: children on top of each other, each filling the inset area.
class CContainerUI : public CControlUI {
 public:
  ~CContainerUI() override;
  const wchar_t* GetClass() const override { return L"Container"; }
  void SetAttribute(const std::wstring& name, const std::wstring& value) override;
  void SetManager(CPaintManagerUI* manager, CControlUI* parent) override;
  void SetPos(const RECT& rc) override;
  CControlUI* FindControlAt(POINT pt) override;
  CControlUI* FindControlByName(const std::wstring& name) override;
  void ForEach(const std::function<void(CControlUI*)>& visit) override;
  // Paints itself, then every visible child that meets the repainted area.
  void DoPaint(HDC hDC, const RECT& rcPaint) override;

  // The container owns what it is given.
  bool Add(CControlUI* child);
  int GetCount() const { return static_cast<int>(m_items.size()); }
  CControlUI* GetItemAt(int index) const;
  // Lays the children out again in the current area.
  void Relayout() { SetPos(m_rcItem); }

 protected:
  virtual ScreenCapture::LayoutKind Kind() const { return ScreenCapture::LayoutKind::kStack; }
  std::vector<CControlUI*> m_items;
  ScreenCapture::Margins m_inset;  // at 96 DPI
};

class CVerticalLayoutUI : public CContainerUI {
 public:
  const wchar_t* GetClass() const override { return L"VerticalLayout"; }

 protected:
  ScreenCapture::LayoutKind Kind() const override { return ScreenCapture::LayoutKind::kVertical; }
};

class CHorizontalLayoutUI : public CContainerUI {
 public:
  const wchar_t* GetClass() const override { return L"HorizontalLayout"; }

 protected:
  ScreenCapture::LayoutKind Kind() const override { return ScreenCapture::LayoutKind::kHorizontal; }
};

// Text or an image; the toolbar builds on it.
class CLabelUI : public CControlUI {
 public:
  const wchar_t* GetClass() const override { return L"Label"; }
  void PaintBkImage(HDC hDC) override;
  void PaintText(HDC hDC) override;
};

}  // namespace DuiLib
