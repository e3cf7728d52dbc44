// The paper's pace: at a set speed every command that moves the paper takes its paper's time,
// one after the other, and the bytes read stay in the receive buffer until the paper has passed
// them. A printer at its pace reads no more than its buffer holds, so a sender feels the pace.
#ifndef VPRINTER_PAPER_PACE_H
#define VPRINTER_PAPER_PACE_H

#include <chrono>
#include <cstddef>
#include <deque>

#include "command.h"
#include "printer_settings.h"

namespace vprinter {

// Dots of paper the command moves, at 8 dots a millimetre, with the settings it has left.
int PaperDotsOf(const Command& command, const PrinterSettings& settings);

class PaperPace {
 public:
  using Clock = std::chrono::steady_clock;
  static constexpr int kDotsPerMillimetre = 8;

  // 0: printing takes no time (the default).
  void SetSpeed(int millimetresPerSecond);
  bool Paced() const { return speed_ > 0; }
  // When everything printed so far will be out, now at the earliest.
  Clock::time_point Done(Clock::time_point now) const { return std::max(now, busyUntil_); }
  // Moves the paper by dots behind what is still printing.
  void Print(int dots, Clock::time_point now);
  // Bytes read whose commands started printing at start and printed up to Done: they leave the
  // buffer evenly over that time.
  void Hold(size_t bytes, Clock::time_point start);
  // Bytes read whose paper has not passed yet.
  size_t Held(Clock::time_point now);

 private:
  struct Span {
    size_t bytes;
    Clock::time_point start, end;
  };

  int speed_ = 0;
  Clock::time_point busyUntil_{};
  std::deque<Span> held_;
};

}  // namespace vprinter

#endif  // VPRINTER_PAPER_PACE_H
