// Shapes, the shape list, undo and redo, and the normal capture mode's
// drawing, under a stand-in capture window and control that count repaints.
#include <gtest/gtest.h>

#include "GdiplusScope.h"
#include <windows.h>
#include <gdiplus.h>

#include <memory>
#include <string>
#include <vector>

#include "capture/CaptureShade.h"
#include "contracts/ICaptureControl.h"
#include "contracts/ICaptureWindow.h"
#include "common/VirtualScreen.h"
#include "capture/CaptureControl.h"
#include "shapes/ArrowShade.h"
#include "shapes/BrushShade.h"
#include "core/ShapeGeometry.h"
#include "shapes/Commands.h"
#include "shapes/RoundShade.h"
#include "shapes/TextShape.h"
#include "Stubs.h"
#include "common/Handles.h"

namespace {

using namespace ScreenCapture;

using StubWindow = stubs::Window;

// Holds the Shift key down for this thread while it lives.
class ShiftDown {
 public:
  ShiftDown() { Set(0x80); }
  ~ShiftDown() { Set(0); }

 private:
  static void Set(BYTE state) {
    BYTE keys[256];
    ::GetKeyboardState(keys);
    keys[VK_SHIFT] = state;
    ::SetKeyboardState(keys);
  }
};

class ShapesTest : public testing::Test {
 protected:
  static void SetUpTestSuite() { s_gdiplus = new testfiles::GdiplusScope(); }
  static void TearDownTestSuite() { delete s_gdiplus; }
  void SetUp() override {
    m_window.withMenu = false;
    m_mode = std::make_unique<CCaptureShade>();
    m_mode->SetRect(Rect{100, 100, 400, 300});  // limit: 103,103 394 x 294
    m_window.control.mode = m_mode.get();
    SetCaptureWindow(&m_window);
  }
  void TearDown() override { SetCaptureWindow(nullptr); }

  // A press, a move and a release, as the capture mode hands them over.
  static void Down(IBaseShade& shape, Point p) { bool handled = false; shape.OnLButtonDown(p, handled); }
  static void Move(IBaseShade& shape, Point p) { bool handled = false; shape.OnMouseMove(p, handled); }
  static void Up(IBaseShade& shape, Point p) { bool handled = false; shape.OnLButtonUp(p, handled); }
  static void Drag(IBaseShade& shape, Point from, const std::vector<Point>& moves) {
    Down(shape, from);
    for (Point m : moves) Move(shape, m);
    Up(shape, moves.empty() ? from : moves.back());
  }
  template <class T>
  std::shared_ptr<T> Make(Point from, Point to, int width = 3) {
    auto shape = std::make_shared<T>();
    shape->SetWidth(width);
    Drag(*shape, from, {Point{from.x + 1, from.y + 1}, to});
    return shape;
  }

