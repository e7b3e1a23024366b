#pragma once
// The program's own module, path and folders (each computed once per process),
// and the few file-system questions the program asks.
#include <windows.h>

#include <cstdint>
#include <string>

namespace FileUtils {

// Handle of the module that holds the program's code; 0 if it cannot be found.
HMODULE GetCurrentDllModule();
// Full path of the process's executable file.
const std::wstring& GetCurrentModuleFilePath();
// Full path of a loaded module, however long; empty when it is unknown.
std::wstring GetModuleFilePath(HMODULE module);
// Folder of the executable, with a trailing backslash.
const std::wstring& GetCurrentAppFolder();
// Folder of the module that holds the program's code, with a trailing backslash.
const std::wstring& GetCurrentDllFolder();

bool FileExists(const std::wstring& path);       // exists and is not a directory
bool DirectoryExists(const std::wstring& path);
bool IsReparsePoint(const std::wstring& path);   // junction or symbolic link
// Size of an existing file; false when it cannot be read.
bool GetFileSize(const std::wstring& path, uint64_t& size);
// Creates the folder with all missing parents; true when it exists afterwards.
bool CreateDirectories(const std::wstring& path);

}  // namespace FileUtils
