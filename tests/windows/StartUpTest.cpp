#include <gtest/gtest.h>
#include <windows.h>

#include <shlobj.h>

#include <regex>
#include <string>
#include <vector>

#include "Harness.h"
#include "app/DpiAwareness.h"
#include "app/SingleInstance.h"
#include "common/FileUtils.h"
#include "common/Logger.h"
#include "common/TDRHelper.h"
#include "common/UserHive.h"
#include "core/LogRecord.h"
#include "TestFiles.h"
#include "ui/ModalLoop.h"

namespace ScreenCapture {
namespace {

// The program's own folder is used end to end (the plug-in and the pin
// program next to it); here a module whose path is longer than MAX_PATH
// keeps its whole path.
TEST(FileUtils, LongModulePath) {
  testfiles::TempDir dir(L"fu");
  std::wstring longFolder = L"\\\\?\\" + dir.Path();
  for (int i = 0; i < 4; ++i) {
    longFolder += std::wstring(80, static_cast<wchar_t>(L'k' + i)) + L"\\";
    ASSERT_TRUE(::CreateDirectoryW(longFolder.c_str(), nullptr));
  }
  const std::wstring plugin = longFolder + L"DataPlugin.dll";
  ASSERT_TRUE(::CopyFileW((e2e::FixtureFolder() + L"DataPlugin.dll").c_str(), plugin.c_str(), FALSE));
  const HMODULE module = ::LoadLibraryW(plugin.c_str());
  ASSERT_NE(module, nullptr);
  const std::wstring loaded = FileUtils::GetModuleFilePath(module);
  ::FreeLibrary(module);
  EXPECT_GT(loaded.size(), 330u);
  EXPECT_EQ(loaded.substr(loaded.size() - 15), L"\\DataPlugin.dll");
  ::DeleteFileW(plugin.c_str());
  for (int i = 0; i < 4; ++i) {
    ::RemoveDirectoryW(longFolder.c_str());
    longFolder.resize(longFolder.size() - 81);
  }
}

// Writes a string value, creating its key, in the given registry view.
void SetRegString(HKEY root, const std::wstring& key, const wchar_t* name, const std::wstring& value,
                  REGSAM view = 0) {
  HKEY opened = nullptr;
  ASSERT_EQ(::RegCreateKeyExW(root, key.c_str(), 0, nullptr, 0, KEY_WRITE | view, nullptr, &opened, nullptr),
            ERROR_SUCCESS);
  ::RegSetValueExW(opened, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
  ::RegCloseKey(opened);
}

// Answers the session-0 lookup's calls from a script and writes each down;
// the "console user's hive" is a key of this user.
class RecordingHive : public TDRUtils::IUserHive {
 public:
  explicit RecordingHive(std::string refuse) : m_refuse(std::move(refuse)) {}
  bool InSessionZero() override { return Step("session"); }
  bool ConsoleUserToken(HANDLE* token) override { return Give(Step("token"), token, 0x11); }
  bool DuplicateAsPrimary(HANDLE token, HANDLE* primary) override {
    return Give(Step("duplicate") && token == Fake(0x11), primary, 0x22);
  }
  bool Impersonate(HANDLE token) override { return Step(token == Fake(0x22) ? "impersonate" : "impersonate ?"); }
  void CloseToken(HANDLE token) override { Step(token == Fake(0x11) ? "close user" : "close primary"); }
  bool OpenCurrentUser(HKEY* hive) override {
    return Step("hive") &&
           ::RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\ZtdTest\\Console", 0, KEY_READ, hive) == ERROR_SUCCESS;
  }
  void Revert() override { Step("revert"); }
  std::vector<std::string> calls;

 private:
  static HANDLE Fake(uintptr_t v) { return reinterpret_cast<HANDLE>(v); }
  static bool Give(bool ok, HANDLE* out, uintptr_t v) {
    if (ok) *out = Fake(v);
    return ok;
  }
  bool Step(const std::string& name) {
    calls.push_back(name);
    return name != m_refuse;
  }
  std::string m_refuse;
};

TEST(HostSuite, ServiceSessionReadsTheConsoleUsersHiveAndEachRefusalFallsBack) {
  SetRegString(HKEY_CURRENT_USER, L"Software\\ZtdTestValue", L"v", L"own");
  SetRegString(HKEY_CURRENT_USER, L"Software\\ZtdTest\\Console\\Software\\ZtdTestValue", L"v", L"console");
  using Calls = std::vector<std::string>;
  const Calls all = {"session", "token", "duplicate", "impersonate", "close user", "close primary", "hive", "revert"};
  const struct {
    std::string refuse;
    Calls calls;
    std::wstring value;
  } cases[] = {
      {"", all, L"console"},
      {"session", {"session"}, L"own"},  // not session 0
      {"token", {"session", "token"}, L"own"},  // nobody at the console
      {"duplicate", {"session", "token", "duplicate", "close user"}, L"own"},
      {"impersonate", {"session", "token", "duplicate", "impersonate", "close user", "close primary"}, L"own"},
      {"hive", all, L"own"},  // the revert still comes
  };
  for (const auto& c : cases) {
    RecordingHive hive(c.refuse);
    std::wstring value;
    EXPECT_TRUE(TDRUtils::ReadUserRegString(HKEY_CURRENT_USER, L"Software\\ZtdTestValue", L"v", value, hive));
    EXPECT_EQ(value, c.value) << "refused: " << c.refuse;
    EXPECT_EQ(hive.calls, c.calls) << "refused: " << c.refuse;
  }
  // Other roots are read as they are; a missing value is false.
  RecordingHive hive("");
  std::wstring value;
  EXPECT_FALSE(TDRUtils::ReadUserRegString(HKEY_LOCAL_MACHINE, L"Software\\ZtdTestValue", L"v", value, hive));
  EXPECT_TRUE(hive.calls.empty());
  EXPECT_FALSE(TDRUtils::ReadUserRegString(HKEY_CURRENT_USER, L"Software\\ZtdTestValue", L"none", value, hive));
  EXPECT_FALSE(TDRUtils::RunsInSessionZero());  // Wine has no service session
  ::RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\ZtdTest");
  ::RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\ZtdTestValue");
}

TEST(HostSuite, InstallFolderFromEitherViewAndTheSaveFolder) {
  // An entry only in the 64-bit view whose InstallLocation is gone: the
  // folder of DisplayIcon's file.
  testfiles::TempDir dir(L"suite");
  const std::wstring entry = L"{ZtdTestEntry}_is1";
  const std::wstring key = std::wstring(TDRUtils::kUninstallPrefix) + entry;
  SetRegString(HKEY_LOCAL_MACHINE, key, L"InstallLocation", dir.Path() + L"gone", KEY_WOW64_64KEY);
  SetRegString(HKEY_LOCAL_MACHINE, key, L"DisplayIcon", L"\"" + dir.Path() + L"suite.exe\",0", KEY_WOW64_64KEY);
  EXPECT_EQ(TDRUtils::GetInstallFolder(entry), dir.Path());
  SetRegString(HKEY_LOCAL_MACHINE, key, L"InstallLocation", dir.Path().substr(0, dir.Path().size() - 1),
               KEY_WOW64_64KEY);
  EXPECT_EQ(TDRUtils::GetInstallFolder(entry), dir.Path());  // an existing folder, given a backslash
  // An unquoted icon path with a comma in a folder name.
  SetRegString(HKEY_LOCAL_MACHINE, key, L"InstallLocation", L"", KEY_WOW64_64KEY);
  SetRegString(HKEY_LOCAL_MACHINE, key, L"DisplayIcon", dir.Path() + L"Suite, Inc\\suite.exe,0", KEY_WOW64_64KEY);
  EXPECT_EQ(TDRUtils::GetInstallFolder(entry), dir.Path() + L"Suite, Inc\\");
  ::RegDeleteKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), KEY_WOW64_64KEY, 0);
  EXPECT_EQ(TDRUtils::GetInstallFolder(entry), L"");

