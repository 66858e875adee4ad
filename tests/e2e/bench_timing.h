#pragma once
// Timing for the Windows-side benchmarks: a millisecond clock, the median of a run, and the
// growth of a time over list sizes.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <utility>
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

// Time over list sizes: per item, and per item added since the size before (the same
// figure at every step when the time grows linearly).
inline void PrintGrowth(const std::vector<std::pair<int, double>>& growth) {
  for (size_t k = 0; k < growth.size(); ++k) {
    const auto [count, took] = growth[k];
    std::printf("  %5d items: %8.2f ms, %.2f us an item", count, took, took * 1000.0 / count);
    if (k > 0) {
      std::printf(", %.2f us for each item beyond %d", (took - growth[k - 1].second) * 1000.0 / (count - growth[k - 1].first),
                  growth[k - 1].first);
    }
    std::printf("\n");
  }
}

}  // namespace velnor::e2e
