#include <gtest/gtest.h>
#include <windows.h>

#include <regex>
#include <string>
#include <vector>

#include "LoggerChild.h"
#include "TestFiles.h"
#include "common/FileUtils.h"
#include "common/Logger.h"
#include "common/StringUtils.h"
#include "core/LogRecord.h"

using ScreenCapture::Logger;
using testfiles::ConfigIni;
using testfiles::ReadBytes;
using testfiles::TempDir;

int RunLogWriterChild(const std::wstring& path, int count, int id, int maxSize) {
  Logger logger;
  logger.Init(L"", path.c_str(), maxSize > 0 ? maxSize : 64 * 1024 * 1024, 0, TRUE, true);
  for (int k = 0; k < count; ++k) {
    logger.Log(3, L"writer %d line %d %s", L"child.cpp", k, id, k, L"padding-padding-padding-padding");
  }
  return 0;
}

namespace {

// The settings file must not leak into these tests: start from none.
class LoggerTest : public testing::Test {
 protected:
  LoggerTest() : m_config("") {}
  ConfigIni m_config;
  TempDir m_dir{L"log"};
};

std::vector<std::string> Records(const std::wstring& path, bool* complete = nullptr) {
  const ScreenCapture::DecodedRecords decoded = ScreenCapture::DecodeRecords(ReadBytes(path));
  if (complete) *complete = decoded.complete;
  return decoded.lines;
}

TEST_F(LoggerTest, ScrambledLineFormatAndNames) {
  const std::wstring base = m_dir.Path() + L"app.exe.log";
  // A plain copy left over from an earlier run is removed at set-up.
  testfiles::WriteBytes(m_dir.Path() + L"app.exe.normal.log", "old");
  Logger logger;
  logger.Init(L"", base.c_str(), 1048576, 0, TRUE, true);
  EXPECT_EQ(logger.GetLogPath(), base + L".logdat");
  EXPECT_FALSE(testfiles::Exists(m_dir.Path() + L"app.exe.normal.log"));
  EXPECT_TRUE(logger.HasMutex());

  // "%%" and the arguments are formatted in the second step; text is UTF-8.
  logger.Log(3, L"100%% done %s %d", L"D:\\src\\capture\\CaptureWindow.cpp", 77, L"截图", 5);
  const std::string bytes = ReadBytes(base + L".logdat");
  const std::vector<std::string> lines = Records(base + L".logdat");
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(bytes.size(), lines[0].size() + 4);
  const std::regex pattern(
      R"(\d\d-\d\d \d\d:\d\d:\d\d:\d\d\d : \[INF\] CaptureWindow\.cpp\(77\)\(PID:\d+\)\(\d+\)100% done 截图 5\n)");
  EXPECT_TRUE(std::regex_match(lines[0], pattern)) << lines[0];
  EXPECT_EQ(lines[0].find('\r'), std::string::npos);
}

TEST_F(LoggerTest, PlainFormLevelsAndSettingsFile) {
  const std::wstring path = m_dir.Path() + L"plain.log";
  {
    Logger logger;
    logger.Init(L"", path.c_str(), 1048576, 0, FALSE, true);
    EXPECT_EQ(logger.GetLevel(), 3);
    logger.Log(3, L"info", L"a.cpp", 1);
    logger.Log(4, L"trace", L"a.cpp", 2);
    logger.Log(5, L"debug", L"a.cpp", 3);
    logger.Log(2, L"warn", L"a.cpp", 4);
  }
  std::string text = ReadBytes(path);
  EXPECT_NE(text.find("[INF] a.cpp(1)"), std::string::npos);
  EXPECT_NE(text.find("[WAR] a.cpp(4)"), std::string::npos);
  EXPECT_EQ(text.find("trace"), std::string::npos);
  EXPECT_EQ(text.find("debug"), std::string::npos);

  // Level 5 from the settings file lets trace and debug through; the same
  // file switches scrambling off even though the caller asked for it.
  ConfigIni config("[config]\r\ng_orvane_global_log_level=5\r\ng_orvane_log_encryped=0\r\n");
  const std::wstring verbose = m_dir.Path() + L"verbose.log";
  Logger logger;
  logger.Init(L"", verbose.c_str(), 1048576, 0, TRUE, true);
  EXPECT_EQ(logger.GetLevel(), 5);
  EXPECT_FALSE(logger.IsScrambled());
  EXPECT_EQ(logger.GetLogPath(), verbose);
  logger.Log(4, L"trace", L"a.cpp", 2);
  logger.Log(5, L"debug", L"a.cpp", 3);
  text = ReadBytes(verbose);
  EXPECT_NE(text.find("[TRA] a.cpp(2)(PID:"), std::string::npos);
  EXPECT_NE(text.find("[DBG] a.cpp(3)(PID:"), std::string::npos);
}

TEST_F(LoggerTest, SizeCheckEmptiesAnOversizeFileEvery500Runs) {
  const std::wstring path = m_dir.Path() + L"big.log";
  const std::wstring scrambled = path + L".logdat";
  const std::wstring errorLog = m_dir.Path() + L"ErrorLog.logdat";
  testfiles::WriteBytes(scrambled, std::string(5000, 'z'));
  testfiles::WriteBytes(errorLog, std::string(5000, 'e'));
  Logger logger;
  // Set-up makes the process's first check (run 0): the log is emptied. The
  // error log's path is not known until the first error line.
  logger.Init(L"", path.c_str(), 1000, 0, TRUE, true);
  EXPECT_EQ(ReadBytes(scrambled).size(), 0u);
  EXPECT_EQ(ReadBytes(errorLog).size(), 5000u);

  // Runs 1 to 499 look at no size, although the file passes the limit.
  for (int i = 1; i <= 499; ++i) logger.Log(i == 1 ? 1 : 3, L"line %d", L"big.cpp", i, i);
  bool complete = false;
  EXPECT_EQ(Records(scrambled, &complete).size(), 499u);
  EXPECT_TRUE(complete);
  EXPECT_GT(ReadBytes(scrambled).size(), 1000u);
  // The first error line went to the error file too, after the old content.
  const std::string errorBytes = ReadBytes(errorLog);
  ASSERT_GT(errorBytes.size(), 5000u);
  const std::vector<std::string> errorLines =
      ScreenCapture::DecodeRecords(std::string_view(errorBytes).substr(5000)).lines;
  ASSERT_EQ(errorLines.size(), 1u);
  EXPECT_EQ(errorLines[0].rfind("big.log.logdat ", 0), 0u) << errorLines[0];
  EXPECT_NE(errorLines[0].find("[ERR] big.cpp(1)"), std::string::npos);

  // Run 500 empties both files before its own line is written.
  logger.Log(3, L"line 500", L"big.cpp", 500);
  const std::vector<std::string> after = Records(scrambled);
  ASSERT_EQ(after.size(), 1u);
  EXPECT_NE(after[0].find("line 500"), std::string::npos);
  EXPECT_EQ(ReadBytes(errorLog).size(), 0u);
}

TEST_F(LoggerTest, UnwritablePlacesDropLinesQuietly) {
  // A read-only log file. Windows refuses to open it for writing; Wine run as
  // root opens it anyway, so only "no crash, whole records" holds on both.
  const std::wstring path = m_dir.Path() + L"ro.log";
  testfiles::WriteBytes(path + L".logdat", "");
  ::SetFileAttributesW((path + L".logdat").c_str(), FILE_ATTRIBUTE_READONLY);
  {
    Logger logger;
    logger.Init(L"", path.c_str(), 1048576, 0, TRUE, true);
    logger.Log(1, L"maybe dropped", L"ro.cpp", 1);
  }
  bool complete = false;
  EXPECT_LE(Records(path + L".logdat", &complete).size(), 1u);
  EXPECT_TRUE(complete);
  ::SetFileAttributesW((path + L".logdat").c_str(), FILE_ATTRIBUTE_NORMAL);

  // A log file that another program holds without sharing: refused everywhere.
  const std::wstring held = m_dir.Path() + L"held.log";
  const HANDLE holder = ::CreateFileW((held + L".logdat").c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                      CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(holder, INVALID_HANDLE_VALUE);
  {
    Logger logger;
    logger.Init(L"", held.c_str(), 1048576, 0, TRUE, true);
    logger.Log(3, L"dropped", L"held.cpp", 1);
    logger.Log(1, L"dropped error", L"held.cpp", 2);
  }
  ::CloseHandle(holder);
  EXPECT_EQ(ReadBytes(held + L".logdat").size(), 0u);

  // A folder that cannot be created: its parent is a file.
  testfiles::WriteBytes(m_dir.Path() + L"blocker", "x");
  const std::wstring blocked = m_dir.Path() + L"blocker\\sub\\x.log";
  Logger logger;
  logger.Init(L"", blocked.c_str(), 1048576, 0, TRUE, true);
  logger.Log(3, L"dropped too", L"x.cpp", 1);
  EXPECT_FALSE(FileUtils::DirectoryExists(m_dir.Path() + L"blocker\\sub"));
}

// Four writers of 1000 lines on one file, started at once.
std::vector<PROCESS_INFORMATION> StartWriters(const std::wstring& path, int lines, int maxSize) {
  std::vector<PROCESS_INFORMATION> children;
  for (int id = 0; id < 4; ++id) {
    std::wstring command = L"\"" + FileUtils::GetCurrentModuleFilePath() + L"\" --log-writer \"" + path + L"\" " +
                           std::to_wstring(lines) + L" " + std::to_wstring(id) + L" " + std::to_wstring(maxSize);
    STARTUPINFOW startup = {sizeof(startup)};
    PROCESS_INFORMATION info = {};
    if (::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
      children.push_back(info);
    }
  }
  return children;
}

void WaitForWriters(std::vector<PROCESS_INFORMATION>& children) {
  for (PROCESS_INFORMATION& info : children) {
    EXPECT_EQ(::WaitForSingleObject(info.hProcess, 60000), WAIT_OBJECT_0);
    ::CloseHandle(info.hProcess);
    ::CloseHandle(info.hThread);
  }
}

// Each record is one whole line of a writer; per writer the line numbers
// rise. Returns how many lines each writer has in the file.
std::vector<int> CheckWriterLines(const std::vector<std::string>& lines, bool consecutive) {
  const std::regex pattern(R"(.* : \[INF\] child\.cpp\(\d+\)\(PID:\d+\)\(\d+\)writer (\d) line (\d+) padding-padding-padding-padding\n)");
  std::vector<int> count(4, 0), last(4, -1);
  for (const std::string& line : lines) {
    std::smatch match;
    if (!std::regex_match(line, match, pattern)) {
      ADD_FAILURE() << "not a whole line: " << line;
      break;
    }
    const int id = std::stoi(match[1]), k = std::stoi(match[2]);
    if (id < 0 || id >= 4) continue;
    if (consecutive) {
      EXPECT_EQ(k, last[id] + 1);
    } else {
      EXPECT_GT(k, last[id]);
    }
    last[id] = k;
    ++count[static_cast<size_t>(id)];
  }
  return count;
}

TEST_F(LoggerTest, FourProcessesWriteWholeRecordsEvenWhenOneIsKilled) {
  const std::wstring path = m_dir.Path() + L"shared.log";
  constexpr int kLines = 1000;
  constexpr int kKilled = 3;
  std::vector<PROCESS_INFORMATION> children = StartWriters(path, kLines, 0);
  ASSERT_EQ(children.size(), 4u);
  // One writer dies in the middle of its lines, maybe holding the mutex.
  const std::string mark = "writer " + std::to_string(kKilled) + " line 100 ";
  const DWORD start = ::GetTickCount();
  while (Records(path + L".logdat").size() < 50 || [&] {
    for (const std::string& line : Records(path + L".logdat")) {
      if (line.find(mark) != std::string::npos) return false;
    }
    return true;
  }()) {
    ASSERT_LT(::GetTickCount() - start, 60000u) << "writer " << kKilled << " never reached line 100";
    ::Sleep(5);
  }
  ::TerminateProcess(children[kKilled].hProcess, 9);
  WaitForWriters(children);
  bool complete = false;
  const std::vector<std::string> lines = Records(path + L".logdat", &complete);
  EXPECT_TRUE(complete);
  const std::vector<int> count = CheckWriterLines(lines, true);
  for (int id = 0; id < 4; ++id) {
    if (id == kKilled) {
      EXPECT_GT(count[id], 100);
      EXPECT_LT(count[id], kLines) << "the writer was killed too late to count";
    } else {
      EXPECT_EQ(count[id], kLines);
    }
  }

  // With a size limit of 20 KB the file is emptied while the others write:
  // what is left are whole records still.
  const std::wstring small = m_dir.Path() + L"small.log";
  children = StartWriters(small, kLines, 20000);
  WaitForWriters(children);
  const std::vector<std::string> kept = Records(small + L".logdat", &complete);
  EXPECT_TRUE(complete);
  EXPECT_FALSE(kept.empty());
  EXPECT_LT(kept.size(), 4u * kLines);  // it was emptied
  CheckWriterLines(kept, false);
}

}  // namespace