  // The save folder: the user's CaptureSavePath, created; without it
  // "Orvane截图" in My Pictures, created.
  std::wstring saved;
  const bool hadValue = TDRUtils::ReadRegString(HKEY_CURRENT_USER, TDRUtils::kAssistantKey, L"CaptureSavePath",
                                                KEY_READ, saved);
  SetRegString(HKEY_CURRENT_USER, TDRUtils::kAssistantKey, L"CaptureSavePath", dir.Path() + L"a\\b");
  EXPECT_EQ(TDRUtils::GetSaveFolder(), dir.Path() + L"a\\b");
  EXPECT_TRUE(FileUtils::DirectoryExists(dir.Path() + L"a\\b"));
  HKEY assistant = nullptr;
  ASSERT_EQ(::RegOpenKeyExW(HKEY_CURRENT_USER, TDRUtils::kAssistantKey, 0, KEY_WRITE, &assistant), ERROR_SUCCESS);
  ::RegDeleteValueW(assistant, L"CaptureSavePath");
  wchar_t pictures[MAX_PATH + 1] = {};
  ::SHGetFolderPathW(nullptr, CSIDL_MYPICTURES, nullptr, SHGFP_TYPE_CURRENT, pictures);
  const std::wstring fallback = std::wstring(pictures) + L"\\Orvane截图";
  ::RemoveDirectoryW(fallback.c_str());
  EXPECT_EQ(TDRUtils::GetSaveFolder(), fallback);
  EXPECT_TRUE(FileUtils::DirectoryExists(fallback));
  if (hadValue) SetRegString(HKEY_CURRENT_USER, TDRUtils::kAssistantKey, L"CaptureSavePath", saved);
  ::RegCloseKey(assistant);
}

TEST(SingleInstance, BadDescriptorFallsBackToDefaultSecurity) {
  testfiles::ConfigIni noSettings("");
  Logger* logger = Logger::Instance();
  logger->Init(L"", nullptr, 1048576, 0, TRUE, true);
  const std::wstring logPath = logger->GetLogPath();
  ::DeleteFileW(logPath.c_str());
  logger->Init(L"", nullptr, 1048576, 0, TRUE, true);  // reopens on the next line

  const std::wstring name = L"ztd_test_sddl_" + std::to_wstring(::GetCurrentProcessId());
  UniqueHandle event;
  EXPECT_EQ(CreateSingleInstanceEvent(event, name.c_str(), L"D:(not a descriptor"), 0);
  EXPECT_TRUE(event.Valid());
  const auto lines = DecodeRecords(testfiles::ReadBytes(logPath)).lines;
  ASSERT_FALSE(lines.empty());
  EXPECT_NE(lines.back().find("[ERR] SingleInstance.cpp("), std::string::npos) << lines.back();
  // Windows answers 1336 (bad access list) here, Wine 1705: any code will do.
  EXPECT_TRUE(std::regex_search(lines.back(), std::regex("Create Security Descriptor Error: [1-9][0-9]*\n$")))
      << lines.back();
}

TEST(DpiAwareness, FallsBackToWhatTheSystemGrants) {
  int calls = 0;
  DpiApi api;
  // Already version 2 (the manifest was honoured): nothing is called.
  api.current = [] { return DpiAwareness::PerMonitorV2; };
  api.setContext = [&](DpiAwareness) { ++calls; return true; };
  EXPECT_EQ(EnsureDpiAwareness(api), DpiAwareness::PerMonitorV2);
  EXPECT_EQ(calls, 0);

  // Version 2 refused (error 87), version 1 granted.
  api.current = [] { return DpiAwareness::Unaware; };
  api.setContext = [&](DpiAwareness want) { ++calls; return want == DpiAwareness::PerMonitorV1; };
  EXPECT_EQ(EnsureDpiAwareness(api), DpiAwareness::PerMonitorV1);
  EXPECT_EQ(calls, 2);

  // The manifest gave version 1 and version 2 is refused: version 1 holds.
  api.current = [] { return DpiAwareness::PerMonitorV1; };
  api.setContext = [](DpiAwareness) { return false; };
  EXPECT_EQ(EnsureDpiAwareness(api), DpiAwareness::PerMonitorV1);

  // No context calls (Windows 8.1): the shell call gives version 1.
  api.current = [] { return DpiAwareness::Unaware; };
  api.setContext = nullptr;
  api.setProcess = [](DpiAwareness want) { return want == DpiAwareness::PerMonitorV1; };
  EXPECT_EQ(EnsureDpiAwareness(api), DpiAwareness::PerMonitorV1);

  // Windows 7: only system awareness exists.
  api.setProcess = nullptr;
  api.setAware = [] { return true; };
  EXPECT_EQ(EnsureDpiAwareness(api), DpiAwareness::System);

  // Nothing granted: what the process has stays.
  api.setAware = [] { return false; };
  EXPECT_EQ(EnsureDpiAwareness(api), DpiAwareness::Unaware);
  EXPECT_EQ(EnsureDpiAwareness(DpiApi{}), DpiAwareness::Unaware);

  // This system: whatever it grants, it is at least system awareness.
  EXPECT_NE(EnsureDpiAwareness(SystemDpiApi()), DpiAwareness::Unaware);
}

// A window that destroys itself on WM_CLOSE, or on a timer the way the
// capture ends (close request posted, window destroyed in the same step).
LRESULT CALLBACK ModalTestProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CLOSE) {
    ::DestroyWindow(hwnd);
    return 0;
  }
  if (message == WM_TIMER && wParam == 1) {
    ::KillTimer(hwnd, 1);
    ::PostMessageW(hwnd, WM_CLOSE, 1, 0);
    ::DestroyWindow(hwnd);
    return 0;
  }
  return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