  static testfiles::GdiplusScope* s_gdiplus;
  StubWindow m_window;
  std::unique_ptr<CCaptureShade> m_mode;
};
testfiles::GdiplusScope* ShapesTest::s_gdiplus = nullptr;

TEST_F(ShapesTest, CreationStateMachineAndClamping) {
  auto shape = std::make_shared<CSquareFrameShade>();
  EXPECT_EQ(shape->GetState(), kStateNew);
  bool handled = false;
  Point p{150, 150};
  shape->OnLButtonDown(p, handled);
  EXPECT_TRUE(handled);
  EXPECT_EQ(shape->GetState(), kStatePressed);
  // The first move starts the drag and already shapes it: the system may
  // coalesce a fast drag into that one move.
  Point m{200, 200};
  shape->OnMouseMove(m, handled);
  EXPECT_EQ(shape->GetState(), kStateCreating);
  EXPECT_EQ(shape->GetRect(), (Rect{150, 150, 50, 50}));
  Point m2{210, 190};
  shape->OnMouseMove(m2, handled);
  EXPECT_EQ(shape->GetRect(), (Rect{150, 150, 60, 40}));
  shape->OnLButtonUp(m2, handled);
  EXPECT_EQ(shape->GetState(), kStateIdle);

  // Dragged up and left: a positive rectangle with the same handles.
  auto reversed = Make<CSquareFrameShade>(Point{210, 190}, Point{150, 150});
  EXPECT_EQ(reversed->GetRect(), shape->GetRect());
  EXPECT_EQ(reversed->GetHandles(), shape->GetHandles());

  // Press and release at one point: nothing is made.
  auto dot = std::make_shared<CSquareFrameShade>();
  Drag(*dot, Point{300, 300}, {});
  EXPECT_FALSE(dot->IsValid());
  EXPECT_EQ(dot->GetRect(), (Rect{}));
}

TEST_F(ShapesTest, ShiftMakesSquaresThatStayInTheRegion) {
  ShiftDown shift;
  auto square = Make<CSquareFrameShade>(Point{150, 150}, Point{200, 170});
  EXPECT_EQ(square->GetRect(), (Rect{150, 150, 50, 50}));

  // Near the bottom (limit bottom 397): a square that would leave the region
  // keeps the old end point.
  auto shape = std::make_shared<CSquareFrameShade>();
  Down(*shape, Point{150, 380});
  for (Point m : {Point{156, 386}, Point{200, 390}}) Move(*shape, m);
  EXPECT_EQ(shape->GetRect(), (Rect{150, 380, 6, 6}));
  Move(*shape, Point{160, 385});
  EXPECT_EQ(shape->GetRect(), (Rect{150, 380, 10, 10}));
  Move(*shape, Point{250, 390});  // leaves the region
  EXPECT_EQ(shape->GetRect(), (Rect{150, 380, 10, 10}));
}

TEST_F(ShapesTest, HandlesHitTestsAndResizing) {
  auto rect = Make<CSquareFrameShade>(Point{150, 150}, Point{250, 230});
  ASSERT_EQ(rect->GetRect(), (Rect{150, 150, 100, 80}));
  // A wider frame moves its centre line, and the handles with it.
  rect->SetWidth(kSizeBig);
  EXPECT_EQ(rect->GetHandles().at(0), (Rect{144, 144, 16, 16}));
  rect->SetWidth(kSizeMiddle);
  EXPECT_TRUE(rect->HitTestHandle(Point{158, 158}));
  EXPECT_FALSE(rect->HitTestHandle(Point{159, 158}));  // half-open box
  // The band of width + 3 inside the frame grabs; the interior does not.
  EXPECT_TRUE(rect->HitTest(Point{155, 190}));
  EXPECT_FALSE(rect->HitTest(Point{156, 190}));
  EXPECT_FALSE(rect->HitTest(Point{200, 190}));
  EXPECT_FALSE(rect->HitTest(Point{250, 190}));  // right edge is outside

  // An unselected rectangle still takes handle presses; a press on a point
  // that is handle and body at once resizes.
  EXPECT_FALSE(rect->IsSelected());
  Down(*rect, Point{200, 151});  // handle 1, also on the band
  EXPECT_EQ(rect->GetState(), kStateResizing);
  EXPECT_EQ(rect->GetGrabbedHandle(), 1);
  // Dragged across the opposite side: the rectangle flips, the index stays.
  Move(*rect, Point{200, 300});
  EXPECT_EQ(rect->GetRect(), (Rect{150, 230, 100, 70}));
  EXPECT_EQ(rect->GetGrabbedHandle(), 1);
  EXPECT_TRUE(rect->IsChanged());
  // Its own edit command, made before the release, takes the resize back.
  const std::shared_ptr<ICommand> resize = rect->MakeEditCommand();
  Up(*rect, Point{200, 300});
  ASSERT_NE(resize, nullptr);
  resize->Undo();
  EXPECT_EQ(rect->GetRect(), (Rect{150, 150, 100, 80}));
  resize->Execute();

  // Moving: the first move after the press changes nothing that was not
  // moved; the rectangle follows the pointer, not clamped as a whole.
  Down(*rect, Point{152, 245});  // on the band, clear of the handles
  EXPECT_EQ(rect->GetState(), kStateMoving);
  Move(*rect, Point{152, 245});
  EXPECT_FALSE(rect->IsChanged());
  EXPECT_EQ(rect->MakeEditCommand(), nullptr);  // nothing to undo yet
  Move(*rect, Point{352, 245});
  EXPECT_EQ(rect->GetRect(), (Rect{350, 230, 100, 70}));
  // The pointer is kept in the region; the rectangle may leave it.
  Move(*rect, Point{900, 245});
  EXPECT_EQ(rect->GetRect(), (Rect{494, 230, 100, 70}));
  Up(*rect, Point{352, 245});
}

// Moves and their undo go through the capture mode in the arrow and brush tests.
TEST_F(ShapesTest, EllipseRingSelectionAndWidth) {
  auto ellipse = Make<CRoundShade>(Point{200, 200}, Point{300, 300});
  ASSERT_EQ(ellipse->GetRect(), (Rect{200, 200, 100, 100}));
  EXPECT_TRUE(ellipse->HitTest(Point{250, 201}));   // on the ring
  EXPECT_FALSE(ellipse->HitTest(Point{250, 250}));  // the middle
  EXPECT_FALSE(ellipse->HitTest(Point{202, 202}));  // the box's corner, off the ring
  // A thicker stroke thickens the ring it is grabbed by; undo thins it.
  CommandOrders widths;
  EXPECT_FALSE(ellipse->HitTest(Point{250, 204}));
  widths.Do(std::make_shared<ChangeShapeWidthCommand>(ellipse, kSizeBig));
  EXPECT_TRUE(ellipse->HitTest(Point{250, 204}));
  widths.UndoLast();
  EXPECT_FALSE(ellipse->HitTest(Point{250, 204}));
  // Unselected, its handles take no press; selected, they do.
  EXPECT_FALSE(ellipse->HitTestHandle(Point{200, 200}));
  ellipse->SetSelected(true);
  EXPECT_TRUE(ellipse->HitTestHandle(Point{200, 200}));
}

TEST_F(ShapesTest, UndoRedoAndTheShapeList) {
  CommandOrders orders;
  EXPECT_FALSE(orders.UndoLast());
  EXPECT_FALSE(orders.RedoLast());
  auto a = Make<CSquareFrameShade>(Point{150, 150}, Point{250, 230});
  auto b = Make<CRoundShade>(Point{300, 150}, Point{350, 230});
  auto c = Make<CSquareFrameShade>(Point{150, 300}, Point{250, 330});
  orders.Do(std::make_shared<CreateShapeCommand>(a));
  EXPECT_EQ(m_mode->GetShapes().size(), 1u);
  a->SetSelected(true);
  orders.UndoLast();
  EXPECT_TRUE(m_mode->GetShapes().empty());
  EXPECT_FALSE(a->IsSelected());  // nothing off the list stays for the toolbar to edit
  EXPECT_TRUE(orders.CanRedo());
  // A new command after an undo clears the redo stack.
  orders.Do(std::make_shared<CreateShapeCommand>(b));
  EXPECT_FALSE(orders.CanRedo());
  orders.Do(std::make_shared<CreateShapeCommand>(a));
  orders.Do(std::make_shared<CreateShapeCommand>(c));
  EXPECT_EQ(m_mode->GetShapes(), (std::vector<ShapeManager::ShapePtr>{b, a, c}));

  // A deleted shape comes back at the end of the list.
  orders.Do(std::make_shared<DeleteShapeCommand>(b));
  EXPECT_EQ(m_mode->GetShapes(), (std::vector<ShapeManager::ShapePtr>{a, c}));
  orders.UndoLast();
  EXPECT_EQ(m_mode->GetShapes(), (std::vector<ShapeManager::ShapePtr>{a, c, b}));

  // The selected shape is the first selected one in list order.
  EXPECT_EQ(m_mode->GetSelected(), nullptr);
  b->SetSelected(true);
  c->SetSelected(true);
  EXPECT_EQ(m_mode->GetSelected(), c);

  // A command whose shape is no longer listed changes nothing.
  auto stranger = Make<CSquareFrameShade>(Point{150, 150}, Point{160, 160});
  DeleteShapeCommand lost(stranger);
  lost.Execute();
  EXPECT_EQ(m_mode->GetShapes().size(), 3u);
  // Without any capture mode, commands do nothing at all.
  m_window.control.mode = nullptr;
  CreateShapeCommand orphan(stranger);
  orphan.Execute();
  orphan.Undo();
  m_window.control.mode = m_mode.get();
  EXPECT_EQ(m_mode->GetShapes().size(), 3u);

  orders.Clear();
  EXPECT_FALSE(orders.CanUndo());
  EXPECT_FALSE(orders.CanRedo());
}

// A numbered shape and a shape that records when it is drawn.
class Marker : public CSquareFrameShade, public INumberedShade {
 public:
  Marker(int type, std::vector<int>* drawn) : m_type(type), m_drawn(drawn) {}
  int GetType() const override { return m_type; }
  void Draw(Gdiplus::Graphics*, bool) override {
    if (m_drawn) m_drawn->push_back(m_id);
  }
  void SetNumber(int number) override { m_number = number; }
  int GetNumber() const override { return m_number; }
  unsigned GetMadeOrder() const override { return static_cast<unsigned>(m_id); }
  int m_id = 0;

