#pragma once
// The shapes of one capture: the list in creation order, the shape being
// drawn, and the number the next numbered text will show.
#include <memory>
#include <vector>

#include "contracts/IShade.h"

namespace ScreenCapture {

class ShapeManager {
 public:
  using ShapePtr = std::shared_ptr<IBaseShade>;

  // Appends the shape. A numbered text that comes back (undo of its delete,
  // redo of its creation) takes its place among the others again.
  void Add(const ShapePtr& shape);
  // Removes this very shape (pointer equality) and keeps the others' order;
  // a removed numbered text gives its number back and the rest count 1, 2,
  // 3, ... again. Removing a shape that is not listed changes nothing.
  void Remove(const ShapePtr& shape);
  // The first selected shape, from the front; empty when none.
  ShapePtr GetSelected() const;

  const std::vector<ShapePtr>& GetShapes() const { return m_shapes; }
  const ShapePtr& GetCurrentShape() const { return m_currentShape; }
  void SetCurrentShape(const ShapePtr& shape) { m_currentShape = shape; }
  int GetNumberCounter() const { return m_numberCounter; }
  // The factory takes the next number when it builds a numbered text.
  int TakeNextNumber() { return m_numberCounter++; }

 protected:
  // Numbers the listed numbered texts 1, 2, 3, ... in the order they were
  // made, and the next one after them.
  void Renumber();

  std::vector<ShapePtr> m_shapes;
  ShapePtr m_currentShape;
  int m_numberCounter = 1;
};

}  // namespace ScreenCapture
