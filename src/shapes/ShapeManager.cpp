#include "contracts/ShapeManager.h"

#include <algorithm>

namespace ScreenCapture {

void ShapeManager::Add(const ShapePtr& shape) {
  if (!shape) return;
  m_shapes.push_back(shape);
  if (shape->GetType() == kShapeNumberedText) Renumber();
}

void ShapeManager::Remove(const ShapePtr& shapeRef) {
  // A copy: the caller may pass an element of the list itself, which the
  // erase below would change under our feet.
  const ShapePtr shape = shapeRef;
  const auto it = std::find(m_shapes.begin(), m_shapes.end(), shape);
  if (it == m_shapes.end()) return;
  m_shapes.erase(it);
  // A shape off the list is never the selected one: the toolbar's colour
  // and size buttons must not edit what undo or delete took away.
  shape->SetSelected(false);
  if (shape->GetType() == kShapeNumberedText) Renumber();
}

void ShapeManager::Renumber() {
  // Creation order, not list order: a marker whose delete is undone comes
  // back at the end of the list but keeps its number, and the ones made
  // after it theirs.
  std::vector<INumberedShade*> markers;
  for (const ShapePtr& listed : m_shapes) {
    if (listed->GetType() != kShapeNumberedText) continue;
    if (auto* numbered = dynamic_cast<INumberedShade*>(listed.get())) markers.push_back(numbered);
  }
  std::stable_sort(markers.begin(), markers.end(),
                   [](const INumberedShade* a, const INumberedShade* b) { return a->GetMadeOrder() < b->GetMadeOrder(); });
  int number = 1;
  for (INumberedShade* marker : markers) marker->SetNumber(number++);
  m_numberCounter = number;
}

ShapeManager::ShapePtr ShapeManager::GetSelected() const {
  for (const ShapePtr& shape : m_shapes) {
    if (shape->IsSelected()) return shape;
  }
  return ShapePtr();
}

}  // namespace ScreenCapture
