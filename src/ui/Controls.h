#pragma once
// Buttons, options with groups, and the combo box of the skin toolkit.
#include <windows.h>

#include <string>

#include "ui/Control.h"

namespace DuiLib {

// Images by state: "normalimage", "hotimage", "pushedimage", "disabledimage".
// A press and release over it sends "click".
class CButtonUI : public CLabelUI {
 public:
  const wchar_t* GetClass() const override { return L"Button"; }
  // Called by the paint manager for the events aimed at the button.
  void DoEvent(TEventUI& event) override;
  void PaintStatusImage(HDC hDC) override;
  bool IsPushed() const { return m_pushed; }
  // What a click does; sends "click" here.
  virtual void Activate();

 protected:
  bool m_pushed = false;
};

// A two-state button. Options of one "group" exclude each other; the one
// losing its selection is told ("selectchanged") before the one gaining it.
class COptionUI : public CButtonUI {
 public:
  const wchar_t* GetClass() const override { return L"Option"; }
  void SetAttribute(const std::wstring& name, const std::wstring& value) override;
  void PaintStatusImage(HDC hDC) override;
  // A grouped option becomes selected; a lone one toggles; then "click".
  void Activate() override;

  bool IsSelected() const { return m_selected; }
  // Without `notify`, no "selectchanged" goes out (for this option or the
  // others of its group that it deselects).
  void Selected(bool selected, bool notify = true);
  const std::wstring& GetGroup() const { return m_group; }

 private:
  bool m_selected = false;
  std::wstring m_group;
};

// An item of a combo box: text and "userdata".
class CListLabelElementUI : public CLabelUI {
 public:
  const wchar_t* GetClass() const override { return L"ListLabelElement"; }
  std::wstring GetUserData() const { return GetAttribute(L"userdata"); }
};

// A box that shows its selected item and drops a list of the others down.
// Choosing an item sends "itemselect".
class CComboUI : public CContainerUI {
 public:
  const wchar_t* GetClass() const override { return L"Combo"; }
  void SetPos(const RECT& rc) override;  // the items are not laid out inside
  CControlUI* FindControlAt(POINT pt) override;
  void DoEvent(TEventUI& event) override;
  void DoPaint(HDC hDC, const RECT& rcPaint) override;

  int GetCurSel() const { return m_current; }
  CListLabelElementUI* GetSelectedItem() const;
  // False for an index that is not an item.
  bool SelectItem(int index, bool notify = true);
  // Opens the drop-down list under the box; called on a click.
  void ShowDropDown();

 private:
  int m_current = -1;
  bool m_initialised = false;
};

}  // namespace DuiLib