 private:
  int m_type;
  std::vector<int>* m_drawn;
  int m_number = 0;
};

TEST_F(ShapesTest, NumberedShapesAreRenumberedWhenOneGoes) {
  std::vector<std::shared_ptr<Marker>> numbered;
  for (int i = 0; i < 3; ++i) {
    auto marker = std::make_shared<Marker>(kShapeNumberedText, nullptr);
    marker->m_id = i;
    marker->SetNumber(m_mode->TakeNextNumber());
    m_mode->Add(marker);
    numbered.push_back(marker);
  }
  m_mode->Add(std::make_shared<Marker>(kShapeRectangle, nullptr));
  EXPECT_EQ(m_mode->GetNumberCounter(), 4);
  m_mode->Remove(numbered[1]);
  EXPECT_EQ(numbered[0]->GetNumber(), 1);
  EXPECT_EQ(numbered[2]->GetNumber(), 2);
  EXPECT_EQ(m_mode->GetNumberCounter(), 3);
  // Back at the end of the list, it takes its number again: no two markers
  // show the same one.
  m_mode->Add(numbered[1]);
  EXPECT_EQ(numbered[1]->GetNumber(), 2);
  EXPECT_EQ(numbered[2]->GetNumber(), 3);
  EXPECT_EQ(m_mode->GetNumberCounter(), 4);
  // Removing a rectangle leaves the numbers alone.
  m_mode->Remove(m_mode->GetShapes()[2]);
  EXPECT_EQ(m_mode->GetNumberCounter(), 4);

  // A marker's box that grows a line moves its disc and notch down: both
  // the old and the new place are repainted.
  CSerializedText marker(1);
  marker.SetBoxRect(Rect{250, 200, 90, 20});
  marker.SetText(L"one");
  const Rect before = marker.GetRect();
  m_window.control.repaintedArea = Rect{};
  marker.SetText(L"one\r\ntwo");
  ASSERT_GT(marker.GetBoxRect().height, before.height);
  const Rect& repainted = m_window.control.repaintedArea;
  EXPECT_EQ(UnionRect(UnionRect(repainted, before), marker.GetRect()), repainted);
}

// A skin font with a face outside the process's code page (the skin's faces
// are Chinese) keeps its face in the text's GDI+ font, not the family found
// for the "????" a narrow conversion leaves of it.
TEST_F(ShapesTest, TextFontKeepsItsFaceOnAnyCodePage) {
  DuiLib::TFontInfo info;
  info.hFont.Reset(::CreateFontW(-20, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"\x5FAE\x8F6F\x96C5\x9ED1"));
  m_window.control.font = &info;
  const auto familyName = [](const Gdiplus::Font& font) {
    Gdiplus::FontFamily family;
    wchar_t name[LF_FACESIZE] = {};
    if (font.GetFamily(&family) == Gdiplus::Ok) family.GetFamilyName(name);
    return std::wstring(name);
  };
  LOGFONTW mangled = {};
  ::GetObjectW(info.hFont.Get(), sizeof(mangled), &mangled);
  wcscpy(mangled.lfFaceName, L"????");
  std::wstring wrong;
  {
    ScreenCapture::MemoryDC dc(nullptr);
    wrong = familyName(Gdiplus::Font(dc.Get(), &mangled));
  }
  {
    CTextShape text;
    ASSERT_NE(text.GetMeasureFont(), nullptr);
    const std::wstring name = familyName(*text.GetMeasureFont());
    EXPECT_FALSE(name.empty());
    EXPECT_NE(name, wrong);
    EXPECT_NEAR(text.GetFontSize(), 20.0f, 1.0f);
  }
  m_window.control.font = nullptr;
}

TEST_F(ShapesTest, MosaicsAreDrawnUnderEverythingElse) {
  std::vector<int> drawn;
  const int types[] = {kShapeRectangle, kShapeMosaic, kShapeEllipse, kShapeMosaic};
  for (int i = 0; i < 4; ++i) {
    auto marker = std::make_shared<Marker>(types[i], &drawn);
    marker->m_id = i + 1;
    m_mode->Add(marker);
  }
  auto current = std::make_shared<Marker>(kShapeMosaic, &drawn);
  current->m_id = 9;
  m_mode->SetCurrentShape(current);
  Gdiplus::Bitmap canvas(10, 10, PixelFormat32bppARGB);
  Gdiplus::Graphics graphics(&canvas);
  m_mode->DrawShapes(&graphics, kOutputScreen);
  EXPECT_EQ(drawn, (std::vector<int>{9, 2, 4, 1, 3}));
  // A current shape that is not a mosaic comes last.
  drawn.clear();
  auto rect = std::make_shared<Marker>(kShapeRectangle, &drawn);
  rect->m_id = 8;
  m_mode->SetCurrentShape(rect);
  m_mode->DrawShapes(&graphics, kOutputResult);
  EXPECT_EQ(drawn, (std::vector<int>{2, 4, 1, 3, 8}));
}

uint32_t PixelAt(Gdiplus::Bitmap& bitmap, int x, int y) {
  Gdiplus::Color c;
  bitmap.GetPixel(x, y, &c);
  return c.GetValue() & 0xFFFFFF;
}

TEST_F(ShapesTest, FramesFilledAsBandsMatchThePenPixelForPixel) {
  // Odd widths are filled as bands; they must give what the antialiased pen
  // gives, also shifted by a world transform and where the hole closes.
  const auto drawBoth = [](const Rect& r, int width, ARGB color, Gdiplus::Bitmap& filled, Gdiplus::Bitmap& stroked) {
    for (Gdiplus::Bitmap* canvas : {&filled, &stroked}) {
      Gdiplus::Graphics graphics(canvas);
      graphics.Clear(Gdiplus::Color(0xFFFFFFFF));
      graphics.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias8x8);
      graphics.SetCompositingQuality(Gdiplus::CompositingQualityHighQuality);
      graphics.TranslateTransform(-7.0f, 5.0f);
      if (canvas == &filled) {
        EXPECT_TRUE(CRectShade::FillFrame(&graphics, r, width, color));
      } else {
        Gdiplus::Pen pen(Gdiplus::Color(color), static_cast<Gdiplus::REAL>(width));
        graphics.DrawRectangle(&pen, r.x, r.y, r.width, r.height);
      }
    }
  };
  for (int width : {1, 3, 5}) {
    for (const Rect& r : {Rect{20, 20, 60, 40}, Rect{30, 30, 6, 40}, Rect{40, 40, 12, 7}}) {
      Gdiplus::Bitmap filled(100, 100, PixelFormat32bppARGB), stroked(100, 100, PixelFormat32bppARGB);
      drawBoth(r, width, kColorRed, filled, stroked);
      int differing = 0;
      for (int y = 0; y < 100; ++y) {
        for (int x = 0; x < 100; ++x) differing += PixelAt(filled, x, y) != PixelAt(stroked, x, y);
      }
      EXPECT_EQ(differing, 0) << "width " << width << " at " << r.x << "," << r.y << " " << r.width << "x" << r.height;
    }
  }
  // Even widths, translucent colours and frames without a hole keep the pen.
  Gdiplus::Bitmap canvas(100, 100, PixelFormat32bppARGB);
  Gdiplus::Graphics graphics(&canvas);
  EXPECT_FALSE(CRectShade::FillFrame(&graphics, Rect{20, 20, 60, 40}, 2, kColorRed));
  EXPECT_FALSE(CRectShade::FillFrame(&graphics, Rect{20, 20, 60, 40}, 3, 0x80FF0000));
  EXPECT_FALSE(CRectShade::FillFrame(&graphics, Rect{20, 20, 5, 40}, 5, kColorRed));

