#pragma once
// Usage reporting through the host suite's reporting plug-in.
#include <string>

namespace ScreenCapture {

// Start of reporting, given the entry's command line. Runs before the
// single-instance test, so a refused second start has reported its start too.
// The plug-in table is not loaded yet: with no plug-in every report goes
// nowhere, which is also how the program behaves where the suite lacks it.
int StartUsageReporting(const std::wstring& commandLine);

// End of reporting, after the shutdown pause.
void FinishUsageReporting();

}  // namespace ScreenCapture

namespace ScreenCapture {

// The usage event of a region drag, by start mode: "SC1002" for a normal
// capture, "SC0002" for a scroll start, none otherwise.
const wchar_t* SelectionDragEventCode(int startMode);
void ReportSelectionDragStart(int startMode);

}  // namespace ScreenCapture
