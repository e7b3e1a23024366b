#pragma once
// A thread started through the system instead of std::thread, whose
// constructor throws when the system has no room for another thread: here a
// thread that cannot start is a false result and a log line.
#include <windows.h>

#include <functional>

#include "common/Handles.h"

namespace ScreenCapture {

class WorkerThread {
 public:
  WorkerThread() = default;
  ~WorkerThread() { Join(); }
  WorkerThread(const WorkerThread&) = delete;
  WorkerThread& operator=(const WorkerThread&) = delete;

  // Runs `fn` on a new thread; false (logged) when none could be started,
  // and the caller decides what to do instead.
  bool Start(std::function<void()> fn);
  // True from a successful Start until Join.
  bool Joinable() const { return m_handle.Valid(); }
  void Join();

 private:
  UniqueHandle m_handle;
};

#ifdef ZTD_TEST_HOOKS
// Tests: while one is alive, every thread start fails as when the process
// has no room left for a thread.
class ScopedRefusedThreads {
 public:
  ScopedRefusedThreads();
  ~ScopedRefusedThreads();
  ScopedRefusedThreads(const ScopedRefusedThreads&) = delete;
  ScopedRefusedThreads& operator=(const ScopedRefusedThreads&) = delete;
};
#endif

}  // namespace ScreenCapture
