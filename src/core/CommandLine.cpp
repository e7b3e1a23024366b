#include "core/CommandLine.h"

#include <climits>

namespace ScreenCapture {

namespace {
bool IsWhite(wchar_t c) {
  return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n' || c == L'\v' || c == L'\f';
}
}  // namespace

std::wstring TrimWhiteSpace(const std::wstring& text) {
  size_t begin = 0;
  size_t end = text.size();
  while (begin < end && IsWhite(text[begin])) ++begin;
  while (end > begin && IsWhite(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

std::wstring GetCommandLineValue(const std::wstring& commandLine, const std::wstring& key) {
  const std::wstring needle = L"--" + key + L"=";
  const size_t at = commandLine.find(needle);
  if (at == std::wstring::npos) return std::wstring();
  const size_t start = at + needle.size();
  const size_t stop = commandLine.find(L"--", start);
  const size_t length = stop == std::wstring::npos ? std::wstring::npos : stop - start;
  return TrimWhiteSpace(commandLine.substr(start, length));
}

int ParseLeadingInt(const std::wstring& text) {
  size_t i = 0;
  while (i < text.size() && IsWhite(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) {
    negative = text[i] == L'-';
    ++i;
  }
  // Accumulate as a negative number so that INT_MIN itself is reachable.
  long long value = 0;
  bool saturated = false;
  for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
    if (saturated) continue;
    value = value * 10 - (text[i] - L'0');
    if (value < static_cast<long long>(INT_MIN)) saturated = true;
  }
  if (saturated) return negative ? INT_MIN : INT_MAX;
  if (negative) return static_cast<int>(value);
  if (-value > INT_MAX) return INT_MAX;
  return static_cast<int>(-value);
}

bool HasPrefetchFlag(const std::wstring& processCommandLine) {
  return processCommandLine.find(L"--startprefetch") != std::wstring::npos;
}

}  // namespace ScreenCapture
