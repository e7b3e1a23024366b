#include "common/BigDataHelper.h"

#include <windows.h>

#include <mutex>

#include "common/FileUtils.h"
#include "common/Logger.h"
#include "common/SystemFunctions.h"
#include "common/TDRHelper.h"
#include "common/UserHive.h"
#include "core/CommandLine.h"
#include "core/LogPath.h"

namespace ScreenCapture {

namespace {

// A key and value as the plug-in receives them.
struct PluginParam {
  const wchar_t* key;
  const wchar_t* value;
};

using InitWithFn = int(WINAPI*)(const wchar_t* folder);
using FinishFn = void(WINAPI*)(int);
using TrackFn = int(WINAPI*)(const wchar_t* type, const wchar_t* code, const wchar_t* category, int value, int count,
                             const PluginParam* params);
using ChannelFn = void(WINAPI*)(const wchar_t*);
using SetAppKeyFn = void(WINAPI*)(const wchar_t*);
using SetVersionFn = void(WINAPI*)(const wchar_t*, int);

// The loaded plug-in and its exports, made once.
struct PluginTable {
  HMODULE module = nullptr;
  std::wstring folder;
  InitWithFn initWith = nullptr;
  FinishFn finish = nullptr;
  TrackFn trackEvent = nullptr;
  TrackFn trackEvent2 = nullptr;
  TrackFn trackEventS = nullptr;
  ChannelFn setDefaultChannel = nullptr;
  ChannelFn setChannel = nullptr;
  SetAppKeyFn setAppKey = nullptr;
  SetVersionFn setVersion = nullptr;

  static PluginTable* Instance() {
    static std::once_flag once;
    static PluginTable* table = nullptr;
    std::call_once(once, [] { table = new PluginTable(); });
    return table;
  }

