#include "common/Logger.h"

#include <aclapi.h>
#include <shlobj.h>

#include <cstdarg>

#include "common/FileUtils.h"
#include "common/Handles.h"
#include "common/Security.h"
#include "common/StringUtils.h"
#include "core/LogPath.h"
#include "core/LogRecord.h"

namespace ScreenCapture {

namespace {

constexpr unsigned kSizeCheckInterval = 500;

DWORD ProcessIdOnce() {
  static const DWORD id = ::GetCurrentProcessId();
  return id;
}

std::wstring TempFolder() {
  wchar_t buffer[MAX_PATH + 1] = {};
  const DWORD length = ::GetTempPathW(MAX_PATH, buffer);
  return length > 0 && length <= MAX_PATH ? std::wstring(buffer, length) : std::wstring();
}

std::wstring CommonAppDataFolder() {
  wchar_t buffer[MAX_PATH + 1] = {};
  if (FAILED(::SHGetFolderPathW(nullptr, CSIDL_COMMON_APPDATA, nullptr, SHGFP_TYPE_CURRENT, buffer))) {
    return std::wstring();
  }
  return buffer;
}

bool IsAbsolute(const std::wstring& path) {
  return (path.size() >= 3 && path[1] == L':' && (path[2] == L'\\' || path[2] == L'/')) ||
         (path.size() >= 2 && path[0] == L'\\' && path[1] == L'\\');
}

bool WriteAll(HANDLE file, const std::string& bytes) {
  DWORD written = 0;
  return ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
         written == bytes.size();
}

}  // namespace

Logger* Logger::Instance() {
  static Logger* const instance = new Logger();
  return instance;
}

Logger::Logger() { ::InitializeCriticalSection(&m_lock); }

Logger::~Logger() {
  m_file.Reset();
  m_mutex.Reset();
  ::DeleteCriticalSection(&m_lock);
}

void Logger::Init(const wchar_t* moduleName, const wchar_t* fileName, DWORD maxSize, DWORD maxSizeHigh,
                  BOOL scramble, bool sizeCheck) {
  CriticalSectionLock guard(m_lock);
  m_sizeCheck = sizeCheck;
  m_maxSize = maxSize;
  m_maxSizeHigh = maxSizeHigh;
  m_scramble = scramble ? 1 : 0;
  if (FileUtils::FileExists(kConfigPath)) ReadConfig();

  const std::wstring module = !m_moduleName.empty() ? m_moduleName : (moduleName ? moduleName : L"");
  const std::wstring previousPath = m_logPath;
  const bool built = BuildLogPath(module.c_str(), fileName);
  if (m_logPath != previousPath) {
    // A new path: lines must not keep going into the old file.
    m_file.Reset();
    m_errorLogPath.clear();
  }
  if (built) {
    if (!m_mutex) {
      NullDaclSecurity security(true);
      const std::wstring name = L"Global\\TDRLOG_" + PathFileName(m_logPath);
      m_mutex.Reset(::CreateMutexW(security.Attributes(), FALSE, name.c_str()));
    }
    // Emptying a file that another process is writing would tear its line:
    // the first check runs under the same mutex as the writes.
    MutexLock lock(m_mutex.Get());
    SizeCheck();
  }
}

void Logger::ReadConfig() {
  const auto read = [](const wchar_t* key, int current) {
    return static_cast<int>(::GetPrivateProfileIntW(L"config", key, current, kConfigPath));
  };
  m_level = read(L"g_orvane_global_log_level", m_level.load());
  m_maxSize = static_cast<DWORD>(read(L"g_orvane_global_max_size", static_cast<int>(m_maxSize)));
  m_maxSizeHigh = 0;
  m_scramble = static_cast<DWORD>(read(L"g_orvane_log_encryped", static_cast<int>(m_scramble)));
  m_consoleOutput = static_cast<DWORD>(read(L"g_orvane_log_printf", static_cast<int>(m_consoleOutput)));
  // The debugger switch follows the console switch unless it is set itself.
  m_debuggerOutput = static_cast<DWORD>(read(L"g_orvane_log_outputdebug", static_cast<int>(m_consoleOutput)));
}

bool Logger::BuildLogPath(const wchar_t* moduleName, const wchar_t* fileName) {
  LogPathInput input;
  input.fileName = fileName ? fileName : L"";
  input.moduleFilePath = FileUtils::GetCurrentModuleFilePath();
  input.moduleName = moduleName ? moduleName : L"";
  input.tempFolder = TempFolder();
  input.commonAppData = CommonAppDataFolder();
  const LogPathPlan plan = PlanLogPath(input);
  if (!IsAbsolute(plan.folder)) {
    // No system folder to put the log in: nothing is written.
    m_logPath.clear();
    return false;
  }
  m_logPath = plan.path;
  if (!FileUtils::DirectoryExists(plan.folder)) FileUtils::CreateDirectories(plan.folder);
  if (FileUtils::IsReparsePoint(plan.folder)) return false;

  if (m_scramble) {
    const std::wstring plainCopy = InsertBeforeLastDot(m_logPath, L".normal");
    if (FileUtils::FileExists(plainCopy)) ::DeleteFileW(plainCopy.c_str());
    m_logPath += kScrambledSuffix;
  }
  m_narrowFileName = Utf16ToUtf8(PathFileName(m_logPath));
  return true;
}

void Logger::SizeCheck() {
  if (!m_sizeCheck) return;
  const unsigned run = m_sizeCheckRuns++;
  if (run % kSizeCheckInterval != 0) return;
  TruncateIfOversize(m_logPath);
  TruncateIfOversize(m_errorLogPath);
}

void Logger::TruncateIfOversize(const std::wstring& path) {
  uint64_t size = 0;
  if (path.empty() || !FileUtils::GetFileSize(path, size) || size < GetMaxSize()) return;
  m_file.Reset();
  // Opened only to empty the file.
  UniqueFile emptied(::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                   CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
}

void Logger::Log(int level, const wchar_t* format, const wchar_t* sourcePath, int sourceLine, ...) {
  va_list args;
  va_start(args, sourceLine);
  LogV(level, format, sourcePath, sourceLine, args);
  va_end(args);
}

void Logger::LogV(int level, const wchar_t* format, const wchar_t* sourcePath, int sourceLine, va_list args) {
  if (level > m_level.load(std::memory_order_relaxed)) return;
  // The file handle, the path and the counters are shared by the threads of
  // this process (the grab worker logs too): the in-process lock guards them,
  // the mutex orders the lines of all processes.
  CriticalSectionLock guard(m_lock);
  if (m_logPath.empty() && !m_lazyInitDone) {
    m_lazyInitDone = true;
    Init(nullptr, nullptr, 1048576, 0, TRUE, true);
  }
  if (m_logPath.empty() || level > m_level.load(std::memory_order_relaxed)) return;
  LogLocked(level, format, sourcePath, sourceLine, args);
}

void Logger::LogLocked(int level, const wchar_t* format, const wchar_t* sourcePath, int sourceLine, va_list args) {
  MutexLock lock(m_mutex.Get());
  SizeCheck();

  SYSTEMTIME now = {};
  ::GetLocalTime(&now);
  LogTime time;
  time.month = now.wMonth;
  time.day = now.wDay;
  time.hour = now.wHour;
  time.minute = now.wMinute;
  time.second = now.wSecond;
  time.millisecond = now.wMilliseconds;
  const std::wstring lineFormat =
      BuildLineFormat(time, level, SourceFileName(sourcePath ? sourcePath : L""), sourceLine, ProcessIdOnce(),
                      ::GetCurrentThreadId(), format ? format : L"");
  const std::wstring line = FormatV(lineFormat.c_str(), args);

  if (m_consoleOutput) WriteConsole(level, line);
  const std::string utf8 = Utf16ToUtf8(line);
  if (m_debuggerOutput) ::OutputDebugStringW(line.c_str());
  WriteToFile(utf8);
  if (m_errorCopy && level == kLogError) WriteErrorCopy(utf8);
}

void Logger::WriteConsole(int level, const std::wstring& line) {
  const HANDLE out = ::GetStdHandle(STD_OUTPUT_HANDLE);
  if (out == nullptr || out == INVALID_HANDLE_VALUE) return;
  ::SetConsoleTextAttribute(out, LevelConsoleColour(level));
  DWORD written = 0;
  if (!::WriteConsoleW(out, line.data(), static_cast<DWORD>(line.size()), &written, nullptr)) {
    // Redirected output is no console: send the UTF-8 text instead.
    WriteAll(out, Utf16ToUtf8(line));
  }
}

void Logger::WriteToFile(const std::string& utf8Line) {
  if (!m_file) {
    m_file.Reset(::CreateFileW(m_logPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                               OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!m_file) return;
    if (!FileUtils::IsReparsePoint(m_logPath)) SetNullDaclByName(m_logPath.c_str(), SE_FILE_OBJECT);
  }
  // Other processes append to the same file between our lines.
  LARGE_INTEGER zero = {};
  ::SetFilePointerEx(m_file.Get(), zero, nullptr, FILE_END);
  WriteAll(m_file.Get(), m_scramble ? EncodeRecord(utf8Line) : utf8Line);
}

void Logger::WriteErrorCopy(const std::string& utf8Line) {
  if (m_errorLogPath.empty()) {
    m_errorLogPath = ErrorLogPath(m_logPath, m_scramble != 0);
    if (FileUtils::FileExists(m_errorLogPath)) SetNullDaclByName(m_errorLogPath.c_str(), SE_FILE_OBJECT);
  }
  if (FileUtils::FileExists(m_errorLogPath) && FileUtils::IsReparsePoint(m_errorLogPath)) return;
  UniqueFile file(::CreateFileW(m_errorLogPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return;
  LARGE_INTEGER zero = {};
  ::SetFilePointerEx(file.Get(), zero, nullptr, FILE_END);
  const std::string entry = m_narrowFileName + " " + utf8Line;
  WriteAll(file.Get(), m_scramble ? EncodeRecord(entry) : entry);
}

}  // namespace ScreenCapture
