#pragma once
// Undo and redo: every change a user makes to the annotations is a command
// on two unbounded stacks. Commands hold their shape by shared pointer, so a
// shape taken off the list lives on while a command refers to it.
#include <deque>
#include <memory>

#include "contracts/IShade.h"
#include "contracts/ShapeManager.h"

namespace ScreenCapture {

class ICommand {
 public:
  virtual ~ICommand() = default;
  // Applies the change (doing and redoing).
  virtual void Execute() = 0;
  // Reverts it.
  virtual void Undo() = 0;
};

// The shape list of the active capture mode, or null when there is none.
ShapeManager* ActiveShapeManager();

// Puts a shape on the active list (at its end, on top of the others) or
// takes it off; `adds` tells which of the two doing is, undoing is the other.
class ShapeListCommand : public ICommand {
 public:
  ShapeListCommand(std::shared_ptr<IBaseShade> shape, bool adds) : m_shape(std::move(shape)), m_adds(adds) {}
  void Execute() override { Put(m_adds); }
  void Undo() override { Put(!m_adds); }

 private:
  void Put(bool listed);
  std::shared_ptr<IBaseShade> m_shape;
  bool m_adds;
};

class CreateShapeCommand : public ShapeListCommand {
 public:
  explicit CreateShapeCommand(std::shared_ptr<IBaseShade> shape) : ShapeListCommand(std::move(shape), true) {}
};

class DeleteShapeCommand : public ShapeListCommand {
 public:
  explicit DeleteShapeCommand(std::shared_ptr<IBaseShade> shape) : ShapeListCommand(std::move(shape), false) {}
};

// A new value of one style property of a shape (its colour or its width);
// the value before is kept for undo.
template <class Value, const Value& (IShade::*Get)() const, void (IShade::*Set)(Value)>
class ChangeShapeValueCommand : public ICommand {
 public:
  ChangeShapeValueCommand(std::shared_ptr<IBaseShade> shape, Value value)
      : m_shape(std::move(shape)), m_newValue(value), m_oldValue(((*m_shape).*Get)()) {}
  void Execute() override { ((*m_shape).*Set)(m_newValue); }
  void Undo() override { ((*m_shape).*Set)(m_oldValue); }

 private:
  std::shared_ptr<IBaseShade> m_shape;
  Value m_newValue;
  Value m_oldValue;
};
using ChangeShapeColorCommand = ChangeShapeValueCommand<ARGB, &IShade::GetColor, &IShade::SetColor>;
using ChangeShapeWidthCommand = ChangeShapeValueCommand<int, &IShade::GetWidth, &IShade::SetWidth>;

// A move or a resize the mouse has already made to one shape: the shape's
// state at the press and at the release, and how the shape is given one of
// them, coming from the other. Each shape kind makes its own
// (IBaseShade::MakeEditCommand).
template <class Shape, class State>
class ShapeEditCommand : public ICommand {
 public:
  using Apply = void (*)(Shape& shape, const State& from, const State& to);
  ShapeEditCommand(std::shared_ptr<Shape> shape, const State& before, const State& after, Apply apply)
      : m_shape(std::move(shape)), m_before(before), m_after(after), m_apply(apply) {}
  void Execute() override { m_apply(*m_shape, m_before, m_after); }
  void Undo() override { m_apply(*m_shape, m_after, m_before); }

 private:
  std::shared_ptr<Shape> m_shape;
  State m_before;
  State m_after;
  Apply m_apply;
};

class CommandOrders {
 public:
  // For changes not made yet: clears redo, executes, pushes on undo.
  void Do(const std::shared_ptr<ICommand>& command);
  // For changes the mouse already made: clears redo, pushes on undo.
  void Record(const std::shared_ptr<ICommand>& command);
  // False when there is nothing to undo.
  bool UndoLast();
  // False when there is nothing to redo.
  bool RedoLast();
  void Clear();

  bool CanUndo() const { return !m_undo.empty(); }
  bool CanRedo() const { return !m_redo.empty(); }
  size_t UndoCount() const { return m_undo.size(); }
  size_t RedoCount() const { return m_redo.size(); }

 private:
  std::deque<std::shared_ptr<ICommand>> m_undo;
  std::deque<std::shared_ptr<ICommand>> m_redo;
};

}  // namespace ScreenCapture
