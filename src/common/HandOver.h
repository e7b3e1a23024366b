#pragma once
// Start mode 2: the first region chosen goes to the starting program through
// a named shared-memory block of 16 bytes (left, top, right, bottom).
#include <string>

#include "core/Geometry.h"

namespace ScreenCapture {

// Writes the record into the mapping named `name` (created, or opened when
// it exists); false when nothing could be written. An empty name writes
// nothing.
bool WriteHandOverRecord(const std::wstring& name, const Rect& region);

}  // namespace ScreenCapture
