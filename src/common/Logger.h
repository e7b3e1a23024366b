#pragma once
// The process-wide diagnostic log. Lines carry time, level, source position,
// process and thread; they go to a log file (plain UTF-8, or scrambled
// records), optionally to the console and the debugger. Several processes may
// share one file: a named mutex serialises their writes.
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <string>

#include "common/Handles.h"

#include "core/LogFormat.h"

namespace ScreenCapture {

class Logger {
 public:
  // The one logger of the process, created on first use and never destroyed.
  static Logger* Instance();

  // A logger with the initial settings. The program uses Instance(); tests
  // build their own to write to files of their own.
  Logger();
  ~Logger();
  Logger(const Logger&) = delete;
  Logger& operator=(const Logger&) = delete;

  // Settings from the arguments and from c:\config.ini, then the log path,
  // the first size check and the cross-process mutex.
  void Init(const wchar_t* moduleName, const wchar_t* fileName, DWORD maxSize, DWORD maxSizeHigh,
            BOOL scramble, bool sizeCheck);

  // Formats one line (printf-style wide format and arguments) and writes it
  // if `level` passes the filter. Never reports a failure: an unwritable line
  // is dropped.
  void Log(int level, const wchar_t* format, const wchar_t* sourcePath, int sourceLine, ...);
  void LogV(int level, const wchar_t* format, const wchar_t* sourcePath, int sourceLine, va_list args);

  const std::wstring& GetModuleName() const { return m_moduleName; }
  void SetModuleName(const std::wstring& name) { m_moduleName = name; }

  // What the set-up decided; read by tests and support tools.
  int GetLevel() const { return m_level.load(std::memory_order_relaxed); }
  bool IsScrambled() const { return m_scramble != 0; }
  uint64_t GetMaxSize() const { return (static_cast<uint64_t>(m_maxSizeHigh) << 32) | m_maxSize; }
  bool HasMutex() const { return static_cast<bool>(m_mutex); }
  std::wstring GetLogPath() const { return m_logPath; }

  // Where the settings file lives; tests point it elsewhere only when they
  // cannot touch the real one.
  static constexpr const wchar_t* kConfigPath = L"c:\\config.ini";

 private:
  bool BuildLogPath(const wchar_t* moduleName, const wchar_t* fileName);
  void ReadConfig();
  void SizeCheck();
  // One line, with the in-process lock held.
  void LogLocked(int level, const wchar_t* format, const wchar_t* sourcePath, int sourceLine, va_list args);
  void TruncateIfOversize(const std::wstring& path);
  void WriteToFile(const std::string& utf8Line);
  void WriteErrorCopy(const std::string& utf8Line);
  void WriteConsole(int level, const std::wstring& line);

  // Fields in the order the design lists them.
  DWORD m_scramble = 1;
  DWORD m_consoleOutput = 0;
  std::atomic<int> m_level{kLogInfo};  // read before the lock by every line
  DWORD m_maxSize = 1048576;
  DWORD m_maxSizeHigh = 0;
  std::wstring m_logPath;
  bool m_sizeCheck = true;
  UniqueHandle m_mutex;
  std::wstring m_errorLogPath;
  DWORD m_errorCopy = 1;
  std::string m_narrowFileName;
  DWORD m_debuggerOutput = 0;
  CRITICAL_SECTION m_lock;
  UniqueFile m_file;
  std::wstring m_moduleName = L"quorabase";

  // Set once the first line found no Init: a logger without a path does not
  // look for one (and read c:\config.ini) again on every line.
  bool m_lazyInitDone = false;
  // Counts size-check runs; sizes are looked at on every 500th.
  unsigned m_sizeCheckRuns = 0;
};

}  // namespace ScreenCapture

// Every call site passes its own source file and line.
#define TDR_LOG(level, format, ...) \
  ::ScreenCapture::Logger::Instance()->Log((level), (format), L"" __FILE__, __LINE__, ##__VA_ARGS__)
#define LOG_ERR(format, ...) TDR_LOG(::ScreenCapture::kLogError, format, ##__VA_ARGS__)
#define LOG_WAR(format, ...) TDR_LOG(::ScreenCapture::kLogWarning, format, ##__VA_ARGS__)
#define LOG_INF(format, ...) TDR_LOG(::ScreenCapture::kLogInfo, format, ##__VA_ARGS__)
#define LOG_TRA(format, ...) TDR_LOG(::ScreenCapture::kLogTrace, format, ##__VA_ARGS__)
#define LOG_DBG(format, ...) TDR_LOG(::ScreenCapture::kLogDebug, format, ##__VA_ARGS__)
