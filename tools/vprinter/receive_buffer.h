// The printer's 6000-byte receive buffer: bytes go in as they are read from the line and drain
// out at the print speed. A writer that sends more than fits overruns it.
#ifndef VPRINTER_RECEIVE_BUFFER_H
#define VPRINTER_RECEIVE_BUFFER_H

#include <chrono>
#include <cstddef>

namespace vprinter {

class ReceiveBuffer {
 public:
  using Clock = std::chrono::steady_clock;
  static constexpr size_t kCapacity = 6000;

  // bytesPerSecond 0 empties the buffer at once.
  void SetDrainRate(int bytesPerSecond, Clock::time_point now);
  // Takes n bytes; returns how many did not fit, which a real printer would have lost.
  size_t Accept(size_t n, Clock::time_point now);
  // The fill level as a percentage, rounded up, so that a writer never sees more room than
  // there is.
  int FillPercent(Clock::time_point now);

 private:
  void Drain(Clock::time_point now);

  int rate_ = 0;
  double level_ = 0;
  Clock::time_point drained_;
};

}  // namespace vprinter

#endif  // VPRINTER_RECEIVE_BUFFER_H