 private:
  PluginTable() {
    module = ::GetModuleHandleW(L"DataPlugin.dll");
    if (!module) {
      const std::wstring path = TDRUtils::FindSuiteFile(L"DataPlugin.dll");
      if (path.empty()) return;
      // Its own libraries lie beside it, not beside this program.
      module = ::LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
      if (!module) return;
    }
    folder = PathFolder(FileUtils::GetModuleFilePath(module));
    initWith = Lookup<InitWithFn>(module, "TQ_Init_With");
    finish = Lookup<FinishFn>(module, "TQ_Finish");
    trackEvent = Lookup<TrackFn>(module, "TQ_TrackEvent");
    trackEvent2 = Lookup<TrackFn>(module, "TQ_TrackEvent2");
    trackEventS = Lookup<TrackFn>(module, "TQ_TrackEventS");
    setDefaultChannel = Lookup<ChannelFn>(module, "TQ_SetDefaultChannle");
    setChannel = Lookup<ChannelFn>(module, "TQ_SetChannle");
    setAppKey = Lookup<SetAppKeyFn>(module, "TQ_SetAppKey");
    setVersion = Lookup<SetVersionFn>(module, "TQ_SetVersion");
  }
};

ActionDefinition Action(const wchar_t* code, const wchar_t* type, const wchar_t* description) {
  return ActionDefinition{code, code, type, L"screencap", 0, description};
}

}  // namespace

BigDataHelper* BigDataHelper::Instance() {
  static BigDataHelper* const helper = new BigDataHelper();
  return helper;
}

void BigDataHelper::Init(std::map<std::wstring, ActionDefinition> actions, ReportParams common, int startMode) {
  m_actions = std::move(actions);
  m_common = std::move(common);
  m_startMode = startMode;
}

const wchar_t* BigDataHelper::Pick(const wchar_t* normalCode, const wchar_t* scrollCode) const {
  return m_startMode == 0 ? normalCode : m_startMode == 1 ? scrollCode : L"";
}

void BigDataHelper::Report(const std::wstring& code, const ReportParams& extra) {
  if (code.empty()) return;
  const auto it = m_actions.find(code);
  if (it == m_actions.end()) {
    LOG_INF(L"Bigdata action %s is missed!", code.c_str());
    return;
  }
  ReportParams params = m_common;
  params.insert(params.end(), extra.begin(), extra.end());
  const ActionDefinition& action = it->second;
  TrackEvent(action.type.c_str(), code.c_str(), action.category.c_str(), action.value, params, false);
  LOG_INF(L"Report bigdata action %s success!", code.c_str());
}

int TrackEvent(const wchar_t* type, const wchar_t* code, const wchar_t* category, int value,
               const ReportParams& params, bool useVariant2) {
  PluginTable* table = PluginTable::Instance();
  if (!type) type = L"TDR";
  if (!category) category = L"";
  if (!code || !*code) return 1;
  // Pointers into our own strings, for the time of the call.
  std::vector<PluginParam> pairs;
  pairs.reserve(params.size());
  for (const auto& p : params) pairs.push_back(PluginParam{p.first.c_str(), p.second.c_str()});
  const int count = static_cast<int>(pairs.size());
  const PluginParam* data = pairs.empty() ? nullptr : pairs.data();
  if (useVariant2 && table->trackEvent2) return table->trackEvent2(type, code, category, value, count, data);
  if (table->trackEventS && TDRUtils::RunsInSessionZero()) {
    return table->trackEventS(type, code, category, value, count, data);
  }
  if (table->trackEvent) return table->trackEvent(type, code, category, value, count, data);
  return 0;
}

int StartUsageReporting(const std::wstring& commandLine) {
  CaptureStartParams params;
  ParseReportingParams(params, commandLine, TDRUtils::HostSuiteFallbacks());
  LOG_INF(L"quillarinversion version is %s", params.quillarinVersion.c_str());

  PluginTable* table = PluginTable::Instance();
  int result = 0;
  if (table->initWith) {
    if (table->setAppKey && !params.appKey.empty()) table->setAppKey(params.appKey.c_str());
    if (table->setVersion && !params.quillarinVersion.empty()) table->setVersion(params.quillarinVersion.c_str(), 0);
    result = table->initWith(table->folder.c_str());
  }
  LOG_INF(L"DataPlugin init ret:%d", result);

  std::map<std::wstring, ActionDefinition> actions;
  for (const ActionDefinition& a : {
           Action(L"SC0002", L"click", L"\x957F\x622A\x56FE\x7EC4\x4EF6-\x957F\x622A\x56FE-\x70B9\x51FB\x6846\x9009"),
           Action(L"SC0003", L"click",
                  L"\x957F\x622A\x56FE\x7EC4\x4EF6-\x957F\x622A\x56FE-\x6846\x9009\x540E-\x5355\x51FB\x6216\x8005\x6EDA\x52A8"),
           Action(L"SC0005", L"click",
                  L"\x957F\x622A\x56FE\x7EC4\x4EF6-\x957F\x622A\x56FE-\x70B9\x51FB\x7F16\x8F91\x6309\x94AE\x540A\x8D77\x7F16\x8F91\x680F"),
           Action(L"SC0006", L"click", L"\x957F\x622A\x56FE\x7EC4\x4EF6-\x957F\x622A\x56FE-\x70B9\x51FB\x7F16\x8F91\x680F\x5DE5\x5177"),
           Action(L"SC0007", L"report",
                  L"\x957F\x622A\x56FE\x7EC4\x4EF6-\x957F\x622A\x56FE-\x70B9\x51FB\x7F16\x8F91\x680F\x4E0B\x8F7D\x5DE5\x5177\x540E\x6210\x529F\x5B58\x50A8\x56FE\x7247"),
           Action(L"SC1002", L"click", L"\x957F\x622A\x56FE\x7EC4\x4EF6-\x622A\x56FE-\x70B9\x51FB\x6846\x9009"),
           Action(L"SC1003", L"click", L"\x957F\x622A\x56FE\x7EC4\x4EF6-\x622A\x56FE-\x70B9\x51FB\x7F16\x8F91\x680F"),
           Action(L"SC1004", L"report",
                  L"\x957F\x622A\x56FE\x7EC4\x4EF6-\x622A\x56FE-\x70B9\x51FB\x7F16\x8F91\x680F\x5B58\x50A8\x5DE5\x5177\x540E\x6210\x529F\x5B58\x50A8")}) {
    actions[a.code] = a;
  }
  ReportParams common = {{L"tdr_version", params.tdrVersion}, {L"m_version", params.moduleVersion}};
  const std::wstring mode = GetCommandLineValue(commandLine, L"startmode");
  BigDataHelper::Instance()->Init(std::move(actions), std::move(common), mode.empty() ? 0 : ParseLeadingInt(mode));
  LOG_INF(L"TQ_Init_InitbyActions Finish");
  return result;
}

void FinishUsageReporting() {
  PluginTable* table = PluginTable::Instance();
  if (table->finish) table->finish(0);
}

const wchar_t* SelectionDragEventCode(int startMode) {
  return startMode == 0 ? L"SC1002" : startMode == 1 ? L"SC0002" : L"";
}

void ReportSelectionDragStart(int startMode) { BigDataHelper::Instance()->Report(SelectionDragEventCode(startMode)); }

}  // namespace ScreenCapture
