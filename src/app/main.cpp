// Entry of the capture process: one capture per process, from start-up to the
// exit code.
#include <windows.h>
#include <gdiplus.h>

#include <functional>
#include <string>
#ifdef ZTD_LIFETIME_CHECKS
#include <csignal>
#include <exception>
#endif

#include "app/DpiAwareness.h"
#include "app/SingleInstance.h"
#include "capture/CaptureWindow.h"
#include "common/VirtualScreen.h"
#include "ui/WindowWnd.h"
#include "common/VirtualScreen.h"
#include "common/BigDataHelper.h"
#include "common/FileUtils.h"
#include "common/LifetimeMark.h"
#include "common/Logger.h"
#include "common/NativeWindow.h"
#include "common/StartupTrace.h"
#include "common/TDRHelper.h"
#include "common/WorkerThread.h"
#include "core/CommandLine.h"
#include "ui/ModalLoop.h"

namespace {

using namespace ScreenCapture;

// Style of the capture window: popup, visible, clip siblings and children,
// caption and system menu; topmost tool window.
constexpr DWORD kCaptureWindowStyle = 0x96C80000;
constexpr DWORD kCaptureWindowExStyle = 0x88;
constexpr DWORD kShutdownPauseMs = 1000;  // lets the reporting plug-in send what it holds

const std::wstring& ProcessCommandLine() {
  static const std::wstring line = ::GetCommandLineW() ? ::GetCommandLineW() : L"";
  return line;
}

void SetUpLogger() {
  Logger* logger = Logger::Instance();
  const std::wstring module = logger->GetModuleName().empty() ? L"quorabase" : logger->GetModuleName();
  logger->Init(module.c_str(), nullptr, 1048576, 0, TRUE, true);
}

void InitOncePerProcess() {
  static const bool done = [] {
    DuiLib::SetResourceInstance(FileUtils::GetCurrentDllModule());
    LOG_INF(L"capture start init\xFF01");
    // Before the screen is grabbed and any window exists: every size from here
    // on is in physical pixels.
    const DpiAwareness awareness = EnsureDpiAwareness(SystemDpiApi());
    LOG_INF(L"dpi awareness: %s", DpiAwarenessName(awareness));
    return true;
  }();
  (void)done;
}

// `beforeWindow` runs after the screen is frozen and before the window is
// created.
UINT RunCapture(const std::wstring& commandLine, const std::function<void()>& beforeWindow) {
  const long gdiBefore = LiveGdiObjects();
  const long windowsBefore = CNativeWindow::LiveCount();
  auto* window = new CCaptureWindow();
  SetCaptureWindow(window);
  MarkStartup(StartupPhase::kWindowObject);
  CaptureStartParams* params = window->GetStartParams();
  ParseStartParams(*params, commandLine, TDRUtils::HostSuiteFallbacks());
  MarkStartup(StartupPhase::kStartParams);
  LOG_TRA(L"start params: startmode=%d cachepath=%s fileMappingName=%s appkey=%s tdrversion=%s "
          L"moduleversion=%s quillarinversion=%s",
          params->startMode, params->cachePath.c_str(), params->fileMappingName.c_str(), params->appKey.c_str(),
          params->tdrVersion.c_str(), params->moduleVersion.c_str(), params->quillarinVersion.c_str());

  beforeWindow();
  const Rect& screen = GetVirtualScreenRect();
  window->Create(nullptr, L"TDRScreenCaptureWnd", kCaptureWindowStyle, kCaptureWindowExStyle, screen.x, screen.y,
                 CW_USEDEFAULT, CW_USEDEFAULT);
  const UINT result = window->ShowModal();
  delete window;
  SetCaptureWindow(nullptr);
  // What the capture made and did not give back (counted by our own owners).
  LOG_INF(L"capture closed: %ld GDI objects and %ld windows left", LiveGdiObjects() - gdiBefore,
          CNativeWindow::LiveCount() - windowsBefore);
  return result;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR lpCmdLine, int) {
#ifdef ZTD_LIFETIME_CHECKS
  // A pure virtual call or a failed library assertion ends the process at
  // once with the checks' exit code, never behind an error dialog.
  std::set_terminate([] { CommonDef::LifetimeAbort("terminate (a pure virtual call?)"); });
  // abort() raises SIGABRT before it would show its message box.
  std::signal(SIGABRT, [](int) { CommonDef::LifetimeAbort("abort (a failed assertion?)"); });
#endif
  MarkStartup(StartupPhase::kEntry);
  const wchar_t* const rawCommandLine = lpCmdLine ? lpCmdLine : L"";
  SetUpLogger();
  LOG_INF(L"lpCmdLine=%s", rawCommandLine);
  MarkStartup(StartupPhase::kLogger);
  if (HasPrefetchFlag(ProcessCommandLine())) return 0;
  MarkStartup(StartupPhase::kPrefetch);

  StartUsageReporting(rawCommandLine);
  MarkStartup(StartupPhase::kReporting);

  UniqueHandle instanceEvent;
  int exitCode = CreateSingleInstanceEvent(instanceEvent);
  MarkStartup(StartupPhase::kSingleInstance);
  if (exitCode == 0) {
    const std::wstring commandLine(rawCommandLine);
    InitOncePerProcess();
    MarkStartup(StartupPhase::kProcessInit);
    // GDI+ takes a while to start: let it do so while the screen is grabbed.
    ULONG_PTR gdiplusToken = 0;
    Gdiplus::Status gdiplus = Gdiplus::GenericError;
    auto startGdiplus = [&] {
      Gdiplus::GdiplusStartupInput gdiplusInput;
      gdiplus = Gdiplus::GdiplusStartup(&gdiplusToken, &gdiplusInput, nullptr);
    };
    WorkerThread gdiplusStarter;
    // Without a thread to spare it starts here, only later.
    if (!gdiplusStarter.Start(startGdiplus)) startGdiplus();
    exitCode = static_cast<int>(RunCapture(commandLine, [&] {
      gdiplusStarter.Join();
      MarkStartup(StartupPhase::kGdiplus);
      if (gdiplus != Gdiplus::Ok) LOG_ERR(L"GDI+ did not start: %d", static_cast<int>(gdiplus));
    }));
    gdiplusStarter.Join();
    if (gdiplus == Gdiplus::Ok) Gdiplus::GdiplusShutdown(gdiplusToken);
  }

  instanceEvent.Reset();
  ::Sleep(kShutdownPauseMs);
  FinishUsageReporting();
  return exitCode;
}
