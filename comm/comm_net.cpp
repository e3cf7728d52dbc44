#include "comm_net.h"

#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "fd_io.h"

namespace {

constexpr char kScheme[] = "socket://";
constexpr int kDefaultPort = 9100;  // the raw printing port of network receipt printers
constexpr int kDefaultReadTimeoutMs = 300;
constexpr int kDefaultConnectTimeoutMs = 5000;
constexpr int kDefaultWriteTimeoutMs = 10000;
// How long Close waits for the printer to close its side after the last byte.
constexpr int kCloseDrainMs = 2000;

void SetOption(int fd, int level, int name) {
  const int on = 1;
  setsockopt(fd, level, name, &on, sizeof on);
}

// A connected socket to one address, or -1. A connection still under way when the deadline
// passes is abandoned.
int ConnectTo(const addrinfo& address, int64_t deadline) {
  int fd = socket(address.ai_family, address.ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC,
                  address.ai_protocol);
  fd = fdio::MoveAboveStandardStreams(fd);  // 0 marks a transport with nothing open
  if (fd < 0) return -1;
  bool connected = connect(fd, address.ai_addr, address.ai_addrlen) == 0;
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

// Each address of the host in turn until one takes the connection; -1 when none does.
int Connect(const HostPort& address, int64_t deadline) {
  addrinfo hints;
  memset(&hints, 0, sizeof hints);
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_flags = AI_NUMERICSERV;
  char port[8];
  snprintf(port, sizeof port, "%d", address.port);
  addrinfo* found = nullptr;
  if (getaddrinfo(address.host.c_str(), port, &hints, &found) != 0) return -1;
  int left = 0;
  for (const addrinfo* each = found; each != nullptr; each = each->ai_next) ++left;
  int fd = -1;
  for (const addrinfo* each = found; each != nullptr && fd < 0; each = each->ai_next, --left) {
    // An even share of the time left, so that an address that never answers leaves time for
    // the next.
    fd = ConnectTo(*each, fdio::MonotonicMs() + (deadline - fdio::MonotonicMs()) / left);
  }
  freeaddrinfo(found);
  return fd;
}

// Whether the printer has closed or reset the connection: bytes written now would be lost.
bool PeerHasGone(int fd) {
  char byte;
  const ssize_t got = recv(fd, &byte, 1, MSG_PEEK | MSG_DONTWAIT);
  return got == 0 || (got < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR);
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

// After shutdown the printer has every byte and an end of data; it closes once it has read
// them. Closing while its answers still wait unread would send a reset, which may make it drop
// data it has not printed yet, so they are read first.
int CommNet::Close() {
  if (fd_ == 0) return TALLYJET_ERR_PORT_NOT_OPEN;
  shutdown(fd_, SHUT_WR);
  const int64_t deadline = fdio::MonotonicMs() + kCloseDrainMs;
  char discarded[512];
  while (fdio::ReadFirst(fd_, discarded, sizeof discarded, deadline) > 0) {
  }
  const int closed = close(fd_);
  fd_ = 0;
  return closed == 0 ? TALLYJET_SUCCESS : TALLYJET_ERR_CLOSE;
}

int CommNet::Write(const char* data, int length) {
  if (fd_ == 0) return TALLYJET_ERR_PORT_NOT_OPEN;
  if (length < 0) return TALLYJET_ERR_INVALID_ARGUMENT;
  if (PeerHasGone(fd_)) return TALLYJET_ERR_FAILED;
  return fdio::WriteAll(fd_, data, length, fdio::kNoDeadline, writeTimeout_)
             ? TALLYJET_SUCCESS
             : TALLYJET_ERR_FAILED;
}

int CommNet::Read(char* buffer, int length) {
  if (fd_ == 0) return TALLYJET_ERR_PORT_NOT_OPEN;
  if (length < 0) return TALLYJET_ERR_INVALID_ARGUMENT;
  const int got = fdio::ReadFirst(fd_, buffer, length, fdio::MonotonicMs() + readTimeout_);
  return got < 0 ? TALLYJET_ERR_READ : got;
}

void CommNet::DiscardInput() {
  if (fd_ != 0) fdio::DiscardInput(fd_);
}

void CommNet::SetTimeout(int milliseconds) { readTimeout_ = milliseconds; }

void CommNet::SetConnectTimeout(int milliseconds) { connectTimeout_ = milliseconds; }

// At least 1 ms: a limit of 0 would let a write stall without end.
void CommNet::SetWriteTimeout(int milliseconds) { writeTimeout_ = std::max(1, milliseconds); }
