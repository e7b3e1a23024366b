#include "core/LogFormat.h"

namespace ScreenCapture {

namespace {

// printf's "%.Nd": at least N digits, a minus sign in front when negative.
void AppendNumber(std::wstring& out, long long value, int minDigits) {
  wchar_t digits[24];
  int count = 0;
  const bool negative = value < 0;
  unsigned long long magnitude =
      negative ? 0ULL - static_cast<unsigned long long>(value) : static_cast<unsigned long long>(value);
  do {
    digits[count++] = static_cast<wchar_t>(L'0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  while (count < minDigits) digits[count++] = L'0';
  if (negative) out.push_back(L'-');
  while (count > 0) out.push_back(digits[--count]);
}

void AppendLiteral(std::wstring& out, const std::wstring& text) {
  for (wchar_t c : text) {
    out.push_back(c);
    if (c == L'%') out.push_back(L'%');
  }
}

}  // namespace

const wchar_t* LevelTag(int level) {
  switch (level) {
    case kLogError: return L"[ERR]";
    case kLogWarning: return L"[WAR]";
    case kLogInfo: return L"[INF]";
    case kLogTrace: return L"[TRA]";
    case kLogDebug: return L"[DBG]";
    default: return L"[NONE]";
  }
}

unsigned short LevelConsoleColour(int level) {
  switch (level) {
    case kLogError: return 4;
    case kLogWarning: return 9;
    case kLogInfo: return 10;
    case kLogTrace: return 14;
    default: return 7;
  }
}

std::wstring SourceFileName(const std::wstring& sourcePath) {
  const size_t slash = sourcePath.find_last_of(L"\\/");
  return slash == std::wstring::npos ? sourcePath : sourcePath.substr(slash + 1);
}

std::wstring BuildLineFormat(const LogTime& time, int level, const std::wstring& sourceFileName,
                             int sourceLine, unsigned processId, unsigned threadId,
                             const std::wstring& callerFormat) {
  std::wstring out;
  out.reserve(64 + sourceFileName.size() + callerFormat.size());
  AppendNumber(out, time.month, 2);
  out.push_back(L'-');
  AppendNumber(out, time.day, 2);
  out.push_back(L' ');
  AppendNumber(out, time.hour, 2);
  out.push_back(L':');
  AppendNumber(out, time.minute, 2);
  out.push_back(L':');
  AppendNumber(out, time.second, 2);
  out.push_back(L':');
  AppendNumber(out, time.millisecond, 3);
  out += L" : ";
  out += LevelTag(level);
  out.push_back(L' ');
  AppendLiteral(out, sourceFileName);
  out.push_back(L'(');
  AppendNumber(out, sourceLine, 1);
  out += L")(PID:";
  // The ids are printed as "%d" prints them: as signed 32-bit values.
  AppendNumber(out, static_cast<int>(processId), 1);
  out += L")(";
  AppendNumber(out, static_cast<int>(threadId), 1);
  out.push_back(L')');
  out += callerFormat;
  out.push_back(L'\n');
  return out;
}

}  // namespace ScreenCapture
