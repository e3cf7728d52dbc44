#include "fd_io.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <ctime>

namespace fdio {
namespace {

constexpr int kHighestStandardStream = 2;
// DiscardInput reads at most this many chunks of this size: 64 KB, far more than any printer
// answers unasked.
constexpr int kDiscardChunk = 512;
constexpr int kDiscardChunks = 128;
// How often WaitForQueuedOutput looks at the queue.
constexpr int kQueueLookMs = 10;

bool Transient(int error) { return error == EAGAIN || error == EWOULDBLOCK || error == EINTR; }

// One write attempt. send with MSG_NOSIGNAL, so that a socket whose peer has gone answers EPIPE
// instead of killing the process; any other descriptor takes a plain write.
ssize_t WriteOnce(int fd, const char* data, size_t length) {
  const ssize_t sent = send(fd, data, length, MSG_NOSIGNAL);
  if (sent >= 0 || errno != ENOTSOCK) return sent;
  return write(fd, data, length);
}

}  // namespace

int64_t MonotonicMs() {
  timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  return int64_t{now.tv_sec} * 1000 + now.tv_nsec / 1000000;
}

// A signal that ends poll early does not end the wait.
Readiness WaitFor(int fd, short events, int64_t deadline) {
  pollfd entry{fd, events, 0};
  int ready;
  do {
    const int64_t remaining = deadline - MonotonicMs();
    if (remaining <= 0) return Readiness::kTimedOut;
    ready = poll(&entry, 1, static_cast<int>(std::min<int64_t>(remaining, INT_MAX)));
  } while (ready < 0 && errno == EINTR);
  if (ready < 0) return Readiness::kBroken;
  if (ready == 0) return Readiness::kTimedOut;
  return (entry.revents & (POLLERR | POLLHUP | POLLNVAL)) == 0 ? Readiness::kReady
                                                               : Readiness::kBroken;
}

bool WriteAll(int fd, const char* data, int length, int64_t deadline, int stallMs, int* sent) {
  int ignored;
  int& done = sent != nullptr ? *sent : ignored;
  done = 0;
  int64_t lastProgress = MonotonicMs();
  while (done < length) {
    const ssize_t written = WriteOnce(fd, data + done, static_cast<size_t>(length - done));
    if (written > 0) {
      done += static_cast<int>(written);
      lastProgress = MonotonicMs();
      continue;
    }
    if (written < 0 && !Transient(errno)) return false;
    const int64_t waitEnd =
        stallMs == kNoStallLimit ? deadline : std::min(deadline, lastProgress + stallMs);
    if (WaitFor(fd, POLLOUT, waitEnd) != Readiness::kReady) return false;
  }
  return true;
}

// A read that finds nothing just after poll reported input means the other end has closed: a
// socket or pipe at its end. A terminal with nothing to read is not reported as ready.
int ReadFirst(int fd, char* buffer, int length, int64_t deadline) {
  if (length == 0) return 0;
  bool reportedReady = false;
  for (;;) {
    const ssize_t got = read(fd, buffer, static_cast<size_t>(length));
    if (got > 0) return static_cast<int>(got);
    if (got < 0 && !Transient(errno)) return -1;
    if (got == 0 && reportedReady) return -1;
    switch (WaitFor(fd, POLLIN, deadline)) {
      case Readiness::kReady:
        reportedReady = true;
        break;
      case Readiness::kTimedOut:
        return 0;
      case Readiness::kBroken:
        return -1;
    }
  }
}

// TIOCOUTQ and SIOCOUTQ are one request: a terminal's output queue, a socket's send queue.
int QueuedOutput(int fd) {
  int count = 0;
  return ioctl(fd, TIOCOUTQ, &count) == 0 ? count : -1;
}

bool WaitForQueuedOutput(int fd, int stallMs) {
  int queued = QueuedOutput(fd);
  ProgressDeadline taking(stallMs, queued);
  while (queued > 0) {
    if (MonotonicMs() >= taking.Deadline()) return false;
    poll(nullptr, 0, kQueueLookMs);
    queued = QueuedOutput(fd);
    taking.Note(queued);
  }
  return true;
}

void DiscardInput(int fd) {
  char chunk[kDiscardChunk];
  for (int i = 0; i < kDiscardChunks; ++i) {
    pollfd entry{fd, POLLIN, 0};
    if (poll(&entry, 1, 0) <= 0 || (entry.revents & POLLIN) == 0) return;
    if (read(fd, chunk, sizeof chunk) <= 0) return;
  }
}

int MoveAboveStandardStreams(int fd) {
  if (fd < 0 || fd > kHighestStandardStream) return fd;
  const int moved = fcntl(fd, F_DUPFD, kHighestStandardStream + 1);
  close(fd);
  return moved;
}

}  // namespace fdio
