#pragma once
#include <string>

// Writes `count` lines "writer <id> line <k>" through a logger of its own on
// `path`; used as a separate process so that several write one file at once.
// A `maxSize` above 0 makes the size check empty the file past that size.
int RunLogWriterChild(const std::wstring& path, int count, int id, int maxSize = 0);
