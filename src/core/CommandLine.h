#pragma once
// Command-line grammar of the program: pairs written "--key=value" separated by
// blanks. A value runs to the next "--" (or the end of the line) and is trimmed,
// so a value may hold blanks but never two hyphens. Keys are case-sensitive and
// only the first occurrence of a key counts.
#include <string>

namespace ScreenCapture {

// Value of "--key=" in the line, trimmed; empty when the key is absent.
std::wstring GetCommandLineValue(const std::wstring& commandLine, const std::wstring& key);

// Leading and trailing white space (blank, tab, CR, LF, VT, FF) removed.
std::wstring TrimWhiteSpace(const std::wstring& text);

// Integer conversion of the C library's kind: leading white space skipped, an
// optional sign, then the leading digits; no digits gives 0. Out-of-range
// values saturate at the limits of a signed 32-bit integer instead of wrapping.
int ParseLeadingInt(const std::wstring& text);

// True when "--startprefetch" occurs anywhere in the process command line,
// even inside another value.
bool HasPrefetchFlag(const std::wstring& processCommandLine);

}  // namespace ScreenCapture
