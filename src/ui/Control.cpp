#include "ui/Control.h"

#include "common/DrawHelpers.h"
#include "common/Handles.h"
#include "common/StringUtils.h"
#include "ui/PaintManager.h"

namespace DuiLib {

using ScreenCapture::LayoutChild;
using ScreenCapture::Rect;
using ScreenCapture::SelectGuard;
using ScreenCapture::UniqueBrush;

namespace {

std::string Narrow(const std::wstring& text) { return ScreenCapture::Utf16ToUtf8(text); }

bool Meets(const RECT& a, const RECT& b) {
  RECT common;
  return ::IntersectRect(&common, &a, &b) != FALSE;
}

}  // namespace

void CControlUI::SetAttribute(const std::wstring& name, const std::wstring& value) {
  m_attributes[name] = value;
  if (name == L"name") {
    m_name = value;
  } else if (name == L"pos") {
    int v[4];
    ScreenCapture::ParseIntList(Narrow(value), v, 4);
    m_layout.floatEdges = Rect::FromEdges(v[0], v[1], v[2], v[3]);
  } else if (name == L"float") {
    m_layout.floating = ScreenCapture::ParseBool(Narrow(value));
  } else if (name == L"width") {
    m_layout.fixedWidth = _wtoi(value.c_str());
  } else if (name == L"height") {
    m_layout.fixedHeight = _wtoi(value.c_str());
  } else if (name == L"padding") {
    m_layout.padding = ScreenCapture::ParseMargins(Narrow(value));
  } else if (name == L"visible") {
    m_layout.visible = ScreenCapture::ParseBool(Narrow(value));
  } else if (name == L"enabled") {
    m_enabled = ScreenCapture::ParseBool(Narrow(value));
  } else if (name == L"bkcolor") {
    ScreenCapture::ParseColor(Narrow(value), m_bkColor);
  }
}

std::wstring CControlUI::GetAttribute(const std::wstring& name) const {
  const auto it = m_attributes.find(name);
  return it == m_attributes.end() ? std::wstring() : it->second;
}

void CControlUI::SetManager(CPaintManagerUI* manager, CControlUI* parent) {
  m_manager = manager;
  m_parent = parent;
}

void CControlUI::SetPos(const RECT& rc) {
  Invalidate();
  m_rcItem = rc;
  Invalidate();
}

void CControlUI::SetVisible(bool visible) {
  if (m_layout.visible == visible) return;
  m_layout.visible = visible;
  if (m_parent) {
    static_cast<CContainerUI*>(m_parent)->Relayout();
  }
  Invalidate();
}

CControlUI* CControlUI::FindControlAt(POINT pt) {
  return IsVisible() && ::PtInRect(&m_rcItem, pt) ? this : nullptr;
}

CControlUI* CControlUI::FindControlByName(const std::wstring& name) { return m_name == name ? this : nullptr; }

void CControlUI::Invalidate() {
  if (m_manager && !::IsRectEmpty(&m_rcItem)) m_manager->Invalidate(m_rcItem);
}

void CControlUI::SetHot(bool hot) {
  if (hot == m_hot) return;
  m_hot = hot;
  Invalidate();
}

void CControlUI::DoEvent(TEventUI& event) {
  if (m_parent) m_parent->DoEvent(event);
}

void CControlUI::DoPaint(HDC hDC, const RECT& rcPaint) {
  RECT area;
  if (!::IntersectRect(&area, &rcPaint, &m_rcItem)) return;
  const int saved = ::SaveDC(hDC);
  ::IntersectClipRect(hDC, area.left, area.top, area.right, area.bottom);
  PaintBkColor(hDC);
  PaintBkImage(hDC);
  PaintStatusImage(hDC);
  PaintText(hDC);
  PaintBorder(hDC);
  ::RestoreDC(hDC, saved);
}

void CControlUI::PaintBkColor(HDC hDC) {
  if ((m_bkColor >> 24) == 0) return;
  const UniqueBrush brush(::CreateSolidBrush(ScreenCapture::ToColorRef(m_bkColor)));
  if (brush) ::FillRect(hDC, &m_rcItem, brush.Get());
}

void CControlUI::PaintBkImage(HDC) {}
void CControlUI::PaintStatusImage(HDC) {}
void CControlUI::PaintText(HDC) {}
void CControlUI::PaintBorder(HDC) {}

CContainerUI::~CContainerUI() {
  for (CControlUI* child : m_items) delete child;
}

void CContainerUI::SetAttribute(const std::wstring& name, const std::wstring& value) {
  if (name == L"inset") m_inset = ScreenCapture::ParseMargins(Narrow(value));
  CControlUI::SetAttribute(name, value);
}

void CContainerUI::SetManager(CPaintManagerUI* manager, CControlUI* parent) {
  CControlUI::SetManager(manager, parent);
  for (CControlUI* child : m_items) child->SetManager(manager, this);
}

bool CContainerUI::Add(CControlUI* child) {
  if (!child) return false;
  m_items.push_back(child);
  child->SetManager(m_manager, this);
  return true;
}

CControlUI* CContainerUI::GetItemAt(int index) const {
  return index >= 0 && index < GetCount() ? m_items[static_cast<size_t>(index)] : nullptr;
}

void CContainerUI::SetPos(const RECT& rc) {
  CControlUI::SetPos(rc);
  const auto scale = [this](int v) { return m_manager ? m_manager->Scale(v) : v; };
  std::vector<LayoutChild> layout;
  layout.reserve(m_items.size());
  for (CControlUI* child : m_items) {
    LayoutChild c = child->GetLayout();
    c.floatEdges = Rect{scale(c.floatEdges.x), scale(c.floatEdges.y), scale(c.floatEdges.width),
                        scale(c.floatEdges.height)};
    c.fixedWidth = scale(c.fixedWidth);
    c.fixedHeight = scale(c.fixedHeight);
    c.padding = {scale(c.padding.left), scale(c.padding.top), scale(c.padding.right), scale(c.padding.bottom)};
    layout.push_back(c);
  }
  const ScreenCapture::Margins inset{scale(m_inset.left), scale(m_inset.top), scale(m_inset.right),
                                     scale(m_inset.bottom)};
  const std::vector<Rect> rects = ScreenCapture::ArrangeChildren(
      Kind(), Rect::FromEdges(rc.left, rc.top, rc.right, rc.bottom), inset, layout);
  for (size_t i = 0; i < m_items.size(); ++i) {
    const Rect& r = rects[i];
    m_items[i]->SetPos(RECT{r.x, r.y, r.Right(), r.Bottom()});
  }
}

CControlUI* CContainerUI::FindControlAt(POINT pt) {
  if (!IsVisible() || !::PtInRect(&m_rcItem, pt)) return nullptr;
  // Later children lie on top of earlier ones.
  for (auto it = m_items.rbegin(); it != m_items.rend(); ++it) {
    if (CControlUI* found = (*it)->FindControlAt(pt)) return found;
  }
  return this;
}

CControlUI* CContainerUI::FindControlByName(const std::wstring& name) {
  if (m_name == name) return this;
  for (CControlUI* child : m_items) {
    if (CControlUI* found = child->FindControlByName(name)) return found;
  }
  return nullptr;
}

void CContainerUI::ForEach(const std::function<void(CControlUI*)>& visit) {
  visit(this);
  for (CControlUI* child : m_items) child->ForEach(visit);
}

void CContainerUI::DoPaint(HDC hDC, const RECT& rcPaint) {
  if (!Meets(rcPaint, m_rcItem)) return;
  CControlUI::DoPaint(hDC, rcPaint);
  for (CControlUI* child : m_items) {
    if (child->IsVisible() && Meets(rcPaint, child->GetPos())) child->DoPaint(hDC, rcPaint);
  }
}

void CLabelUI::PaintBkImage(HDC hDC) {
  const std::wstring image = GetAttribute(L"bkimage");
  if (!image.empty() && m_manager) m_manager->DrawImage(hDC, m_rcItem, image);
}

void CLabelUI::PaintText(HDC hDC) {
  const std::wstring text = GetAttribute(L"text");
  if (text.empty() || !m_manager) return;
  const std::wstring fontId = GetAttribute(L"font");
  const HFONT font = m_manager->GetFont(fontId.empty() ? -1 : _wtoi(fontId.c_str()));
  uint32_t colour = 0xFF000000;
  ScreenCapture::ParseColor(Narrow(GetAttribute(L"textcolor")), colour);
  {
    const SelectGuard select(hDC, font);
    ::SetBkMode(hDC, TRANSPARENT);
    ::SetTextColor(hDC, ScreenCapture::ToColorRef(colour));
    RECT area = m_rcItem;
    ::DrawTextW(hDC, text.c_str(), static_cast<int>(text.size()), &area, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
  }
  m_manager->MarkOpaque(m_rcItem);
}

}  // namespace DuiLib