  // A selected rectangle drawn for the screen: handles (white, red outline).
  auto shape = std::make_shared<CSquareFrameShade>();
  shape->SetColor(kColorRed);
  shape->SetRect(Rect{20, 20, 60, 40});
  shape->SetSelected(true);
  graphics.Clear(Gdiplus::Color(0xFFFFFFFF));
  graphics.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias8x8);
  shape->Draw(&graphics, false);
  const uint32_t outline = PixelAt(canvas, 13, 21);  // left point of handle 0's outline
  EXPECT_GT(outline >> 16, 0xC0u);
  EXPECT_LT((outline >> 8) & 0xFF, 0x80u);
  EXPECT_EQ(PixelAt(canvas, 21, 21), 0xFFFFFFu);  // the handle's white fill
}

// Paints a mode for the screen into a fresh 640x480 grey image and returns
// the pixels.
std::vector<uint32_t> PaintMode(CCaptureShade& mode) {
  ScreenCapture::MemoryDC dc(nullptr);
  void* bits = nullptr;
  ScreenCapture::UniqueBitmap bitmap = ScreenCapture::CreateDib32(dc.Get(), 640, 480, &bits);
  std::fill_n(static_cast<uint32_t*>(bits), 640 * 480, 0xFF404040u);
  ScreenCapture::SelectGuard select(dc.Get(), bitmap.Get());
  {
    Gdiplus::Graphics graphics(dc.Get());
    graphics.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias8x8);
    graphics.SetCompositingQuality(Gdiplus::CompositingQualityHighQuality);
    mode.Draw(&graphics, false);
  }
  ::GdiFlush();
  const auto* p = static_cast<const uint32_t*>(bits);
  return std::vector<uint32_t>(p, p + 640 * 480);
}

