#pragma once
// Where the log file and its error copy live. Pure path arithmetic on
// backslash-separated Windows paths; the caller supplies the system folders.
#include <string>

namespace ScreenCapture {

struct LogPathInput {
  std::wstring fileName;        // as the caller of the set-up gave it; may be empty or a full path
  std::wstring moduleFilePath;  // the program's own file, e.g. C:\x\ZTDScreenCapture.exe
  std::wstring moduleName;      // names the log folder under the common application data
  std::wstring tempFolder;      // the user's temporary folder
  std::wstring commonAppData;   // the system's common application-data folder
};

struct LogPathPlan {
  std::wstring folder;  // always ends with a backslash
  std::wstring path;    // folder + file name, before any scrambled-form suffix
};

// File name: the given one (only its first 260 characters count), else the
// program's file name followed by ".log" (ZTDScreenCapture.exe.log). Folder:
// the directory part of a given name that holds one, else the temporary
// folder when no module name is set, else <common app data>\Orvane\<module>\logs\.
LogPathPlan PlanLogPath(const LogPathInput& input);

// The part after the last backslash (or slash).
std::wstring PathFileName(const std::wstring& path);

// The part up to and including the last backslash (or slash); empty if none.
std::wstring PathFolder(const std::wstring& path);

// The file a registry value such as DisplayIcon names: "path" or
// "path,index", the path possibly in quotes. Only a trailing comma with a
// (signed) number after it is an icon index; other commas belong to the path.
std::wstring NamedFilePath(const std::wstring& value);

// "C:\l\a.exe.log" -> "C:\l\a.exe.normal.log": `infix` goes in front of the
// file name's last dot, or at the end when the file name has no dot.
std::wstring InsertBeforeLastDot(const std::wstring& path, const std::wstring& infix);

// The scrambled log is the plain name with ".logdat" appended.
inline constexpr const wchar_t* kScrambledSuffix = L".logdat";

// <folder of the log path>ErrorLog.logdat (scrambled) or ErrorLog.log.
std::wstring ErrorLogPath(const std::wstring& logPath, bool scramble);

}  // namespace ScreenCapture
