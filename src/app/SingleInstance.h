#pragma once
// Keeps two captures from running at once: the first process creates a named
// event; a second one finds it already there and stays out.
#include <windows.h>

#include "common/Handles.h"

namespace ScreenCapture {

inline constexpr const wchar_t* kSingleInstanceEventName = L"{7D31A9C2-0B5E-4C88-A6F1-2E94D7B03A65}_sc";

// Everyone but guests and anonymous logons may open the event.
inline constexpr const wchar_t* kSingleInstanceSddl =
    L"D:(D;OICI;GA;;;BG)(D;OICI;GA;;;AN)(A;OICI;GA;;;AU)(A;OICI;GA;;;BA)";

// Creates the event into `event` (kept open until shutdown, also when another
// process owns it). Returns 0 for the only instance, else the exit code of a
// refused start: 183 (already exists) or 5 (access denied). A descriptor string
// that does not convert is logged and the event gets default security.
int CreateSingleInstanceEvent(UniqueHandle& event, const wchar_t* name = kSingleInstanceEventName,
                              const wchar_t* sddl = kSingleInstanceSddl);

}  // namespace ScreenCapture
