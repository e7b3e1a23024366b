#include <gtest/gtest.h>

#include "core/ShapeStates.h"

using namespace ScreenCapture;

// Only a pressed shape starts its drag, and only once the pointer is more
// than the drag distance away on either axis (4 x 4 here): a slip is a click.
TEST(ShapeStates, DragStartsPastTheDragDistance) {
  const Point press{100, 100};
  for (const Point slip : {Point{101, 100}, Point{104, 104}, Point{96, 96}, Point{100, 104}}) {
    EXPECT_FALSE(MoveStartsCreation(kStatePressed, press, slip, 4, 4)) << slip.x << "," << slip.y;
  }
  for (const Point drag : {Point{105, 100}, Point{95, 100}, Point{100, 105}, Point{100, 95}, Point{400, 300}}) {
    EXPECT_TRUE(MoveStartsCreation(kStatePressed, press, drag, 4, 4)) << drag.x << "," << drag.y;
  }
  EXPECT_FALSE(MoveStartsCreation(kStateCreating, press, Point{400, 300}, 4, 4));
}
