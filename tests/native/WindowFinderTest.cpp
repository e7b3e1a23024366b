#include <gtest/gtest.h>

#include "FakeWindows.h"
#include "core/StartParams.h"

namespace ScreenCapture {
namespace {

using fakewin::Desktop;
using fakewin::Window;

Window Top(Rect rect, Rect client = Rect{}, const wchar_t* cls = L"App") {
  Window w;
  w.rect = rect;
  w.client = client;
  w.className = cls;
  return w;
}
Window ChildOf(WindowId parent, Rect rect) {
  Window w;
  w.parent = parent;
  w.rect = rect;
  return w;
}

TEST(WindowFinder, OrderInnermostFirstAndTopmostFirst) {
  Desktop desk;
  const WindowId own = desk.Add(Top(Rect{0, 0, 1920, 1080}, Rect{}, L"ZTDScreenCaptureWnd"));
  const WindowId app = desk.Add(Top(Rect{100, 100, 600, 400}, Rect{108, 130, 584, 362}));
  const WindowId panel = desk.Add(ChildOf(app, Rect{120, 140, 300, 200}));
  const WindowId button = desk.Add(ChildOf(panel, Rect{130, 150, 80, 30}));
  const WindowId lower = desk.Add(Top(Rect{50, 50, 900, 700}));
  WindowFinder finder(own, kDefaultIgnoredWindowClasses);
  finder.Build(desk);

  // Grandchild, child, client area, whole window, then the next window; the
  // child's second copy (reached through the parent's enumeration) is gone.
  std::vector<std::pair<WindowId, bool>> order;
  for (const auto& c : finder.Candidates()) order.emplace_back(c.window, c.wholeTopLevel);
  EXPECT_EQ(order, (std::vector<std::pair<WindowId, bool>>{
                       {button, false}, {panel, false}, {app, false}, {app, true}, {lower, true}}));
  Rect rect;
  ASSERT_TRUE(finder.Find(Point{140, 160}, rect));
  EXPECT_EQ(rect, (Rect{130, 150, 80, 30}));  // the innermost control
  ASSERT_TRUE(finder.Find(Point{300, 110}, rect));
  EXPECT_EQ(rect, (Rect{100, 100, 600, 400}));  // the title bar: the whole window
  ASSERT_TRUE(finder.Find(Point{60, 60}, rect));
  EXPECT_EQ(rect, (Rect{50, 50, 900, 700}));
  EXPECT_FALSE(finder.Find(Point{1500, 900}, rect));  // only the own window is there
  EXPECT_FALSE(finder.Find(Point{950, 300}, rect));   // the right edge is outside
}

TEST(WindowFinder, FiltersWhatMustNotBeOffered) {
  // Ignored classes, hidden windows, covered children and windows partly off
  // the screen are offered or not end to end; here what a fixture cannot
  // show. An empty class name is always on the ignore list.
  Desktop desk;
  desk.Add(Top(Rect{0, 0, 310, 310}, Rect{}, L""));
  Window cloaked = Top(Rect{500, 0, 100, 100});
  cloaked.cloaked = true;
  desk.Add(cloaked);
  // A higher window covering a lower one's child entirely (even if the
  // higher one had a hole there, the child is not offered).
  const WindowId cover = desk.Add(Top(Rect{600, 0, 400, 400}));
  const WindowId below = desk.Add(Top(Rect{650, 50, 600, 600}));
  desk.Add(ChildOf(below, Rect{700, 100, 100, 100}));
  desk.Add(ChildOf(below, Rect{1100, 500, 100, 100}));
  Window hiddenChild = ChildOf(below, Rect{1150, 550, 20, 20});
  hiddenChild.visible = false;
  desk.Add(hiddenChild);
  desk.Add(ChildOf(below, Rect{1160, 560, 0, 20}));  // no area

  WindowFinder finder(0, kDefaultIgnoredWindowClasses);
  finder.Build(desk);
  Rect rect;
  EXPECT_FALSE(finder.Find(Point{20, 20}, rect));
  EXPECT_FALSE(finder.Find(Point{550, 50}, rect));
  ASSERT_TRUE(finder.Find(Point{750, 150}, rect));
  EXPECT_EQ(rect, (Rect{600, 0, 400, 400}));  // the covering window, not the child
  ASSERT_TRUE(finder.Find(Point{1155, 555}, rect));
  EXPECT_EQ(rect, (Rect{1100, 500, 100, 100}));  // the hidden child is not offered
  EXPECT_EQ(finder.Candidates().front().window, cover);
}

TEST(WindowFinder, FrameBoundsMaximisedBordersAndVanishingWindows) {
  Desktop desk;
  // Extended frame bounds narrower than the window rectangle win.
  Window framed = Top(Rect{100, 100, 616, 416}, Rect{108, 131, 600, 377});
  framed.hasFrameBounds = true;
  framed.frameBounds = Rect{107, 100, 602, 409};
  desk.Add(framed);
  // Inverted bounds fall back to the window rectangle.
  Window inverted = Top(Rect{800, 100, 200, 200});
  inverted.hasFrameBounds = true;
  inverted.frameBounds = Rect{900, 150, -50, 10};
  desk.Add(inverted);
  // A maximised window on an old system loses its borders.
  Window maximised = Top(Rect{-8, 1000, 1936, 1096}, Rect{0, 1031, 1920, 1049});
  maximised.maximisedBorder = 8;
  desk.Add(maximised);
  // Windows that closed after being listed, and zero or inverted rectangles.
  Window gone = Top(Rect{1200, 100, 100, 100});
  gone.gone = true;
  desk.Add(gone);
  desk.Add(Top(Rect{1400, 100, 0, 100}));
  desk.Add(Top(Rect{1500, 100, -30, -30}));

  WindowFinder finder(0, L";Nothing;");
  finder.Build(desk);
  Rect rect;
  EXPECT_FALSE(finder.Find(Point{104, 300}, rect));  // the invisible resize border is not offered
  ASSERT_TRUE(finder.Find(Point{110, 105}, rect));
  EXPECT_EQ(rect, (Rect{107, 100, 602, 409}));
  ASSERT_TRUE(finder.Find(Point{850, 150}, rect));
  EXPECT_EQ(rect, (Rect{800, 100, 200, 200}));
  ASSERT_TRUE(finder.Find(Point{5, 1010}, rect));
  EXPECT_EQ(rect, (Rect{0, 1008, 1920, 1080}));
  EXPECT_FALSE(finder.Find(Point{1250, 150}, rect));
  EXPECT_FALSE(finder.Find(Point{1450, 150}, rect));
  EXPECT_EQ(finder.Candidates().size(), 5u);  // framed and maximised: client and whole; inverted: whole
}

}  // namespace
}  // namespace ScreenCapture

