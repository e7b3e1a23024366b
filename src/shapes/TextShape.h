#pragma once
// Text typed in place: the text box (type 7), edited in a real edit control
// laid over it, and the numbered marker (type 8), a text in a dark bubble
// beside a red disc that carries its number. While the editor is open it
// shows the text; afterwards the shape paints it with the same font, width
// and flags, so both look alike.
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "common/Handles.h"
#include "core/TextLayout.h"
#include "shapes/BaseShade.h"
#include "shapes/TextLines.h"

namespace ScreenCapture {

class CTextShape : public CBaseShade {
 public:
  class CEditWnd;

  CTextShape();
  ~CTextShape() override;

  // IShade / IBaseShade
  int GetType() const override { return kShapeText; }
  void Draw(Gdiplus::Graphics* graphics, bool withoutHandles) override;
  bool HitTest(const Point& pt) override { return GetViewRect().Contains(pt); }
  bool HitTestHandle(const Point&) override { return false; }
  // The width is the size level (1, 3, 5): a new font and a new layout.
  void SetWidth(int level) override;
  bool IsEditing() const override { return m_edit != nullptr; }
  void BeginCreate(Point& pt, bool& handled) override;
  void BeginMove(Point& pt, bool& handled) override;
  void OnLButtonDown(Point& pt, bool& handled) override;
  void OnLButtonUp(Point& pt, bool& handled) override;
  void OnLButtonDblClk(Point& pt, bool& handled) override;
  void OnMoving(Point& pt, bool& handled) override;
  // Typing repaints the box itself; the mode repaints nothing more.
  bool RepaintsByArea() const override { return m_state == kStateCreating; }

  // CBaseShade
  bool IsChanged() const override { return m_rect != m_pressBox; }
  // A move: the box at the press and the current one (a text box is never
  // resized by hand).
  std::shared_ptr<ICommand> MakeEditCommand() override;

  // Called by Draw before the text: a thin red frame around a selected box
  // on the screen. The numbered marker draws its disc and bubble instead.
  virtual void DrawTextFrame(Gdiplus::Graphics* graphics, bool withoutHandles);
  // Called when editing starts: the picture the editor shows under its text
  // (the screen as the result shows it, without this text).
  virtual void RenderBackground(HDC target, HDC source);

  // Opens the editor over the box unless it is open.
  void StartEditing();
  // Lays the box out for its text, with `inserted` about to replace the
  // characters [from, to) (the editor's selection) when given.
  void Layout(const std::wstring& inserted = std::wstring(), size_t from = 0, size_t to = 0);
  const std::wstring& GetText() const { return m_text; }
  // The editor's text, as it changes.
  void SetText(const std::wstring& text);
  // The box without its margins: where the text (and the editor) sits.
  Rect GetTextRect() const;
  // The same where it shows now: where the editor window goes.
  Rect GetTextViewRect() const { return MapRectToView(GetTextRect()); }
  // The box; the undo command and moves set it. False when unchanged.
  const Rect& GetBoxRect() const { return m_rect; }
  bool SetBoxRect(const Rect& box);
  const Rect& GetPressBox() const { return m_pressBox; }
  void SetPressBox(const Rect& box) { m_pressBox = box; }
  HFONT GetTextFont() const { return m_hfont; }
  // The GDI+ font of the text's size (null when none could be made).
  const Gdiplus::Font* GetMeasureFont() const { return m_font.get(); }
  float GetFontSize() const;

 protected:
  friend class CEditWnd;
  // Called by the editor when its window is gone.
  void OnEditorClosed();
  // Takes a listed text whose editing left it empty off the list.
  void RemoveEmptied();
  void BuildFont();
  // The screen as the result shows it, inside the selection under `shade`
  // (none when 0).
  static void RenderCaptureOnto(HDC target, HDC source, ARGB shade);

  CEditWnd* m_edit = nullptr;
  std::wstring m_text;
  std::wstring m_textBeforeEdit;  // what the editor opened with
  TextMargins m_margins;
  MemoryDC m_measureDC;
  SelectGuard m_measureFont{nullptr};  // the font in m_measureDC, out again before the DC goes
  HFONT m_hfont = nullptr;  // a font of the skin: the paint manager owns it
  std::unique_ptr<Gdiplus::Font> m_font;  // the marker's number and disc size
  Rect m_pressBox;
  // What the last layout measured, and with what.
  std::wstring m_laidOut;
  Rect m_laidOutLimit;
  Rect m_laidOutRect;
  int m_laidOutLevel = 0;
  int m_laidOutScroll = 0;
  // The lines the last paint drew, and what they were broken from.
  std::vector<TextLine> m_paintLines;
  std::wstring m_paintText;
  int m_paintWidth = -1;
};

// The numbered marker.
class CSerializedText : public CTextShape, public INumberedShade {
 public:
  static constexpr ARGB kBubbleColor = 0xA0000000;

  explicit CSerializedText(int number);

  int GetType() const override { return kShapeNumberedText; }
  // The disc is the handle for moving; a press on the bubble opens the
  // editor again.
  bool HitTest(const Point& pt) override { return GetDiscViewRect().Contains(pt); }
  bool HitTestExtra(const Point& pt) override { return !m_text.empty() && GetViewRect().Contains(pt); }
  void OnExtraPress(Point& pt, bool& handled) override;
  // Plain press, move and release: placed (and recorded) at the release of
  // its press, with the editor still open.
  void OnLButtonDown(Point& pt, bool& handled) override { CBaseShade::OnLButtonDown(pt, handled); }
  void OnLButtonUp(Point& pt, bool& handled) override { CBaseShade::OnLButtonUp(pt, handled); }
  void OnLButtonDblClk(Point& pt, bool& handled) override;
  bool RepaintsByArea() const override { return false; }
  // The bubble and the disc together.
  Rect GetRect() const override;
  void OnMoving(Point& pt, bool& handled) override;

  void DrawTextFrame(Gdiplus::Graphics* graphics, bool withoutHandles) override;
  void RenderBackground(HDC target, HDC source) override;

  // INumberedShade
  void SetNumber(int number) override;
  int GetNumber() const override { return m_number; }
  unsigned GetMadeOrder() const override { return m_madeOrder; }

  // The red disc left of the bubble, where it is drawn, and where it shows
  // (what the pointer meets; elsewhere only after the long image scrolled).
  Rect GetDiscRect() const;
  Rect GetDiscViewRect() const;

 private:
  int m_number;
  unsigned m_madeOrder;
};

}  // namespace ScreenCapture
