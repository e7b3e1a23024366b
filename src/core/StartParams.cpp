#include "core/StartParams.h"

#include "core/CommandLine.h"

namespace ScreenCapture {

void ParseReportingParams(CaptureStartParams& params, const std::wstring& commandLine,
                          const IStartParamFallbacks& fallbacks) {
  params.appKey = GetCommandLineValue(commandLine, L"appkey");
  if (params.appKey.empty()) params.appKey = kDefaultAppKey;

  params.quillarinVersion = GetCommandLineValue(commandLine, L"quillarinversion");
  if (params.quillarinVersion.empty()) params.quillarinVersion = fallbacks.GetAssistantVersion();

  params.tdrVersion = GetCommandLineValue(commandLine, L"tdrversion");
  if (params.tdrVersion.empty()) params.tdrVersion = fallbacks.GetSuiteVersion();

  params.moduleVersion = GetCommandLineValue(commandLine, L"moduleversion");
}

void ParseStartParams(CaptureStartParams& params, const std::wstring& commandLine,
                      const IStartParamFallbacks& fallbacks) {
  params.cachePath = GetCommandLineValue(commandLine, L"cachepath");
  if (params.cachePath.empty()) params.cachePath = fallbacks.GetSaveFolder();

  const std::wstring ignored = GetCommandLineValue(commandLine, L"ignoreWndowClassName");
  if (!ignored.empty()) params.ignoreWindowClassName = ignored;

  const std::wstring mode = GetCommandLineValue(commandLine, L"startmode");
  if (mode.empty()) {
    // Without a start mode the mapping name means nothing and is not read.
    params.startMode = kStartModeNormal;
  } else {
    params.startMode = ParseLeadingInt(mode);
    params.fileMappingName = GetCommandLineValue(commandLine, L"fileMappingName");
  }

  ParseReportingParams(params, commandLine, fallbacks);
}

}  // namespace ScreenCapture
