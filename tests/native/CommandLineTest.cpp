#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "core/CommandLine.h"
#include "core/StartParams.h"

namespace ScreenCapture {
namespace {

TEST(CommandLine, ValueGrammar) {
  // Blanks inside a value are kept, both ends trimmed; the value stops at "--".
  const std::wstring line = L"--cachepath= C:\\a b\\ --startmode=2";
  EXPECT_EQ(GetCommandLineValue(line, L"cachepath"), L"C:\\a b\\");
  EXPECT_EQ(GetCommandLineValue(line, L"startmode"), L"2");
  // Two hyphens inside a value cut it.
  EXPECT_EQ(GetCommandLineValue(L"--cachepath=C:\\x--y", L"cachepath"), L"C:\\x");
  // The first of two occurrences counts.
  EXPECT_EQ(GetCommandLineValue(L"--appkey=FIRST --appkey=SECOND", L"appkey"), L"FIRST");
  // Keys are case-sensitive and must carry the equals sign.
  EXPECT_EQ(GetCommandLineValue(L"--CachePath=x --cachepath y", L"cachepath"), L"");
  // A key that is only the tail of another key still matches as a substring.
  EXPECT_EQ(GetCommandLineValue(L"--xcachepath=inner", L"cachepath"), L"");
  EXPECT_EQ(GetCommandLineValue(L"---cachepath=inner", L"cachepath"), L"inner");
  // Empty, absent, quoted and tab-separated values.
  EXPECT_EQ(GetCommandLineValue(L"", L"cachepath"), L"");
  EXPECT_EQ(GetCommandLineValue(L"--cachepath=", L"cachepath"), L"");
  EXPECT_EQ(GetCommandLineValue(L"--cachepath=\"C:\\q\"\t--startmode=1", L"cachepath"), L"\"C:\\q\"");
  // Non-ASCII text passes unchanged.
  EXPECT_EQ(GetCommandLineValue(L"--cachepath=D:\\截图 文件夹\\ --x=1", L"cachepath"), L"D:\\截图 文件夹\\");
}

TEST(CommandLine, HugeValueAndPrefetchFlag) {
  std::wstring huge(100000, L'a');
  huge[50000] = L' ';
  const std::wstring line = L"--unknown=1 --cachepath=" + huge + L" --startmode=1";
  EXPECT_EQ(GetCommandLineValue(line, L"cachepath"), huge);
  EXPECT_EQ(GetCommandLineValue(line, L"startmode"), L"1");

  EXPECT_TRUE(HasPrefetchFlag(L"\"C:\\p\\ZTDScreenCapture.exe\" --startprefetch"));
  EXPECT_TRUE(HasPrefetchFlag(L"x.exe --cachepath=C:\\--startprefetch\\y"));
  EXPECT_FALSE(HasPrefetchFlag(L"x.exe -startprefetch --startPrefetch"));
}

TEST(CommandLine, LeadingIntegerConversion) {
  EXPECT_EQ(ParseLeadingInt(L"2"), 2);
  EXPECT_EQ(ParseLeadingInt(L"  \t17abc"), 17);
  EXPECT_EQ(ParseLeadingInt(L"abc"), 0);
  EXPECT_EQ(ParseLeadingInt(L""), 0);
  EXPECT_EQ(ParseLeadingInt(L"-3"), -3);
  EXPECT_EQ(ParseLeadingInt(L"+4"), 4);
  EXPECT_EQ(ParseLeadingInt(L"- 4"), 0);
  EXPECT_EQ(ParseLeadingInt(L"2147483647"), INT_MAX);
  EXPECT_EQ(ParseLeadingInt(L"-2147483648"), INT_MIN);
  EXPECT_EQ(ParseLeadingInt(L"99999999999999999999999"), INT_MAX);
  EXPECT_EQ(ParseLeadingInt(L"-99999999999999999999999"), INT_MIN);
  EXPECT_EQ(ParseLeadingInt(L"2147483648"), INT_MAX);
}

// Counts how often each fall-back is asked for.
class FakeFallbacks : public IStartParamFallbacks {
 public:
  std::wstring GetSaveFolder() const override { ++saveFolderCalls; return L"C:\\Users\\u\\Pictures\\Orvane截图"; }
  std::wstring GetSuiteVersion() const override { ++suiteCalls; return L"5.1.0.7"; }
  std::wstring GetAssistantVersion() const override { ++assistantCalls; return L"2.3.4.5"; }
  mutable int saveFolderCalls = 0;
  mutable int suiteCalls = 0;
  mutable int assistantCalls = 0;
};

TEST(StartParams, DefaultsAndFallbacks) {
  FakeFallbacks fallbacks;
  CaptureStartParams params;
  ParseStartParams(params, L"", fallbacks);
  EXPECT_EQ(params.cachePath, L"C:\\Users\\u\\Pictures\\Orvane截图");
  EXPECT_EQ(params.startMode, 0);
  EXPECT_EQ(params.fileMappingName, L"");
  EXPECT_EQ(params.appKey, L"QW7R2KX9M4ZP");
  EXPECT_EQ(params.tdrVersion, L"5.1.0.7");
  EXPECT_EQ(params.quillarinVersion, L"2.3.4.5");
  EXPECT_EQ(params.moduleVersion, L"");
  EXPECT_EQ(fallbacks.saveFolderCalls, 1);

  // Values on the line win, and their fall-backs are never looked up.
  FakeFallbacks unused;
  CaptureStartParams given;
  ParseStartParams(given,
                   L"--cachepath=D:\\c --ignoreWndowClassName=;A;B; --appkey=K1 --quillarinversion=1.2 "
                   L"--tdrversion=9.9 --moduleversion=3",
                   unused);
  EXPECT_EQ(given.cachePath, L"D:\\c");  // the others reach the pin program end to end
  EXPECT_EQ(unused.saveFolderCalls + unused.suiteCalls + unused.assistantCalls, 0);

  // An empty ignore list keeps the default.
  CaptureStartParams emptyIgnore;
  ParseStartParams(emptyIgnore, L"--ignoreWndowClassName= --cachepath=x", fallbacks);
  EXPECT_EQ(emptyIgnore.ignoreWindowClassName, kDefaultIgnoredWindowClasses);
}

TEST(StartParams, StartModeAndMappingName) {
  FakeFallbacks fallbacks;
  // The hand-over itself is checked end to end. A start mode that is not a
  // number is 0, and the mapping name is still read.
  CaptureStartParams letters;
  ParseStartParams(letters, L"--startmode=abc --fileMappingName=m1", fallbacks);
  EXPECT_EQ(letters.startMode, 0);
  EXPECT_EQ(letters.fileMappingName, L"m1");

  // Without a start mode the mapping name is ignored.
  CaptureStartParams noMode;
  ParseStartParams(noMode, L"--fileMappingName=m2", fallbacks);
  EXPECT_EQ(noMode.startMode, 0);
  EXPECT_EQ(noMode.fileMappingName, L"");
}

}  // namespace
}  // namespace ScreenCapture

