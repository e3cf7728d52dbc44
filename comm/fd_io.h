// Bounded transfers on a file descriptor (a serial line, a device node, a socket). Every wait
// sleeps in poll and ends at a deadline on the monotonic clock, so no call waits without end.
#ifndef TALLYJET_FD_IO_H
#define TALLYJET_FD_IO_H

#include <cstdint>

namespace fdio {

// A deadline that never comes.
constexpr int64_t kNoDeadline = INT64_MAX;
// A write that may stall for any time its deadline leaves.
constexpr int kNoStallLimit = 0;

enum class Readiness {
  kReady,     // the descriptor is ready for the transfer
  kTimedOut,  // the deadline passed first
  kBroken,    // the descriptor reports an error or a hang-up: it will never be ready
};

// Milliseconds on the monotonic clock, which no change of the wall clock moves.
int64_t MonotonicMs();

// Sleeps in poll until fd is ready for events, the deadline passes, or the descriptor breaks.
Readiness WaitFor(int fd, short events, int64_t deadline);

// Sends all length bytes in order, carrying on after short writes, EAGAIN and EINTR. Gives up
// (false) when the descriptor fails, when the deadline passes, or when stallMs (unless
// kNoStallLimit) pass without a byte going out; *sent (when given) then tells how many bytes
// went before. A socket never raises SIGPIPE here.
bool WriteAll(int fd, const char* data, int length, int64_t deadline, int stallMs,
              int* sent = nullptr);

// Bytes written to fd that have not left yet: a socket's unacknowledged bytes (its end of data
// included), a terminal's output queue. -1 when the descriptor cannot tell.
int QueuedOutput(int fd);

// A deadline that keeps moving while a count of outstanding bytes shrinks: a wait that gives up
// only once the other side has taken nothing for stallMs, however long it takes in all.
class ProgressDeadline {
 public:
  ProgressDeadline(int stallMs, int outstanding)
      : stallMs_(stallMs), outstanding_(outstanding), deadline_(MonotonicMs() + stallMs) {}
  // Notes the count now; the deadline moves stallMs past now when it shrank.
  void Note(int outstanding) {
    if (outstanding >= outstanding_) return;
    outstanding_ = outstanding;
    deadline_ = MonotonicMs() + stallMs_;
  }
  int64_t Deadline() const { return deadline_; }

 private:
  int stallMs_;
  int outstanding_;
  int64_t deadline_;
};

// Waits while fd's queued output (QueuedOutput) goes out: true once none is left, or at once
// when the descriptor cannot tell; false once none has gone for stallMs.
bool WaitForQueuedOutput(int fd, int stallMs);

// How a transport on a descriptor keeps it in CommBase's fd_: 0 when none is held; the
// descriptor itself while the link is sound; the descriptor negated once the link is broken
// (a write failed, or the connection was reset). The printer may then hold half a command, and
// the job misses what the write did not deliver: nothing more may be sent on it, and closing
// reports the job undelivered. Held descriptors
// are above 2, so the two forms never meet.
inline int MarkBroken(int held) { return held > 0 ? -held : held; }
inline bool IsBroken(int held) { return held < 0; }
inline int DescriptorOf(int held) { return held < 0 ? -held : held; }

// The bytes that arrive first, up to length, waiting until the deadline: their count, 0 when
// nothing came in time, -1 when the descriptor failed, hung up or reached its end.
int ReadFirst(int fd, char* buffer, int length, int64_t deadline);

// Reads and drops whatever input is pending, without waiting for more. Stops after a bounded
// amount, so a peer that never stops sending cannot hold the caller.
void DiscardInput(int fd);

// A descriptor that took the place of standard input, output or error (0, 1 or 2, as open
// answers when those are closed) moved to the lowest free number above 2; any other descriptor
// unchanged. -1 when it could not be moved (it is closed then).
int MoveAboveStandardStreams(int fd);

}  // namespace fdio

#endif  // TALLYJET_FD_IO_H
