#pragma once
// Text of a log line, before the caller's arguments are put in.
#include <string>

namespace ScreenCapture {

enum LogLevel : int {
  kLogError = 1,
  kLogWarning = 2,
  kLogInfo = 3,
  kLogTrace = 4,
  kLogDebug = 5,
};

struct LogTime {
  int month = 0;
  int day = 0;
  int hour = 0;
  int minute = 0;
  int second = 0;
  int millisecond = 0;
};

// "[ERR]", "[WAR]", "[INF]", "[TRA]", "[DBG]"; "[NONE]" for any other level.
const wchar_t* LevelTag(int level);

// Console text attribute of a level: 4 red, 9 bright blue, 10 bright green,
// 14 yellow, 7 grey.
unsigned short LevelConsoleColour(int level);

// The source file's name with its directories stripped (either separator);
// the extension stays.
std::wstring SourceFileName(const std::wstring& sourcePath);

// First formatting step: the header
//   "MM-DD hh:mm:ss:mmm : [TAG] file.cpp(line)(PID:pid)(tid)<caller format>\n"
// The result is itself a printf format for the caller's arguments, so a "%"
// in the caller's format is still a conversion in the second step. Text that
// the header puts in (tag, file name) has its "%" doubled so that only the
// caller's format carries conversions.
std::wstring BuildLineFormat(const LogTime& time, int level, const std::wstring& sourceFileName,
                             int sourceLine, unsigned processId, unsigned threadId,
                             const std::wstring& callerFormat);

}  // namespace ScreenCapture
