#include "comm_net.h"

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

#include "fd_io.h"
#include "name_lookup.h"

namespace {

constexpr char kScheme[] = "socket://";
constexpr int kDefaultPort = 9100;  // the raw printing port of network receipt printers
constexpr int kDefaultReadTimeoutMs = 300;
constexpr int kDefaultConnectTimeoutMs = 5000;
constexpr int kDefaultWriteTimeoutMs = 10000;
// How long Close waits for the printer to close its side once it has acknowledged every byte,
// and how often it looks at the acknowledgements meanwhile.
constexpr int kCloseDrainMs = 2000;
constexpr int kCloseStepMs = 10;

void SetOption(int fd, int level, int name) {
  const int on = 1;
  setsockopt(fd, level, name, &on, sizeof on);
}

// A connected socket to one address, or -1. A connection still under way when the deadline
// passes is abandoned.
int ConnectTo(const SocketAddress& address, int64_t deadline) {
  int fd = socket(address.address.ss_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  fd = fdio::MoveAboveStandardStreams(fd);  // 0 marks a transport with nothing open
  if (fd < 0) return -1;
  bool connected =
      connect(fd, reinterpret_cast<const sockaddr*>(&address.address), address.length) == 0;
  if (!connected && errno == EINPROGRESS &&
      fdio::WaitFor(fd, POLLOUT, deadline) != fdio::Readiness::kTimedOut) {
    int error = 0;
    socklen_t length = sizeof error;
    connected = getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) == 0 && error == 0;
  }
  if (!connected) {
    close(fd);
    return -1;
  }
  // Each command goes out as it is written, and a printer that vanishes is noticed in time.
  SetOption(fd, IPPROTO_TCP, TCP_NODELAY);
  SetOption(fd, SOL_SOCKET, SO_KEEPALIVE);
  return fd;
}

// The host's addresses in turn until one takes the connection; -1 when none does in time. The
// name lookup and the connections share the deadline.
int Connect(const HostPort& address, int64_t deadline) {
  const std::vector<SocketAddress> found = LookUpHost(address, deadline);
  int fd = -1;
  for (size_t each = 0; each < found.size() && fd < 0; ++each) {
    // An even share of the time left, so that an address that never answers leaves time for
    // the next.
    const int64_t left = static_cast<int64_t>(found.size() - each);
    fd = ConnectTo(found[each], fdio::MonotonicMs() + (deadline - fdio::MonotonicMs()) / left);
  }
  return fd;
}

// Whether the printer has closed its side of the connection: bytes written now would be lost.
bool PeerHasGone(int fd) {
  char byte;
  const ssize_t got = recv(fd, &byte, 1, MSG_PEEK | MSG_DONTWAIT);
  return got == 0 || (got < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR);
}

// Whether the connection ended without an orderly close: the printer reset it, or the system
// gave it up. Until Close shuts the sending side, nothing else leaves the socket closed, and it
// stays so: every later call sees it.
bool WasReset(int fd) {
  tcp_info info;
  socklen_t length = sizeof info;
  return getsockopt(fd, IPPROTO_TCP, TCP_INFO, &info, &length) == 0 && info.tcpi_state == TCP_CLOSE;
}

bool ErrorPending(int fd) {
  int error = 0;
  socklen_t length = sizeof error;
  return getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0 || error != 0;
}

// Ends the data and waits while the printer takes it: for as long as it acknowledges bytes, and
// until stallMs pass without one; once it has acknowledged every byte, up to kCloseDrainMs more
// for it to close its side. Whatever it sends meanwhile is read and dropped, so that closing
// does not answer it with a reset, which may make it drop data it has not printed yet. True
// when every byte was acknowledged and the printer did not reset the connection.
bool FinishSending(int fd, int stallMs) {
  shutdown(fd, SHUT_WR);
  bool peerClosed = false;
  bool allTaken = false;
  char discarded[4096];
  fdio::ProgressDeadline taking(stallMs, fdio::QueuedOutput(fd));
  int64_t deadline = taking.Deadline();
  while (fdio::MonotonicMs() < deadline) {
    bool flooding = false;
    if (!peerClosed) {
      const ssize_t got = recv(fd, discarded, sizeof discarded, MSG_DONTWAIT);
      if (got < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) return false;
      peerClosed = got == 0;
      flooding = got > 0;
    }
    // A reset that follows the printer's close shows only as the socket's error.
    if (ErrorPending(fd)) return false;
    const int left = fdio::QueuedOutput(fd);
    // A reset may empty the queue just after the look at the error: look once more.
    if (peerClosed && left == 0) return !ErrorPending(fd);
    if (!allTaken && left == 0) {
      allTaken = true;
      deadline = fdio::MonotonicMs() + kCloseDrainMs;
    } else if (!allTaken) {
      taking.Note(left);
      deadline = taking.Deadline();
    }
    if (flooding) continue;
    // Once the printer has closed, the socket stays readable: acknowledgements are watched in
    // short sleeps instead.
    pollfd entry{fd, POLLIN, 0};
    poll(&entry, peerClosed ? 0 : 1,
         static_cast<int>(std::clamp<int64_t>(deadline - fdio::MonotonicMs(), 0, kCloseStepMs)));
  }
  return !ErrorPending(fd) && fdio::QueuedOutput(fd) == 0;
}

// Makes close reset the connection and drop what is still queued, so that the printer gets no
// more of a job reported lost, which the application may send again.
void ResetOnClose(int fd) {
  const linger abortive = {1, 0};
  setsockopt(fd, SOL_SOCKET, SO_LINGER, &abortive, sizeof abortive);
}

}  // namespace