#include "core/SelectionLayout.h"

namespace ScreenCapture {
namespace {

TEST(SelectionLayout, MagnifierBesideTheCursorFlipsAtTheEdges) {
  constexpr Rect bounds{0, 0, 1920, 1080};
  constexpr MagnifierLayout middle = PlaceMagnifier(Point{500, 400}, bounds);
  static_assert(middle.source == Rect{460, 360, 80, 80} && middle.box == Rect{520, 420, 160, 160}, "");
  // Box bottom + 50 past the bottom: above; box right past the right: left.
  EXPECT_EQ(PlaceMagnifier(Point{500, 860}, bounds).box, (Rect{520, 870 - 240, 160, 160}));
  EXPECT_EQ(PlaceMagnifier(Point{500, 850}, bounds).box.y, 870);
  EXPECT_EQ(PlaceMagnifier(Point{500, 851}, bounds).box.y, 621);
  EXPECT_EQ(PlaceMagnifier(Point{1740, 400}, bounds).box.x, 1740 + 20);
  EXPECT_EQ(PlaceMagnifier(Point{1741, 400}, bounds).box.x, 1741 - 180);
  EXPECT_EQ(MagnifierText(Point{-5, 7}, 255, 0, 38), L"POS:(-5,7)\r\nRGB:(255,0,38)");
}

}  // namespace
}  // namespace ScreenCapture
