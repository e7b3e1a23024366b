#include "shapes/Commands.h"

#include "contracts/CurrentCapture.h"
#include "contracts/ICaptureShade.h"
#include "shapes/ArrowShade.h"
#include "shapes/BrushShade.h"
#include "shapes/TextShape.h"

namespace ScreenCapture {

ShapeManager* ActiveShapeManager() {
  return CurrentMode();
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

CommonShapeCommand<CTextShape, 0>::CommonShapeCommand(std::shared_ptr<CTextShape> shape)
    : m_shape(std::move(shape)), m_before(m_shape->GetPressBox()), m_after(m_shape->GetBoxRect()) {}

void CommonShapeCommand<CTextShape, 0>::Execute() { Apply(m_after); }
void CommonShapeCommand<CTextShape, 0>::Undo() { Apply(m_before); }

void CommonShapeCommand<CTextShape, 0>::Apply(const Rect& box) {
  m_shape->SetPressBox(box);
  m_shape->SetBoxRect(box);
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

template <int Kind>
ArrowEndsCommand<Kind>::ArrowEndsCommand(std::shared_ptr<CArrawShade> shape)
    : m_shape(std::move(shape)),
      m_oldStart(m_shape->GetSavedStart()),
      m_oldEnd(m_shape->GetSavedEnd()),
      m_newStart(m_shape->GetStartPoint()),
      m_newEnd(m_shape->GetEndPoint()) {}

template <int Kind>
void ArrowEndsCommand<Kind>::Execute() {
  m_shape->SetPoints(m_newStart, m_newEnd);
}

template <int Kind>
void ArrowEndsCommand<Kind>::Undo() {
  m_shape->SetPoints(m_oldStart, m_oldEnd);
}

template class ArrowEndsCommand<0>;
template class ArrowEndsCommand<1>;

MoveBrushCommand::MoveBrushCommand(std::shared_ptr<CBrushShade> shape)
    : m_shape(std::move(shape)), m_pressOffset(m_shape->GetPressOffset()), m_offset(m_shape->GetOffset()) {}

void MoveBrushCommand::Execute() {
  m_shape->SetOffset(m_pressOffset);
  m_shape->MoveTo(m_offset);
}

void MoveBrushCommand::Undo() {
  m_shape->SetOffset(m_offset);
  m_shape->MoveTo(m_pressOffset);
}

}  // namespace ScreenCapture
