// Test entry. The same executable doubles as a log-writing child process for
// the cross-process logger test: "--log-writer PATH COUNT ID [MAXSIZE]".
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "LoggerChild.h"

int wmain(int argc, wchar_t** argv) {
  if (argc >= 5 && std::wstring(argv[1]) == L"--log-writer") {
    return RunLogWriterChild(argv[2], _wtoi(argv[3]), _wtoi(argv[4]), argc >= 6 ? _wtoi(argv[5]) : 0);
  }
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
