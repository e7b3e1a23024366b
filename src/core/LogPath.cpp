#include "core/LogPath.h"

namespace ScreenCapture {

namespace {
constexpr size_t kMaxFileNameChars = 260;

std::wstring WithTrailingBackslash(std::wstring folder) {
  if (!folder.empty() && folder.back() != L'\\' && folder.back() != L'/') folder.push_back(L'\\');
  return folder;
}
}  // namespace

std::wstring PathFileName(const std::wstring& path) {
  const size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

std::wstring PathFolder(const std::wstring& path) {
  const size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

std::wstring NamedFilePath(const std::wstring& value) {
  std::wstring path = value;
  const size_t comma = path.find_last_of(L',');
  if (comma != std::wstring::npos) {
    size_t digits = comma + 1;
    if (digits < path.size() && path[digits] == L'-') ++digits;
    bool index = digits < path.size();
    for (size_t i = digits; i < path.size(); ++i) index = index && path[i] >= L'0' && path[i] <= L'9';
    if (index) path.resize(comma);
  }
  if (!path.empty() && path[0] == L'"') {
    const size_t close = path.find(L'"', 1);
    path = path.substr(1, close == std::wstring::npos ? std::wstring::npos : close - 1);
  }
  return path;
}

LogPathPlan PlanLogPath(const LogPathInput& input) {
  std::wstring name = input.fileName.substr(0, kMaxFileNameChars);
  if (name.empty()) name = PathFileName(input.moduleFilePath) + L".log";

  LogPathPlan plan;
  const size_t slash = name.find_last_of(L'\\');
  if (slash != std::wstring::npos && slash >= 1) {
    plan.folder = name.substr(0, slash + 1);
  } else if (input.moduleName.empty()) {
    plan.folder = WithTrailingBackslash(input.tempFolder);
  } else {
    plan.folder = WithTrailingBackslash(input.commonAppData) + L"Orvane\\" + input.moduleName + L"\\logs\\";
  }
  // A name that carried its own folder contributes only its file-name part;
  // joining the whole of it again would name a file that cannot exist.
  plan.path = plan.folder + PathFileName(name);
  return plan;
}

std::wstring InsertBeforeLastDot(const std::wstring& path, const std::wstring& infix) {
  const size_t nameStart = path.find_last_of(L"\\/");
  const size_t dot = path.find_last_of(L'.');
  if (dot == std::wstring::npos || (nameStart != std::wstring::npos && dot < nameStart)) return path + infix;
  return path.substr(0, dot) + infix + path.substr(dot);
}

std::wstring ErrorLogPath(const std::wstring& logPath, bool scramble) {
  return PathFolder(logPath) + L"ErrorLog" + (scramble ? L".logdat" : L".log");
}

}  // namespace ScreenCapture
