#pragma once
// Usage reporting through the host suite's reporting plug-in "DataPlugin.dll",
// loaded at run time and called through its nine exports. Without the
// plug-in every report goes nowhere; nothing else changes.
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace ScreenCapture {

using ReportParams = std::vector<std::pair<std::wstring, std::wstring>>;

// One event the program reports.
struct ActionDefinition {
  std::wstring code;
  std::wstring id;
  std::wstring type;
  std::wstring category;
  int value = 0;
  std::wstring description;
};

class BigDataHelper {
 public:
  static BigDataHelper* Instance();

  // Replaces the definitions, the common parameters and the start mode.
  void Init(std::map<std::wstring, ActionDefinition> actions, ReportParams common, int startMode);
  // Reports one event: nothing for an empty code, a log line for an unknown one.
  void Report(const std::wstring& code, const ReportParams& extra = {});
  // The start mode events are chosen by: 1 the scroll start, 0 a normal capture.
  int GetStartMode() const { return m_startMode; }

  // The event code of a place that tells the two start modes apart: the
  // scroll-start code in mode 1, the normal one in mode 0, none otherwise.
  const wchar_t* Pick(const wchar_t* normalCode, const wchar_t* scrollCode) const;

 private:
  std::map<std::wstring, ActionDefinition> m_actions;
  ReportParams m_common;
  int m_startMode = 0;
};

// The call into the plug-in; 1 for an empty code, 0 without a plug-in.
int TrackEvent(const wchar_t* type, const wchar_t* code, const wchar_t* category, int value,
               const ReportParams& params, bool useVariant2);

// Start of reporting, given the entry's command line. Runs before the
// single-instance test, so a refused second start has reported its start too.
int StartUsageReporting(const std::wstring& commandLine);

// End of reporting, after the shutdown pause.
void FinishUsageReporting();

// The usage event of a region drag: "SC1002" for a normal capture, "SC0002"
// for a scroll start, none otherwise.
const wchar_t* SelectionDragEventCode(int startMode);
void ReportSelectionDragStart(int startMode);

}  // namespace ScreenCapture
