#pragma once
// The editor of a text shape: the system edit control, superclassed, laid
// over the box's text area with the picture under it as its background.
#include <windows.h>

#include "common/Handles.h"
#include "shapes/TextShape.h"
#include "ui/WindowWnd.h"

namespace ScreenCapture {

class CTextShape::CEditWnd : public DuiLib::CWindowWnd {
 public:
  static constexpr const wchar_t* kClassName = L"EditWnd";
  // Multi-line, Enter makes a new line. It also scrolls rather than refuses
  // what no longer fits a box cut to the region's height.
  static constexpr DWORD kStyle = WS_CHILD | ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL;

  explicit CEditWnd(CTextShape* owner) : m_owner(owner) {}

  // Builds the background, creates the window over the owner's box, gives it
  // the focus and lays the box out. False when no window could be made.
  bool Open();
  // Destroys the window now (or the object, when it has none).
  void Destroy();
  // The owner goes away: the window tells it nothing more.
  void DetachOwner() { m_owner = nullptr; }
  bool IsInitialised() const { return m_initialised; }
  void MoveTo(const Rect& textRect);
  void ApplyFont();

 protected:
  const wchar_t* GetWindowClassName() const override { return kClassName; }
  const wchar_t* GetSuperClassName() const override { return L"Edit"; }
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void OnFinalMessage(HWND hwnd) override;

 private:
  ~CEditWnd() override = default;  // only OnFinalMessage or Destroy delete it
  HBRUSH BackgroundBrush();
  // The selection as character positions.
  void Selection(size_t& from, size_t& to) const;
  // Called for EN_UPDATE: asks for the repaint of the lines that changed.
  void InvalidateChangedLines();

  CTextShape* m_owner;
  UniqueBrush m_brush;
  Rect m_brushRect;  // where the window was when the brush was made
  bool m_initialised = false;
  // The first character the pending change touches; -1 when unknown (then
  // everything is repainted).
  size_t m_changeFrom = static_cast<size_t>(-1);
  BitmapDC m_background;
};

}  // namespace ScreenCapture
