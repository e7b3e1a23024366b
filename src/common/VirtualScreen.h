#pragma once
// The virtual screen (the bounding rectangle of all monitors), read once per
// process. The frozen image, the capture window and every full-screen copy
// use this one rectangle.
#include <cstdint>

#include "core/Geometry.h"

namespace ScreenCapture {

const Rect& GetVirtualScreenRect();

// The address space this process can still allocate, in bytes (asked of the
// system at each call: it shrinks as the capture allocates).
uint64_t AvailableAddressSpace();

#if defined(ZTD_TEST_HOOKS)
// Test builds only (the shipped program has neither): tests pretend another
// monitor layout (a monitor left of or above the
// primary gives a negative origin) for the lifetime of this object.
class ScopedVirtualScreen {
 public:
  explicit ScopedVirtualScreen(const Rect& layout);
  ~ScopedVirtualScreen();
  ScopedVirtualScreen(const ScopedVirtualScreen&) = delete;
  ScopedVirtualScreen& operator=(const ScopedVirtualScreen&) = delete;

 private:
  Rect m_layout;
  const Rect* m_previous;
};

// Tests pretend a process with `bytes` of free address space for the
// lifetime of this object.
class ScopedAddressSpace {
 public:
  explicit ScopedAddressSpace(uint64_t bytes);
  ~ScopedAddressSpace();
  ScopedAddressSpace(const ScopedAddressSpace&) = delete;
  ScopedAddressSpace& operator=(const ScopedAddressSpace&) = delete;

 private:
  uint64_t m_previous;
};
#endif

}  // namespace ScreenCapture
