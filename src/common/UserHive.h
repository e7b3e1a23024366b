#pragma once
// Values of the user at the console. A process in the service session (0)
// has the service account's HKEY_CURRENT_USER; there the console user's
// hive is opened under that user's identity instead.
#include <windows.h>

#include <string>

#include "common/Handles.h"

namespace TDRUtils {

// The system calls the lookup makes, one by one, so that a stand-in can
// refuse any of them in tests (Wine has no session 0).
class IUserHive {
 public:
  virtual ~IUserHive() = default;
  // Called first, for HKEY_CURRENT_USER only; the system's answer is kept
  // for the process.
  virtual bool InSessionZero() = 0;
  // The user token of the active console session; false when nobody is
  // logged on there.
  virtual bool ConsoleUserToken(HANDLE* token) = 0;
  // A primary token of `token` for impersonation (SecurityImpersonation).
  virtual bool DuplicateAsPrimary(HANDLE token, HANDLE* primary) = 0;
  virtual bool Impersonate(HANDLE token) = 0;
  // Called once for each token the lookup got, right after impersonating.
  virtual void CloseToken(HANDLE token) = 0;
  // The impersonated user's HKEY_CURRENT_USER, for reading.
  virtual bool OpenCurrentUser(HKEY* hive) = 0;
  // Called after OpenCurrentUser whenever Impersonate succeeded.
  virtual void Revert() = 0;
};

// The real calls.
IUserHive& SystemUserHive();
// True when this process runs in session 0 (asked once per process).
bool RunsInSessionZero();

// The root to read a user's value from: `root` itself, or for
// HKEY_CURRENT_USER in session 0 the console user's hive, which the holder
// closes. A refused step leaves `root` (the service account's own values).
class UserRoot {
 public:
  UserRoot(HKEY root, IUserHive& hive);
  HKEY Get() const { return m_opened ? m_opened.Get() : m_root; }

 private:
  HKEY m_root;
  ScreenCapture::UniqueRegKey m_opened;
};

// A string value of the user; false when the key or value is missing.
bool ReadUserRegString(HKEY root, const std::wstring& subKey, const wchar_t* valueName, std::wstring& value,
                       IUserHive& hive = SystemUserHive());
// A 32-bit value of the user; false when the key or value is missing.
bool ReadUserRegDword(HKEY root, const std::wstring& subKey, const wchar_t* valueName, DWORD& value,
                      IUserHive& hive = SystemUserHive());

}  // namespace TDRUtils