TEST_F(ShapesTest, RepaintsFromTheSnapshotLookTheSame) {
  ScreenCapture::MemoryDC source(nullptr);
  void* bits = nullptr;
  ScreenCapture::UniqueBitmap frozen = ScreenCapture::CreateDib32(source.Get(), 640, 480, &bits);
  for (int i = 0; i < 640 * 480; ++i) static_cast<uint32_t*>(bits)[i] = 0xFF000000u | static_cast<uint32_t>(i * 2654435761u >> 8);
  ScreenCapture::SelectGuard select(source.Get(), frozen.Get());
  m_window.control.screenDC = source.Get();
  m_mode->SetState(kStateIdle);
  std::vector<std::shared_ptr<CRectShade>> shapes;
  for (int i = 0; i < 6; ++i) {
    std::shared_ptr<CRectShade> shape;
    if (i % 2) shape = std::make_shared<CRoundShade>();
    else shape = std::make_shared<CSquareFrameShade>();
    shape->SetColor(i % 3 ? kColorRed : kColorBlue);
    shape->SetRect(Rect{120 + i * 40, 130 + i * 25, 90, 70});
    m_mode->Add(shape);
    shapes.push_back(shape);
  }
  const std::vector<uint32_t> full = PaintMode(*m_mode);
  EXPECT_EQ(PaintMode(*m_mode), full);  // from the snapshot

  // The middle shape selected and moved: what lies under it comes from the
  // snapshot, it and the newer ones are drawn; a mode that never painted
  // before draws everything and must give the same picture.
  shapes[3]->SetSelected(true);
  PaintMode(*m_mode);  // snapshot with the shape live
  shapes[3]->SetRect(Rect{150, 160, 120, 90});
  const std::vector<uint32_t> edited = PaintMode(*m_mode);
  CCaptureShade fresh;
  fresh.SetRect(m_mode->GetRect());
  fresh.SetState(kStateIdle);
  for (const auto& shape : m_mode->GetShapes()) fresh.Add(shape);
  m_window.control.mode = &fresh;
  EXPECT_EQ(PaintMode(fresh), edited);
  m_window.control.mode = m_mode.get();

  // A change under the snapshot (an older shape recoloured by undo) is seen.
  shapes[3]->SetSelected(false);
  const std::vector<uint32_t> before = PaintMode(*m_mode);
  shapes[0]->SetColor(kColorGreen);
  EXPECT_NE(PaintMode(*m_mode), before);
  // So is a removed shape and a moved region.
  m_mode->Remove(shapes[5]);
  const std::vector<uint32_t> removed = PaintMode(*m_mode);
  EXPECT_NE(removed, before);
  m_mode->SetRect(Rect{90, 90, 400, 300});
  EXPECT_NE(PaintMode(*m_mode), removed);
  // A region that fills the whole image (the frame reaches past its edges).
  m_mode->SetRect(Rect{0, 0, 640, 480});
  const std::vector<uint32_t> whole = PaintMode(*m_mode);
  EXPECT_EQ(PaintMode(*m_mode), whole);
  m_window.control.screenDC = nullptr;
}

