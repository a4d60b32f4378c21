// A small benchmark harness: a measurement is the median of repeated runs, and every figure is
// printed as a ratio against a yardstick measured in the same process, so that the numbers
// compare across machines.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace bench {

// Keeps the compiler from dropping a computation whose result nothing else uses.
template <class T>
inline void KeepAlive(const T& value) {
  asm volatile("" : : "g"(&value) : "memory");
}

inline double NowSeconds() {
  LARGE_INTEGER frequency, now;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Seconds that one call of run takes: the median of runs calls, after one warm-up call.
template <class F>
double MedianSeconds(F&& run, int runs = 9) {
  run();
  std::vector<double> times;
  for (int i = 0; i < runs; ++i) {
    double start = NowSeconds();
    run();
    times.push_back(NowSeconds() - start);
  }
  std::nth_element(times.begin(), times.begin() + runs / 2, times.end());
  return times[runs / 2];
}

// "name: 1.234 ms, yardstick name: 2.468 ms, ratio 0.50" (below 1: faster than the yardstick).
inline void PrintRatio(const char* name, double seconds, const char* yardstick,
                       double yardstickSeconds) {
  std::printf("%-40s %9.3f ms   %-24s %9.3f ms   ratio %.2f\n", name, seconds * 1e3, yardstick,
              yardstickSeconds * 1e3, seconds / yardstickSeconds);
  std::fflush(stdout);
}

}  // namespace bench
