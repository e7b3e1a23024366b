#pragma once
// A marker an object carries from its construction until its end begins.
// Objects that threads, hooks or posted work can still reach check it on
// entry. In a build with ZTD_LIFETIME_CHECKS (tests only) a call into an
// object that is going ends the process on the spot, with a line on the
// error output and exit code kLifetimeExitCode; in the shipped program the
// check costs nothing.
#include <cstdint>
#ifdef ZTD_LIFETIME_CHECKS
#include <windows.h>

#include <cstdio>
#endif

namespace CommonDef {

#ifdef ZTD_LIFETIME_CHECKS
// The exit code of a process that a check, a pure virtual call or a failed
// library assertion has ended (in that build).
constexpr unsigned kLifetimeExitCode = 134;

// Ends the process at once: no dialog, no clean-up that could hide the fault.
inline void LifetimeAbort(const char* why) {
  std::fprintf(stderr, "lifetime check: %s\n", why);
  std::fflush(stderr);
  ::OutputDebugStringA(why);
  ::TerminateProcess(::GetCurrentProcess(), kLifetimeExitCode);
}
#endif

class LifetimeMark {
 public:
  LifetimeMark() = default;
  ~LifetimeMark() { End(); }
  LifetimeMark(const LifetimeMark&) = delete;
  LifetimeMark& operator=(const LifetimeMark&) = delete;

  // The object's end has begun: from here on no call may reach it.
  void End() { m_value = kEnded; }
  void Check([[maybe_unused]] const char* what) const {
#ifdef ZTD_LIFETIME_CHECKS
    if (m_value != kAlive) LifetimeAbort(what);
#endif
  }

 private:
  static constexpr uint32_t kAlive = 0x11FE7105u;
  static constexpr uint32_t kEnded = 0xDEADDEADu;
  volatile uint32_t m_value = kAlive;
};

}  // namespace CommonDef
