#include "comm_usblp.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <climits>

#include "fd_io.h"

static_assert(sizeof(CommUsbLP) == sizeof(CommBase),
              "an application built against the earlier header allocates CommBase's size");

namespace {

constexpr int kDefaultTimeoutMs = 300;
// A write gives up once the printer has taken no byte for this many read time-outs: long
// enough for a printer busy with a cut or a feed while its buffer is full.
constexpr int64_t kWriteStallTimeouts = 10;

// A descriptor is 0 when nothing was opened and -1 after a failed open.
bool HoldsDescriptor(int fd) { return fd != 0 && fd != -1; }

}  // namespace

CommUsbLP::CommUsbLP() : timeout_(kDefaultTimeoutMs) {}

CommUsbLP::~CommUsbLP() { Close(); }

// Non-blocking, so that every wait happens in poll with a bound. A descriptor that open
// numbered 0, 1 or 2 (a daemon with its standard streams closed) is moved above them, since 0
// means that nothing is open.
int CommUsbLP::Open(const char* path) {
  if (path == nullptr) return TALLYJET_ERR_INVALID_ARGUMENT;
  if (HoldsDescriptor(fd_)) close(fd_);
  fd_ = fdio::MoveAboveStandardStreams(open(path, O_RDWR | O_NOCTTY | O_NONBLOCK));
  return fd_ == -1 ? TALLYJET_ERR_PORT_NOT_OPEN : TALLYJET_SUCCESS;
}

int CommUsbLP::Close() {
  if (fd_ == 0) return TALLYJET_ERR_PORT_NOT_OPEN;
  if (close(fd_) != 0) return TALLYJET_ERR_CLOSE;
  fd_ = 0;
  return TALLYJET_SUCCESS;
}

bool CommUsbLP::IsOpen() { return fd_ != 0; }

// The printer-class driver answers a non-blocking write as soon as the bytes are on their way
// and cancels them when the node is closed; the node is ready to write again only once they
// have gone. So the write ends with that wait, and a Close right after loses nothing.
int CommUsbLP::Write(const char* data, int length) {
  if (!HoldsDescriptor(fd_)) return TALLYJET_ERR_PORT_NOT_OPEN;
  if (length < 0) return TALLYJET_ERR_INVALID_ARGUMENT;
  const int stallMs =
      static_cast<int>(std::min<int64_t>(std::max(1, timeout_) * kWriteStallTimeouts, INT_MAX));
  const bool sent = fdio::WriteAll(fd_, data, length, fdio::kNoDeadline, stallMs) &&
                    fdio::WaitFor(fd_, POLLOUT, fdio::MonotonicMs() + stallMs) ==
                        fdio::Readiness::kReady;
  return sent ? TALLYJET_SUCCESS : TALLYJET_ERR_FAILED;
}

int CommUsbLP::Read(char* buffer, int length) {
  if (!HoldsDescriptor(fd_)) return TALLYJET_ERR_PORT_NOT_OPEN;
  if (length < 0) return TALLYJET_ERR_INVALID_ARGUMENT;
  const int got = fdio::ReadFirst(fd_, buffer, length, fdio::MonotonicMs() + timeout_);
  return got < 0 ? TALLYJET_ERR_READ : got;
}

void CommUsbLP::SetTimeout(int milliseconds) { timeout_ = std::max(0, milliseconds); }

void CommUsbLP::DiscardInput() {
  if (HoldsDescriptor(fd_)) fdio::DiscardInput(fd_);
}
