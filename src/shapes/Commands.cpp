#include "shapes/Commands.h"

#include "contracts/ICaptureControl.h"
#include "contracts/ICaptureShade.h"
#include "contracts/ICaptureWindow.h"
#include "contracts/CurrentCapture.h"
#include "contracts/ICaptureShade.h"

namespace ScreenCapture {

ShapeManager* ActiveShapeManager() {
  return CurrentMode();
}

void ShapeListCommand::Put(bool listed) {
  ShapeManager* shapes = ActiveShapeManager();
  if (!shapes) return;
  if (listed) {
    shapes->Add(m_shape);
  } else {
    shapes->Remove(m_shape);
  }
}

void CommandOrders::Do(const std::shared_ptr<ICommand>& command) {
  if (!command) return;
  m_redo.clear();
  command->Execute();
  m_undo.push_back(command);
}

void CommandOrders::Record(const std::shared_ptr<ICommand>& command) {
  if (!command) return;
  m_redo.clear();
  m_undo.push_back(command);
}

namespace {
// Takes the newest command off `from`, runs `step` on it and puts it on `to`;
// false when `from` is empty.
bool MoveNewest(std::deque<std::shared_ptr<ICommand>>& from, std::deque<std::shared_ptr<ICommand>>& to,
                void (ICommand::*step)()) {
  if (from.empty()) return false;
  std::shared_ptr<ICommand> command = std::move(from.back());
  from.pop_back();
  ((*command).*step)();
  to.push_back(std::move(command));
  return true;
}
}  // namespace

bool CommandOrders::UndoLast() { return MoveNewest(m_undo, m_redo, &ICommand::Undo); }

bool CommandOrders::RedoLast() { return MoveNewest(m_redo, m_undo, &ICommand::Execute); }

void CommandOrders::Clear() {
  m_undo.clear();
  m_redo.clear();
}

}  // namespace ScreenCapture
