// Timing for the benchmarks: every figure they print is a ratio against a
// baseline measured in the same run, so only relative times matter here.
#pragma once

#include <chrono>
#include <cstring>

namespace loom::bench {

// A steady clock in seconds, for the differences of two readings.
inline double Seconds() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// The shortest of `runs` timings of `work`, in seconds.
template <typename Work>
double BestSeconds(int runs, Work&& work) {
  double best = 1e30;
  for (int r = 0; r < runs; ++r) {
    double start = Seconds();
    work();
    double s = Seconds() - start;
    if (s < best) best = s;
  }
  return best;
}

// --quick: a short smoke pass (the test suite runs that one).
inline bool QuickRun(int argc, char** argv) { return argc > 1 && std::strcmp(argv[1], "--quick") == 0; }

}  // namespace loom::bench
