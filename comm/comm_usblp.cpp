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

}  // namespace

CommUsbLP::CommUsbLP() : timeout_(kDefaultTimeoutMs) {}

CommUsbLP::~CommUsbLP() { Close(); }

// Non-blocking, so that every wait happens in poll with a bound. A descriptor that open
// numbered 0, 1 or 2 (a daemon with its standard streams closed) is moved above them, since 0
// means that nothing is open.
int CommUsbLP::Open(const char* path) {
  if (path == nullptr) return TALLYJET_ERR_INVALID_ARGUMENT;
  if (fd_ != 0) close(fdio::DescriptorOf(fd_));
  fd_ = fdio::MoveAboveStandardStreams(open(path, O_RDWR | O_NOCTTY | O_NONBLOCK));
  if (fd_ >= 0) return TALLYJET_SUCCESS;
  fd_ = 0;  // nothing held: Close and the commands answer -4, and IsOpen is false
  return TALLYJET_ERR_PORT_NOT_OPEN;
}

int CommUsbLP::Close() {
  if (fd_ == 0) return TALLYJET_ERR_PORT_NOT_OPEN;
  if (close(fdio::DescriptorOf(fd_)) != 0) return TALLYJET_ERR_CLOSE;
  const bool delivered = !fdio::IsBroken(fd_);
  fd_ = 0;
  return delivered ? TALLYJET_SUCCESS : TALLYJET_ERR_FAILED;
}

bool CommUsbLP::IsOpen() { return fd_ != 0; }

// The printer-class driver answers a non-blocking write as soon as the bytes are on their way
// and cancels them when the node is closed; the node is ready to write again only once they
// have gone. So the write ends with that wait, and a Close right after loses nothing. A write
// that fails leaves the link broken.
int CommUsbLP::Write(const char* data, int length) {
  if (fd_ == 0) return TALLYJET_ERR_PORT_NOT_OPEN;
  if (length < 0) return TALLYJET_ERR_INVALID_ARGUMENT;
  if (fdio::IsBroken(fd_)) return TALLYJET_ERR_FAILED;
  const int stallMs =
      static_cast<int>(std::min<int64_t>(std::max(1, timeout_) * kWriteStallTimeouts, INT_MAX));
  const bool delivered =
      fdio::WriteAll(fd_, data, length, fdio::kNoDeadline, stallMs) &&
      fdio::WaitFor(fd_, POLLOUT, fdio::MonotonicMs() + stallMs) == fdio::Readiness::kReady;
  if (delivered) return TALLYJET_SUCCESS;
  fd_ = fdio::MarkBroken(fd_);
  return TALLYJET_ERR_FAILED;
}

int CommUsbLP::Read(char* buffer, int length) {
  if (fd_ == 0) return TALLYJET_ERR_PORT_NOT_OPEN;
  if (length < 0) return TALLYJET_ERR_INVALID_ARGUMENT;
  const int got =
      fdio::ReadFirst(fdio::DescriptorOf(fd_), buffer, length, fdio::MonotonicMs() + timeout_);
  return got < 0 ? TALLYJET_ERR_READ : got;
}

void CommUsbLP::SetTimeout(int milliseconds) { timeout_ = std::max(0, milliseconds); }

void CommUsbLP::DiscardInput() {
  if (fd_ != 0) fdio::DiscardInput(fdio::DescriptorOf(fd_));
}
