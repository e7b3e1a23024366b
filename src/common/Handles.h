#pragma once
// Small owners for the handle kinds the program uses, each with the release
// that its kind needs. None of them throws; all are move-only.
#include <windows.h>

#include <utility>

namespace ScreenCapture {

// Kernel handles closed with CloseHandle. `Invalid` is the value the creating
// call returns on failure: nullptr for most objects, INVALID_HANDLE_VALUE for files.
template <HANDLE (*Invalid)()>
class BasicKernelHandle {
 public:
  BasicKernelHandle() = default;
  explicit BasicKernelHandle(HANDLE h) : m_handle(h) {}
  BasicKernelHandle(const BasicKernelHandle&) = delete;
  BasicKernelHandle& operator=(const BasicKernelHandle&) = delete;
  BasicKernelHandle(BasicKernelHandle&& other) noexcept : m_handle(other.Release()) {}
  BasicKernelHandle& operator=(BasicKernelHandle&& other) noexcept {
    if (this != &other) Reset(other.Release());
    return *this;
  }
  ~BasicKernelHandle() { Reset(); }

  HANDLE Get() const { return m_handle; }
  bool Valid() const { return m_handle != nullptr && m_handle != INVALID_HANDLE_VALUE; }
  explicit operator bool() const { return Valid(); }
  HANDLE Release() { return std::exchange(m_handle, Invalid()); }
  void Reset(HANDLE h = Invalid()) {
    if (Valid()) ::CloseHandle(m_handle);
    m_handle = h;
  }

 private:
  HANDLE m_handle = Invalid();
};

inline HANDLE NullHandleValue() { return nullptr; }
inline HANDLE InvalidHandleValue() { return INVALID_HANDLE_VALUE; }

using UniqueHandle = BasicKernelHandle<NullHandleValue>;      // events, mutexes, mappings, threads
using UniqueFile = BasicKernelHandle<InvalidHandleValue>;     // CreateFile results

// Memory the system allocated with LocalAlloc (security descriptors from
// SDDL strings, FormatMessage buffers).
class UniqueLocal {
 public:
  UniqueLocal() = default;
  explicit UniqueLocal(void* p) : m_mem(p) {}
  UniqueLocal(const UniqueLocal&) = delete;
  UniqueLocal& operator=(const UniqueLocal&) = delete;
  ~UniqueLocal() {
    if (m_mem) ::LocalFree(m_mem);
  }
  void* Get() const { return m_mem; }
  void** Put() { return &m_mem; }

 private:
  void* m_mem = nullptr;
};

// A mapped view of a file mapping.
class UniqueView {
 public:
  explicit UniqueView(void* p) : m_view(p) {}
  UniqueView(const UniqueView&) = delete;
  UniqueView& operator=(const UniqueView&) = delete;
  ~UniqueView() {
    if (m_view) ::UnmapViewOfFile(m_view);
  }
  void* Get() const { return m_view; }

 private:
  void* m_view = nullptr;
};

// A library loaded with LoadLibrary.
class UniqueModule {
 public:
  UniqueModule() = default;
  explicit UniqueModule(HMODULE m) : m_module(m) {}
  UniqueModule(const UniqueModule&) = delete;
  UniqueModule& operator=(const UniqueModule&) = delete;
  ~UniqueModule() {
    if (m_module) ::FreeLibrary(m_module);
  }
  HMODULE Get() const { return m_module; }

 private:
  HMODULE m_module = nullptr;
};

// A registry key that we opened (predefined roots are never wrapped).
class UniqueRegKey {
 public:
  UniqueRegKey() = default;
  UniqueRegKey(const UniqueRegKey&) = delete;
  UniqueRegKey& operator=(const UniqueRegKey&) = delete;
  UniqueRegKey(UniqueRegKey&& other) noexcept : m_key(std::exchange(other.m_key, nullptr)) {}
  ~UniqueRegKey() {
    if (m_key) ::RegCloseKey(m_key);
  }
  HKEY Get() const { return m_key; }
  HKEY* Put() { return &m_key; }
  explicit operator bool() const { return m_key != nullptr; }

 private:
  HKEY m_key = nullptr;
};

// A mutex wait that releases on scope exit; a null mutex means no
// serialisation (the wait is skipped, as is the release).
class MutexLock {
 public:
  explicit MutexLock(HANDLE mutex) : m_mutex(mutex) {
    if (m_mutex) {
      // An abandoned mutex (another writer died holding it) is ours now too.
      const DWORD wait = ::WaitForSingleObject(m_mutex, INFINITE);
      m_owned = wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED;
    }
  }
  MutexLock(const MutexLock&) = delete;
  MutexLock& operator=(const MutexLock&) = delete;
  ~MutexLock() {
    if (m_owned) ::ReleaseMutex(m_mutex);
  }

 private:
  HANDLE m_mutex = nullptr;
  bool m_owned = false;
};

}  // namespace ScreenCapture
