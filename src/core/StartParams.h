#pragma once
// The start parameters: what the starting program told us on the command line,
// with the defaults and host-suite fall-backs for everything it left out.
#include <string>

namespace ScreenCapture {

enum StartMode : int {
  kStartModeNormal = 0,    // select, annotate and output in this process
  kStartModeScroll = 1,    // switch to a long capture after the first selection
  kStartModeHandOver = 2,  // write the first selection to shared memory and exit
};

// Built-in usage-reporting application key, used when "--appkey=" is absent.
inline constexpr const wchar_t* kDefaultAppKey = L"QW7R2KX9M4ZP";
inline constexpr const wchar_t* kDefaultIgnoredWindowClasses =
    L";PerryShadowWnd;popupshadow;{C07CCEE0-5A55-4730-AFC9-902A52DA349E};";
inline constexpr const wchar_t* kDefaultScrollStepWindowClasses = L";WeChatMainWndForPC;";
inline constexpr int kDefaultScrollStepCount = 3;

struct CaptureStartParams {
  std::wstring cachePath;                                    // folder for written images
  std::wstring ignoreWindowClassName = kDefaultIgnoredWindowClasses;
  std::wstring scrollStepWindowClassName = kDefaultScrollStepWindowClasses;
  int scrollStepCount = kDefaultScrollStepCount;
  int startMode = kStartModeNormal;
  std::wstring fileMappingName;                              // start mode 2 only
  std::wstring tdrVersion;                                   // suite version
  std::wstring moduleVersion;
  std::wstring appKey;
  std::wstring quillarinVersion;                             // assistant version
};

// Where the values that the command line leaves out come from. The program
// asks the registry and version resources of the host suite; tests answer
// with fixed text. Each lookup is made only when its key is absent.
class IStartParamFallbacks {
 public:
  virtual ~IStartParamFallbacks() = default;
  // Called when "--cachepath=" is absent or empty: the user's save folder.
  virtual std::wstring GetSaveFolder() const = 0;
  // Called when "--tdrversion=" is absent or empty.
  virtual std::wstring GetSuiteVersion() const = 0;
  // Called when "--quillarinversion=" is absent or empty.
  virtual std::wstring GetAssistantVersion() const = 0;
};

// Reads the four usage-reporting values (appkey, quillarinversion, tdrversion,
// moduleversion) with their fall-backs. Reporting start-up reads them too.
void ParseReportingParams(CaptureStartParams& params, const std::wstring& commandLine,
                          const IStartParamFallbacks& fallbacks);

// Fills every field that the command line sets, in the documented order.
void ParseStartParams(CaptureStartParams& params, const std::wstring& commandLine,
                      const IStartParamFallbacks& fallbacks);

}  // namespace ScreenCapture
