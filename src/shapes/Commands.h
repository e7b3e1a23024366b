#pragma once
// Undo and redo: every change a user makes to the annotations is a command
// on two unbounded stacks. Commands hold their shape by shared pointer, so a
// shape taken off the list lives on while a command refers to it.
#include <deque>
#include <memory>

#include "contracts/IShade.h"
#include "contracts/ShapeManager.h"

namespace ScreenCapture {

class CRectShade;
class CTextShape;
class CArrawShade;
class CBrushShade;

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

class CreateShapeCommand : public ICommand {
 public:
  explicit CreateShapeCommand(std::shared_ptr<IBaseShade> shape) : m_shape(std::move(shape)) {}
  void Execute() override;
  void Undo() override;

 private:
  std::shared_ptr<IBaseShade> m_shape;
};

class DeleteShapeCommand : public ICommand {
 public:
  explicit DeleteShapeCommand(std::shared_ptr<IBaseShade> shape) : m_shape(std::move(shape)) {}
  void Execute() override;
  // Puts the shape back at the end of the list (on top of the others).
  void Undo() override;

 private:
  std::shared_ptr<IBaseShade> m_shape;
};

class ChangeShapeColorCommand : public ICommand {
 public:
  ChangeShapeColorCommand(std::shared_ptr<IBaseShade> shape, ARGB color)
      : m_shape(std::move(shape)), m_newColor(color), m_oldColor(m_shape->GetColor()) {}
  void Execute() override { m_shape->SetColor(m_newColor); }
  void Undo() override { m_shape->SetColor(m_oldColor); }

 private:
  std::shared_ptr<IBaseShade> m_shape;
  ARGB m_newColor;
  ARGB m_oldColor;
};

class ChangeShapeWidthCommand : public ICommand {
 public:
  ChangeShapeWidthCommand(std::shared_ptr<IBaseShade> shape, int width)
      : m_shape(std::move(shape)), m_newWidth(width), m_oldWidth(m_shape->GetWidth()) {}
  void Execute() override { m_shape->SetWidth(m_newWidth); }
  void Undo() override { m_shape->SetWidth(m_oldWidth); }

 private:
  std::shared_ptr<IBaseShade> m_shape;
  int m_newWidth;
  int m_oldWidth;
};

// A move or resize of a shape whose geometry is one rectangle: before is the
// rectangle at the press, after the current one. The arrow, brush and text
// shapes bring commands of their own.
template <class ShapeClass, int Kind>
class CommonShapeCommand : public ICommand {
 public:
  explicit CommonShapeCommand(std::shared_ptr<ShapeClass> shape)
      : m_shape(std::move(shape)), m_before(m_shape->GetPressRect()), m_after(m_shape->GetRect()) {}
  void Execute() override { Apply(m_after); }
  void Undo() override { Apply(m_before); }

 private:
  void Apply(const Rect& rect) {
    m_shape->SetPressRect(rect);
    m_shape->SetRect(rect);
  }
  std::shared_ptr<ShapeClass> m_shape;
  Rect m_before;
  Rect m_after;
};

// A move of a text box: its box at the press and the current one.
template <>
class CommonShapeCommand<CTextShape, 0> : public ICommand {
 public:
  explicit CommonShapeCommand(std::shared_ptr<CTextShape> shape);
  void Execute() override;
  void Undo() override;

 private:
  void Apply(const Rect& box);
  std::shared_ptr<CTextShape> m_shape;
  Rect m_before;
  Rect m_after;
};

// A move or a resize of an arrow: its ends at the press, and the current ones.
template <int Kind>
class ArrowEndsCommand : public ICommand {
 public:
  explicit ArrowEndsCommand(std::shared_ptr<CArrawShade> shape);
  void Execute() override;
  void Undo() override;

 private:
  std::shared_ptr<CArrawShade> m_shape;
  Point m_oldStart, m_oldEnd, m_newStart, m_newEnd;
};
using MoveArrowCommand = ArrowEndsCommand<0>;
using ResizeArrowCommand = ArrowEndsCommand<1>;

// A move of a brush or mosaic stroke: the offset at the press and the
// current one.
class MoveBrushCommand : public ICommand {
 public:
  explicit MoveBrushCommand(std::shared_ptr<CBrushShade> shape);
  void Execute() override;
  void Undo() override;

 private:
  std::shared_ptr<CBrushShade> m_shape;
  Point m_pressOffset;
  Point m_offset;
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