// A window offered partly off the screen: the result is transparent white
// where the frozen screen ends, the screen's pixels are opaque, and an
// annotation that crosses the edge is drawn on both sides of it.
TEST_F(ShapesTest, ResultPastTheScreenEdgeIsTransparentWhite) {
  ScopedVirtualScreen pretend(Rect{0, 0, 640, 480});
  ScreenCapture::MemoryDC source(nullptr);
  void* bits = nullptr;
  ScreenCapture::UniqueBitmap frozen = ScreenCapture::CreateDib32(source.Get(), 640, 480, &bits);
  for (int i = 0; i < 640 * 480; ++i) static_cast<uint32_t*>(bits)[i] = 0x00336699u;  // alpha 0, as some windows give
  ScreenCapture::SelectGuard select(source.Get(), frozen.Get());
  m_window.control.screenDC = source.Get();
  m_mode->SetRect(Rect{540, 400, 200, 150});  // 100 x 80 of it on the screen
  m_mode->SetState(kStateIdle);
  auto shape = std::make_shared<CSquareFrameShade>();
  shape->SetColor(kColorRed);
  shape->SetRect(Rect{560, 420, 150, 100});
  m_mode->Add(shape);
  std::unique_ptr<Gdiplus::Bitmap> result = m_mode->RenderResult();
  m_window.control.screenDC = nullptr;
  ASSERT_NE(result, nullptr);
  ASSERT_EQ(result->GetWidth(), 200u);
  ASSERT_EQ(result->GetHeight(), 150u);
  auto at = [&](int x, int y) {
    Gdiplus::Color c;
    result->GetPixel(x, y, &c);
    return static_cast<uint32_t>(c.GetValue());
  };
  EXPECT_EQ(at(5, 5), 0xFF336699u);
  EXPECT_EQ(at(99, 79), 0xFF336699u);
  for (const POINT p : {POINT{100, 5}, POINT{199, 149}, POINT{5, 80}, POINT{150, 60}}) {
    EXPECT_EQ(at(p.x, p.y), 0x00FFFFFFu) << p.x << "," << p.y;
  }
  // The frame's top edge, on the screen and off it; its bottom edge off it.
  int onScreen = 0, offScreen = 0, bottom = 0;
  for (int y = 15; y < 26; ++y) {
    onScreen += at(60, y) == 0xFFFF2600u;
    offScreen += at(150, y) == 0xFFFF2600u;
    bottom += at(60, y + 100) == 0xFFFF2600u;
  }
  EXPECT_GT(onScreen, 0);
  EXPECT_EQ(offScreen, onScreen);
  EXPECT_EQ(bottom, onScreen);
}

// The region idle and a toolbar that records commands: presses reach the
// annotations through the capture mode, as in the program.
class StrokeShapesTest : public ShapesTest {
 protected:
  void SetUp() override {
    ShapesTest::SetUp();
    m_window.withMenu = true;
    m_mode->SetState(kStateIdle);
  }
  void ModeDrag(Point from, Point to) {
    bool handled = false;
    Point p = from;
    m_mode->OnLButtonDown(p, handled);
    for (int i = 1; i <= 4; ++i) {
      Point m{from.x + (to.x - from.x) * i / 4, from.y + (to.y - from.y) * i / 4};
      handled = false;
      m_mode->OnMouseMove(m, handled);
    }
    Point up = to;
    m_mode->OnLButtonUp(up, handled);
  }
  CommandOrders& Orders() { return m_window.menu.orders; }
};

