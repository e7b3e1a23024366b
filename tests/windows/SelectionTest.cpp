// The normal capture mode driven by event records, as the control hands
// them over, with a stand-in toolbar.
#include <gtest/gtest.h>
#include <windows.h>
#include <gdiplus.h>

#include <memory>

#include "Stubs.h"
#include "capture/CaptureControl.h"
#include "capture/CaptureShade.h"

namespace {

using namespace ScreenCapture;

class SelectionTest : public testing::Test {
 protected:
  void SetUp() override {
    SetCaptureWindow(&m_window);
    Fresh();
  }
  void TearDown() override {
    SetCaptureWindow(nullptr);
  }
  void Fresh() {
    m_window.control.mode = nullptr;
    m_mode = std::make_unique<CCaptureShade>();
    m_window.control.mode = m_mode.get();
  }
  void Send(int type, int x, int y, WORD keys = 0, WPARAM wParam = 0, wchar_t key = 0) {
    DuiLib::TEventUI event;
    event.Type = type;
    event.ptMouse = POINT{x, y};
    event.wKeyState = keys;
    event.wParam = wParam;
    event.chKey = key;
    m_mode->HandleEvent(event);
  }
  void Drag(int x0, int y0, int x1, int y1) {
    Send(DuiLib::UIEVENT_BUTTONDOWN, x0, y0);
    Send(DuiLib::UIEVENT_MOUSEMOVE, x0 + 1, y0 + 1);
    Send(DuiLib::UIEVENT_MOUSEMOVE, x1, y1);
    Send(DuiLib::UIEVENT_BUTTONUP, x1, y1);
  }
  void CtrlZ(bool shift) {
    Send(DuiLib::UIEVENT_KEYDOWN, 0, 0, static_cast<WORD>(DuiLib::UIKEYSTATE_CONTROL | (shift ? DuiLib::UIKEYSTATE_SHIFT : 0)),
         'Z', L'Z');
  }

