#include "common/BigDataHelper.h"

namespace ScreenCapture {

int StartUsageReporting(const std::wstring& /*commandLine*/) { return 0; }

void FinishUsageReporting() {}

}  // namespace ScreenCapture

namespace ScreenCapture {

const wchar_t* SelectionDragEventCode(int startMode) {
  return startMode == 0 ? L"SC1002" : startMode == 1 ? L"SC0002" : L"";
}

// The event goes to the reporting plug-in once it is loaded.
void ReportSelectionDragStart(int startMode) { (void)SelectionDragEventCode(startMode); }

}  // namespace ScreenCapture
