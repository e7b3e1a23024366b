#include "ui/Controls.h"

#include <memory>

#include "common/DrawHelpers.h"
#include "common/Handles.h"
#include "common/StringUtils.h"
#include "core/SkinLayout.h"
#include "ui/PaintManager.h"
#include "ui/WindowWnd.h"

namespace DuiLib {

using ScreenCapture::PaintDC;
using ScreenCapture::SelectGuard;
using ScreenCapture::UniqueBrush;

namespace {

void DrawStateImage(CControlUI* control, CPaintManagerUI* manager, HDC hDC, const wchar_t* attribute) {
  const std::wstring image = control->GetAttribute(attribute);
  if (!image.empty() && manager) manager->DrawImage(hDC, control->GetPos(), image);
}

}  // namespace

void CButtonUI::DoEvent(TEventUI& event) {
  if (!IsEnabled()) return;
  switch (event.Type) {
    case UIEVENT_BUTTONDOWN:
    case UIEVENT_DBLCLICK:
      m_pushed = true;
      Invalidate();
      return;
    case UIEVENT_BUTTONUP: {
      const bool wasPushed = m_pushed;
      m_pushed = false;
      Invalidate();
      if (wasPushed && ::PtInRect(&m_rcItem, event.ptMouse)) Activate();
      return;
    }
    default:
      CLabelUI::DoEvent(event);
  }
}

void CButtonUI::Activate() {
  if (m_manager) m_manager->SendNotify(this, L"click");
}

void CButtonUI::PaintStatusImage(HDC hDC) {
  if (!IsEnabled() && !GetAttribute(L"disabledimage").empty()) {
    DrawStateImage(this, m_manager, hDC, L"disabledimage");
  } else if (m_pushed && !GetAttribute(L"pushedimage").empty()) {
    DrawStateImage(this, m_manager, hDC, L"pushedimage");
  } else if (m_hot && !GetAttribute(L"hotimage").empty()) {
    DrawStateImage(this, m_manager, hDC, L"hotimage");
  } else {
    DrawStateImage(this, m_manager, hDC, L"normalimage");
  }
}

void COptionUI::SetAttribute(const std::wstring& name, const std::wstring& value) {
  if (name == L"group") m_group = value;
  if (name == L"selected") m_selected = ScreenCapture::ParseBool(ScreenCapture::Utf16ToUtf8(value));
  CButtonUI::SetAttribute(name, value);
}

void COptionUI::PaintStatusImage(HDC hDC) {
  if (m_selected && !GetAttribute(L"selectedimage").empty()) {
    DrawStateImage(this, m_manager, hDC, L"selectedimage");
    return;
  }
  CButtonUI::PaintStatusImage(hDC);
}

void COptionUI::Activate() {
  if (!m_group.empty()) {
    Selected(true);
  } else {
    Selected(!m_selected);
  }
  CButtonUI::Activate();
}

void COptionUI::Selected(bool selected, bool notify) {
  if (selected == m_selected) return;
  if (selected && !m_group.empty() && m_manager && m_manager->GetRoot()) {
    // The others of the group let go first.
    m_manager->GetRoot()->ForEach([&](CControlUI* control) {
      auto* other = dynamic_cast<COptionUI*>(control);
      if (other && other != this && other->m_group == m_group && other->m_selected) other->Selected(false, notify);
    });
  }
  m_selected = selected;
  Invalidate();
  if (notify && m_manager) m_manager->SendNotify(this, L"selectchanged");
}

void CComboUI::SetPos(const RECT& rc) {
  CControlUI::SetPos(rc);
  if (!m_initialised) {
    // The item the layout marks selected is the first choice.
    m_initialised = true;
    for (int i = 0; i < GetCount(); ++i) {
      if (ScreenCapture::ParseBool(ScreenCapture::Utf16ToUtf8(GetItemAt(i)->GetAttribute(L"selected")))) m_current = i;
    }
  }
}

CControlUI* CComboUI::FindControlAt(POINT pt) {
  return IsVisible() && ::PtInRect(&m_rcItem, pt) ? this : nullptr;
}

CListLabelElementUI* CComboUI::GetSelectedItem() const {
  return dynamic_cast<CListLabelElementUI*>(GetItemAt(m_current));
}

bool CComboUI::SelectItem(int index, bool notify) {
  if (index < 0 || index >= GetCount()) return false;
  if (index == m_current) return true;
  m_current = index;
  Invalidate();
  if (notify && m_manager) m_manager->SendNotify(this, L"itemselect", static_cast<WPARAM>(index));
  return true;
}

void CComboUI::DoEvent(TEventUI& event) {
  if (!IsEnabled()) return;
  if (event.Type == UIEVENT_BUTTONUP && ::PtInRect(&m_rcItem, event.ptMouse)) {
    ShowDropDown();
    return;
  }
  if (event.Type == UIEVENT_BUTTONDOWN) return;
  CContainerUI::DoEvent(event);
}

void CComboUI::DoPaint(HDC hDC, const RECT& rcPaint) {
  RECT area;
  if (!::IntersectRect(&area, &rcPaint, &m_rcItem)) return;
  const int saved = ::SaveDC(hDC);
  ::IntersectClipRect(hDC, area.left, area.top, area.right, area.bottom);
  // White box, 1-pixel border of the item colour.
  uint32_t border = 0xFFCCCCCC;
  ScreenCapture::ParseColor(ScreenCapture::Utf16ToUtf8(GetAttribute(L"bordercolor")), border);
  const UniqueBrush fill(::CreateSolidBrush(RGB(255, 255, 255)));
  if (fill) ::FillRect(hDC, &m_rcItem, fill.Get());
  const UniqueBrush frame(::CreateSolidBrush(ScreenCapture::ToColorRef(border)));
  if (frame) ::FrameRect(hDC, &m_rcItem, frame.Get());
  if (m_manager) m_manager->MarkOpaque(m_rcItem);
  if (const CListLabelElementUI* item = GetSelectedItem()) {
    const std::wstring text = item->GetAttribute(L"text");
    {
      const SelectGuard font(hDC, m_manager ? m_manager->GetFont(0) : nullptr);
      ::SetBkMode(hDC, TRANSPARENT);
      ::SetTextColor(hDC, RGB(0, 0, 0));
      RECT textArea = m_rcItem;
      textArea.right -= m_manager ? m_manager->Scale(20) : 20;
      ::DrawTextW(hDC, text.c_str(), static_cast<int>(text.size()), &textArea, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
    }
    if (m_manager) m_manager->MarkOpaque(m_rcItem);
  }
  const std::wstring arrow = GetAttribute(L"normalimage");
  if (!arrow.empty() && m_manager) m_manager->DrawImage(hDC, m_rcItem, arrow);
  ::RestoreDC(hDC, saved);
}

namespace {

// The drop-down list: a plain pop-up under the combo box, one row an item.
// Once open, the window owns the object, which goes with it.
class CComboDropDown : public CWindowWnd {
 public:
  CComboDropDown(CComboUI* combo, int rowHeight) : m_combo(combo), m_rowHeight(rowHeight), m_hot(combo->GetCurSel()) {}

  // Shows the list under `owner`'s client point `origin`; false when no
  // window could be made (the object is then still the caller's).
  bool Open(HWND owner, POINT origin, int width) {
    const int height = m_rowHeight * m_combo->GetCount() + 2;
    if (!Create(owner, WS_POPUP | WS_BORDER, WS_EX_TOOLWINDOW | WS_EX_TOPMOST,
                RECT{origin.x, origin.y, origin.x + width, origin.y + height})) {
      return false;
    }
    m_ownsItself = true;
    ::ShowWindow(m_hwnd, SW_SHOW);
    return true;
  }

 protected:
  const wchar_t* GetWindowClassName() const override { return L"ZtdComboDropDown"; }

  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    switch (message) {
      case WM_PAINT:
        Paint();
        return 0;
      case WM_MOUSEMOVE: {
        const int hot = static_cast<short>(HIWORD(lParam)) / m_rowHeight;
        if (hot != m_hot) {
          m_hot = hot;
          ::InvalidateRect(m_hwnd, nullptr, FALSE);
        }
        return 0;
      }
      case WM_LBUTTONUP: {
        CComboUI* combo = m_combo;
        const int index = static_cast<short>(HIWORD(lParam)) / m_rowHeight;
        ::DestroyWindow(m_hwnd);  // this object is gone from here on
        combo->SelectItem(index);
        return 0;
      }
      case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE) ::PostMessageW(m_hwnd, WM_CLOSE, 0, 0);
        return 0;
      case WM_KEYDOWN:
        if (wParam == VK_ESCAPE) ::DestroyWindow(m_hwnd);
        return 0;
      case WM_CLOSE:
        ::DestroyWindow(m_hwnd);
        return 0;
      default:
        return CallDefault(message, wParam, lParam);
    }
  }

  void OnFinalMessage(HWND) override {
    if (m_ownsItself) delete this;
  }

 private:
  void Paint() {
    const PaintDC paint(m_hwnd);
    const HDC dc = paint.Get();
    RECT client;
    ::GetClientRect(m_hwnd, &client);
    const UniqueBrush white(::CreateSolidBrush(RGB(255, 255, 255)));
    if (white) ::FillRect(dc, &client, white.Get());
    CPaintManagerUI* manager = m_combo->GetManager();
    const SelectGuard font(dc, manager ? manager->GetFont(0) : nullptr);
    ::SetBkMode(dc, TRANSPARENT);
    for (int i = 0; i < m_combo->GetCount(); ++i) {
      RECT row = {0, i * m_rowHeight, client.right, (i + 1) * m_rowHeight};
      // The hot item in #FF335EFF, the others black.
      ::SetTextColor(dc, i == m_hot ? RGB(0x33, 0x5E, 0xFF) : RGB(0, 0, 0));
      const std::wstring text = m_combo->GetItemAt(i)->GetAttribute(L"text");
      ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &row, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
    }
  }

  CComboUI* m_combo;
  int m_rowHeight;
  int m_hot;
  bool m_ownsItself = false;
};

}  // namespace

void CComboUI::ShowDropDown() {
  if (!m_manager || GetCount() == 0) return;
  const HWND owner = m_manager->GetPaintWindow();
  const int rowHeight = m_rcItem.bottom - m_rcItem.top;
  POINT origin = {m_rcItem.left, m_rcItem.bottom};
  ::ClientToScreen(owner, &origin);
  auto drop = std::make_unique<CComboDropDown>(this, rowHeight > 0 ? rowHeight : 20);
  if (drop->Open(owner, origin, m_rcItem.right - m_rcItem.left)) drop.release();
}

}  // namespace DuiLib
