#pragma once
// Timing for the Windows-side benchmarks: a millisecond clock and the median of a run.
#include <windows.h>

#include <algorithm>
#include <vector>

namespace velnor::e2e {

inline double Now() {
  LARGE_INTEGER frequency, counter;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&counter);
  return static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

inline double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? 0 : values[values.size() / 2];
}

}  // namespace velnor::e2e