HWND MakeModalTestWindow() {
  WNDCLASSW wc = {};
  wc.lpfnWndProc = ModalTestProc;
  wc.hInstance = ::GetModuleHandleW(nullptr);
  wc.lpszClassName = L"ZtdModalTest";
  ::RegisterClassW(&wc);
  return ::CreateWindowExW(0, L"ZtdModalTest", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, wc.hInstance, nullptr);
}

class SwallowingFilter : public DuiLib::IMessageFilterUI {
 public:
  bool PreTranslateMessage(const MSG& msg) override {
    if (msg.message == WM_APP + 5) {
      ++swallowed;
      return true;
    }
    return false;
  }
  int swallowed = 0;
};

TEST(ModalLoop, ResultComesFromTheCloseRequestItSaw) {
  // A close request with code 7 that the window acts on: the loop saw it.
  HWND hwnd = MakeModalTestWindow();
  ::PostMessageW(hwnd, WM_CLOSE, 7, 0);
  EXPECT_EQ(DuiLib::RunModalLoop(hwnd, nullptr), 7u);
  EXPECT_FALSE(::IsWindow(hwnd));

  // Destroyed in the same step as the close request is posted: the loop ends
  // before it reads the request, so the result is 0.
  hwnd = MakeModalTestWindow();
  ::SetTimer(hwnd, 1, 10, nullptr);
  SwallowingFilter filter;
  ::PostMessageW(hwnd, WM_APP + 5, 0, 0);
  EXPECT_EQ(DuiLib::RunModalLoop(hwnd, &filter), 0u);
  EXPECT_EQ(filter.swallowed, 1);
  MSG stale;
  while (::PeekMessageW(&stale, nullptr, 0, 0, PM_REMOVE)) {
  }

  // A quit message ends the loop and is posted again for the outer loop.
  hwnd = MakeModalTestWindow();
  ::PostQuitMessage(3);
  EXPECT_EQ(DuiLib::RunModalLoop(hwnd, nullptr), 0u);
  MSG quit = {};
  EXPECT_TRUE(::PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(quit.wParam, 3u);
  ::DestroyWindow(hwnd);
}

}  // namespace
}  // namespace ScreenCapture
