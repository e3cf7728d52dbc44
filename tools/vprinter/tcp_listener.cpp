#include "tcp_listener.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace vprinter {
namespace {

// A socket address of either family from a numeric host; false when host is not numeric.
bool NumericAddress(const std::string& host, int port, sockaddr_storage* address,
                    socklen_t* length) {
  memset(address, 0, sizeof *address);
  auto* v4 = reinterpret_cast<sockaddr_in*>(address);
  auto* v6 = reinterpret_cast<sockaddr_in6*>(address);
  if (inet_pton(AF_INET, host.c_str(), &v4->sin_addr) == 1) {
    v4->sin_family = AF_INET;
    v4->sin_port = htons(static_cast<uint16_t>(port));
    *length = sizeof *v4;
    return true;
  }
  if (inet_pton(AF_INET6, host.c_str(), &v6->sin6_addr) == 1) {
    v6->sin6_family = AF_INET6;
    v6->sin6_port = htons(static_cast<uint16_t>(port));
    *length = sizeof *v6;
    return true;
  }
  errno = EINVAL;
  return false;
}

std::string Describe(const sockaddr_storage& address) {
  char text[INET6_ADDRSTRLEN] = "";
  if (address.ss_family == AF_INET6) {
    const auto& v6 = reinterpret_cast<const sockaddr_in6&>(address);
    inet_ntop(AF_INET6, &v6.sin6_addr, text, sizeof text);
    return "[" + std::string(text) + "]:" + std::to_string(ntohs(v6.sin6_port));
  }
  const auto& v4 = reinterpret_cast<const sockaddr_in&>(address);
  inet_ntop(AF_INET, &v4.sin_addr, text, sizeof text);
  return std::string(text) + ":" + std::to_string(ntohs(v4.sin_port));
}

// A printer's receive window: a few KB (set before listen, so that accepted connections
// advertise it from the start).
constexpr int kPrinterWindow = 4096;

}  // namespace

bool TcpListener::Listen(const std::string& host, int port, bool smallWindow) {
  sockaddr_storage address;
  socklen_t length = 0;
  if (!NumericAddress(host, port, &address, &length)) return false;
  listener_ = socket(address.ss_family, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  const int on = 1;
  // A restarted printer takes its port again at once, past the old connections' TIME_WAIT.
  bool ok = listener_ >= 0 &&
            setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on) == 0 &&
            (!smallWindow || setsockopt(listener_, SOL_SOCKET, SO_RCVBUF, &kPrinterWindow,
                                        sizeof kPrinterWindow) == 0) &&
            bind(listener_, reinterpret_cast<sockaddr*>(&address), length) == 0 &&
            listen(listener_, SOMAXCONN) == 0;
  length = sizeof address;
  ok = ok && getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) == 0;
  if (!ok) {
    const int cause = errno;
    Close();
    errno = cause;
    return false;
  }
  address_ = Describe(address);
  return true;
}

void TcpListener::Close() {
  Drop(false);
  if (listener_ >= 0) close(listener_);
  listener_ = -1;
  address_.clear();
}

int TcpListener::Accept(int waitMs) {
  if (client_ >= 0 || listener_ < 0) return client_;
  pollfd waiting = {listener_, POLLIN, 0};
  if (poll(&waiting, 1, waitMs) <= 0) return -1;
  client_ = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
  if (client_ >= 0) {
    const int on = 1;
    setsockopt(client_, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);  // answers go out at once
  }
  return client_;
}

void TcpListener::Drop(bool reset) {
  if (client_ < 0) return;
  if (reset) {
    const linger abortive = {1, 0};
    setsockopt(client_, SOL_SOCKET, SO_LINGER, &abortive, sizeof abortive);
  }
  close(client_);
  client_ = -1;
}

ssize_t TcpListener::Send(const char* bytes, size_t length) const {
  return send(client_, bytes, length, MSG_NOSIGNAL);
}

}  // namespace vprinter