TEST_F(StrokeShapesTest, ArrowOutlineHandlesAndCommands) {
  auto arrow = Make<CArrawShade>(Point{150, 150}, Point{300, 200});
  ASSERT_TRUE(arrow->IsValid());
  EXPECT_EQ(arrow->GetStartPoint(), (Point{150, 150}));
  EXPECT_EQ(arrow->GetEndPoint(), (Point{300, 200}));
  // The shaft holds its centre line, the head its tip, and nothing off it.
  EXPECT_TRUE(arrow->HitTest(Point{225, 175}));
  EXPECT_TRUE(arrow->HitTest(Point{295, 198}));
  EXPECT_FALSE(arrow->HitTest(Point{225, 185}));
  // Drawn from right to left: the head at the left end, its barbs behind it.
  auto back = Make<CArrawShade>(Point{400, 300}, Point{200, 300});
  EXPECT_GT(back->GetOutline()[2].x, 200.0);
  EXPECT_GT(back->GetOutline()[4].x, 200.0);
  EXPECT_TRUE(back->IsValid());  // exactly horizontal: its outline has an area
  EXPECT_GT(back->GetRect().height, 0);
  // Vertical: built with the tip 1 pixel to the left, still with a head.
  auto down = Make<CArrawShade>(Point{250, 120}, Point{250, 350});
  EXPECT_EQ(down->GetOutline()[3].x, 249.0);
  EXPECT_TRUE(down->IsValid());
  EXPECT_GT(down->GetRect().width, 10);
  // A click makes no arrow.
  auto click = std::make_shared<CArrawShade>();
  Drag(*click, Point{300, 300}, {});
  EXPECT_FALSE(click->IsValid());

  // Through the capture mode: the start handle drags the start only.
  m_mode->Add(arrow);
  ModeDrag(Point{150, 150}, Point{170, 130});
  EXPECT_EQ(arrow->GetStartPoint(), (Point{170, 130}));
  EXPECT_EQ(arrow->GetEndPoint(), (Point{300, 200}));
  // The tip handle drags the tip only.
  ModeDrag(Point{300, 200}, Point{320, 260});
  EXPECT_EQ(arrow->GetStartPoint(), (Point{170, 130}));
  EXPECT_EQ(arrow->GetEndPoint(), (Point{320, 260}));
  // The shaft moves both ends.
  const Point mid{(170 + 320) / 2, (130 + 260) / 2};
  ASSERT_TRUE(arrow->HitTest(mid));
  ModeDrag(mid, Point{mid.x + 10, mid.y - 20});
  EXPECT_EQ(arrow->GetStartPoint(), (Point{180, 110}));
  EXPECT_EQ(arrow->GetEndPoint(), (Point{330, 240}));
  EXPECT_EQ(Orders().UndoCount(), 3u);
  // A press and release on it without a move records nothing.
  ModeDrag(Point{mid.x + 10, mid.y - 20}, Point{mid.x + 10, mid.y - 20});
  EXPECT_EQ(Orders().UndoCount(), 3u);
  ASSERT_TRUE(Orders().UndoLast());
  EXPECT_EQ(arrow->GetStartPoint(), (Point{170, 130}));
  ASSERT_TRUE(Orders().UndoLast());
  EXPECT_EQ(arrow->GetEndPoint(), (Point{300, 200}));
  ASSERT_TRUE(Orders().UndoLast());
  EXPECT_EQ(arrow->GetStartPoint(), (Point{150, 150}));
  ASSERT_TRUE(Orders().RedoLast());
  EXPECT_EQ(arrow->GetStartPoint(), (Point{170, 130}));

  // The big size opens the head without moving the ends; undo closes it.
  const auto headWidth = [&] {
    const auto& o = arrow->GetOutline();
    return std::hypot(o[4].x - o[2].x, o[4].y - o[2].y);
  };
  const double middle = headWidth();
  Orders().Do(std::make_shared<ChangeShapeWidthCommand>(arrow, kSizeBig));
  EXPECT_GT(headWidth(), middle + 5);
  EXPECT_EQ(arrow->GetStartPoint(), (Point{170, 130}));
  Orders().UndoLast();
  EXPECT_DOUBLE_EQ(headWidth(), middle);
}

