#pragma once
// What the capture modes and the control ask of the toolbar.
#include <memory>

#include "contracts/IShade.h"

namespace ScreenCapture {

class CommandOrders;

class ICaptureMenu {
 public:
  virtual ~ICaptureMenu() = default;
  // The current tool: 0 none, else a shape type.
  virtual int GetShapeType() = 0;
  virtual void SelectShapeType(int type) = 0;
  // The current size level (1, 3, 5).
  virtual int GetShapeSize() = 0;
  virtual void SetShapeSize(const int& level) = 0;
  // Shows the toolbar beside the selection, or hides it.
  virtual void ShowMenu(bool show) = 0;
  // A new shape of the current tool, styled by the toolbar; empty for none.
  virtual std::shared_ptr<IBaseShade> CreateShape() = 0;
  // The shape the toolbar shows and edits.
  virtual void SetSelectedShape(std::shared_ptr<IBaseShade> shape) = 0;
  virtual void ClearSelectedShape() = 0;
  // Adapts the layout to the current capture mode.
  virtual void UpdateMenuMode() = 0;
  // The undo and redo history (the toolbar derives from it).
  virtual CommandOrders& GetCommandOrders() = 0;
};

}  // namespace ScreenCapture
