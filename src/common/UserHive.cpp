#include "common/UserHive.h"

#include <utility>

#include "common/SystemFunctions.h"
#include "common/TDRHelper.h"

namespace TDRUtils {

namespace {

// wtsapi32 is loaded only when the service session needs it: start-up in a
// user's session never pays for it.
class SystemHive : public IUserHive {
 public:
  bool InSessionZero() override { return RunsInSessionZero(); }
  bool ConsoleUserToken(HANDLE* token) override {
    using QueryFn = BOOL(WINAPI*)(ULONG, PHANDLE);
    static const QueryFn query = ScreenCapture::LoadSystemFunction<QueryFn>(L"wtsapi32.dll", "WTSQueryUserToken");
    const DWORD session = ::WTSGetActiveConsoleSessionId();
    return query && session != 0xFFFFFFFF && query(session, token);
  }
  bool DuplicateAsPrimary(HANDLE token, HANDLE* primary) override {
    return ::DuplicateTokenEx(token, MAXIMUM_ALLOWED, nullptr, SecurityImpersonation, TokenPrimary, primary) != 0;
  }
  bool Impersonate(HANDLE token) override { return ::ImpersonateLoggedOnUser(token) != 0; }
  void CloseToken(HANDLE token) override { ::CloseHandle(token); }
  bool OpenCurrentUser(HKEY* hive) override { return ::RegOpenCurrentUser(KEY_READ, hive) == ERROR_SUCCESS; }
  void Revert() override { ::RevertToSelf(); }
};

// A token the lookup got through `hive`, which closes it again.
class HiveToken {
 public:
  explicit HiveToken(IUserHive& hive) : m_hive(hive) {}
  HiveToken(const HiveToken&) = delete;
  HiveToken& operator=(const HiveToken&) = delete;
  ~HiveToken() { Reset(); }
  HANDLE Get() const { return m_token; }
  HANDLE* Put() {
    Reset();
    return &m_token;
  }
  void Reset() {
    if (m_token) m_hive.CloseToken(std::exchange(m_token, nullptr));
  }

 private:
  IUserHive& m_hive;
  HANDLE m_token = nullptr;
};

}  // namespace

IUserHive& SystemUserHive() {
  static SystemHive hive;
  return hive;
}

bool RunsInSessionZero() {
  static const bool session0 = [] {
    DWORD session = 1;
    return ::ProcessIdToSessionId(::GetCurrentProcessId(), &session) && session == 0;
  }();
  return session0;
}

UserRoot::UserRoot(HKEY root, IUserHive& hive) : m_root(root) {
  if (root != HKEY_CURRENT_USER || !hive.InSessionZero()) return;
  HiveToken user(hive);
  if (!hive.ConsoleUserToken(user.Put())) return;
  HiveToken primary(hive);
  if (!hive.DuplicateAsPrimary(user.Get(), primary.Put())) return;
  const bool impersonating = hive.Impersonate(primary.Get());
  // Impersonation holds its own reference: neither token is needed now.
  user.Reset();
  primary.Reset();
  if (!impersonating) return;
  HKEY opened = nullptr;
  if (hive.OpenCurrentUser(&opened)) m_opened.Reset(opened);
  hive.Revert();
}

bool ReadUserRegString(HKEY root, const std::wstring& subKey, const wchar_t* valueName, std::wstring& value,
                       IUserHive& hive) {
  const UserRoot user(root, hive);
  return ReadRegString(user.Get(), subKey, valueName, KEY_READ, value);
}

bool ReadUserRegDword(HKEY root, const std::wstring& subKey, const wchar_t* valueName, DWORD& value, IUserHive& hive) {
  const UserRoot user(root, hive);
  DWORD size = sizeof(value);
  return ::RegGetValueW(user.Get(), subKey.c_str(), valueName, RRF_RT_REG_DWORD, nullptr, &value, &size) ==
         ERROR_SUCCESS;
}

}  // namespace TDRUtils