bool IsNetworkName(const char* name) {
  return name != nullptr && strncmp(name, kScheme, sizeof kScheme - 1) == 0;
}

bool ParseNetworkName(const char* name, HostPort* address) {
  if (!IsNetworkName(name)) return false;
  address->port = kDefaultPort;
  return ParseHostPort(name + sizeof kScheme - 1, address) && address->port != 0;
}

CommNet::CommNet()
    : readTimeout_(kDefaultReadTimeoutMs),
      connectTimeout_(kDefaultConnectTimeoutMs),
      writeTimeout_(kDefaultWriteTimeoutMs) {}

CommNet::~CommNet() { Close(); }

int CommNet::Open(const char* path) {
  HostPort address;
  if (!ParseNetworkName(path, &address)) return TALLYJET_ERR_INVALID_ARGUMENT;
  if (fd_ != 0) Close();
  const int fd = Connect(address, fdio::MonotonicMs() + connectTimeout_);
  if (fd < 0) return TALLYJET_ERR_PORT_NOT_OPEN;
  fd_ = fd;
  return TALLYJET_SUCCESS;
}

// The printer got everything when it acknowledged every byte and the end of data without
// resetting the connection, and no write stopped part-way.
int CommNet::Close() {
  if (fd_ == 0) return TALLYJET_ERR_PORT_NOT_OPEN;
  const int fd = fdio::DescriptorOf(fd_);
  const bool delivered = !fdio::IsBroken(fd_) && !WasReset(fd) &&
                         FinishSending(fd, writeTimeout_);
  if (!delivered) ResetOnClose(fd);
  const int closed = close(fd);
  fd_ = 0;
  if (closed != 0) return TALLYJET_ERR_CLOSE;
  return delivered ? TALLYJET_SUCCESS : TALLYJET_ERR_FAILED;
}

// A failed write leaves the link broken: the job misses what it did not deliver.
int CommNet::Write(const char* data, int length) {
  if (fd_ == 0) return TALLYJET_ERR_PORT_NOT_OPEN;
  if (length < 0) return TALLYJET_ERR_INVALID_ARGUMENT;
  if (fdio::IsBroken(fd_)) return TALLYJET_ERR_FAILED;
  if (!WasReset(fd_) && !PeerHasGone(fd_) &&
      fdio::WriteAll(fd_, data, length, fdio::kNoDeadline, writeTimeout_)) {
    return TALLYJET_SUCCESS;
  }
  fd_ = fdio::MarkBroken(fd_);
  return TALLYJET_ERR_FAILED;
}

int CommNet::Read(char* buffer, int length) {
  if (fd_ == 0) return TALLYJET_ERR_PORT_NOT_OPEN;
  if (length < 0) return TALLYJET_ERR_INVALID_ARGUMENT;
  const int fd = fdio::DescriptorOf(fd_);
  if (WasReset(fd)) return TALLYJET_ERR_READ;
  const int got = fdio::ReadFirst(fd, buffer, length, fdio::MonotonicMs() + readTimeout_);
  return got < 0 ? TALLYJET_ERR_READ : got;
}

void CommNet::DiscardInput() {
  if (fd_ != 0) fdio::DiscardInput(fdio::DescriptorOf(fd_));
}

void CommNet::SetTimeout(int milliseconds) { readTimeout_ = milliseconds; }

void CommNet::SetConnectTimeout(int milliseconds) { connectTimeout_ = milliseconds; }

// At least 1 ms: a limit of 0 would let a write stall without end.
void CommNet::SetWriteTimeout(int milliseconds) { writeTimeout_ = std::max(1, milliseconds); }
