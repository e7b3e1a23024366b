#include "shapes/Commands.h"

#include "capture/ICaptureControl.h"
#include "capture/ICaptureShade.h"
#include "capture/ICaptureWindow.h"

namespace ScreenCapture {

ShapeManager* ActiveShapeManager() {
  ICaptureWindow* window = GetCaptureWindow();
  ICaptureControl* control = window ? window->GetCaptureControl() : nullptr;
  return control ? control->GetCaptureShade() : nullptr;
}

void CreateShapeCommand::Execute() {
  if (ShapeManager* shapes = ActiveShapeManager()) shapes->Add(m_shape);
}

void CreateShapeCommand::Undo() {
  if (ShapeManager* shapes = ActiveShapeManager()) shapes->Remove(m_shape);
}

void DeleteShapeCommand::Execute() {
  if (ShapeManager* shapes = ActiveShapeManager()) shapes->Remove(m_shape);
}

void DeleteShapeCommand::Undo() {
  if (ShapeManager* shapes = ActiveShapeManager()) shapes->Add(m_shape);
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

bool CommandOrders::UndoLast() {
  if (m_undo.empty()) return false;
  std::shared_ptr<ICommand> command = m_undo.back();
  m_undo.pop_back();
  command->Undo();
  m_redo.push_back(command);
  return true;
}

bool CommandOrders::RedoLast() {
  if (m_redo.empty()) return false;
  std::shared_ptr<ICommand> command = m_redo.back();
  m_redo.pop_back();
  command->Execute();
  m_undo.push_back(command);
  return true;
}

void CommandOrders::Clear() {
  m_undo.clear();
  m_redo.clear();
}

}  // namespace ScreenCapture
