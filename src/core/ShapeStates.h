#pragma once
// The mouse state machine every shape follows, the capture selection too:
// the states, and which step a press or a move takes in each of them. Value
// code; the shapes carry the steps out (and may change the state as they do).
#include "core/Geometry.h"

namespace ScreenCapture {

// Edit states of a shape.
enum ShapeState : int {
  kStateNew = 0,       // made by the factory, not placed yet
  kStatePressed = 1,   // pressed for creation, pointer not moved yet
  kStateCreating = 2,  // creation drag
  kStateIdle = 3,      // placed; can be selected, moved, resized
  kStateResizing = 4,
  kStateMoving = 5,
};

enum class PressStep { kNone, kCreate, kResize, kMove, kExtra };

// A press on a new shape begins its creation; on a placed one it grabs, in
// this order, a handle, the body or the extra area (a numbered marker's
// bubble). In the other states a press changes nothing.
constexpr PressStep StepForPress(int state, bool onHandle, bool onBody, bool onExtra) {
  if (state == kStateNew) return PressStep::kCreate;
  if (state != kStateIdle) return PressStep::kNone;
  if (onHandle) return PressStep::kResize;
  if (onBody) return PressStep::kMove;
  if (onExtra) return PressStep::kExtra;
  return PressStep::kNone;
}

enum class MoveStep { kNone, kCreate, kHoverHandle, kHoverBody, kMove, kResize };

// After a creation press the pointer may slip a little before the button
// comes up: that is still a click. The first move that leaves the system's
// drag rectangle (`dragWidth` x `dragHeight` pixels on either side of the
// press) starts the drag, and shapes what is created at once, however few
// moves arrive (the system merges a fast hand's moves).
constexpr bool MoveStartsCreation(int state, Point press, Point pt, int dragWidth, int dragHeight) {
  if (state != kStatePressed) return false;
  const int dx = pt.x - press.x, dy = pt.y - press.y;
  return dx > dragWidth || -dx > dragWidth || dy > dragHeight || -dy > dragHeight;
}

// What a move does once any drag has started: a creation follows the
// pointer unless it is back on the start point; an idle shape shows what a
// press would grab; a move or resize follows the pointer.
constexpr MoveStep StepForMove(int state, bool atStartPoint, bool onHandle, bool onBody) {
  switch (state) {
    case kStateCreating: return atStartPoint ? MoveStep::kNone : MoveStep::kCreate;
    case kStateIdle: return onHandle ? MoveStep::kHoverHandle : onBody ? MoveStep::kHoverBody : MoveStep::kNone;
    case kStateMoving: return MoveStep::kMove;
    case kStateResizing: return MoveStep::kResize;
    default: return MoveStep::kNone;
  }
}

}  // namespace ScreenCapture
