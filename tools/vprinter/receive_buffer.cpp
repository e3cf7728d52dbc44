#include "receive_buffer.h"

#include <algorithm>
#include <cmath>

namespace vprinter {

void ReceiveBuffer::SetDrainRate(int bytesPerSecond, Clock::time_point now) {
  Drain(now);
  rate_ = std::max(0, bytesPerSecond);
}

size_t ReceiveBuffer::Accept(size_t n, Clock::time_point now) {
  Drain(now);
  if (rate_ == 0) return 0;
  const double room = kCapacity - level_;
  const double lost = std::max(0.0, n - room);
  level_ = std::min<double>(kCapacity, level_ + n);
  return static_cast<size_t>(lost);
}

int ReceiveBuffer::FillPercent(Clock::time_point now) {
  Drain(now);
  return static_cast<int>(std::ceil(level_ * 100 / kCapacity - 1e-9));
}

void ReceiveBuffer::Drain(Clock::time_point now) {
  if (rate_ == 0) {
    level_ = 0;
  } else if (now > drained_) {
    const double seconds = std::chrono::duration<double>(now - drained_).count();
    level_ = std::max(0.0, level_ - seconds * rate_);
  }
  drained_ = now;
}

}  // namespace vprinter