TEST_F(StrokeShapesTest, BrushPointsClampingHitsAndMoves) {
  // A press and a slip within the drag distance is a click: nothing.
  auto scribble = std::make_shared<CBrushShade>();
  Drag(*scribble, Point{150, 150}, {Point{152, 151}});
  EXPECT_TRUE(scribble->GetPoints().empty());
  EXPECT_FALSE(scribble->IsValid());
  // The stroke starts at the press once a move leaves the drag distance;
  // each move adds its point, past the region flattened along its edge,
  // half the stroke inside.
  auto stroke = std::make_shared<CBrushShade>();
  stroke->SetWidth(kSizeBig);
  Drag(*stroke, Point{150, 250}, {Point{151, 250}, Point{200, 250}, Point{350, 250}, Point{5000, 250}, Point{5000, -90}});
  ASSERT_EQ(stroke->GetPoints().size(), 5u);
  EXPECT_EQ(stroke->GetPoints()[0], (Point{150, 250}));
  EXPECT_EQ(stroke->GetPoints()[1], (Point{200, 250}));
  const Rect inside = InsetRect(m_mode->GetRect(), m_mode->GetWidth());
  for (const Point& p : stroke->GetPoints()) {
    EXPECT_TRUE(p.x >= inside.x + 2 && p.x <= inside.Right() - 2 && p.y >= inside.y + 2 && p.y <= inside.Bottom() - 2)
        << p.x << "," << p.y;
  }
  EXPECT_EQ(stroke->GetPoints()[3].x, inside.Right() - 2);
  EXPECT_TRUE(stroke->IsValid());
  EXPECT_TRUE(stroke->HitTest(Point{250, 253}));  // the distances: StrokeGeometry.ArrowHitsAndTheRunsARepaintNeeds

  // Moved through the capture mode: every point follows, undo puts them back.
  m_mode->Add(stroke);
  const std::vector<Point> before = stroke->GetPoints();
  ModeDrag(Point{250, 250}, Point{230, 280});
  ASSERT_EQ(Orders().UndoCount(), 1u);
  EXPECT_EQ(stroke->GetPoints()[0], (Point{130, 280}));
  Orders().UndoLast();
  EXPECT_EQ(stroke->GetPoints(), before);
  Orders().RedoLast();
  EXPECT_EQ(stroke->GetPoints()[0], (Point{130, 280}));

  // 100,000 points: kept, and a press far from it misses.
  auto huge = std::make_shared<CBrushShade>();
  Down(*huge, Point{120, 120});
  for (int i = 0; i < 100001; ++i) Move(*huge, Point{150 + i % 200, 150 + (i / 200) % 200});
  EXPECT_EQ(huge->GetPoints().size(), 100002u);  // the press and every move
  EXPECT_FALSE(huge->HitTest(Point{480, 380}));
}

// What a mosaic shows is checked in the image end to end; here that it is
// never grabbed and that its pixelated picture is made once per capture.
TEST_F(StrokeShapesTest, MosaicIsNeverGrabbedAndPixelatesOncePerCapture) {
  ScopedVirtualScreen layout(Rect{0, 0, 40, 25});
  ScreenCapture::MemoryDC source(nullptr);
  void* bits = nullptr;
  ScreenCapture::UniqueBitmap frozen = ScreenCapture::CreateDib32(source.Get(), 40, 25, &bits);
  ASSERT_TRUE(frozen);
  ScreenCapture::SelectGuard select(source.Get(), frozen.Get());
  m_window.control.screenDC = source.Get();
  CCaptureControl control(source.Get());
  m_window.control.mosaicFrom = &control;
  CCaptureShade mode;
  m_window.control.mode = &mode;
  mode.SetRect(Rect{0, 0, 40, 25});
  mode.SetState(kStateIdle);

  auto mosaic = std::make_shared<CMosaicShade>();
  mosaic->SetWidth(kSizeSmall);
  Down(*mosaic, Point{2, 2});
  for (Point m : {Point{3, 2}, Point{5, 2}, Point{20, 2}, Point{35, 2}}) Move(*mosaic, m);
  Up(*mosaic, Point{2, 2});
  mode.Add(mosaic);
  EXPECT_FALSE(mosaic->HitTest(Point{20, 2}));
  EXPECT_FALSE(mosaic->HitTestHandle(Point{5, 2}));

  // Two widths share one image, one pen each, cached.
  Gdiplus::Pen* small = control.GetMosaicImage(16);
  ASSERT_NE(small, nullptr);
  EXPECT_EQ(control.GetMosaicImage(16), small);
  EXPECT_NE(control.GetMosaicImage(24), small);

  // A fresh capture (back to selecting, from the long image's editor too)
  // pixelates its own source again. A picture that cannot be copied is tried
  // once per capture, not at every paint; a fresh capture tries again.
  class CountingMode : public CCaptureShade {
   public:
    explicit CountingMode(int& asked) : m_asked(asked) {}
    HDC GetSourceDC() override { return ++m_asked, CCaptureShade::GetSourceDC(); }
    int& m_asked;
  };
  int asked = 0;
  control.ResetCapture();
  control.ReplaceMode(std::make_unique<CountingMode>(asked));
  EXPECT_NE(control.GetMosaicImage(16), nullptr);
  EXPECT_EQ(asked, 1);
  CCaptureControl failing(source.Get());
  failing.ReplaceMode(std::make_unique<CountingMode>(asked));
  {
    ScopedVirtualScreen broken(Rect{0, 0, -40, 25});
    EXPECT_EQ(failing.GetMosaicImage(16), nullptr);
    EXPECT_EQ(failing.GetMosaicImage(24), nullptr);
    EXPECT_EQ(asked, 2);
    failing.ResetCapture();
    failing.ReplaceMode(std::make_unique<CountingMode>(asked));
    EXPECT_EQ(failing.GetMosaicImage(16), nullptr);
    EXPECT_EQ(asked, 3);
  }
  m_window.control.mosaicFrom = nullptr;
  m_window.control.mode = m_mode.get();
  m_window.control.screenDC = nullptr;
}

}  // namespace
