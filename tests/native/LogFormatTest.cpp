#include <gtest/gtest.h>

#include <string>

#include "core/LogFormat.h"
#include "core/LogPath.h"
#include "core/LogRecord.h"

namespace ScreenCapture {
namespace {

TEST(LogFormat, HeaderPatternAndSourceName) {
  LogTime time;
  time.month = 3;
  time.day = 9;
  time.hour = 7;
  time.minute = 5;
  time.second = 4;
  time.millisecond = 42;
  EXPECT_EQ(BuildLineFormat(time, 3, L"main.cpp", 120, 4242, 17, L"lpCmdLine=%s"),
            L"03-09 07:05:04:042 : [INF] main.cpp(120)(PID:4242)(17)lpCmdLine=%s\n");
  // Ids above 2^31 print as "%d" prints them; a "%" in the file name is literal.
  time.month = 12;
  time.millisecond = 999;
  EXPECT_EQ(BuildLineFormat(time, 9, L"a%d.cpp", 0, 0xFFFFFFFFu, 0x80000000u, L""),
            L"12-09 07:05:04:999 : [NONE] a%%d.cpp(0)(PID:-1)(-2147483648)\n");

  EXPECT_EQ(SourceFileName(L"/work/src/app/main.cpp"), L"main.cpp");
  EXPECT_EQ(SourceFileName(L"D:\\src\\common\\Logger.cpp"), L"Logger.cpp");
  EXPECT_EQ(SourceFileName(L"plain.h"), L"plain.h");
}

TEST(LogRecord, ScrambledRecordsRoundTrip) {
  // One line of N bytes is N + 4 bytes; complementing the tail gives it back.
  const std::string line = "12-06 10:00:00:000 : [INF] main.cpp(1)(PID:1)(2)\xE6\x88\xAA\xE5\x9B\xBE\n";
  const std::string record = EncodeRecord(line);
  ASSERT_EQ(record.size(), line.size() + 4);
  EXPECT_EQ(static_cast<unsigned char>(record[0]), line.size());
  EXPECT_EQ(record[1], 0);
  for (size_t i = 0; i < line.size(); ++i) {
    EXPECT_EQ(static_cast<unsigned char>(record[4 + i]), static_cast<unsigned char>(~line[i]) & 0xFF);
  }

  std::string file;
  AppendRecord(file, line);
  AppendRecord(file, "");
  AppendRecord(file, std::string(70000, 'x'));  // count needs three bytes
  const size_t countAt = file.size() - 70000 - 4;  // 70000 = 0x011170, little-endian
  EXPECT_EQ(static_cast<unsigned char>(file[countAt]), 0x70);
  EXPECT_EQ(static_cast<unsigned char>(file[countAt + 1]), 0x11);
  EXPECT_EQ(static_cast<unsigned char>(file[countAt + 2]), 0x01);
  EXPECT_EQ(static_cast<unsigned char>(file[countAt + 3]), 0x00);
  DecodedRecords decoded = DecodeRecords(file);
  ASSERT_TRUE(decoded.complete);
  ASSERT_EQ(decoded.lines.size(), 3u);
  EXPECT_EQ(decoded.lines[0], line);
  EXPECT_EQ(decoded.lines[1], "");
  EXPECT_EQ(decoded.lines[2], std::string(70000, 'x'));
  EXPECT_EQ(decoded.consumed, file.size());

  // A torn record at the end: the whole ones come back, the rest is reported.
  for (size_t cut : {size_t{1}, size_t{3}, size_t{4}, size_t{69999}}) {
    DecodedRecords torn = DecodeRecords(std::string_view(file).substr(0, file.size() - cut));
    EXPECT_FALSE(torn.complete) << cut;
    EXPECT_EQ(torn.lines.size(), 2u) << cut;
    EXPECT_EQ(torn.consumed, line.size() + 8) << cut;
  }
  // A count larger than everything left never reads past the data.
  const std::string bogus("\xFF\xFF\xFF\xFF" "abc", 7);
  EXPECT_FALSE(DecodeRecords(bogus).complete);
  EXPECT_TRUE(DecodeRecords("").complete);
}

TEST(LogPath, FolderAndNames) {
  LogPathInput input;
  input.moduleFilePath = L"C:\\Program Files\\Orvane\\ZTDScreenCapture.exe";
  input.moduleName = L"quorabase";
  input.tempFolder = L"C:\\Temp\\";
  input.commonAppData = L"C:\\ProgramData";

  LogPathPlan plan = PlanLogPath(input);
  EXPECT_EQ(plan.folder, L"C:\\ProgramData\\Orvane\\quorabase\\logs\\");
  EXPECT_EQ(plan.path, L"C:\\ProgramData\\Orvane\\quorabase\\logs\\ZTDScreenCapture.exe.log");

  // No module name: the temporary folder, with a backslash added if missing.
  input.moduleName.clear();
  input.tempFolder = L"C:\\Temp";
  EXPECT_EQ(PlanLogPath(input).path, L"C:\\Temp\\ZTDScreenCapture.exe.log");

  // A given name with a folder of its own keeps that folder (once).
  input.fileName = L"D:\\logs\\mine.log";
  plan = PlanLogPath(input);
  EXPECT_EQ(plan.folder, L"D:\\logs\\");
  EXPECT_EQ(plan.path, L"D:\\logs\\mine.log");
  // A backslash at position 0 is no folder.
  input.moduleName = L"m";
  input.fileName = L"\\x.log";
  EXPECT_EQ(PlanLogPath(input).path, L"C:\\ProgramData\\Orvane\\m\\logs\\x.log");
  // Only the first 260 characters of a given name are looked at.
  input.fileName = std::wstring(300, L'n');
  EXPECT_EQ(PlanLogPath(input).path, L"C:\\ProgramData\\Orvane\\m\\logs\\" + std::wstring(260, L'n'));

  EXPECT_EQ(InsertBeforeLastDot(L"C:\\l\\a.exe.log", L".normal"), L"C:\\l\\a.exe.normal.log");
  EXPECT_EQ(InsertBeforeLastDot(L"C:\\l.d\\noext", L".normal"), L"C:\\l.d\\noext.normal");
  EXPECT_EQ(ErrorLogPath(L"C:\\l\\a.exe.log.logdat", true), L"C:\\l\\ErrorLog.logdat");
  EXPECT_EQ(ErrorLogPath(L"C:\\l\\a.exe.log", false), L"C:\\l\\ErrorLog.log");
  EXPECT_EQ(PathFolder(L"C:\\a\\b.exe"), L"C:\\a\\");
  EXPECT_EQ(PathFileName(L"C:\\a\\b.exe"), L"b.exe");
  EXPECT_EQ(PathFolder(L"b.exe"), L"");
  // What the uninstall entry's DisplayIcon can hold, beyond the quoted and
  // the comma cases the install folder test reads from the registry.
  EXPECT_EQ(NamedFilePath(L"C:\\a,1\\app.exe,-101"), L"C:\\a,1\\app.exe");
  EXPECT_EQ(NamedFilePath(L"\"C:\\a b\\unins000.exe\" /x"), L"C:\\a b\\unins000.exe");
  EXPECT_EQ(NamedFilePath(L"C:\\a\\app.exe,"), L"C:\\a\\app.exe,");
}

}  // namespace
}  // namespace ScreenCapture
