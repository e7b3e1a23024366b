#pragma once
// Figures the Windows benchmarks report: the median of timings and the
// process's peak committed memory.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <vector>

namespace benchstats {

inline double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

inline double PeakMb() {
  PROCESS_MEMORY_COUNTERS counters = {};
  counters.cb = sizeof(counters);
  ::GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof(counters));
  return counters.PeakPagefileUsage / 1048576.0;
}

}  // namespace benchstats
