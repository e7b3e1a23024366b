// libFuzzer target for the command-line grammar: any line must parse, every
// value read back must be a trimmed piece of the line without "--", and the
// start mode and counts come out as numbers.
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/CommandLine.h"
#include "core/StartParams.h"

namespace {
struct Fallbacks : ScreenCapture::IStartParamFallbacks {
  std::wstring GetSaveFolder() const override { return L"C:\\saved"; }
  std::wstring GetSuiteVersion() const override { return L"1.0"; }
  std::wstring GetAssistantVersion() const override { return L"2.0"; }
};
bool IsBlank(wchar_t c) { return c == L' ' || (c >= L'\t' && c <= L'\r'); }
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace ScreenCapture;
  // Two bytes a character, so that any UTF-16 unit can occur.
  std::wstring line;
  for (size_t i = 0; i + 1 < size; i += 2) line.push_back(static_cast<wchar_t>(data[i] | (data[i + 1] << 8)));
  for (const wchar_t* key : {L"cachepath", L"startmode", L"scrollstepcount", L"", L"-"}) {
    const std::wstring value = GetCommandLineValue(line, key);
    if (value.find(L"--") != std::wstring::npos || line.find(value) == std::wstring::npos) __builtin_trap();
    if (!value.empty() && (IsBlank(value.front()) || IsBlank(value.back()))) __builtin_trap();
  }
  const std::wstring trimmed = TrimWhiteSpace(line);
  if (!trimmed.empty() && (IsBlank(trimmed.front()) || IsBlank(trimmed.back()))) __builtin_trap();
  ParseLeadingInt(line);
  HasPrefetchFlag(line);
  CaptureStartParams params;
  ParseStartParams(params, line, Fallbacks());
  if (params.cachePath.empty()) __builtin_trap();  // a missing or empty path falls back
  return 0;
}
