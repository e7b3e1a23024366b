#pragma once
// The floating toolbar beside the selected region: tools, colours, sizes,
// undo, and the ways out of the capture. It also keeps the undo and redo
// history of the annotations.
#include <windows.h>

#include <map>
#include <memory>
#include <string>

#include "contracts/ICaptureMenu.h"
#include "shapes/Commands.h"
#include "ui/Controls.h"
#include "ui/WindowImplBase.h"

namespace ScreenCapture {

class ICaptureShade;

class CCaptureMenuWnd : public DuiLib::WindowImplBase, public ICaptureMenu, public CommandOrders {
 public:
  static constexpr const wchar_t* kClassName = L"CaptureMenuWnd";
  static constexpr const wchar_t* kSkinFile = L"CaptureMenuWnd.xml";
  // Posted to itself to come back above the capture window.
  static constexpr UINT kRaiseMessage = WM_APP + 0x3F1;
  // Sent by a program that drives the toolbar (wParam: the tool's type, as
  // a click on its button would choose it); the numbered marker, whose
  // button the layout hides, is reached this way.
  static constexpr UINT kSelectToolMessage = WM_APP + 0x3F2;

  CCaptureMenuWnd() = default;

  // ICaptureMenu
  int GetShapeType() override { return m_shapeType; }
  void SelectShapeType(int type) override;
  int GetShapeSize() override { return m_shapeSize; }
  void SetShapeSize(const int& level) override { m_shapeSize = level; }
  void ShowMenu(bool show) override;
  std::shared_ptr<IBaseShade> CreateShape() override;
  void SetSelectedShape(std::shared_ptr<IBaseShade> shape) override;
  void ClearSelectedShape() override { m_selectedShape.reset(); }
  void UpdateMenuMode() override;
  CommandOrders& GetCommandOrders() override { return *this; }

  double GetScale() const { return m_scale; }
  // Called for every notification of the toolbar's controls.
  void Notify(DuiLib::TNotifyUI& msg) override;

  // The placement beside a selection (screen coordinates), as ShowMenu
  // computes it; exposed for tests.
  static POINT PlaceBeside(const Rect& selection, const Rect& virtualScreen, int toolbarWidth, double scale);

 protected:
  const wchar_t* GetWindowClassName() const override { return kClassName; }
  std::wstring GetSkinFile() override { return kSkinFile; }
  void InitWindow() override;
  LRESULT HandleCustomMessage(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled) override;

 private:
  template <class T>
  T* Find(const wchar_t* name) {
    return dynamic_cast<T*>(m_pm.FindControl(name));
  }
  void ApplyShapeType(int type);
  void EndCapture();
  void KeepAboveCapture();
  void ReportUsage(int code);
  ICaptureShade* Mode() const;
  int ScaleValue(int value) const { return m_pm.Scale(value); }

  double m_scale = 1.0;
  int m_shapeType = kShapeNone;
  int m_shapeSize = kSizeMiddle;
  std::shared_ptr<IBaseShade> m_selectedShape;
  std::map<int, DuiLib::COptionUI*> m_tools;
  std::map<int, DuiLib::CControlUI*> m_panels;
  DuiLib::CControlUI* m_optionList = nullptr;
  DuiLib::CControlUI* m_shades = nullptr;
  DuiLib::CControlUI* m_edits = nullptr;
  DuiLib::CControlUI* m_point = nullptr;
  DuiLib::CControlUI* m_shadesShadow = nullptr;
  DuiLib::CControlUI* m_editsShadow = nullptr;
  DuiLib::CControlUI* m_colorLayout = nullptr;
  DuiLib::CControlUI* m_sizeLayout = nullptr;
  DuiLib::CControlUI* m_textSizeLayout = nullptr;
  DuiLib::CControlUI* m_editGap = nullptr;
  DuiLib::CComboUI* m_textSizeCombo = nullptr;
};

}  // namespace ScreenCapture
