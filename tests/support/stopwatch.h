// Monotonic milliseconds since the stopwatch was made, for the generous bounds put on a wait.
#ifndef TALLYJET_TESTS_STOPWATCH_H
#define TALLYJET_TESTS_STOPWATCH_H

#include <chrono>

class Stopwatch {
 public:
  long Ms() const {
    return static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                 std::chrono::steady_clock::now() - start_)
                                 .count());
  }

 private:
  const std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

#endif  // TALLYJET_TESTS_STOPWATCH_H
