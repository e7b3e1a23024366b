#include "shapes/ShapeManager.h"

#include <algorithm>

namespace ScreenCapture {

void ShapeManager::Add(const ShapePtr& shape) {
  if (shape) m_shapes.push_back(shape);
}

void ShapeManager::Remove(const ShapePtr& shapeRef) {
  // A copy: the caller may pass an element of the list itself, which the
  // erase below would change under our feet.
  const ShapePtr shape = shapeRef;
  const auto it = std::find(m_shapes.begin(), m_shapes.end(), shape);
  if (it == m_shapes.end()) return;
  m_shapes.erase(it);
  if (shape->GetType() != kShapeNumberedText) return;
  --m_numberCounter;
  int number = 1;
  for (const ShapePtr& listed : m_shapes) {
    if (listed->GetType() != kShapeNumberedText) continue;
    if (auto* numbered = dynamic_cast<INumberedShade*>(listed.get())) numbered->SetNumber(number);
    ++number;
  }
}

ShapeManager::ShapePtr ShapeManager::GetSelected() const {
  for (const ShapePtr& shape : m_shapes) {
    if (shape->IsSelected()) return shape;
  }
  return ShapePtr();
}

}  // namespace ScreenCapture
