#include "common/BigDataHelper.h"

namespace ScreenCapture {

int StartUsageReporting(const std::wstring& /*commandLine*/) { return 0; }

void FinishUsageReporting() {}

}  // namespace ScreenCapture