#include "core/OutputNames.h"

namespace ScreenCapture {
namespace {

TEST(OutputNames, FileNamesPathsAndSiblingCommandLines) {
  EXPECT_EQ(FormatTimeStamp(2026, 3, 7, 9, 5, 1), L"20260307090501");
  EXPECT_EQ(FormatTimeStamp(2026, 12, 31, 23, 59, 59).size(), 14u);
  EXPECT_EQ(ImageFileName(L"20260307090501"), L"Orvane截图_20260307090501.png");
  // One backslash before the name, with or without one at the folder's end.
  EXPECT_EQ(CacheImagePath(L"C:\\cache\\", L"1"), L"C:\\cache\\Orvane截图_1.png");
  EXPECT_EQ(CacheImagePath(L"C:\\cache", L"1"), L"C:\\cache\\Orvane截图_1.png");
  EXPECT_EQ(CacheImagePath(L"", L"1"), L"");
  CaptureStartParams params;
  params.tdrVersion = L"5.0.1";
  params.moduleVersion = L"7";
  params.appKey = L"KEY";
  params.quillarinVersion = L"2.3.4.5";
  params.startMode = 1;
  EXPECT_EQ(SiblingParameters(L"--cachepath=", L"D:\\c d\\a.png", params),
            L"--cachepath=D:\\c d\\a.png --tdrversion=5.0.1 --moduleversion=7 --appkey=KEY "
            L"--quillarinversion=2.3.4.5 --startmode=1");
  EXPECT_EQ(SiblingParameters(L"--imgpath=", L"x", CaptureStartParams{}).rfind(L"--imgpath=x --tdrversion=", 0), 0u);
}

}  // namespace
}  // namespace ScreenCapture
