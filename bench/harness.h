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

// Ours against the yardstick taken in turn (ours, theirs, ours, ...), so that a machine whose
// speed drifts during the run still gives pairs measured under the same load; each sample is
// `calls` calls. The ratio is the median of the pairs' ratios, with the lowest and highest.
struct PairedRatio {
  double ours, theirs;  // median seconds of one call
  double ratio, low, high;
};

// Pairs of samples already taken in turn (ours[i] just before or after theirs[i]); not empty.
inline PairedRatio RatioOfPairs(const std::vector<double>& ours, const std::vector<double>& theirs) {
  std::vector<double> r;
  for (size_t i = 0; i < ours.size(); ++i) r.push_back(ours[i] / theirs[i]);
  auto median = [](std::vector<double> v) {
    std::nth_element(v.begin(), v.begin() + v.size() / 2, v.end());
    return v[v.size() / 2];
  };
  return {median(ours), median(theirs), median(r), *std::min_element(r.begin(), r.end()),
          *std::max_element(r.begin(), r.end())};
}

template <class A, class B>
PairedRatio InTurn(A&& ours, B&& theirs, int pairs = 21, int calls = 1) {
  auto sample = [calls](auto& run) {
    double start = NowSeconds();
    for (int i = 0; i < calls; ++i) run();
    return (NowSeconds() - start) / calls;
  };
  ours();
  theirs();
  std::vector<double> a, b;
  for (int i = 0; i < pairs; ++i) {
    a.push_back(sample(ours));
    b.push_back(sample(theirs));
  }
  return RatioOfPairs(a, b);
}

// "name  1.234 ms  yardstick  2.468 ms  ratio 0.50 (0.47-0.55)": the median ratio of the pairs
// and their spread.
inline void PrintPaired(const char* name, const PairedRatio& p, const char* yardstick) {
  std::printf("%-40s %9.3f ms   %-24s %9.3f ms   ratio %.2f (%.2f-%.2f)\n", name, p.ours * 1e3,
              yardstick, p.theirs * 1e3, p.ratio, p.low, p.high);
  std::fflush(stdout);
}

// "name: 1.234 ms, yardstick name: 2.468 ms, ratio 0.50" (below 1: faster than the yardstick).
inline void PrintRatio(const char* name, double seconds, const char* yardstick,
                       double yardstickSeconds) {
  std::printf("%-40s %9.3f ms   %-24s %9.3f ms   ratio %.2f\n", name, seconds * 1e3, yardstick,
              yardstickSeconds * 1e3, seconds / yardstickSeconds);
  std::fflush(stdout);
}

}  // namespace bench