  stubs::Window m_window;
  std::unique_ptr<CCaptureShade> m_mode;
};

// Offering, clicking, dragging and the screen edges are checked end to end;
// here what a person can hardly do on purpose: moves coalesced by the system
// (a fast hand, X-level input), one or none between the press and a release
// elsewhere, still make the region.
TEST_F(SelectionTest, CoalescedMovesStillMakeTheRegion) {
  Send(DuiLib::UIEVENT_BUTTONDOWN, 600, 500);
  Send(DuiLib::UIEVENT_MOUSEMOVE, 700, 560);
  Send(DuiLib::UIEVENT_BUTTONUP, 700, 560);
  EXPECT_EQ(m_mode->GetRect(), (Rect{600, 500, 100, 60}));
  EXPECT_EQ(m_mode->GetWidth(), 1);
  Fresh();
  Send(DuiLib::UIEVENT_BUTTONDOWN, 600, 500);
  Send(DuiLib::UIEVENT_BUTTONUP, 650, 540);
  EXPECT_EQ(m_mode->GetRect(), (Rect{600, 500, 50, 40}));
  EXPECT_EQ(m_mode->GetState(), kStateIdle);
}

TEST_F(SelectionTest, KeysAndTheRightButton) {
  Drag(100, 100, 400, 300);
  m_window.menu.tool = kShapeRectangle;
  Drag(150, 150, 200, 200);
  Drag(250, 150, 300, 200);
  ASSERT_EQ(m_mode->GetShapes().size(), 2u);
  m_window.menu.tool = kShapeNone;

  CtrlZ(false);
  EXPECT_EQ(m_mode->GetShapes().size(), 1u);
  CtrlZ(true);  // redo
  EXPECT_EQ(m_mode->GetShapes().size(), 2u);
  CtrlZ(true);  // nothing to redo: undoes
  EXPECT_EQ(m_mode->GetShapes().size(), 1u);
  // Z without Ctrl, and lower-case z with it.
  Send(DuiLib::UIEVENT_KEYDOWN, 0, 0, 0, 'Z', L'Z');
  EXPECT_EQ(m_mode->GetShapes().size(), 1u);
  Send(DuiLib::UIEVENT_KEYDOWN, 0, 0, DuiLib::UIKEYSTATE_CONTROL, 'Z', L'z');
  EXPECT_TRUE(m_mode->GetShapes().empty());
  CtrlZ(false);  // nothing to undo: nothing happens
  EXPECT_TRUE(m_mode->GetShapes().empty());
  CtrlZ(true);
  CtrlZ(true);
  ASSERT_EQ(m_mode->GetShapes().size(), 2u);

  // Delete acts on key up, on the selected shape.
  Send(DuiLib::UIEVENT_BUTTONDOWN, 152, 160);  // selects the first
  Send(DuiLib::UIEVENT_BUTTONUP, 152, 160);
  const auto deleted = m_window.menu.selected;
  ASSERT_TRUE(deleted && deleted->IsSelected());
  Send(DuiLib::UIEVENT_KEYDOWN, 0, 0, 0, VK_DELETE);
  EXPECT_EQ(m_mode->GetShapes().size(), 2u);
  Send(DuiLib::UIEVENT_KEYUP, 0, 0, 0, VK_DELETE);
  EXPECT_EQ(m_mode->GetShapes().size(), 1u);
  // The toolbar no longer edits it.
  EXPECT_FALSE(deleted->IsSelected());
  EXPECT_EQ(m_window.menu.selected, nullptr);

  // The right button: nothing while an annotation exists...
  Send(DuiLib::UIEVENT_RBUTTONUP, 300, 250);
  EXPECT_EQ(m_mode->GetState(), kStateIdle);
  // ...back to offering windows once none is left (history emptied)...
  CtrlZ(false);  // the delete: two shapes again
  CtrlZ(false);
  CtrlZ(false);
  ASSERT_TRUE(m_mode->GetShapes().empty());
  Send(DuiLib::UIEVENT_RBUTTONUP, 300, 250);
  EXPECT_EQ(m_mode->GetState(), kStateNew);
  EXPECT_FALSE(m_window.menu.orders.CanUndo());
  EXPECT_FALSE(m_window.menu.orders.CanRedo());
  EXPECT_FALSE(m_window.menu.shown);
  // ...and the capture ends before a region exists.
  Send(DuiLib::UIEVENT_RBUTTONUP, 300, 250);
  EXPECT_EQ(m_window.closes, 1);
}

// A mode that replaces itself while it handles an event, as a click on
// nothing does, and looks at itself afterwards.
class SelfReplacingMode : public CCaptureShade {
 public:
  SelfReplacingMode(CCaptureControl& control, bool& destroyed, bool& aliveAfterReplace)
      : m_control(control), m_destroyed(destroyed), m_aliveAfterReplace(aliveAfterReplace) {}
  ~SelfReplacingMode() override { m_destroyed = true; }
  void HandleEvent(DuiLib::TEventUI&) override {
    m_control.ReplaceMode(std::make_unique<CCaptureShade>());
    m_aliveAfterReplace = !m_destroyed;
  }

 private:
  CCaptureControl& m_control;
  bool& m_destroyed;
  bool& m_aliveAfterReplace;
};

TEST(CaptureControl, AModeReplacedDuringItsEventOutlivesTheEvent) {
  CCaptureControl control(nullptr);
  bool destroyed = false, aliveAfterReplace = false;
  control.ReplaceMode(std::make_unique<SelfReplacingMode>(control, destroyed, aliveAfterReplace));
  DuiLib::TEventUI event;
  event.Type = DuiLib::UIEVENT_BUTTONUP;
  control.DoEvent(event);
  EXPECT_TRUE(aliveAfterReplace);
  EXPECT_TRUE(destroyed);  // once the event was done
  EXPECT_NE(dynamic_cast<CCaptureShade*>(control.GetCaptureShade()), nullptr);
}

}  // namespace
