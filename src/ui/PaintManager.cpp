#include "ui/PaintManager.h"

#include <commctrl.h>
#include <windowsx.h>

#include <cstring>

#include "common/Logger.h"
#include "common/StartupTrace.h"
#include "common/SystemFunctions.h"
#include "core/Dpi.h"
#include "core/SkinLayout.h"
#include "ui/SkinArchive.h"
#include "common/StringUtils.h"

namespace DuiLib {

using ScreenCapture::CreateDib32;
using ScreenCapture::LiveGdiObjects;
using ScreenCapture::MemoryDC;
using ScreenCapture::PaintDC;
using ScreenCapture::SelectGuard;
using ScreenCapture::UniqueBitmap;
using ScreenCapture::WindowDC;

namespace {

// Posted to itself to paint a layered window after invalidations.
constexpr UINT kLayeredPaintMessage = WM_APP + 0x3F0;

WORD KeyStateFromMouse(WPARAM wParam) {
  WORD state = 0;
  if (wParam & MK_SHIFT) state |= UIKEYSTATE_SHIFT;
  if (wParam & MK_CONTROL) state |= UIKEYSTATE_CONTROL;
  return state;
}

WORD KeyStateNow() {
  WORD state = 0;
  if (::GetKeyState(VK_SHIFT) < 0) state |= UIKEYSTATE_SHIFT;
  if (::GetKeyState(VK_CONTROL) < 0) state |= UIKEYSTATE_CONTROL;
  return state;
}

}  // namespace

const wchar_t* CToolTipWnd::GetSuperClassName() const { return TOOLTIPS_CLASSW; }

HWND CToolTipWnd::Open(HWND owner) {
  return CreateNative(owner, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, WS_EX_TOPMOST, CW_USEDEFAULT,
                      CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT);
}

void CPaintManagerUI::UpdateToolTip() {
  const std::wstring text = m_hover ? m_hover->GetAttribute(L"tooltip") : std::wstring();
  HWND tip = m_toolTip.GetHWND();
  if (!tip) {
    if (text.empty() || !m_hwnd) return;
    // The common controls are loaded only when a tooltip is first needed:
    // keeping them out of the start-up saves their loading time there.
    static const bool ready = [] {
      using InitFn = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
      const auto init = ScreenCapture::LoadSystemFunction<InitFn>(L"comctl32.dll", "InitCommonControlsEx");
      INITCOMMONCONTROLSEX classes = {sizeof(classes), ICC_WIN95_CLASSES};
      return init && init(&classes);
    }();
    if (!ready) return;
    tip = m_toolTip.Open(m_hwnd);
    if (!tip) return;
    TOOLINFOW tool = {};
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = m_hwnd;
    tool.uId = reinterpret_cast<UINT_PTR>(m_hwnd);
    tool.lpszText = const_cast<wchar_t*>(L"");
    ::SendMessageW(tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  }
  TOOLINFOW tool = {};
  tool.cbSize = sizeof(tool);
  tool.hwnd = m_hwnd;
  tool.uId = reinterpret_cast<UINT_PTR>(m_hwnd);
  tool.lpszText = const_cast<wchar_t*>(text.c_str());
  ::SendMessageW(tip, TTM_POP, 0, 0);
  ::SendMessageW(tip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
  ::SendMessageW(tip, TTM_ACTIVATE, text.empty() ? FALSE : TRUE, 0);
}

CPaintManagerUI::~CPaintManagerUI() = default;

void CPaintManagerUI::Init(HWND hwnd) { m_hwnd = hwnd; }

void CPaintManagerUI::AttachDialog(CControlUI* root) {
  m_root.reset(root);
  m_focus = nullptr;
  m_captured = nullptr;
  m_hover = nullptr;
  if (m_root) m_root->SetManager(this, nullptr);
  Layout();
}

void CPaintManagerUI::Layout() {
  if (!m_root || !m_hwnd) return;
  RECT client = {};
  ::GetClientRect(m_hwnd, &client);
  m_root->SetPos(client);
  Invalidate(client);
}

CControlUI* CPaintManagerUI::FindControl(POINT pt) const { return m_root ? m_root->FindControlAt(pt) : nullptr; }

CControlUI* CPaintManagerUI::FindControl(const std::wstring& name) const {
  return m_root ? m_root->FindControlByName(name) : nullptr;
}

void CPaintManagerUI::SetDPI(int dpi) {
  const int snapped = ScreenCapture::SnapDpi(dpi);
  if (snapped == m_dpi) return;
  m_dpi = snapped;
  // Fonts are made again at the new size on their next use.
  for (auto& font : m_fonts) {
    font.second.hFont.Reset();
    font.second.tm = TEXTMETRICW{};
  }
  Layout();
}

int CPaintManagerUI::Scale(int value) const { return ScreenCapture::ScaleByDpi(value, m_dpi); }

void CPaintManagerUI::AddFont(int id, const std::wstring& face, int size, bool bold, bool underline, bool italic,
                              bool isDefault) {
  TFontInfo& info = m_fonts[id];
  info = TFontInfo();
  info.sFontName = face;
  info.iSize = size;
  info.bBold = bold;
  info.bUnderline = underline;
  info.bItalic = italic;
  if (isDefault || m_defaultFont < 0) m_defaultFont = id;
}

TFontInfo* CPaintManagerUI::GetFontInfo(int id) {
  if (id < 0) id = m_defaultFont;
  const auto it = m_fonts.find(id);
  if (it == m_fonts.end()) return nullptr;
  TFontInfo& info = it->second;
  if (!info.hFont) {
    LOGFONTW lf = {};
    ::wcsncpy(lf.lfFaceName, info.sFontName.c_str(), LF_FACESIZE - 1);
    lf.lfHeight = -Scale(info.iSize);
    lf.lfWeight = info.bBold ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = info.bItalic ? TRUE : FALSE;
    lf.lfUnderline = info.bUnderline ? TRUE : FALSE;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfQuality = CLEARTYPE_QUALITY;
    info.hFont.Reset(::CreateFontIndirectW(&lf));
    if (!info.hFont) {
      LOG_ERR(L"font %d (%s %d) could not be created", id, info.sFontName.c_str(), info.iSize);
      return &info;
    }
    // Text metrics are measured once, with the font as the screen draws it.
    WindowDC screen(m_hwnd);
    const HDC dc = screen.Get();
    if (dc) {
      SelectGuard select(dc, info.hFont.Get());
      ::GetTextMetricsW(dc, &info.tm);
    }
  }
  return &info;
}

HFONT CPaintManagerUI::GetFont(int id) {
  TFontInfo* info = GetFontInfo(id);
  return info ? info->hFont.Get() : nullptr;
}

bool CPaintManagerUI::DrawImage(HDC hDC, const RECT& controlRect, const std::wstring& attribute) {
  const ScreenCapture::ImageAttribute image = ScreenCapture::ParseImageAttribute(ScreenCapture::Utf16ToUtf8(attribute));
  if (image.file.empty()) return false;
  const TImageInfo* info = CSkinArchive::Instance()->GetImage(ScreenCapture::Utf8ToUtf16(image.file), m_dpi);
  if (!info) return false;
  RECT dest = controlRect;
  if (image.hasDest) {
    dest.left = controlRect.left + Scale(image.dest.x);
    dest.top = controlRect.top + Scale(image.dest.y);
    dest.right = dest.left + Scale(image.dest.width);
    dest.bottom = dest.top + Scale(image.dest.height);
  }
  MemoryDC source(hDC);
  SelectGuard select(source.Get(), info->hBitmap.Get());
  const BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  return ::AlphaBlend(hDC, dest.left, dest.top, dest.right - dest.left, dest.bottom - dest.top, source.Get(), 0, 0,
                      info->width, info->height, blend) != FALSE;
}

void CPaintManagerUI::Invalidate(const RECT& rc) {
  if (!m_hwnd) return;
  if (m_layered) {
    ::UnionRect(&m_layeredDirty, &m_layeredDirty, &rc);
    if (!m_layeredPaintPosted) {
      m_layeredPaintPosted = ::PostMessageW(m_hwnd, kLayeredPaintMessage, 0, 0) != FALSE;
    }
    return;
  }
  ::InvalidateRect(m_hwnd, &rc, FALSE);
}

void CPaintManagerUI::Update() {
  if (!m_hwnd) return;
  if (m_layered) {
    PaintLayered();
  } else {
    ::UpdateWindow(m_hwnd);
  }
}

void CPaintManagerUI::SetLayered(bool layered) {
  if (!m_hwnd || layered == m_layered) return;
  m_layered = layered;
  const LONG_PTR exStyle = ::GetWindowLongPtrW(m_hwnd, GWL_EXSTYLE);
  ::SetWindowLongPtrW(m_hwnd, GWL_EXSTYLE, layered ? (exStyle | WS_EX_LAYERED) : (exStyle & ~WS_EX_LAYERED));
  RECT client = {};
  ::GetClientRect(m_hwnd, &client);
  if (layered) {
    m_layeredDirty = client;
    PaintLayered();
  } else {
    m_layeredDirty = RECT{};
    ::RedrawWindow(m_hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_FRAME);
  }
}

uint32_t* CPaintManagerUI::GetOffscreenBits(int* stride, SIZE* size) const {
  if (stride) *stride = static_cast<int>(m_offscreenSize.cx) * 4;
  if (size) *size = m_offscreenSize;
  return m_bits;
}

bool CPaintManagerUI::EnsureOffscreen(int width, int height) {
  if (width <= 0 || height <= 0) return false;
  if (m_offscreen && m_offscreenSize.cx == width && m_offscreenSize.cy == height) return true;
  m_offscreen.Reset();
  m_bits = nullptr;
  void* bits = nullptr;
  WindowDC windowDC(m_hwnd);
  UniqueBitmap bitmap = CreateDib32(windowDC.Get(), width, height, &bits);
  if (!bitmap || !m_offscreen.Attach(MemoryDC(windowDC.Get()), std::move(bitmap))) {
    LOG_ERR(L"off-screen bitmap %dx%d could not be made: %d", width, height, static_cast<int>(::GetLastError()));
    m_offscreenSize = SIZE{};
    return false;
  }
  m_bits = static_cast<uint32_t*>(bits);
  m_offscreenSize = SIZE{width, height};
  return true;
}

void CPaintManagerUI::Render(const RECT& area) {
  if (!m_root) return;
  const HDC dc = m_offscreen.GetDC();
  const int saved = ::SaveDC(dc);
  ::IntersectClipRect(dc, area.left, area.top, area.right, area.bottom);
  m_root->DoPaint(dc, area);
  ::RestoreDC(dc, saved);
  ::GdiFlush();
  ++m_stats.paints;
  m_stats.lastArea = area;
}

void CPaintManagerUI::PaintLayered() {
  m_layeredPaintPosted = false;
  // A hidden window keeps its dirty area until it is shown: no skin image is
  // decoded for a toolbar nobody sees yet.
  if (!::IsWindowVisible(m_hwnd)) return;
  RECT client = {};
  ::GetClientRect(m_hwnd, &client);
  RECT area = {};
  if (!::IntersectRect(&area, &m_layeredDirty, &client)) return;
  m_layeredDirty = RECT{};
  if (!EnsureOffscreen(client.right, client.bottom)) return;
  // Unpainted pixels stay fully transparent.
  for (LONG y = area.top; y < area.bottom; ++y) {
    std::memset(m_bits + static_cast<size_t>(y) * m_offscreenSize.cx + area.left, 0,
                static_cast<size_t>(area.right - area.left) * 4);
  }
  Render(area);
  RECT window = {};
  ::GetWindowRect(m_hwnd, &window);
  POINT position = {window.left, window.top};
  SIZE size = {client.right, client.bottom};
  POINT origin = {0, 0};
  BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  ::UpdateLayeredWindow(m_hwnd, nullptr, &position, &size, m_offscreen.GetDC(), &origin, 0, &blend, ULW_ALPHA);
}

void CPaintManagerUI::AddNotifier(INotifyUI* notifier) {
  if (notifier) m_notifiers.push_back(notifier);
}

void CPaintManagerUI::SendNotify(CControlUI* sender, const wchar_t* type, WPARAM wParam, LPARAM lParam) {
  TNotifyUI msg;
  msg.sType = type ? type : L"";
  msg.pSender = sender;
  msg.dwTimestamp = ::GetTickCount();
  ::GetCursorPos(&msg.ptMouse);
  if (m_hwnd) ::ScreenToClient(m_hwnd, &msg.ptMouse);
  msg.wParam = wParam;
  msg.lParam = lParam;
  for (INotifyUI* notifier : m_notifiers) notifier->Notify(msg);
}

void CPaintManagerUI::AddPreMessageFilter(IMessageFilterUI* filter) {
  if (filter) m_preFilters.push_back(filter);
}

bool CPaintManagerUI::PreTranslateMessage(const MSG& msg) {
  for (IMessageFilterUI* filter : m_preFilters) {
    if (filter->PreTranslateMessage(msg)) return true;
  }
  return false;
}

void CPaintManagerUI::MarkOpaque(const RECT& area) {
  if (!m_layered || !m_bits) return;
  RECT box = {};
  RECT clipped;
  const RECT surface = {0, 0, m_offscreenSize.cx, m_offscreenSize.cy};
  if (!::IntersectRect(&clipped, &area, &surface)) return;
  (void)box;
  for (LONG y = clipped.top; y < clipped.bottom; ++y) {
    uint32_t* row = m_bits + static_cast<size_t>(y) * static_cast<size_t>(m_offscreenSize.cx);
    for (LONG x = clipped.left; x < clipped.right; ++x) row[x] |= 0xFF000000u;
  }
}

void CPaintManagerUI::DeliverMouse(int type, WPARAM wParam, POINT pt, bool capture) {
  if (type == UIEVENT_MOUSEMOVE) {
    CControlUI* under = FindControl(pt);
    if (under != m_hover) {
      if (m_hover) m_hover->SetHot(false);
      m_hover = under;
      if (m_hover && m_hover->IsEnabled()) m_hover->SetHot(true);
      UpdateToolTip();
    }
    if (!m_trackingLeave) {
      TRACKMOUSEEVENT track = {sizeof(track), TME_LEAVE, m_hwnd, 0};
      m_trackingLeave = ::TrackMouseEvent(&track) != FALSE;
    }
  }
  CControlUI* target = m_captured ? m_captured : FindControl(pt);
  if (capture && type == UIEVENT_BUTTONDOWN) {
    m_captured = target;
    if (target) m_focus = m_focus ? m_focus : target;
    ::SetCapture(m_hwnd);
  }
  if (!target) return;
  TEventUI event;
  event.Type = type;
  event.pSender = target;
  event.dwTimestamp = ::GetTickCount();
  event.ptMouse = pt;
  event.wKeyState = KeyStateFromMouse(wParam);
  event.wParam = wParam;
  event.lParam = MAKELPARAM(pt.x, pt.y);
  target->DoEvent(event);
}

void CPaintManagerUI::DeliverKey(int type, WPARAM wParam, LPARAM lParam) {
  CControlUI* target = m_focus ? m_focus : m_root.get();
  if (!target) return;
  TEventUI event;
  event.Type = type;
  event.pSender = target;
  event.dwTimestamp = ::GetTickCount();
  ::GetCursorPos(&event.ptMouse);
  ::ScreenToClient(m_hwnd, &event.ptMouse);
  event.chKey = static_cast<wchar_t>(wParam);
  event.wKeyState = KeyStateNow();
  event.wParam = wParam;
  event.lParam = lParam;
  target->DoEvent(event);
}

bool CPaintManagerUI::MessageHandler(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  result = 0;
  switch (message) {
    case WM_ERASEBKGND:
      result = 1;
      return true;
    case WM_PAINT: {
      if (m_layered) {
        ::ValidateRect(m_hwnd, nullptr);
        PaintLayered();
        return true;
      }
      PaintDC paint(m_hwnd);
      RECT client = {};
      ::GetClientRect(m_hwnd, &client);
      RECT area = {};
      if (!::IntersectRect(&area, &paint.Area(), &client) || !EnsureOffscreen(client.right, client.bottom)) {
        return true;
      }
      Render(area);
      ::BitBlt(paint.Get(), area.left, area.top, area.right - area.left, area.bottom - area.top, m_offscreen.GetDC(),
               area.left, area.top, SRCCOPY);
      ScreenCapture::MarkStartup(ScreenCapture::StartupPhase::kFirstPaint);
      return true;
    }
    case kLayeredPaintMessage:
      if (m_layered) PaintLayered();
      m_layeredPaintPosted = false;
      return true;
    case WM_SHOWWINDOW:
      if (wParam && m_layered) {
        // Painted before it appears, so it never shows stale pixels.
        m_layeredDirty = RECT{0, 0, 0, 0};
        RECT client = {};
        ::GetClientRect(m_hwnd, &client);
        m_layeredDirty = client;
        m_layeredPaintPosted = ::PostMessageW(m_hwnd, kLayeredPaintMessage, 0, 0) != FALSE;
      }
      return false;
    case WM_SIZE:
      Layout();
      return false;
    case WM_MOUSEMOVE:
      DeliverMouse(UIEVENT_MOUSEMOVE, wParam, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}, false);
      return true;
    case WM_LBUTTONDOWN:
      DeliverMouse(UIEVENT_BUTTONDOWN, wParam, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}, true);
      return true;
    case WM_LBUTTONUP: {
      DeliverMouse(UIEVENT_BUTTONUP, wParam, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}, false);
      m_captured = nullptr;
      if (::GetCapture() == m_hwnd) ::ReleaseCapture();
      return true;
    }
    case WM_LBUTTONDBLCLK:
      DeliverMouse(UIEVENT_DBLCLICK, wParam, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}, false);
      return true;
    case WM_RBUTTONDOWN:
      DeliverMouse(UIEVENT_RBUTTONDOWN, wParam, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}, false);
      return true;
    case WM_RBUTTONUP:
      DeliverMouse(UIEVENT_RBUTTONUP, wParam, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}, false);
      return true;
    case WM_MBUTTONDOWN:
      DeliverMouse(UIEVENT_MBUTTONDOWN, wParam, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}, false);
      return true;
    case WM_MBUTTONUP:
      DeliverMouse(UIEVENT_MBUTTONUP, wParam, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}, false);
      return true;
    case WM_MOUSEWHEEL: {
      POINT pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      ::ScreenToClient(m_hwnd, &pt);
      const int delta = GET_WHEEL_DELTA_WPARAM(wParam);
      // One event per notch (a partial notch still counts as one).
      const int notches = delta / WHEEL_DELTA != 0 ? (delta < 0 ? -delta : delta) / WHEEL_DELTA : 1;
      const WPARAM direction = delta > 0 ? SB_LINEUP : SB_LINEDOWN;
      for (int i = 0; i < notches && delta != 0; ++i) {
        CControlUI* target = m_captured ? m_captured : FindControl(pt);
        if (!target) break;
        TEventUI event;
        event.Type = UIEVENT_SCROLLWHEEL;
        event.pSender = target;
        event.dwTimestamp = ::GetTickCount();
        event.ptMouse = pt;
        event.wKeyState = KeyStateFromMouse(GET_KEYSTATE_WPARAM(wParam));
        event.wParam = direction;
        event.lParam = lParam;
        target->DoEvent(event);
      }
      return true;
    }
    case WM_KEYDOWN:
      DeliverKey(UIEVENT_KEYDOWN, wParam, lParam);
      return false;
    case WM_KEYUP:
      DeliverKey(UIEVENT_KEYUP, wParam, lParam);
      return false;
    case WM_MOUSELEAVE:
      m_trackingLeave = false;
      if (m_hover) m_hover->SetHot(false);
      m_hover = nullptr;
      UpdateToolTip();
      return false;
    case WM_CAPTURECHANGED:
      if (reinterpret_cast<HWND>(lParam) != m_hwnd) m_captured = nullptr;
      return false;
    default:
      return false;
  }
}

}  // namespace DuiLib
