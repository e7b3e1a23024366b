#pragma once
// System functions the program may not find: entry points looked up by name,
// so that it starts on systems without them and loads a library it seldom
// needs only when it is first needed; and the system DPI.
#include <windows.h>

namespace ScreenCapture {

// `name` in `module` as a function of type Fn; null when either is missing.
template <class Fn>
Fn Lookup(HMODULE module, const char* name) {
  return module ? reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(module, name))) : nullptr;
}

// Loads the system library (it stays loaded for the process) and looks up
// `name` in it; null when either is missing.
template <class Fn>
Fn LoadSystemFunction(const wchar_t* library, const char* name) {
  return Lookup<Fn>(::LoadLibraryW(library), name);
}

// The system DPI: the screen's logical pixels per inch, 96 when the screen
// cannot be asked.
int SystemDpi();

}  // namespace ScreenCapture
